#include "script/uKeloRun.h"

#include "script/uKeloStatement.h"

#include <QSet>
#include <algorithm>

// ---------------------------------------------------------------- layout

namespace {
// Lays out one scope's top block, and every block nested in it, after the
// steps already there, deciding each statement on the way. Works with its own
// stack, so that code nested thousands of levels deep does not exhaust the machine's.
class TScopeLayout
{
public:
    TScopeLayout(TSteps &steps, bool isFunction) : iSteps(steps), iFirst(int(steps.size())), iIsFunction(isFunction) {}

    void layOut(TCodeBlock *top)
    {
        iOpen.push_back({top, 0});
        while (!iOpen.empty()) {
            if (iOpen.back().next < iOpen.back().block->Count())
                addStatement();
            else
                closeBlock();
        }
        resolveLines();
    }

private:
    enum class TRole : unsigned char { top, loopBody, ifBranch, elseBranch };
    struct TOpenBlock
    {
        TCodeBlock *block;
        int next;
        TRole role = TRole::top;
        // The loop or the conditional owning the block.
        int owner = -1;
        // For an else branch: the end of the if branch, which jumps past it.
        int ifEnd = -1;
    };

    int append(TStep::TKind kind, const TOpenBlock &in, TStatement *statement)
    {
        TStep step;
        step.kind = kind;
        step.statement = statement;
        step.owner = in.owner;
        iSteps.push_back(step);
        iAfter.push_back(-1);
        return int(iSteps.size()) - 1;
    }

    void addStatement()
    {
        const TOpenBlock in = iOpen.back();
        ++iOpen.back().next;
        TStatement *statement = in.block->Statement(in.next);
        // The run finds the block of a position through its statement.
        Q_ASSERT(statement->Parent() == in.block);
        statement->decide();
        if (auto *loop = dynamic_cast<TLoop *>(statement)) {
            const TStep::TKind kind = loop->comparesIntLeaves() ? TStep::TKind::intLoop : TStep::TKind::loop;
            const int slot = append(kind, in, statement);
            iOpen.push_back({loop->CodeBlock(), 0, TRole::loopBody, slot});
        } else if (auto *conditional = dynamic_cast<TConditional *>(statement)) {
            const TStep::TKind kind =
                conditional->comparesIntLeaves() ? TStep::TKind::intConditional : TStep::TKind::conditional;
            const int slot = append(kind, in, statement);
            iOpen.push_back({conditional->IfCodeBlock(), 0, TRole::ifBranch, slot});
        } else {
            append(kindOf(statement), in, statement);
        }
    }

    static TStep::TKind kindOf(TStatement *statement)
    {
        auto *assignment = dynamic_cast<TAssignment *>(statement);
        switch (assignment ? assignment->shape() : TAssignment::TShape::undecided) {
        case TAssignment::TShape::intLeaves:
            return TStep::TKind::intAssignment;
        case TAssignment::TShape::callInPlace:
            return TStep::TKind::callAssignment;
        default:
            return TStep::TKind::statement;
        }
    }

    void closeBlock()
    {
        const TOpenBlock done = iOpen.back();
        iOpen.pop_back();
        const TStep::TKind kind = done.role != TRole::top ? TStep::TKind::blockEnd
                                  : iIsFunction           ? TStep::TKind::functionEnd
                                                          : TStep::TKind::programEnd;
        const int end = append(kind, done, nullptr);
        switch (done.role) {
        case TRole::top:
            break;
        case TRole::loopBody:
            // The exhausted body goes back to the condition, which is the next step.
            iSteps[size_t(end)].target = done.owner;
            iSteps[size_t(done.owner)].target = end + 1;
            break;
        case TRole::ifBranch: {
            iSteps[size_t(done.owner)].target = end + 1;
            auto *conditional = static_cast<TConditional *>(iSteps[size_t(done.owner)].statement);
            iOpen.push_back({conditional->ElseCodeBlock(), 0, TRole::elseBranch, done.owner, end});
            break;
        }
        case TRole::elseBranch:
            iSteps[size_t(end)].target = end + 1;
            iSteps[size_t(done.ifEnd)].target = end + 1;
            iAfter[size_t(done.owner - iFirst)] = end + 1;
            break;
        }
    }

    // Where the line of a position without one comes from: the cursor of the
    // block beneath, as a stack of blocks would find it. That is the loop
    // itself, or the position after a conditional; -1 at a scope's own block.
    int beneath(int position) const
    {
        const int owner = iSteps[size_t(position)].owner;
        if (owner < 0)
            return -1;
        return TStep::isLoop(iSteps[size_t(owner)].kind) ? owner : iAfter[size_t(owner - iFirst)];
    }

    // A position's line is its statement's; without one, the line beneath it,
    // and at the bottom of a function its caller's.
    void resolveLines()
    {
        std::vector<char> resolved(iAfter.size(), 0);
        std::vector<int> chain;
        for (int i = iFirst; i < int(iSteps.size()); ++i) {
            int at = i;
            int line = TStep::callerLine;
            chain.clear();
            for (;;) {
                if (resolved[size_t(at - iFirst)]) {
                    line = iSteps[size_t(at)].line;
                    break;
                }
                chain.push_back(at);
                const TStatement *statement = iSteps[size_t(at)].statement;
                if (statement && statement->LineNumber() >= 0) {
                    line = statement->LineNumber();
                    break;
                }
                at = beneath(at);
                if (at < 0) {
                    line = iIsFunction ? TStep::callerLine : -1;
                    break;
                }
            }
            for (int j : chain) {
                iSteps[size_t(j)].line = line;
                resolved[size_t(j - iFirst)] = 1;
            }
        }
    }

    TSteps &iSteps;
    const int iFirst;
    const bool iIsFunction;
    std::vector<TOpenBlock> iOpen;
    // By position from iFirst on, for a conditional: the position after its branches.
    std::vector<int> iAfter;
};
} // namespace

// ---------------------------------------------------------------- decisions the layout makes

// Every run decides afresh, so that a tree that grew since the last run is
// decided as it is now. The step's kind holds what the step loop dispatches
// on (an int-leaf condition or assignment, a call assignment passed in place);
// the nodes hold what nested expressions, assignments and calls read.

void TDeclaration::decide()
{
    if (iAssignment)
        iAssignment->decide();
}

void TMultiLiner::decide()
{
    if (iExpression)
        iExpression->decide();
}

bool TMultiLiner::comparesIntLeaves() const
{
    const TOpRelation *relation = iExpression ? iExpression->asRelation() : nullptr;
    return relation && relation->hasIntLeaves();
}

void TFunctionCall::decide()
{
    if (iFunctionValue)
        iFunctionValue->decide();
}

void TAssignment::decide()
{
    if (!iExpression || !iDeclaration) {
        iShape = TShape::incomplete;
        return;
    }
    iExpression->decide();
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

void TOperation::decide()
{
    if (iFirstOperand)
        iFirstOperand->decide();
}

void TOpBianry::decide()
{
    TOperation::decide();
    if (iSecondOperand)
        iSecondOperand->decide();
    if (!areBothInt())
        iIntOperands = TIntOperands::no;
    else if (iFirstLeaf.describe(iFirstOperand.get()) && iSecondLeaf.describe(iSecondOperand.get()))
        iIntOperands = TIntOperands::leaves;
    else
        iIntOperands = TIntOperands::yes;
}

void TFunctionValue::decide()
{
    bool plain = true;
    for (int i = 0; i < iExpressionList.Count(); ++i) {
        TExpression *argument = iExpressionList[i];
        argument->decide();
        const TVarValue *variable = argument->asVarValue();
        plain =
            plain && !(variable && variable->IsReference()) &&
            (i >= iFunction->Parameter().Count() || argument->Resulttype() == iFunction->Parameter()[i]->ValueType());
    }
    iPlainArguments = plain;
    iInPlace = nullptr;
    if (TFunctionCode *function = iFunction->asScriptFunction()) {
        function->decideFrame();
        if (plain && function->takesInPlace(iExpressionList, iSources))
            iInPlace = function;
    }
}

void TFunctionCode::decideFrame()
{
    QSet<QString> names = {Return()->Name()};
    bool hasReferences = false;
    for (const TDeclaration *parameter : Parameter()) {
        names.insert(parameter->Name());
        hasReferences = hasReferences || parameter->IsReference();
    }
    iFrame.distinctNames = names.size() == Parameter().Count() + 1;
    iFrame.hasReferences = hasReferences;
    iFrame.decided = true;
}

bool TFunctionCode::takesInPlace(const TExpressionList &arguments, TArgumentSources &sources)
{
    if (arguments.Count() != Parameter().Count() || iFrame.hasReferences || !iFrame.distinctNames)
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

// ---------------------------------------------------------------- the step loop

void TCallStack::grow() { iItems.resize(std::max<size_t>(16, 2 * iItems.size())); }

void TRunEngine::start()
{
    // Laid out afresh: the tree may have grown since the last run.
    iSteps.clear();
    TScopeLayout(iSteps, false).layOut(iProgram.CodeBlock());
    for (const auto &function : iProgram.FunctionList())
        if (TFunctionCode *code = function->asScriptFunction())
            layOutFunction(*code);
    iCalls.clear();
    setHalt(over, false);
    setHalt(stopRequested, false);
    // A run ended by a fault or a stop may have left a partial evaluation behind.
    for (const TStep &step : iSteps)
        if (step.statement)
            step.statement->Init();
    iPc = 0;
}

int TRunEngine::layOutFunction(TFunctionCode &function)
{
    const int entry = int(iSteps.size());
    TScopeLayout(iSteps, true).layOut(function.CodeBlock());
    function.setEntry(entry);
    return entry;
}

// Inline: the step loop runs it for every statement.
__attribute__((always_inline)) inline void TRunEngine::execute(const TStep &step)
{
    const int at = iPc;
    TStatement *statement = step.statement;
    // An incomplete statement or condition entered a function, which moved
    // the run and may have moved the steps: step is read only when complete.
    try {
        bool truth = false;
        switch (step.kind) {
        case TStep::TKind::statement:
            if (statement->Execute())
                iPc = at + 1;
            return;
        case TStep::TKind::intAssignment:
            static_cast<TAssignment *>(statement)->assignIntLeaves();
            iPc = at + 1;
            return;
        case TStep::TKind::callAssignment:
            if (static_cast<TAssignment *>(statement)->executeCallInPlace())
                iPc = at + 1;
            return;
        default:
            // passBlockEnds moved the run past every end: a loop or a conditional.
            Q_ASSERT(TStep::isCondition(step.kind));
            if (TStep::comparesIntLeaves(step.kind))
                truth = static_cast<TMultiLiner *>(statement)->intLeafTruth();
            else if (!static_cast<TMultiLiner *>(statement)->evaluateCondition(truth))
                return;
            break;
        }
        iPc = truth ? at + 1 : step.target;
    } catch (const TRuntimeError &error) {
        iProgram.Error(statement->LineNumber(), error.Message());
    }
}

// Inline: every step asks for it.
inline int TRunEngine::lineToAnnounce() const
{
    int line = iSteps[size_t(iPc)].line;
    for (size_t i = iCalls.size(); line == TStep::callerLine && i-- > 0;)
        line = iSteps[size_t(iCalls[i])].line;
    return line == TStep::callerLine ? -1 : line;
}

// Moves the run past the ends of exhausted blocks to the next statement;
// false when the program's block is exhausted. Inline: every step passes the
// ends of the blocks it leaves.
inline bool TRunEngine::passBlockEnds()
{
    const TStep *steps = iSteps.data();
    int position = iPc;
    for (;;) {
        const TStep &step = steps[position];
        if (TStep::isExecuted(step.kind))
            break;
        if (step.kind == TStep::TKind::blockEnd)
            position = step.target;
        else if (step.kind == TStep::TKind::functionEnd && !iCalls.empty())
            position = iCalls.pop();
        else
            return false;
    }
    iPc = position;
    return true;
}

bool TRunEngine::next()
{
    if (!stepping())
        return finishStep();
    if (!passBlockEnds()) {
        setHalt(over, true);
        return finishStep();
    }
    execute(iSteps[size_t(iPc)]);
    if (!stepping())
        return finishStep();
    if (const TLineNumberEvent &announce = iProgram.OnLineNumber())
        announce(&iProgram, lineToAnnounce());
    return true;
}

bool TRunEngine::finishStep()
{
    // A finished program stays finished: executing statements of a run whose
    // variables were discarded would read and write freed state.
    if (iState != TProgramState::finished)
        iProgram.Finish();
    return false;
}

// ---------------------------------------------------------------- where the run is

int TRunEngine::depthAt(int position) const
{
    int depth = 1;
    for (int owner = iSteps[size_t(position)].owner; owner >= 0; owner = iSteps[size_t(owner)].owner)
        ++depth;
    return depth;
}

int TRunEngine::blockCount() const
{
    if (!isActive())
        return 0;
    int count = depthAt(iPc);
    for (size_t i = 0; i < iCalls.size(); ++i)
        count += depthAt(iCalls[i]);
    return count;
}

const TCodeBlock *TRunEngine::blockAt(int position) const
{
    const TStep &step = iSteps[size_t(position)];
    if (step.statement)
        return step.statement->Parent();
    if (step.owner >= 0) {
        const TStep &owner = iSteps[size_t(step.owner)];
        if (TStep::isLoop(owner.kind))
            return static_cast<const TLoop *>(owner.statement)->CodeBlock();
        // The if branch ends right before the else branch, where a false condition goes.
        const auto *conditional = static_cast<const TConditional *>(owner.statement);
        return position + 1 == owner.target ? conditional->IfCodeBlock() : conditional->ElseCodeBlock();
    }
    if (step.kind == TStep::TKind::programEnd)
        return iProgram.CodeBlock();
    // A function's body runs from its entry to its end, so the end closes the
    // body with the latest entry before it.
    const TFunctionCode *body = nullptr;
    for (const auto &function : iProgram.FunctionList()) {
        const TFunctionCode *code = function->asScriptFunction();
        if (code && code->entry() >= 0 && code->entry() <= position && (!body || code->entry() > body->entry()))
            body = code;
    }
    return body ? body->CodeBlock() : nullptr;
}

int TRunEngine::indexAt(int position) const
{
    const TCodeBlock *block = blockAt(position);
    const TStatement *statement = iSteps[size_t(position)].statement;
    if (!statement)
        return block->Count();
    int index = 0;
    while (block->Statement(index) != statement)
        ++index;
    return index;
}

int TRunEngine::cursorIn(const TCodeBlock *block) const
{
    if (!isActive())
        return -1;
    // From the run's position out through the blocks it is in, then from each caller's.
    for (size_t frame = iCalls.size() + 1; frame-- > 0;) {
        int position = frame == iCalls.size() ? iPc : iCalls[frame];
        bool inBranch = false;
        while (position >= 0) {
            // The block of a conditional goes on after it while a branch runs.
            if (blockAt(position) == block)
                return indexAt(position) + (inBranch ? 1 : 0);
            position = iSteps[size_t(position)].owner;
            inBranch = position >= 0 && !TStep::isLoop(iSteps[size_t(position)].kind);
        }
    }
    return -1;
}

// ---------------------------------------------------------------- entering and completing calls

// Inline: every call of a script function enters its body.
__attribute__((always_inline)) inline void TRunEngine::enterBody(TFunctionCode &function)
{
    if (!isActive())
        return;
    const int entry = function.entry() >= 0 ? function.entry() : layOutFunction(function);
    iCalls.push(iPc);
    iPc = entry;
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
    // Every call of a script function is laid out, and so decides its frame, before it runs.
    Q_ASSERT(iFrame.decided);
    started = true;
    // A finished call leaves no variables behind.
    bindFrame();
}

inline void TFunctionCode::runBody()
{
    if (TProgram *program = Parent() ? Parent()->asProgram() : nullptr)
        program->enterBody(*this);
}

void TFunctionCode::enter(const TValueList &params)
{
    open();
    const TDeclarationList &parameters = Parameter();
    for (int i = 0; i < parameters.Count() && size_t(i) < params.size(); ++i)
        parameters[i]->variable()->setValue(params[size_t(i)]);
    runBody();
}

void TFunctionCode::complete(TValueList &params, TValue &result)
{
    takeResult(result);
    if (iFrame.hasReferences)
        takeReferenceValues(params);
    Finish();
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
