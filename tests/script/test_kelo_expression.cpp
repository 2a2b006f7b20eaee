#include "KeloBuilder.h"
#include "tests/support/Printers.h"

#include <gtest/gtest.h>

using namespace kelo_test;

namespace {
ExprPtr num(const char *text)
{
    bool failed = false;
    const QString t = QString::fromLatin1(text);
    return constant(t, LiteralType(t, failed));
}

ExprPtr str(const char *text) { return constant(QuoteStr(QString::fromUtf8(text)), TType::kelostr); }

QString evaluate(TExpression &e)
{
    bool halted = true;
    QString value;
    e.getValue(halted, value);
    EXPECT_FALSE(halted);
    return value;
}

QString evaluate(const ExprPtr &e) { return evaluate(*e); }

QString faultOf(const ExprPtr &e)
{
    try {
        evaluate(e);
    } catch (const TArithmeticFault &fault) {
        return fault.Message();
    }
    return QStringLiteral("<no fault>");
}
} // namespace

TEST(KeloExpression, OperatorsAcceptOnlyTheirOperandTypes)
{
    EXPECT_TRUE(static_cast<TOpMath &>(*math("+", num("1"), str("a"))).isTypeMatch());
    EXPECT_TRUE(static_cast<TOpMath &>(*math("+", num("true"), str("a"))).isTypeMatch());
    EXPECT_FALSE(static_cast<TOpMath &>(*math("-", num("1"), str("a"))).isTypeMatch());
    EXPECT_FALSE(static_cast<TOpMath &>(*math("+", num("true"), num("1"))).isTypeMatch());
    EXPECT_TRUE(static_cast<TOpMath &>(*math("%", num("1.5"), num("1"))).isTypeMatch());
    EXPECT_FALSE(static_cast<TOpRelation &>(*relation("==", num("tGreen"), num("dEast"))).isTypeMatch());
    EXPECT_TRUE(static_cast<TOpRelation &>(*relation("<", num("dEast"), str("x"))).isTypeMatch());
    EXPECT_FALSE(static_cast<TOpRelation &>(*relation("<", num("1"), num("true"))).isTypeMatch());
    EXPECT_FALSE(TOpRelation(QStringLiteral("==")).isTypeMatch()) << "operands missing";
    EXPECT_FALSE(static_cast<TOpBool &>(*binary<TOpBool>("and", num("true"), num("1"))).isTypeMatch());

    TOpNot negation;
    negation.setFirstOperand(num("1"));
    EXPECT_FALSE(negation.isTypeMatch());
    EXPECT_EQ(negation.Resulttype(), TType::bool_);
}

TEST(KeloExpression, ResultTypesFollowTheOperandTypes)
{
    EXPECT_EQ(math("+", num("1"), num("2"))->Resulttype(), TType::int_);
    EXPECT_EQ(math("+", num("1"), num("2.5"))->Resulttype(), TType::kelofloat);
    EXPECT_EQ(math("+", num("1"), str("a"))->Resulttype(), TType::kelostr);
    EXPECT_EQ(math("/", num("6"), num("3"))->Resulttype(), TType::kelofloat);
    EXPECT_EQ(math("DIV", num("6"), num("3"))->Resulttype(), TType::int_);
    EXPECT_EQ(static_cast<TOpBianry &>(*math("DIV", num("6"), num("3"))).operat(), QStringLiteral("div"));
    EXPECT_EQ(relation("<", num("1"), num("2"))->Resulttype(), TType::bool_);
    EXPECT_EQ(TConstant(QStringLiteral("TRUE"), TType::bool_).Value(), QStringLiteral("true"));
    EXPECT_EQ(TConstant(QStringLiteral("0x10"), TType::int_).Value(), QStringLiteral("0x10"));
}

TEST(KeloExpression, IntegerArithmeticTruncatesAndWritesOverflowInFull)
{
    EXPECT_EQ(evaluate(math("+", num("2147483647"), num("1"))), QStringLiteral("2147483648"));
    EXPECT_EQ(evaluate(math("-", num("-2147483648"), num("1"))), QStringLiteral("-2147483649"));
    EXPECT_EQ(evaluate(math("*", num("65536"), num("65536"))), QStringLiteral("4294967296"));
    EXPECT_EQ(evaluate(math("+", math("+", num("2147483647"), num("1")), num("5"))), QStringLiteral("5"))
        << "an overflowed text reads as 0 in a later int operation";
    EXPECT_EQ(evaluate(math("+", num("0x10"), num("1"))), QStringLiteral("17"));
    EXPECT_EQ(evaluate(math("/", num("7"), num("2"))), QStringLiteral("3.5"));
    EXPECT_EQ(evaluate(math("/", num("6"), num("3"))), QStringLiteral("2"));
    EXPECT_EQ(evaluate(math("div", num("7"), num("2"))), QStringLiteral("3"));
    EXPECT_EQ(evaluate(math("div", num("-7"), num("2"))), QStringLiteral("-3"));
    EXPECT_EQ(evaluate(math("%", num("-7"), num("2"))), QStringLiteral("-1"));
    EXPECT_EQ(evaluate(math("%", num("7"), num("-2"))), QStringLiteral("1"));
    EXPECT_EQ(evaluate(math("div", num("-2147483648"), num("-1"))), QStringLiteral("2147483648"));
    EXPECT_EQ(evaluate(math("%", num("-2147483648"), num("-1"))), QStringLiteral("0"));
    EXPECT_EQ(evaluate(math("^", num("7"), num("2"))), QStringLiteral("0"));
}

TEST(KeloExpression, FloatArithmeticRoundsDivOperandsHalfToEven)
{
    const auto divResult = math("div", num("7.5"), num("2"));
    EXPECT_EQ(evaluate(divResult), QStringLiteral("4"));
    EXPECT_EQ(divResult->Resulttype(), TType::kelofloat);
    EXPECT_EQ(evaluate(math("div", num("2.5"), num("1"))), QStringLiteral("2"));
    EXPECT_EQ(evaluate(math("%", num("7.5"), num("3"))), QStringLiteral("2"));
    EXPECT_EQ(evaluate(math("+", num("1"), num("2.5"))), QStringLiteral("3.5"));
    EXPECT_EQ(evaluate(math("+", num("0.1"), num("0.2"))), QStringLiteral("0.3"));
    EXPECT_EQ(evaluate(math("*", num("1,5"), num("2"))), QStringLiteral("3"));
    EXPECT_EQ(evaluate(math("-", num("2"), num("2.5"))), QStringLiteral("-0.5"));
}

TEST(KeloExpression, ArithmeticFaultsCarryTheirMessages)
{
    EXPECT_EQ(faultOf(math("div", num("5"), num("0"))), QStringLiteral("Division durch Null"));
    EXPECT_EQ(faultOf(math("%", num("5"), num("0"))), QStringLiteral("Division durch Null"));
    EXPECT_EQ(faultOf(math("div", num("5.5"), num("0.4"))), QStringLiteral("Division durch Null"));
    EXPECT_EQ(faultOf(math("/", num("5"), num("0"))), QStringLiteral("Gleitkommadivision durch Null"));
    EXPECT_EQ(faultOf(math("/", num("0"), num("0.0"))), QStringLiteral("Ungültige Gleitkommaoperation"));
    EXPECT_EQ(faultOf(math("*", num("1e308"), num("10"))), QStringLiteral("Gleitkommaüberlauf"));
    EXPECT_EQ(faultOf(math("div", num("3e9"), num("2.0"))), QStringLiteral("Fehler bei Bereichsprüfung"));
    EXPECT_STREQ(TArithmeticFault(QStringLiteral("Gleitkommaüberlauf")).what(), "Gleitkommaüberlauf");
}

TEST(KeloExpression, PlusJoinsStringsAndQuotesTheOtherSide)
{
    EXPECT_EQ(evaluate(math("+", str("a"), num("1"))), QStringLiteral("\"a1\""));
    EXPECT_EQ(evaluate(math("+", num("1"), str("a"))), QStringLiteral("\"1a\""));
    EXPECT_EQ(evaluate(math("+", num("true"), str("x"))), QStringLiteral("\"truex\""));
    EXPECT_EQ(evaluate(math("+", str("\"q\""), str("\n"))), QStringLiteral("\"\\\"q\\\"\\n\""));

    TProgram program;
    auto *s = declare(program, program.CodeBlock(), QStringLiteral("s"), TType::kelostr, 0);
    program.Run();
    program.Next();
    EXPECT_EQ(evaluate(math("+", var(s), str("b"))), QStringLiteral("\"b\"")) << "unassigned string is empty";
}

TEST(KeloExpression, NumbersCompareNumericallyEverythingElseAsText)
{
    const auto holds = [](ExprPtr e) { return evaluate(e) == QStringLiteral("true"); };
    EXPECT_TRUE(holds(relation("==", num("1"), num("1.0"))));
    EXPECT_TRUE(holds(relation("<", num("2"), num("10"))));
    EXPECT_TRUE(holds(relation(">=", num("2.5"), num("2"))));
    EXPECT_TRUE(holds(relation("==", str("5"), num("5"))));
    EXPECT_TRUE(holds(relation("<", str("10"), str("9"))));
    EXPECT_TRUE(holds(relation("<", str("a!"), str("a"))));
    EXPECT_TRUE(holds(relation("<", str("a"), str("ab"))));
    EXPECT_TRUE(holds(relation("<", str("Z"), str("a"))));
    EXPECT_TRUE(holds(relation("<", num("false"), num("true"))));
    EXPECT_TRUE(holds(relation(">", num("dNorth"), num("dEast"))));
    EXPECT_TRUE(holds(relation("<", num("tMark"), num("tShortGreen"))));
    EXPECT_TRUE(holds(relation("!=", str("a"), str("A"))));
    EXPECT_FALSE(holds(relation("<>", num("1"), num("2"))));
}

TEST(KeloExpression, NotTreatsEveryTextButTrueAsFalse)
{
    const auto negate = [](ExprPtr operand) {
        TOpNot n;
        n.setFirstOperand(std::move(operand));
        return evaluate(n);
    };
    EXPECT_EQ(negate(num("true")), QStringLiteral("false"));
    EXPECT_EQ(negate(num("false")), QStringLiteral("true"));
    EXPECT_EQ(negate(str("true")), QStringLiteral("true"));
    EXPECT_EQ(negate(num("7")), QStringLiteral("true"));
}

TEST(KeloExpression, AndOrSkipTheSecondOperandWhenTheFirstDecides)
{
    TProgram program;
    int calls = 0;
    auto *probe = countingBuiltin(program, QStringLiteral("probe"), TType::bool_, calls, QStringLiteral("true"));
    EXPECT_EQ(evaluate(binary<TOpBool>("and", num("false"), callValue(probe))), QStringLiteral("false"));
    EXPECT_EQ(evaluate(binary<TOpBool>("or", num("true"), callValue(probe))), QStringLiteral("true"));
    EXPECT_EQ(calls, 0);
    EXPECT_EQ(evaluate(binary<TOpBool>("AND", num("true"), callValue(probe))), QStringLiteral("true"));
    EXPECT_EQ(evaluate(binary<TOpBool>("or", num("false"), callValue(probe))), QStringLiteral("true"));
    EXPECT_EQ(calls, 2);
    EXPECT_EQ(evaluate(binary<TOpBool>("xor", num("true"), num("true"))), QStringLiteral("false"));
}

TEST(KeloExpression, FaultLeavesTheProgramRunningAndKeepsTheFirstOperandCached)
{
    TProgram program;
    Recorder rec(program);
    int calls = 0;
    auto *seven = countingBuiltin(program, QStringLiteral("seven"), TType::int_, calls, QStringLiteral("7"));
    auto *x = declare(program, program.CodeBlock(), QStringLiteral("x"), TType::int_, 0);
    auto *faulty = assign(program.CodeBlock(), x, math("+", callValue(seven), math("div", num("1"), num("0"))), 1);
    program.Run();
    program.Next();
    EXPECT_THROW(program.Next(), TArithmeticFault);
    EXPECT_EQ(program.State(), TProgramState::running);
    EXPECT_EQ(program.CodeBlock()->CurInd(), 1) << "the faulting statement stays next";
    EXPECT_TRUE(faulty->Expression()->isChached());
    EXPECT_THROW(program.Next(), TArithmeticFault);
    EXPECT_EQ(calls, 1) << "the cached first operand is not evaluated again";
    EXPECT_TRUE(rec.errors.isEmpty());
    program.Run();
    EXPECT_FALSE(faulty->Expression()->isChached()) << "pushing the block resets the caches";
}
