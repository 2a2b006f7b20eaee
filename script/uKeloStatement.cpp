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

void TLoop::releaseBlocks(std::vector<std::unique_ptr<TStatement>> &into) { iCodeBlock->takeStatements(into); }

TConditional::TConditional()
    : iElseCodeBlock(std::make_unique<TCodeBlock>(this)), iIfCodeBlock(std::make_unique<TCodeBlock>(this))
{
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
    // The run lays out every statement, and so decides it, before executing it.
    Q_ASSERT(iShape != TShape::undecided);
    switch (iShape) {
    case TShape::intLeaves:
        assignIntLeaves();
        return true;
    case TShape::callInPlace:
        return executeCallInPlace();
    case TShape::undecided:
    case TShape::incomplete:
        return true;
    default:
        return executeShaped();
    }
}

bool TAssignment::executeShaped()
{
    if (iShape == TShape::integer) {
        // An integer result goes into the variable as the number, without a value in between.
        bool halted = false;
        qint64 result = 0;
        if (iExpression->getExactInt(halted, result)) {
            if (!halted)
                storeInteger(result);
            return !halted;
        }
    }
    TValue value;
    if (iShape == TShape::appending) {
        switch (append(value)) {
        case TOpMath::TAppend::halted:
            return false;
        case TOpMath::TAppend::appended:
            return true;
        case TOpMath::TAppend::computed:
            break;
        case TOpMath::TAppend::notApplicable:
            if (!evaluate(value))
                return false;
            break;
        }
    } else if (!evaluate(value)) {
        return false;
    }
    if (TVariable *v = iDeclaration->getVariable()) {
        if (iShape == TShape::converting)
            storeConverted(v, std::move(value));
        else
            v->setValue(std::move(value));
    }
    return true;
}

// A growing string is extended in place instead of being copied.
TOpMath::TAppend TAssignment::append(TValue &value)
{
    QString text;
    const TOpMath::TAppend result = iExpression->asMath()->appendTo(iDeclaration, text);
    if (result == TOpMath::TAppend::computed)
        value.setText(std::move(text));
    return result;
}

void TAssignment::storeConverted(TVariable *v, TValue &&value)
{
    const TType from = iExpression->Resulttype();
    const TType to = iDeclaration->ValueType();
    QString text = value.takeText();
    if (!ConvertValue(from, to, text)) {
        if (TProgram *program = GetProgram())
            program->Error(LineNumber(),
                           conversionMessage(u"Ungültige Typumwandlung in Zuweisung von %1 nach %2 für den Wert = %3",
                                             from, to, text));
    }
    v->setValue(std::move(text));
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

TType TFunctionValue::Resulttype() const { return iFunction->ReturnType(); }

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

void TFunctionValue::evaluate(bool &halted, TValue &value)
{
    if (iInPlace) {
        if (iEntered) {
            halted = false;
            completeInPlace(value);
            return;
        }
        // Recursion is reported below, after the arguments, as for any call.
        if (enterInPlace()) {
            halted = true;
            value.clear();
            return;
        }
    }
    halted = false;
    value.clear();
    // A call that entered its function is completed with the arguments it
    // evaluated then; any other call while an activation is in progress is
    // recursion.
    if (!iEntered) {
        if (!evaluateArguments(halted))
            return;
        if (iFunction->isActive()) {
            reportRecursion();
            paramStack.clear();
            return;
        }
    }
    iFunction->Call(paramStack, halted, value);
    iEntered = halted;
    if (halted)
        return;
    completeCall();
    paramStack.clear();
}

bool TFunctionValue::evaluateArguments(bool &halted)
{
    // Arguments already in paramStack were evaluated in an earlier, suspended step.
    for (int i = int(paramStack.size()); i < iExpressionList.Count(); ++i) {
        TValue &argument = paramStack.emplace_back();
        iExpressionList[i]->evaluate(halted, argument);
        if (halted) {
            paramStack.pop_back();
            return false;
        }
        if (!iPlainArguments)
            convertArgument(i, argument);
    }
    return true;
}

void TFunctionValue::convertArgument(int index, TValue &value) const
{
    if (index >= iFunction->Parameter().Count())
        return;
    const TType from = iExpressionList[index]->Resulttype();
    const TType to = iFunction->Parameter()[index]->ValueType();
    if (from == to)
        return;
    QString text = value.takeText();
    if (!ConvertValue(from, to, text)) {
        if (TProgram *program = callerProgram())
            program->Error(
                iCaller->LineNumber(),
                conversionMessage(u"Ungültige Typumwandlung in Funktionsaufruf von %1 nach %2 für den Wert = %3", from,
                                  to, text));
    }
    value.setText(std::move(text));
}

void TFunctionValue::completeCall()
{
    if (int(paramStack.size()) != iExpressionList.Count()) {
        if (TProgram *program = callerProgram())
            program->Error(iCaller->LineNumber(),
                           QStringLiteral("Funktion %1: Anzahl der Rückgabeparameter unterscheidet sich von "
                                          "Anzahl der Funktionsparameter.")
                               .arg(iFunction->Name()));
        return;
    }
    if (iPlainArguments)
        return;
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
    TValue &value = paramStack[size_t(index)];
    if (index < iFunction->Parameter().Count()) {
        const TType from = iFunction->Parameter()[index]->ValueType();
        const TType to = argument->Resulttype();
        if (from != to) {
            QString text = value.takeText();
            if (!ConvertValue(from, to, text)) {
                if (TProgram *program = callerProgram())
                    program->Error(
                        iCaller->LineNumber(),
                        conversionMessage(u"Ungültige Typumwandlung bei Funktionsende von %1 nach %2 für den Wert = %3",
                                          from, to, text));
            }
            value.setText(std::move(text));
        }
    }
    v->setValue(value);
}

TProgram *TFunctionValue::callerProgram() const { return iCaller ? iCaller->GetProgram() : nullptr; }

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
    TValue discarded;
    iFunctionValue->evaluate(halted, discarded);
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
    // Attached by bindFrame when it brought the variables back.
    Return()->unbind();
    for (TDeclaration *parameter : Parameter())
        parameter->unbind();
    started = false;
}

void TFunctionBin::Call(TValueList &params, bool &halted, TValue &result)
{
    startCall(params, halted, result);
    if (!iCall)
        return;
    QStringList texts;
    texts.reserve(qsizetype(params.size()));
    for (const TValue &value : params)
        texts.append(value.Text());
    result.setText(iCall(Name(), texts));
    // The hook may have replaced items (the reference parameters' values) or,
    // wrongly, changed their count, which the call reports.
    params.resize(size_t(texts.size()));
    for (qsizetype i = 0; i < texts.size(); ++i) {
        const QString &before = params[size_t(i)].Text();
        if (texts[i].constData() != before.constData() || texts[i].size() != before.size())
            params[size_t(i)].setText(std::move(texts[i]));
    }
}

std::unique_ptr<TFunctionCode> CreateExitFunction()
{
    auto exitFunction = std::make_unique<TFunctionCode>();
    exitFunction->setName(QStringLiteral("exit"));
    exitFunction->setComment(QStringLiteral("Beendet das Programm."));
    exitFunction->CodeBlock()->Add(std::make_unique<TExitCall>());
    return exitFunction;
}
