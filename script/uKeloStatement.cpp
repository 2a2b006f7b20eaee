#include "script/uKeloStatement.h"

#include <QSet>

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

bool TMultiLiner::evaluateAnyCondition(bool &truth)
{
    truth = false;
    if (!iExpression)
        return true;
    if (iCondition == TCondition::unknown) {
        TOpRelation *relation = iExpression->asRelation();
        iCondition = relation && relation->hasIntLeaves() ? TCondition::intLeaves : TCondition::other;
        return evaluateCondition(truth);
    }
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
    if (iShape == TShape::intLeaves) {
        assignIntLeaves();
        return true;
    }
    if (iShape == TShape::callInPlace)
        return executeCallInPlace();
    if (iShape != TShape::unknown)
        return executeShaped();
    // The shape is decided with both parts present.
    if (!iExpression || !iDeclaration)
        return true;
    decideShape();
    return Execute();
}

TAssignment::TRunShape TAssignment::runShape()
{
    if (iShape == TShape::unknown && iExpression && iDeclaration)
        decideShape();
    return iShape == TShape::intLeaves     ? TRunShape::intLeaves
           : iShape == TShape::callInPlace ? TRunShape::callInPlace
                                           : TRunShape::general;
}

// The call's result goes into the variable without the general evaluation:
// one step enters the function, the step after its body stores the result.
bool TAssignment::executeCallInPlace()
{
    TFunctionValue *call = static_cast<TFunctionValue *>(iExpression.get());
    if (call->enteredInPlace()) {
        // The result goes straight into a live variable; a missing one is
        // reported after the call completed, as the general way does.
        if (TVariable *v = iDeclaration->variable()) {
            call->completeInPlace(v->Content());
            return true;
        }
        TValue result;
        call->completeInPlace(result);
        iDeclaration->getVariable();
        return true;
    }
    if (call->enterInPlace())
        return false;
    return executeShaped();
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

void TAssignment::decideShape()
{
    const TType from = iExpression->Resulttype();
    const TType to = iDeclaration->ValueType();
    TOpMath *operation = iExpression->asMath();
    const TVarValue *first = operation && operation->FirstOperand() ? operation->FirstOperand()->asVarValue() : nullptr;
    if (to == TType::kelostr && first && first->Declaration() == iDeclaration)
        iShape = TShape::appending;
    else if (to == TType::int_ && from == TType::int_ && operation)
        iShape = operation->computesFromIntLeaves() ? TShape::intLeaves : TShape::integer;
    else if (TFunctionValue *call = iExpression->asCall(); from == to && call && call->passesInPlace())
        iShape = TShape::callInPlace;
    else
        iShape = from == to ? TShape::plain : TShape::converting;
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
    if (inPlaceCall()) {
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

bool TFunctionValue::decideArguments()
{
    bool plain = true;
    for (int i = 0; i < iExpressionList.Count() && plain; ++i) {
        TExpression *argument = iExpressionList[i];
        const TVarValue *variable = argument->asVarValue();
        plain =
            !(variable && variable->IsReference()) &&
            (i >= iFunction->Parameter().Count() || argument->Resulttype() == iFunction->Parameter()[i]->ValueType());
    }
    iArguments = plain ? TArguments::plain : TArguments::special;
    TFunctionCode *function = iFunction->asScriptFunction();
    if (plain && function && function->takesInPlace(iExpressionList, iSources))
        iInPlace = function;
    return plain;
}

bool TFunctionValue::evaluateArguments(bool &halted)
{
    // Arguments already on the stack were evaluated in an earlier, suspended step.
    for (int i = int(paramStack.size()); i < iExpressionList.Count(); ++i) {
        TValue &argument = paramStack.emplace_back();
        iExpressionList[i]->evaluate(halted, argument);
        if (halted) {
            paramStack.pop_back();
            return false;
        }
        if (!argumentsArePlain())
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
    if (argumentsArePlain())
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

void TFunctionCode::Call(TValueList &params, bool &halted, TValue &result)
{
    startCall(params, halted, result);
    if (!started) {
        enter(params);
        halted = true;
        return;
    }
    complete(params, result);
}

// Inline, as open and runBody: every call runs them.
inline void TFunctionCode::bindFrame()
{
    // Parameters and the result carry no assignment: binding them is all.
    const bool isNew = iFrame.distinctNames && VarList().isEmpty();
    if (!isNew || !iFrameKept) {
        bindFrameAnew(isNew);
        return;
    }
    reviveVariables(Parameter().Count() + 1);
    Return()->attach(liveVariable(0));
    for (int i = 0; i < Parameter().Count(); ++i)
        Parameter()[i]->attach(liveVariable(i + 1));
}

inline void TFunctionCode::open()
{
    started = true;
    frame();
    // A finished call leaves no variables behind.
    bindFrame();
}

inline void TFunctionCode::runBody()
{
    if (iFrame.program)
        iFrame.program->enterBody(*this);
}

void TFunctionCode::enter(const TValueList &params)
{
    open();
    const TDeclarationList &parameters = Parameter();
    for (int i = 0; i < parameters.Count() && size_t(i) < params.size(); ++i)
        parameters[i]->variable()->setValue(params[size_t(i)]);
    runBody();
}

const TFunctionCode::TFrame &TFunctionCode::decideFrame()
{
    QSet<QString> names = {Return()->Name()};
    bool hasReferences = false;
    for (const TDeclaration *parameter : Parameter()) {
        names.insert(parameter->Name());
        hasReferences = hasReferences || parameter->IsReference();
    }
    iFrame.distinctNames = names.size() == Parameter().Count() + 1;
    iFrame.hasReferences = hasReferences;
    iFrame.program = Parent() ? Parent()->asProgram() : nullptr;
    iFrame.known = true;
    return iFrame;
}

void TFunctionCode::complete(TValueList &params, TValue &result)
{
    takeResult(result);
    if (frame().hasReferences)
        takeReferenceValues(params);
    Finish();
}

bool TFunctionCode::takesInPlace(const TExpressionList &arguments, TArgumentSources &sources)
{
    if (arguments.Count() != Parameter().Count() || frame().hasReferences || !frame().distinctNames)
        return false;
    TArgumentSources found;
    for (int i = 0; i < arguments.Count(); ++i) {
        TExpression *argument = arguments[i];
        if (argument->Resulttype() != Parameter()[i]->ValueType())
            return false;
        const TVarValue *variable = argument->asVarValue();
        const TConstant *constant = argument->asConstant();
        if (variable && !variable->IsReference())
            found.push_back({nullptr, variable->Declaration()});
        else if (constant)
            found.push_back({&constant->Content(), nullptr});
        else
            return false;
    }
    sources = std::move(found);
    return true;
}

void TFunctionCode::enterInPlace(const TArgumentSources &arguments)
{
    open();
    const TDeclarationList &parameters = Parameter();
    for (int i = 0; i < parameters.Count(); ++i) {
        TVariable *v = parameters[i]->variable();
        const TArgumentSource &argument = arguments[size_t(i)];
        if (argument.constant) {
            v->setValue(*argument.constant);
        } else {
            // A missing variable is reported and passes the empty value, as evaluating it does.
            const TVariable *source = argument.variable ? argument.variable->getVariable() : nullptr;
            if (source)
                v->setValue(source->Content());
        }
    }
    runBody();
}

void TFunctionCode::bindFrameAnew(bool isNew)
{
    Return()->bindVariable(this, isNew);
    for (TDeclaration *parameter : Parameter())
        parameter->bindVariable(this, isNew);
    // Bound from an empty list, the result and the parameters hold the first
    // variables in this order, which no other declaration takes: a later call
    // that starts with none finds them there as the discard left them.
    iFrameKept = isNew;
}

void TFunctionCode::takeReferenceValues(TValueList &params)
{
    for (int i = 0; i < Parameter().Count() && size_t(i) < params.size(); ++i) {
        const TDeclaration *parameter = Parameter()[i];
        TVariable *v = parameter->variable();
        if (parameter->IsReference() && v)
            params[size_t(i)] = std::move(v->Content());
    }
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
