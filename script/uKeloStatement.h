#pragma once
// Statements besides declarations (loops, conditionals, assignments, calls,
// exit), the call expression, and the two kinds of functions: script functions
// that run their body over several steps and built-ins that run within one.
#include "script/uKeloExpression.h"
#include "script/uKeloProgram.h"

class TFunctionCall;

// A statement with a condition and one or more blocks.
class TMultiLiner : public TStatement
{
public:
    TExpression *Expression() const { return iExpression.get(); }
    void setExpression(std::unique_ptr<TExpression> expression) { iExpression = std::move(expression); }
    void setLineNumber(int line) override;
    void Init() override;
    void decide() override;
    // Evaluates the condition, which decides the block the run goes on in;
    // false when a call in it halted.
    bool evaluateCondition(bool &truth);
    // Whether the condition compares two int leaves; only once decided.
    bool comparesIntLeaves() const;
    // Only when comparesIntLeaves: the truth, without evaluating a tree.
    bool intLeafTruth() const { return static_cast<const TOpRelation *>(iExpression.get())->intLeafTruth(); }

protected:
    std::unique_ptr<TExpression> iExpression;
};

// WHILE ... ENDWHILE; the run evaluates the condition before every pass.
class TLoop final : public TMultiLiner
{
public:
    TLoop();
    TCodeBlock *CodeBlock() const { return iCodeBlock.get(); }
    void releaseBlocks(std::vector<std::unique_ptr<TStatement>> &into) override;

private:
    std::unique_ptr<TCodeBlock> iCodeBlock;
};

// IF ... [ELSE ...] ENDIF; an ELSEIF branch is a conditional in the else block.
// The run evaluates the condition and goes on in the chosen branch.
class TConditional final : public TMultiLiner
{
public:
    TConditional();
    TCodeBlock *ElseCodeBlock() const { return iElseCodeBlock.get(); }
    TCodeBlock *IfCodeBlock() const { return iIfCodeBlock.get(); }
    bool IsElseif() const { return iIsElseif; }
    void setIsElseif(bool isElseif) { iIsElseif = isElseif; }
    void releaseBlocks(std::vector<std::unique_ptr<TStatement>> &into) override;

private:
    std::unique_ptr<TCodeBlock> iElseCodeBlock;
    std::unique_ptr<TCodeBlock> iIfCodeBlock;
    bool iIsElseif = false;
};

class TAssignment final : public TStatement
{
public:
    TDeclaration *Declaration() const { return iDeclaration; }
    void setDeclaration(TDeclaration *declaration)
    {
        iDeclaration = declaration;
        iShape = TShape::undecided;
    }
    TExpression *Expression() const { return iExpression.get(); }
    void setExpression(std::unique_ptr<TExpression> expression)
    {
        iExpression = std::move(expression);
        iShape = TShape::undecided;
    }
    void setLineNumber(int line) override;
    bool Execute() override;
    void Init() override;
    void decide() override;
    bool isTypeMatch() const;

    // What the assignment does with the value: converts it to the variable's
    // type, stores it as it is, appends to the variable's own text, stores an
    // integer result as the number, computes it from two int leaves, or takes
    // the result of a call entered in place. incomplete lacks a part and does nothing.
    enum class TShape : quint8 { undecided, converting, plain, appending, integer, intLeaves, callInPlace, incomplete };
    TShape shape() const { return iShape; }
    // Execute for the int-leaves shape.
    void assignIntLeaves()
    {
        // Computed before the variable is looked up, as every assignment does.
        storeInteger(static_cast<const TOpMath *>(iExpression.get())->intLeafResult());
    }
    // Execute for the call-in-place shape.
    bool executeCallInPlace();

private:
    // Every decided shape but the int leaves and the call in place.
    bool executeShaped();
    // False when the evaluation halted.
    bool evaluate(TValue &value)
    {
        bool halted = false;
        iExpression->evaluate(halted, value);
        return !halted;
    }
    void storeInteger(qint64 result)
    {
        if (TVariable *v = iDeclaration->getVariable())
            v->setIntResult(result);
    }
    TOpMath::TAppend append(TValue &value);
    void storeConverted(TVariable *v, TValue &&value);

    TDeclaration *iDeclaration = nullptr;
    std::unique_ptr<TExpression> iExpression;
    TShape iShape = TShape::undecided;
};

// Where an argument passed in place comes from: a constant's value or a variable.
struct TArgumentSource
{
    const TValue *constant = nullptr;
    const TDeclaration *variable = nullptr;
};
using TArgumentSources = std::vector<TArgumentSource>;

// A call of a function with argument expressions.
class TFunctionValue final : public TExpression
{
public:
    explicit TFunctionValue(TFunction *function) : iFunction(function) {}
    TType Resulttype() const override;
    void setLineNumber(int line) override;
    void evaluate(bool &halted, TValue &value) override;
    void Init() override;
    void decide() override;

    TFunctionValue *asCall() override { return this; }
    // Whether the call passes its arguments in place; only once decided.
    bool passesInPlace() const { return iInPlace != nullptr; }
    // For a call that passes in place: whether it entered its function and
    // awaits completion.
    bool enteredInPlace() const { return iEntered; }
    // Enters the function with the arguments read in place; false, with nothing
    // done, when the function is active, which evaluate reports as recursion.
    inline bool enterInPlace();
    // Completes the call entered in place: its result into result.
    inline void completeInPlace(TValue &result);

    TFunctionCall *Caller() const { return iCaller; }
    void setCaller(TFunctionCall *caller) { iCaller = caller; }
    TExpressionList &ExpressionList() { return iExpressionList; }
    const TExpressionList &ExpressionList() const { return iExpressionList; }
    TFunction *FunctionRef() const { return iFunction; }

private:
    bool evaluateArguments(bool &halted);
    void convertArgument(int index, TValue &value) const;
    void completeCall();
    void writeBackReference(int index, TVarValue *argument);
    // The caller's program when this is a call statement, otherwise nullptr.
    TProgram *callerProgram() const;
    void reportRecursion() const;

    TFunctionCall *iCaller = nullptr;
    TExpressionList iExpressionList;
    TFunction *iFunction;
    // Argument values evaluated so far for the call in progress.
    TValueList paramStack;
    // This call entered a script function whose completion is still due.
    bool iEntered = false;
    // No argument needs a conversion or a write-back. Until the run decides,
    // every call takes the way that converts and writes back.
    bool iPlainArguments = false;
    // The script function when the call passes its arguments in place.
    TFunctionCode *iInPlace = nullptr;
    TArgumentSources iSources;
};

// A call used as a statement; the result is discarded.
class TFunctionCall final : public TStatement
{
public:
    TFunctionValue *FunctionValue() const { return iFunctionValue.get(); }
    void setFunctionValue(std::unique_ptr<TFunctionValue> value);
    void setLineNumber(int line) override;
    bool Execute() override;
    void Init() override;
    void decide() override;

private:
    std::unique_ptr<TFunctionValue> iFunctionValue;
};

// Ends the run (the body of the built-in exit).
class TExitCall final : public TStatement
{
public:
    bool Execute() override;
};

// A function written in the script: a call enters it and the run goes through
// its body; the next call of Call after the body ran completes the call.
class TFunctionCode final : public TFunction
{
public:
    void Finish() override;
    void Call(TValueList &params, bool &halted, TValue &result) override;
    bool isActive() const override { return started; }
    TFunctionCode *asScriptFunction() override { return this; }
    // The position of the body in its program's laid-out steps; -1 before.
    int entry() const { return iEntry; }
    void setEntry(int entry) { iEntry = entry; }
    // Decides what entering and completing a call need to know of the
    // function; every call of it decides it when the run lays the call out.
    void decideFrame();
    // Whether a call can pass these arguments, all constants or variables, by
    // reading them in place: no conversion, no reference, one per parameter.
    // Names the arguments' sources in sources when it can.
    bool takesInPlace(const TExpressionList &arguments, TArgumentSources &sources);
    // Starts the call with the arguments' values; its body runs in the next steps.
    void enterInPlace(const TArgumentSources &arguments);
    // Completes a call entered in place, which has no reference parameters:
    // the result into result.
    void completeInPlace(TValue &result)
    {
        takeResult(result);
        Finish();
    }

private:
    struct TFrame
    {
        bool decided = false;
        // The result and the parameters all have different names: entering
        // binds each to a new variable directly.
        bool distinctNames = false;
        bool hasReferences = false;
    };
    // Ends the activation and moves the result's value into result.
    void takeResult(TValue &result)
    {
        started = false;
        if (TVariable *r = Return()->variable())
            result = std::move(r->Content());
        else
            result.clear();
    }
    void enter(const TValueList &params);
    // Completes the call: the result into result, a reference parameter's final
    // value into its item of params.
    void complete(TValueList &params, TValue &result);
    // Starts an activation with the result and the parameters bound to
    // variables of the function; the arguments' values are still to be set.
    void open();
    // Enters the body, which runs from the next step.
    void runBody();
    // Binds the result and the parameters to variables of the function.
    void bindFrame();
    // bindFrame when the variables of the last call cannot be brought back.
    void bindFrameAnew(bool isNew);
    // Hands each reference parameter's final value back in its item.
    void takeReferenceValues(TValueList &params);

    bool started = false;
    int iEntry = -1;
    TFrame iFrame;
    bool iFrameKept = false;
};

bool TFunctionValue::enterInPlace()
{
    if (iInPlace->isActive())
        return false;
    iInPlace->enterInPlace(iSources);
    iEntered = true;
    return true;
}

void TFunctionValue::completeInPlace(TValue &result)
{
    iEntered = false;
    iInPlace->completeInPlace(result);
}

// The hook of a built-in: receives the name and the argument texts (items may
// be replaced, the count must stay) and returns the result text.
using TFunctionBinCall = std::function<QString(const QString &name, QStringList &params)>;

// A built-in supplied by a sandbox; runs completely within one step.
class TFunctionBin final : public TFunction
{
public:
    const TFunctionBinCall &call() const { return iCall; }
    void setCall(TFunctionBinCall call) { iCall = std::move(call); }
    void Call(TValueList &params, bool &halted, TValue &result) override;

private:
    TFunctionBinCall iCall;
};

// The built-in exit function every program holds first.
std::unique_ptr<TFunctionCode> CreateExitFunction();
