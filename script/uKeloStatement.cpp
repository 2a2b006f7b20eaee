#include "script/uKeloStatement.h"

namespace {
QString conversionMessage(const char16_t *pattern, TType from, TType to, const QString &value)
{
    return QString::fromUtf16(pattern).arg(TypeNames[from], TypeNames[to], value);
}
} // namespace

// ---------------------------------------------------------------- loop and conditional

void TMultiLiner::setLineNumber(int line)
{
    TStatement::setLineNumber(line);
    if (iExpression)
        iExpression->setLineNumber(line);
}

void TMultiLiner::Init()
{
    if (iExpression)
        iExpression->Init();
}

bool TMultiLiner::evaluateCondition(bool &truth)
{
    truth = false;
    if (!iExpression)
        return true;
    bool halted = false;
    truth = iExpression->getTruth(halted) && !halted;
    return !halted;
}

TLoop::TLoop() : iCodeBlock(std::make_unique<TCodeBlock>(this)) {}

bool TLoop::Execute()
{
    bool truth = false;
    if (!evaluateCondition(truth))
        return false;
    if (truth) {
        if (TProgram *program = GetProgram()) {
            // The loop stays at the cursor: popping the exhausted body executes it again.
            program->AddCodeBlock(iCodeBlock.get());
            return false;
        }
    }
    return true;
}

void TLoop::releaseBlocks(std::vector<std::unique_ptr<TStatement>> &into)
{
    iCodeBlock->takeStatements(into);
}

TConditional::TConditional()
    : iElseCodeBlock(std::make_unique<TCodeBlock>(this)), iIfCodeBlock(std::make_unique<TCodeBlock>(this))
{
}

bool TConditional::Execute()
{
    bool truth = false;
    if (!evaluateCondition(truth))
        return false;
    if (TProgram *program = GetProgram())
        program->AddCodeBlock(truth ? iIfCodeBlock.get() : iElseCodeBlock.get());
    return true;
}

void TConditional::releaseBlocks(std::vector<std::unique_ptr<TStatement>> &into)
{
    iIfCodeBlock->takeStatements(into);
    iElseCodeBlock->takeStatements(into);
}

// ---------------------------------------------------------------- assignment

void TAssignment::setLineNumber(int line)
{
    TStatement::setLineNumber(line);
    if (iExpression)
        iExpression->setLineNumber(line);
}

bool TAssignment::Execute()
{
    if (!iExpression || !iDeclaration)
        return true;
    QString text;
    qint64 exact = 0;
    const TEvaluation evaluation = evaluate(text, exact);
    if (evaluation == TEvaluation::halted)
        return false;
    if (evaluation == TEvaluation::stored)
        return true;
    TVariable *v = iDeclaration->getVariable();
    if (!v)
        return true;
    const TType to = iDeclaration->ValueType();
    if (evaluation == TEvaluation::exactInt) {
        if (to == TType::int_) {
            v->setIntResult(exact);
            return true;
        }
        text = IntToValue(exact);
    }
    const TType from = iExpression->Resulttype();
    if (from != to && !ConvertValue(from, to, text)) {
        if (TProgram *program = GetProgram())
            program->Error(LineNumber(),
                           conversionMessage(u"Ungültige Typumwandlung in Zuweisung von %1 nach %2 für den Wert = %3",
                                             from, to, text));
    }
    v->setValue(std::move(text));
    return true;
}

// Integer results and growing strings skip the round trip through a new text.
TAssignment::TEvaluation TAssignment::evaluate(QString &text, qint64 &exact)
{
    bool halted = false;
    if (iExpression->getExactInt(halted, exact))
        return halted ? TEvaluation::halted : TEvaluation::exactInt;
    if (TOpMath *operation = iExpression->asMath()) {
        switch (operation->appendTo(iDeclaration, text)) {
        case TOpMath::TAppend::notApplicable:
            break;
        case TOpMath::TAppend::halted:
            return TEvaluation::halted;
        case TOpMath::TAppend::appended:
            return TEvaluation::stored;
        case TOpMath::TAppend::computed:
            return TEvaluation::text;
        }
    }
    iExpression->getValue(halted, text);
    return halted ? TEvaluation::halted : TEvaluation::text;
}

void TAssignment::Init()
{
    if (iExpression)
        iExpression->Init();
}

bool TAssignment::isTypeMatch() const
{
    if (!iExpression || !iDeclaration)
        return true;
    return CanConvert(iExpression->Resulttype(), iDeclaration->ValueType());
}

// ---------------------------------------------------------------- call expression

TType TFunctionValue::Resulttype() const
{
    return iFunction->ReturnType();
}

void TFunctionValue::setLineNumber(int line)
{
    TExpression::setLineNumber(line);
    for (const auto &argument : iExpressionList)
        argument->setLineNumber(line);
}

void TFunctionValue::Init()
{
    TExpression::Init();
    paramStack.clear();
    iCaller = nullptr;
    iEntered = false;
    for (const auto &argument : iExpressionList)
        argument->Init();
}

void TFunctionValue::getValue(bool &halted, QString &value)
{
    halted = false;
    value.clear();
    if (!evaluateArguments(halted))
        return;
    if (isRecursiveCall()) {
        reportRecursion();
        paramStack.clear();
        return;
    }
    iFunction->Execute(paramStack, halted, value);
    iEntered = halted;
    if (halted)
        return;
    completeCall();
    paramStack.clear();
}

bool TFunctionValue::evaluateArguments(bool &halted)
{
    // Arguments already on the stack were evaluated in an earlier, suspended step.
    for (int i = paramStack.size(); i < iExpressionList.Count(); ++i) {
        QString text;
        iExpressionList[i]->getValue(halted, text);
        if (halted)
            return false;
        convertArgument(i, text);
        paramStack.append(std::move(text));
    }
    return true;
}

void TFunctionValue::convertArgument(int index, QString &text) const
{
    if (index >= iFunction->Parameter().Count())
        return;
    const TType from = iExpressionList[index]->Resulttype();
    const TType to = iFunction->Parameter()[index]->ValueType();
    if (from == to || ConvertValue(from, to, text))
        return;
    if (TProgram *program = callerProgram())
        program->Error(iCaller->LineNumber(),
                       conversionMessage(u"Ungültige Typumwandlung in Funktionsaufruf von %1 nach %2 für den Wert = %3",
                                         from, to, text));
}

void TFunctionValue::completeCall()
{
    if (paramStack.size() != iExpressionList.Count()) {
        if (TProgram *program = callerProgram())
            program->Error(iCaller->LineNumber(),
                           QStringLiteral("Funktion %1: Anzahl der Rückgabeparameter unterscheidet sich von "
                                          "Anzahl der Funktionsparameter.")
                               .arg(iFunction->Name()));
        return;
    }
    for (int i = 0; i < iExpressionList.Count(); ++i) {
        TVarValue *argument = iExpressionList[i]->asVarValue();
        if (argument && argument->IsReference())
            writeBackReference(i, argument);
    }
}

void TFunctionValue::writeBackReference(int index, TVarValue *argument)
{
    TVariable *v = argument->Declaration() ? argument->Declaration()->getVariable() : nullptr;
    if (!v)
        return;
    QString text = paramStack[index];
    if (index < iFunction->Parameter().Count()) {
        const TType from = iFunction->Parameter()[index]->ValueType();
        const TType to = argument->Resulttype();
        if (from != to && !ConvertValue(from, to, text)) {
            if (TProgram *program = callerProgram())
                program->Error(iCaller->LineNumber(),
                               conversionMessage(u"Ungültige Typumwandlung bei Funktionsende von %1 nach %2 für den Wert = %3",
                                                 from, to, text));
        }
    }
    v->setValue(text);
}

TProgram *TFunctionValue::callerProgram() const
{
    return iCaller ? iCaller->GetProgram() : nullptr;
}

bool TFunctionValue::isRecursiveCall() const
{
    // A call that entered the function and now completes it is not recursion;
    // any other call while an activation is in progress is.
    return !iEntered && iFunction->isActive();
}

void TFunctionValue::reportRecursion() const
{
    TProgram *program = iFunction->GetProgram();
    if (!program)
        return;
    const int line = iCaller ? iCaller->LineNumber() : iLineNumber;
    program->Error(line, QStringLiteral("Rekursiver Aufruf der Funktion ") + iFunction->Name() +
                             QStringLiteral(" ist nicht erlaubt"));
}

// ---------------------------------------------------------------- call and exit statements

void TFunctionCall::setFunctionValue(std::unique_ptr<TFunctionValue> value)
{
    iFunctionValue = std::move(value);
    if (iFunctionValue)
        iFunctionValue->setLineNumber(LineNumber());
}

void TFunctionCall::setLineNumber(int line)
{
    TStatement::setLineNumber(line);
    if (iFunctionValue)
        iFunctionValue->setLineNumber(line);
}

bool TFunctionCall::Execute()
{
    if (!iFunctionValue)
        return true;
    iFunctionValue->setCaller(this);
    bool halted = false;
    QString discarded;
    iFunctionValue->getValue(halted, discarded);
    return !halted;
}

void TFunctionCall::Init()
{
    // Also clears what an abandoned run (a fault, a stop) left in the call.
    if (iFunctionValue)
        iFunctionValue->Init();
}

bool TExitCall::Execute()
{
    if (TProgram *program = GetProgram())
        program->stop();
    return true;
}

// ---------------------------------------------------------------- functions

void TFunctionCode::Finish()
{
    TFunction::Finish();
    started = false;
}

void TFunctionCode::Execute(QStringList &params, bool &halted, QString &result)
{
    TFunction::Execute(params, halted, result);
    if (!started) {
        enter(params);
        halted = true;
        return;
    }
    complete(params, result);
}

void TFunctionCode::enter(const QStringList &params)
{
    started = true;
    Return()->Execute();
    for (int i = 0; i < Parameter().Count(); ++i) {
        TDeclaration *parameter = Parameter()[i];
        parameter->Execute();
        TVariable *v = parameter->variable();
        if (v && i < params.size())
            v->setValue(params[i]);
    }
    if (TProgram *program = Parent() ? Parent()->asProgram() : nullptr)
        program->AddCodeBlock(CodeBlock());
}

void TFunctionCode::complete(QStringList &params, QString &result)
{
    started = false;
    const TVariable *r = Return()->variable();
    result = r ? r->Value() : QString();
    for (int i = 0; i < Parameter().Count() && i < params.size(); ++i) {
        const TDeclaration *parameter = Parameter()[i];
        const TVariable *v = parameter->variable();
        if (parameter->IsReference() && v)
            params[i] = v->Value();
    }
    Finish();
}

void TFunctionBin::Execute(QStringList &params, bool &halted, QString &result)
{
    TFunction::Execute(params, halted, result);
    if (iCall)
        result = iCall(Name(), params);
}

std::unique_ptr<TFunctionCode> CreateExitFunction()
{
    auto exitFunction = std::make_unique<TFunctionCode>();
    exitFunction->setName(QStringLiteral("exit"));
    exitFunction->setComment(QStringLiteral("Beendet das Programm."));
    exitFunction->CodeBlock()->Add(std::make_unique<TExitCall>());
    return exitFunction;
}
