#pragma once
// Expression trees: constants, variable reads and operations. Evaluation can be
// suspended while a called script function runs; binary operations keep their
// first operand's value across such suspended evaluations.
#include "script/uKeloProgram.h"

#include <QByteArray>
#include <exception>

// An arithmetic fault ("Division durch Null", ...). It leaves Next as this
// exception; the program stays running with the faulting statement next.
class TArithmeticFault : public std::exception
{
public:
    explicit TArithmeticFault(const QString &message) : iMessage(message), iUtf8(message.toUtf8()) {}
    const QString &Message() const { return iMessage; }
    const char *what() const noexcept override { return iUtf8.constData(); }

private:
    QString iMessage;
    QByteArray iUtf8;
};

class TConstant;
class TFunctionValue;
class TOpMath;
class TOpRelation;
class TVarValue;

class TExpression
{
public:
    TExpression() = default;
    virtual ~TExpression() = default;
    TExpression(const TExpression &) = delete;
    TExpression &operator=(const TExpression &) = delete;

    virtual TType Resulttype() const = 0;
    int LineNumber() const { return iLineNumber; }
    virtual void setLineNumber(int line) { iLineNumber = line; }
    // With halted true a script function has just been started in the subtree
    // and value is meaningless: evaluate the same tree again in a later step.
    virtual void evaluate(bool &halted, TValue &value) = 0;
    // The text evaluate gives.
    void getValue(bool &halted, QString &value);
    // IntOperand of the text evaluate gives; nodes that know the number skip
    // writing and re-reading the text.
    virtual qint32 getIntOperand(bool &halted);
    // A node that computes an integer itself gives the exact 64-bit result whose
    // decimal text evaluate writes; any other node answers false unevaluated.
    virtual bool getExactInt(bool &halted, qint64 &value);
    // ValueToBool of the text evaluate gives.
    virtual bool getTruth(bool &halted);
    virtual TVarValue *asVarValue() { return nullptr; }
    virtual TOpMath *asMath() { return nullptr; }
    virtual TOpRelation *asRelation() { return nullptr; }
    virtual TConstant *asConstant() { return nullptr; }
    virtual TFunctionValue *asCall() { return nullptr; }
    // Decides how the tree evaluates, once it is complete: the run's layout
    // calls it. Undecided, a tree evaluates the general way, with the same results.
    virtual void decide() {}
    // Drops what a suspended evaluation kept; runs whenever a run starts.
    virtual void Init() { chached = false; }
    bool isChached() const { return chached; }

protected:
    int iLineNumber = -1;
    // A binary operation holds its first operand's value from a suspended evaluation.
    bool chached = false;
};

using TExpressionList = TOwningList<TExpression>;

// A literal; bool, tile and dir literals are stored in their canonical text.
class TConstant final : public TExpression
{
public:
    TConstant(const QString &value, TType t);
    TType Resulttype() const override { return iType; }
    const QString &Value() const { return iValue.Text(); }
    qint32 IntReading() const { return iValue.IntReading(); }
    const TValue &Content() const { return iValue; }
    TConstant *asConstant() override { return this; }
    void evaluate(bool &halted, TValue &value) override;
    qint32 getIntOperand(bool &halted) override;

private:
    TType iType;
    TValue iValue;
};

// The value of a variable, through its declaration.
class TVarValue final : public TExpression
{
public:
    explicit TVarValue(TDeclaration *declaration) : iDeclaration(declaration) {}
    TType Resulttype() const override;
    TDeclaration *Declaration() const { return iDeclaration; }
    // An argument written with the reference marker: the call writes the
    // parameter's final value back into the variable.
    bool IsReference() const { return iIsReference; }
    void setIsReference(bool isReference) { iIsReference = isReference; }
    TVarValue *asVarValue() override { return this; }
    void evaluate(bool &halted, TValue &value) override;
    qint32 getIntOperand(bool &halted) override;

private:
    TDeclaration *iDeclaration;
    bool iIsReference = false;
};

// An int operand read in place, without evaluating it: a constant's number, or
// the value of an int variable (0 when the variable is missing, which is reported).
struct TIntLeaf
{
    const TDeclaration *variable = nullptr;
    qint32 constant = 0;

    qint32 read() const
    {
        if (!variable)
            return constant;
        const TVariable *v = variable->getVariable();
        return v ? v->IntValue() : 0;
    }
    // Sets the leaf for an operand that is a constant or a variable; false otherwise.
    bool describe(TExpression *operand);
};

class TOperation : public TExpression
{
public:
    TExpression *FirstOperand() const { return iFirstOperand.get(); }
    void setFirstOperand(std::unique_ptr<TExpression> operand);
    void setLineNumber(int line) override;
    void Init() override;
    void decide() override;
    // Whether the operand types fit the operation (asked by the parser).
    virtual bool isTypeMatch() const = 0;

protected:
    std::unique_ptr<TExpression> iFirstOperand;
};

class TOpUnary : public TOperation
{
};

// "not"
class TOpNot final : public TOpUnary
{
public:
    TType Resulttype() const override { return TType::bool_; }
    bool isTypeMatch() const override;
    void evaluate(bool &halted, TValue &value) override;
    bool getTruth(bool &halted) override;
};

class TOpBianry : public TOperation
{
public:
    // The operator text is stored lower-cased.
    explicit TOpBianry(const QString &op);
    TExpression *SecondOperand() const { return iSecondOperand.get(); }
    void setSecondOperand(std::unique_ptr<TExpression> operand);
    const QString &operat() const { return op; }
    void setLineNumber(int line) override;
    void Init() override;
    void decide() override;
    // Both operands present and of equal or convertible types.
    bool isTypeMatch() const override;

protected:
    // Evaluates the first operand unless cached (into first), then the second.
    // False when either halted; the first value stays cached in that case.
    bool evaluateOperands(bool &halted, QString &first, QString &second);
    // The same for two int operands read as integers; the first stays in iFirstInt.
    bool evaluateIntOperands(bool &halted, qint32 &second);
    // Both operands are int.
    bool hasIntOperands() const
    {
        return iIntOperands != TIntOperands::undecided ? iIntOperands != TIntOperands::no : areBothInt();
    }
    // Both operands are int constants or int variables, which never halt and
    // are read in place into a and b; only once decided.
    bool hasIntLeaves() const { return iIntOperands == TIntOperands::leaves; }
    void readIntLeaves(qint32 &a, qint32 &b) const
    {
        a = iFirstLeaf.read();
        b = iSecondLeaf.read();
    }
    TType firstType() const { return iFirstOperand->Resulttype(); }
    TType secondType() const { return iSecondOperand->Resulttype(); }

    std::unique_ptr<TExpression> iSecondOperand;
    QString op;
    qint32 iFirstInt = 0;

private:
    bool areBothInt() const;
    // Whether both operands are int, and leaves.
    enum class TIntOperands : quint8 { undecided, yes, leaves, no };
    TIntOperands iIntOperands = TIntOperands::undecided;
    TIntLeaf iFirstLeaf;
    TIntLeaf iSecondLeaf;
};

// "and", "or" (short-circuit).
class TOpBool final : public TOpBianry
{
public:
    using TOpBianry::TOpBianry;
    TType Resulttype() const override { return TType::bool_; }
    bool isTypeMatch() const override;
    void evaluate(bool &halted, TValue &value) override;
    bool getTruth(bool &halted) override;

private:
    bool v1 = false;
};

// "+", "-", "*", "/", "div", "%"
class TOpMath final : public TOpBianry
{
public:
    explicit TOpMath(const QString &op);
    TOpMath *asMath() override { return this; }
    TType Resulttype() const override;
    bool isTypeMatch() const override;
    void evaluate(bool &halted, TValue &value) override;
    qint32 getIntOperand(bool &halted) override;
    bool getExactInt(bool &halted, qint64 &value) override;
    enum class TAppend : quint8 { notApplicable, halted, appended, computed };
    // Evaluates "target + operand" for a string variable target and extends
    // the target's text in place where it can (appended); computed leaves the
    // result in value for the caller to assign; notApplicable evaluates nothing.
    TAppend appendTo(const TDeclaration *target, QString &value);
    // An int result of two int leaves, computed without evaluating a tree.
    bool computesFromIntLeaves() const { return iOperator != Operator::Divide && hasIntLeaves(); }
    // Only when computesFromIntLeaves.
    qint64 intLeafResult() const
    {
        qint32 a = 0;
        qint32 b = 0;
        readIntLeaves(a, b);
        return integerResult(a, b);
    }

private:
    enum class Operator : quint8 { Add, Subtract, Multiply, Divide, Div, Mod, Unknown };
    // The result of operands that are not both int, or of "/".
    void evaluateText(bool &halted, TValue &value);
    QString concatenate(const QString &first, const QString &second) const;
    qint64 integerResult(qint32 a, qint32 b) const
    {
        qint32 sum = 0;
        if (iOperator == Operator::Add && !__builtin_add_overflow(a, b, &sum))
            return sum;
        return anyIntegerResult(a, b);
    }
    qint64 anyIntegerResult(qint32 a, qint32 b) const;
    QString floatResult(double a, double b) const;

    Operator iOperator;
    QString v1;
};

// "==", "!=", "<", ">", "<=", ">="
class TOpRelation final : public TOpBianry
{
public:
    explicit TOpRelation(const QString &op);
    TType Resulttype() const override { return TType::bool_; }
    void evaluate(bool &halted, TValue &value) override;
    bool getTruth(bool &halted) override;
    TOpRelation *asRelation() override { return this; }
    // Only when hasIntLeaves: the truth, without evaluating a tree.
    bool intLeafTruth() const
    {
        qint32 a = 0;
        qint32 b = 0;
        readIntLeaves(a, b);
        return holds(a, b);
    }
    using TOpBianry::hasIntLeaves;

private:
    enum class Operator : quint8 { Equal, NotEqual, Less, Greater, LessEqual, GreaterEqual, Unknown };
    template <class N> bool holds(const N &a, const N &b) const
    {
        switch (iOperator) {
        case Operator::Equal:
            return a == b;
        case Operator::NotEqual:
            return a != b;
        case Operator::Less:
            return a < b;
        case Operator::Greater:
            return a > b;
        case Operator::LessEqual:
            return a <= b;
        case Operator::GreaterEqual:
            return a >= b;
        case Operator::Unknown:
            break;
        }
        return false;
    }
    // Both compare the cached first value and the second, which they may convert.
    bool compareNumbers(QString &first, QString &second) const;
    bool compareTexts(QString &first, QString &second) const;

    Operator iOperator;
    QString v;
};
