// Expression parser: bracket stripping, operator search order, operands,
// calls and their signatures, the built-in call collector.
#include "parser_fixture.h"

namespace {
template <class T> T *as(const std::unique_ptr<TExpression> &e) { return dynamic_cast<T *>(e.get()); }
} // namespace

using Expressions = ParserFixture;

TEST_F(Expressions, EmptyAndEnclosingBrackets)
{
    declare("x", TType::int_);
    declare("a", TType::int_);
    declare("b", TType::int_);
    EXPECT_FALSE(parser.parseExpression(QStringLiteral("   ")));
    EXPECT_FALSE(parser.parseExpression(QStringLiteral("( )")));
    EXPECT_EQ(errors().count(QStringLiteral("Fehler: Zeile 1 : leerer Ausdruck")), 2);

    EXPECT_TRUE(as<TVarValue>(parser.parseExpression(QStringLiteral(" ((x)) "))));

    std::unique_ptr<TExpression> sum = parser.parseExpression(QStringLiteral("(a) + (b)"));
    auto *math = as<TOpMath>(sum);
    ASSERT_TRUE(math);
    EXPECT_TRUE(dynamic_cast<TVarValue *>(math->FirstOperand()));
    EXPECT_TRUE(dynamic_cast<TVarValue *>(math->SecondOperand()));

    EXPECT_FALSE(parser.parseExpression(QStringLiteral("(1 + 2")));
    EXPECT_TRUE(hasError(QStringLiteral("unvollständiger Ausdruck: (1 + 2")));
    EXPECT_FALSE(parser.parseExpression(QStringLiteral("(1 + 2))")));
}

TEST_F(Expressions, SearchOrderDecidesGroupingAndBinding)
{
    EXPECT_EQ(evaluate(QStringLiteral("10 - 4 - 3")), QStringLiteral("9"));
    EXPECT_EQ(evaluate(QStringLiteral("2 * 3 + 4")), QStringLiteral("10"));
    EXPECT_EQ(evaluate(QStringLiteral("8 / 4 / 2")), QStringLiteral("4"));
    EXPECT_EQ(evaluate(QStringLiteral("8 / 2 * 2")), QStringLiteral("8"));
    EXPECT_EQ(evaluate(QStringLiteral("10 - 2 + 3")), QStringLiteral("11"));
    EXPECT_EQ(evaluate(QStringLiteral("10 + 2 - 3")), QStringLiteral("9"));
    EXPECT_EQ(evaluate(QStringLiteral("7 div 2 * 2")), QStringLiteral("6")) << "div binds tighter than *";
    EXPECT_EQ(evaluate(QStringLiteral("1 + 2 == 3")), QStringLiteral("true"));
    EXPECT_EQ(evaluate(QStringLiteral("(1 < 2) and (3 >= 4)")), QStringLiteral("false"));
    EXPECT_EQ(evaluate(QStringLiteral("1 != 2")), QStringLiteral("true"));
    EXPECT_EQ(evaluate(QStringLiteral("\"a+b\" + \"c\"")), QStringLiteral("\"a+bc\""));
    EXPECT_TRUE(errors().isEmpty());
}

TEST_F(Expressions, OperatorTextsThatAreNotOperators)
{
    declare("a", TType::bool_);
    declare("b", TType::bool_);
    declare("x", TType::int_);
    declare("y", TType::int_);

    EXPECT_FALSE(parser.parseExpression(QStringLiteral("a <> b")));
    EXPECT_TRUE(hasError(QStringLiteral("unbekannter Ausdruck: a <> b")));
    EXPECT_FALSE(parser.parseExpression(QStringLiteral("a OR b")));
    EXPECT_TRUE(hasError(QStringLiteral("unbekannter Ausdruck: a OR b")));
    EXPECT_TRUE(as<TOpBool>(parser.parseExpression(QStringLiteral("a or b"))));

    EXPECT_FALSE(parser.parseExpression(QStringLiteral("x > 0 and y > 0")));
    EXPECT_TRUE(errors().filter(QStringLiteral(": Typen stimmen nicht überein: ")).size() == 1);
    EXPECT_TRUE(as<TOpBool>(parser.parseExpression(QStringLiteral("(x > 0) and (y > 0)"))));
}

TEST_F(Expressions, NegationTakesTheRestOnlyWithoutOperators)
{
    declare("a", TType::bool_);
    declare("b", TType::bool_);
    EXPECT_FALSE(parser.parseExpression(QStringLiteral("not 5")));
    EXPECT_TRUE(hasError(QStringLiteral("Ausdruck muss vom Typ bool sein: not 5")));
    EXPECT_FALSE(parser.parseExpression(QStringLiteral("NOT b")));
    EXPECT_TRUE(hasError(QStringLiteral("unbekannter Ausdruck: NOT b")));
    EXPECT_FALSE(parser.parseExpression(QStringLiteral("not(a)")));
    EXPECT_FALSE(parser.parseExpression(QStringLiteral("not")));

    std::unique_ptr<TExpression> e = parser.parseExpression(QStringLiteral("not a and b"));
    auto *conjunction = as<TOpBool>(e);
    ASSERT_TRUE(conjunction);
    EXPECT_TRUE(dynamic_cast<TOpNot *>(conjunction->FirstOperand()));
    EXPECT_EQ(evaluate(QStringLiteral("not false")), QStringLiteral("true"));
}

TEST_F(Expressions, SignsBelongToNumbersOnly)
{
    declare("x", TType::int_);
    EXPECT_FALSE(parser.parseExpression(QStringLiteral("-x")));
    EXPECT_TRUE(hasError(QStringLiteral("unbekannter Ausdruck: -x")));
    EXPECT_TRUE(parser.parseExpression(QStringLiteral("0 - x")));
    EXPECT_TRUE(parser.parseExpression(QStringLiteral("-1 * x")));
    EXPECT_EQ(evaluate(QStringLiteral("-2 - -3")), QStringLiteral("1"));
    EXPECT_EQ(evaluate(QStringLiteral("4 * -2")), QStringLiteral("-8"));
}

TEST_F(Expressions, LiteralsAndSoftMode)
{
    std::unique_ptr<TExpression> tile = parser.parseExpression(QStringLiteral("TGREEN"));
    ASSERT_TRUE(as<TConstant>(tile));
    EXPECT_EQ(tile->Resulttype(), TType::tile);
    EXPECT_EQ(as<TConstant>(tile)->Value(), QStringLiteral("tGreen"));
    EXPECT_EQ(parser.parseExpression(QStringLiteral("1.5"))->Resulttype(), TType::kelofloat);

    EXPECT_FALSE(parser.parseExpression(QStringLiteral("Hallo Welt")));
    EXPECT_TRUE(hasError(QStringLiteral("unbekannter Ausdruck: Hallo Welt")));
    parser.checkDirective(QStringLiteral("//!soft=1"));
    std::unique_ptr<TExpression> text = parser.parseExpression(QStringLiteral("Hallo \"Welt\""));
    ASSERT_TRUE(as<TConstant>(text));
    EXPECT_EQ(text->Resulttype(), TType::kelostr);
    EXPECT_EQ(as<TConstant>(text)->Value(), QStringLiteral("\"Hallo \\\"Welt\\\"\""));
}

TEST_F(Expressions, CallsMatchNameArgumentsAndReferences)
{
    builtIn("move", TType::void_, {{"n", TType::int_}});
    builtIn("zSteps", TType::int_);
    builtIn("inc", TType::void_, {{"n", TType::int_}}, true);
    builtIn("say", TType::void_, {{"s", TType::kelostr}});
    declare("n", TType::int_);
    declare("zSteps", TType::bool_);

    EXPECT_FALSE(parser.parseFunctionValue(QStringLiteral("move(1, 2)")));
    EXPECT_TRUE(hasError(QStringLiteral("Parameter stimmen nicht mir Funktionsdeklaration überein: move")));
    EXPECT_FALSE(parser.parseFunctionValue(QStringLiteral("nothing(1)")));
    EXPECT_EQ(errors().size(), 1) << "an unknown name fails without a message";

    // The function wins over a variable of the same name; brackets are optional.
    EXPECT_EQ(parser.parseExpression(QStringLiteral("zSteps"))->Resulttype(), TType::int_);
    EXPECT_TRUE(parser.parseFunctionValue(QStringLiteral("zSteps ( );")));

    EXPECT_TRUE(parser.parseFunctionValue(QStringLiteral("inc(ref n)")));
    EXPECT_FALSE(parser.parseFunctionValue(QStringLiteral("inc(n)")));
    EXPECT_FALSE(parser.parseFunctionValue(QStringLiteral("move(ref n)")));
    EXPECT_TRUE(parser.parseFunctionValue(QStringLiteral("inc(REF  n)")));

    std::unique_ptr<TFunctionValue> say = parser.parseFunctionValue(QStringLiteral("say(\"a, (b\" + 1)"));
    ASSERT_TRUE(say);
    EXPECT_EQ(say->ExpressionList().Count(), 1);
    // An int argument converts to a string parameter.
    EXPECT_TRUE(parser.parseFunctionValue(QStringLiteral("say(1)")));
}

TEST_F(Expressions, ConvertingMatchesComeAfterExactOnes)
{
    TFunctionBin *floating = builtIn("f", TType::kelofloat, {{"x", TType::kelofloat}});
    TFunctionBin *integral = builtIn("f", TType::int_, {{"x", TType::int_}});
    std::unique_ptr<TFunctionValue> call = parser.parseFunctionValue(QStringLiteral("f(1)"));
    ASSERT_TRUE(call);
    EXPECT_EQ(call->FunctionRef(), integral);
    EXPECT_EQ(parser.parseFunctionValue(QStringLiteral("f(1.5)"))->FunctionRef(), floating);
}

TEST_F(Expressions, CollectorHoldsOnlyLiveBuiltInCalls)
{
    TFunctionValueList collected;
    std::unique_ptr<TProgram> fresh;
    auto scan = [&](const QString &line) {
        collected.clear();
        fresh = std::make_unique<TProgram>();
        addBuiltIn(*fresh, "zSteps", TType::int_);
        addBuiltIn(*fresh, "random", TType::int_, {{"n", TType::int_}});
        return parser.parseBinCalls({QStringLiteral("int x;"), line}, fresh.get(), &collected);
    };
    ASSERT_TRUE(scan(QStringLiteral("x = zSteps + random(3);")));
    ASSERT_EQ(collected.size(), 2);
    EXPECT_EQ(collected[0]->FunctionRef()->Name(), QStringLiteral("zSteps"));
    EXPECT_EQ(collected[1]->FunctionRef()->Name(), QStringLiteral("random"));

    // Released with a failing tree: gone from the collector as well.
    EXPECT_FALSE(scan(QStringLiteral("bool b = zSteps + random(3) + true;")));
    EXPECT_TRUE(collected.isEmpty());
    EXPECT_FALSE(scan(QStringLiteral("if (random(1) + zSteps)")));
    EXPECT_TRUE(collected.isEmpty());
    // A failing argument is left out while its call survives.
    EXPECT_FALSE(scan(QStringLiteral("x = zSteps(random(1) + true);")));
    ASSERT_EQ(collected.size(), 1);
    EXPECT_EQ(collected[0]->FunctionRef()->Name(), QStringLiteral("zSteps"));
}

// A right operand skips the operators its outer level found absent; whatever
// that level could not rule out must still split the operand.
// Operators count only outside string literals and brackets, in lower case,
// and a minus joins two operands only where it is not a sign. The empty text
// marks an expression that does not parse.
TEST_F(Expressions, OperatorsCountOutsideLiteralsAndBracketsOnly)
{
    declare("a_div", TType::int_);
    const struct
    {
        const char *text;
        const char *value;
    } rows[] = {
        {"\"a+\\\"+b\" + \"c\"", "\"a+\\\"+bc\""},
        {"(1 + 2) * 3", "9"},
        {"true or(false)", ""},
        {"1) + 2", ""},
        {"\"open + 2", ""},
        {"-2 - 3", "-5"},
        {"5 - -1", "6"},
        {"7 % -3 - 1", "3"},
        {"a_div - 1", ""},
    };
    for (const auto &row : rows)
        EXPECT_EQ(evaluate(QString::fromUtf8(row.text)), QString::fromUtf8(row.value)) << row.text;
}

TEST_F(Expressions, RightOperandsStillSplitAtEveryOperatorTheyHold)
{
    EXPECT_EQ(evaluate(QStringLiteral("2 * -3 - 1")), QStringLiteral("-8"));
    EXPECT_EQ(evaluate(QStringLiteral("1 * 2 - 3 * 4 - 5")), QStringLiteral("-5"));
    EXPECT_EQ(evaluate(QStringLiteral("8 / 2 * 2")), QStringLiteral("8"));
    EXPECT_EQ(evaluate(QStringLiteral("1 + 2 < 4 + 1 + 1")), QStringLiteral("true"));
    EXPECT_EQ(evaluate(QStringLiteral("7 % 4 * 3 div 2 - 1")), QStringLiteral("2"));
    EXPECT_EQ(evaluate(QStringLiteral("1 + 1 + 1 + 1 + 1 - 2 * 2")), QStringLiteral("1"));
}

// The calls in a call's arguments look their names up as well; the outer call
// must still be matched and reported under its own name, which is the text
// around its bracket group.
TEST_F(Expressions, NestedCallsKeepTheirOwnNames)
{
    builtIn("outerCall", TType::int_, {{"a", TType::int_}, {"b", TType::int_}});
    builtIn("in", TType::int_, {{"n", TType::int_}});

    std::unique_ptr<TFunctionValue> call = parser.parseFunctionValue(QStringLiteral(" outerCall (in(in(1)), in(2)) ;"));
    ASSERT_TRUE(call);
    EXPECT_EQ(call->FunctionRef()->Name(), QStringLiteral("outerCall"));
    ASSERT_EQ(call->ExpressionList().Count(), 2);
    const auto *first = dynamic_cast<const TFunctionValue *>(call->ExpressionList()[0]);
    ASSERT_TRUE(first);
    EXPECT_EQ(first->FunctionRef()->Name(), QStringLiteral("in"));

    EXPECT_FALSE(parser.parseFunctionValue(QStringLiteral("outerCall(in(1))")));
    EXPECT_EQ(errors(), QStringList{QStringLiteral(
                            "Fehler: Zeile 1 : Parameter stimmen nicht mir Funktionsdeklaration überein: outerCall")});

    std::unique_ptr<TFunctionValue> behind = parser.parseFunctionValue(QStringLiteral("(1) in"));
    ASSERT_TRUE(behind);
    EXPECT_EQ(behind->FunctionRef()->Name(), QStringLiteral("in"));
}
