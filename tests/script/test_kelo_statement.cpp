#include "KeloBuilder.h"
#include "tests/support/Printers.h"

#include <gtest/gtest.h>

using namespace kelo_test;

namespace {
ExprPtr boolConst(bool b) { return constant(BoolToValue(b), TType::bool_); }

ExprPtr strConst(const char *s) { return constant(QuoteStr(QString::fromUtf8(s)), TType::kelostr); }

// A program with a built-in "seen" that records the values passed to it.
struct ProbedProgram
{
    ProbedProgram() : rec(program)
    {
        for (TType t : {TType::int_, TType::kelostr, TType::kelofloat}) {
            auto *f = builtin(program, QStringLiteral("seen"), TType::void_, [this](const QString &, QStringList &p) {
                seen.append(p.value(0));
                return QString();
            });
            parameter(f, QStringLiteral("v"), t);
        }
    }
    // Appends a call of "seen" with the value of d.
    void probe(TCodeBlock *block, TDeclaration *d, int line)
    {
        TFunction *f = nullptr;
        program.FindFunction(QStringLiteral("seen"), {{d->ValueType(), false}}, f);
        callStatement(block, f, args(var(d)), line);
    }
    TProgram program;
    Recorder rec;
    QStringList seen;
};

// Steps until the program finishes; returns how many Next calls returned true.
int stepsOf(TProgram &program) { return runToEnd(program); }
} // namespace

TEST(KeloStatement, FalseLoopTakesOneStepAndNeverEntersItsBody)
{
    TProgram program;
    Recorder rec(program);
    auto *l = loop(program.CodeBlock(), boolConst(false), 0);
    auto *body = plain(l->CodeBlock(), 1);
    EXPECT_EQ(stepsOf(program), 1);
    EXPECT_EQ(body->executions, 0);
    EXPECT_EQ(rec.lines, QList<int>({0, -1}));
}

TEST(KeloStatement, CountingLoopSharesConditionStepsWithPoppingTheBody)
{
    ProbedProgram p;
    TProgram &program = p.program;
    auto *i = declare(program, program.CodeBlock(), QStringLiteral("i"), TType::int_, 0, intConst(0));
    auto *l = loop(program.CodeBlock(), relation("<", var(i), intConst(3)), 1);
    assign(l->CodeBlock(), i, math("+", var(i), intConst(1)), 2);
    p.probe(program.CodeBlock(), i, 3);
    EXPECT_EQ(stepsOf(program), 9);
    EXPECT_EQ(p.rec.lines, QList<int>({0, 1, 2, 1, 2, 1, 2, 1, 3, -1}));
    EXPECT_EQ(p.seen, QStringList({QStringLiteral("3")}));
    EXPECT_EQ(program.Return(), QStringLiteral("0"));
}

TEST(KeloStatement, EmptyLoopBodyTakesOneStepPerPassUntilStopped)
{
    TProgram program;
    Recorder rec(program);
    loop(program.CodeBlock(), boolConst(true), 5);
    program.Run();
    for (int pass = 0; pass < 50; ++pass)
        ASSERT_TRUE(program.Next());
    EXPECT_EQ(program.BlockCount(), 2);
    EXPECT_EQ(rec.lines.last(), 5);
    program.stop();
    EXPECT_FALSE(program.Next());
    EXPECT_TRUE(program.Return().isEmpty());
}

TEST(KeloStatement, ConditionalPushesTheChosenBranchEvenWhenEmpty)
{
    TProgram program;
    Recorder rec(program);
    auto *c = conditional(program.CodeBlock(), boolConst(true), 0);
    auto *elseBranch = plain(c->ElseCodeBlock(), 1);
    auto *after = plain(program.CodeBlock(), 2);
    program.Run();
    program.Next();
    EXPECT_EQ(rec.lines, QList<int>({0, 2}));
    program.Next();
    EXPECT_EQ(after->executions, 1);
    EXPECT_EQ(elseBranch->executions, 0);
}

TEST(KeloStatement, ElseifConditionIsEvaluatedInTheFollowingStep)
{
    TProgram program;
    Recorder rec(program);
    int bEvaluations = 0;
    auto *b = countingBuiltin(program, QStringLiteral("b"), TType::bool_, bEvaluations, QStringLiteral("TRUE"));
    auto *first = conditional(program.CodeBlock(), boolConst(false), 0);
    first->setIsElseif(true);
    auto *second = conditional(first->ElseCodeBlock(), callValue(b), 2);
    auto *taken = plain(second->IfCodeBlock(), 3);
    program.Run();
    program.Next();
    EXPECT_EQ(bEvaluations, 0);
    EXPECT_EQ(rec.lines.last(), 2);
    program.Next();
    EXPECT_EQ(bEvaluations, 1);
    EXPECT_EQ(rec.lines.last(), 3);
    program.Next();
    EXPECT_EQ(taken->executions, 1);
}

TEST(KeloStatement, AssignmentsConvertIntoTheVariablesType)
{
    ProbedProgram p;
    TProgram &program = p.program;
    auto *f = declare(program, program.CodeBlock(), QStringLiteral("f"), TType::kelofloat, 0, intConst(5));
    auto *s = declare(program, program.CodeBlock(), QStringLiteral("s"), TType::kelostr, 1, intConst(5));
    auto *n = declare(program, program.CodeBlock(), QStringLiteral("n"), TType::int_, 2);
    auto *bad = assign(program.CodeBlock(), n, strConst("abc"), 3);
    p.probe(program.CodeBlock(), f, 4);
    p.probe(program.CodeBlock(), s, 5);
    EXPECT_FALSE(bad->isTypeMatch());
    program.Run();
    for (int step = 0; step < 3; ++step)
        program.Next();
    EXPECT_EQ(valueOf(program, QStringLiteral("f")), QStringLiteral("5"));
    EXPECT_EQ(valueOf(program, QStringLiteral("s")), QStringLiteral("\"5\""));
    EXPECT_FALSE(program.Next()) << "the error finishes the run at the end of its step";
    EXPECT_EQ(p.rec.errors,
              QList<ReportedError>({{3, QStringLiteral("Ungültige Typumwandlung in Zuweisung von string nach int "
                                                       "für den Wert = \"abc\"")}}));
    EXPECT_TRUE(p.seen.isEmpty());
}

TEST(KeloStatement, DeclarationInALoopKeepsItsVariableAndValue)
{
    ProbedProgram p;
    TProgram &program = p.program;
    auto *i = declare(program, program.CodeBlock(), QStringLiteral("i"), TType::int_, 0, intConst(0));
    auto *l = loop(program.CodeBlock(), relation("<", var(i), intConst(3)), 1);
    auto *sum = declare(program, l->CodeBlock(), QStringLiteral("sum"), TType::int_, 2);
    assign(l->CodeBlock(), sum, math("+", var(sum), var(i)), 3);
    assign(l->CodeBlock(), i, math("+", var(i), intConst(1)), 4);
    p.probe(program.CodeBlock(), sum, 5);
    stepsOf(program);
    EXPECT_EQ(p.seen, QStringList({QStringLiteral("3")}));
    EXPECT_TRUE(p.rec.errors.isEmpty());
}

TEST(KeloStatement, ReadingAVariableOfAnUntakenBranchReportsIt)
{
    ProbedProgram p;
    TProgram &program = p.program;
    auto *c = conditional(program.CodeBlock(), boolConst(false), 0);
    auto *hidden = declare(program, c->IfCodeBlock(), QStringLiteral("hidden"), TType::int_, 1, intConst(4));
    p.probe(program.CodeBlock(), hidden, 2);
    auto *after = plain(program.CodeBlock(), 3);
    EXPECT_EQ(stepsOf(program), 1);
    EXPECT_EQ(p.rec.errors, QList<ReportedError>(
                                {{1, QStringLiteral("Zugriffsverletzung: Variable hidden wurde nicht instanziert")}}));
    EXPECT_EQ(p.seen, QStringList({QString()})) << "the read sees the empty text";
    EXPECT_EQ(after->executions, 0);
    EXPECT_TRUE(program.Return().isEmpty());
}

TEST(KeloStatement, BuiltinCallCompletesInOneStepScriptCallInTheFifth)
{
    TProgram program;
    Recorder rec(program);
    int builtinCalls = 0;
    auto *b = builtin(program, QStringLiteral("b"), TType::void_, [&](const QString &name, QStringList &) {
        EXPECT_EQ(name, QStringLiteral("b"));
        ++builtinCalls;
        return QString();
    });
    auto *f = scriptFunction(program, QStringLiteral("f"), TType::void_);
    TCountingStatement *body[3];
    for (int k = 0; k < 3; ++k)
        body[k] = plain(f->CodeBlock(), 20 + k);
    callStatement(program.CodeBlock(), b, {}, 0);
    callStatement(program.CodeBlock(), f, {}, 1);
    auto *after = plain(program.CodeBlock(), 2);
    program.Run();
    program.Next();
    EXPECT_EQ(builtinCalls, 1);
    EXPECT_EQ(rec.lines, QList<int>({0, 1}));
    for (int step = 1; step <= 5; ++step) {
        program.Next();
        EXPECT_EQ(f->isActive(), step < 5) << "step " << step;
    }
    EXPECT_EQ(rec.lines, QList<int>({0, 1, 20, 21, 22, 1, 2}));
    EXPECT_EQ(after->executions, 0);
    program.Next();
    EXPECT_EQ(after->executions, 1);
    for (auto *s : body)
        EXPECT_EQ(s->executions, 1);
}

TEST(KeloStatement, ExitFinishesInTheSecondStepWithEmptyReturn)
{
    TProgram program;
    Recorder rec(program);
    callStatement(program.CodeBlock(), program.FunctionList()[0], {}, 4);
    auto *after = plain(program.CodeBlock(), 5);
    program.Run();
    EXPECT_TRUE(program.Next());
    EXPECT_EQ(rec.lines, QList<int>({4, 4})) << "the exit body has no line of its own";
    EXPECT_FALSE(program.Next());
    EXPECT_EQ(after->executions, 0);
    EXPECT_TRUE(program.Return().isEmpty());
    EXPECT_EQ(program.State(), TProgramState::finished);
    EXPECT_FALSE(program.FunctionList()[0]->isActive());
}

TEST(KeloStatement, ScriptFunctionDeliversResultAndWritesReferencesBack)
{
    ProbedProgram p;
    TProgram &program = p.program;
    auto *f = scriptFunction(program, QStringLiteral("f"), TType::int_);
    auto *ref = parameter(f, QStringLiteral("p"), TType::int_, true);
    auto *a = parameter(f, QStringLiteral("a"), TType::int_);
    assign(f->CodeBlock(), ref, intConst(7), 20);
    assign(f->CodeBlock(), f->Return(), math("*", var(a), intConst(2)), 21);

    auto *x = declare(program, program.CodeBlock(), QStringLiteral("x"), TType::int_, 0, intConst(1));
    auto *y = declare(program, program.CodeBlock(), QStringLiteral("y"), TType::kelofloat, 1);
    assign(program.CodeBlock(), y, callValue(f, args(var(x, true), intConst(21))), 2);
    p.probe(program.CodeBlock(), x, 3);
    p.probe(program.CodeBlock(), y, 4);
    stepsOf(program);
    EXPECT_EQ(p.seen, QStringList({QStringLiteral("7"), QStringLiteral("42")}));
    EXPECT_TRUE(p.rec.errors.isEmpty());
    EXPECT_EQ(f->VarList().Count(), 0);
}

TEST(KeloStatement, EveryCallStartsWithFreshVariables)
{
    ProbedProgram p;
    TProgram &program = p.program;
    auto *f = scriptFunction(program, QStringLiteral("f"), TType::kelostr);
    auto *first = parameter(f, QStringLiteral("first"), TType::bool_);
    assign(f->CodeBlock(), f->Return(), math("+", var(f->Return()), strConst("x")), 20);
    auto *branch = conditional(f->CodeBlock(), var(first), 21);
    auto *local = declare(*f, branch->IfCodeBlock(), QStringLiteral("local"), TType::int_, 22, intConst(1));
    auto *r = declare(program, program.CodeBlock(), QStringLiteral("r"), TType::kelostr, 0);
    assign(program.CodeBlock(), r, callValue(f, args(boolConst(true))), 1);
    p.probe(program.CodeBlock(), r, 2);
    callStatement(program.CodeBlock(), f, args(boolConst(false)), 3);
    // Reads the local of the earlier call from the second call's body.
    assign(f->CodeBlock(), f->Return(), math("+", var(f->Return()), var(local)), 23);
    stepsOf(program);
    EXPECT_EQ(p.seen, QStringList({QStringLiteral("\"x1\"")})) << "result starts empty";
    EXPECT_EQ(p.rec.errors, QList<ReportedError>(
                                {{22, QStringLiteral("Zugriffsverletzung: Variable local wurde nicht instanziert")}}));
}

TEST(KeloStatement, FirstOperandCallRunsOnceWhileTheSecondIsCalled)
{
    ProbedProgram p;
    TProgram &program = p.program;
    auto *f = scriptFunction(program, QStringLiteral("f"), TType::int_);
    auto *fa = parameter(f, QStringLiteral("a"), TType::int_);
    assign(f->CodeBlock(), f->Return(), math("*", var(fa), intConst(10)), 20);
    auto *g = scriptFunction(program, QStringLiteral("g"), TType::int_);
    auto *ga = parameter(g, QStringLiteral("a"), TType::int_);
    assign(g->CodeBlock(), g->Return(), var(ga), 30);
    auto *fCounter = plain(f->CodeBlock(), 21);

    auto *x = declare(program, program.CodeBlock(), QStringLiteral("x"), TType::int_, 0);
    assign(program.CodeBlock(), x, math("+", callValue(f, args(intConst(1))), callValue(g, args(intConst(2)))), 1);
    p.probe(program.CodeBlock(), x, 2);
    EXPECT_EQ(stepsOf(program), 8);
    EXPECT_EQ(p.rec.lines, QList<int>({0, 1, 20, 21, 1, 30, 1, 2, -1}));
    EXPECT_EQ(fCounter->executions, 1);
    EXPECT_EQ(p.seen, QStringList({QStringLiteral("12")}));
}

TEST(KeloStatement, RecursiveCallsAreRefusedWithTheCallersLine)
{
    ProbedProgram p;
    TProgram &program = p.program;
    auto *f = scriptFunction(program, QStringLiteral("f"), TType::int_);
    auto *g = scriptFunction(program, QStringLiteral("g"), TType::int_);
    auto *n = parameter(f, QStringLiteral("n"), TType::int_);
    // f calls g in an expression, g calls f as a statement: indirect recursion.
    assign(f->CodeBlock(), f->Return(), math("+", callValue(g), intConst(1)), 20);
    callStatement(g->CodeBlock(), f, args(math("-", var(n), intConst(1))), 30);
    auto *gAfter = plain(g->CodeBlock(), 31);
    auto *x = declare(program, program.CodeBlock(), QStringLiteral("x"), TType::int_, 0);
    assign(program.CodeBlock(), x, callValue(f, args(intConst(3))), 1);
    EXPECT_EQ(stepsOf(program), 3);
    EXPECT_EQ(p.rec.lines, QList<int>({0, 1, 20, 30}));
    EXPECT_EQ(p.rec.errors,
              QList<ReportedError>({{30, QStringLiteral("Rekursiver Aufruf der Funktion f ist nicht erlaubt")}}));
    EXPECT_EQ(gAfter->executions, 0);
    EXPECT_FALSE(f->isActive());
    EXPECT_FALSE(g->isActive());
    EXPECT_EQ(f->VarList().Count(), 0);
    EXPECT_EQ(program.State(), TProgramState::finished);
}

TEST(KeloStatement, DirectRecursionInAnExpressionReportsItsStatementsLine)
{
    TProgram program;
    Recorder rec(program);
    auto *f = scriptFunction(program, QStringLiteral("f"), TType::int_);
    assign(f->CodeBlock(), f->Return(), math("+", callValue(f), intConst(1)), 20);
    callStatement(program.CodeBlock(), f, {}, 0);
    EXPECT_EQ(stepsOf(program), 1);
    EXPECT_EQ(rec.errors,
              QList<ReportedError>({{20, QStringLiteral("Rekursiver Aufruf der Funktion f ist nicht erlaubt")}}));
    // The same program runs again cleanly up to the same refusal.
    rec.errors.clear();
    EXPECT_EQ(stepsOf(program), 1);
    EXPECT_EQ(rec.errors.size(), 1);
}

TEST(KeloStatement, CallFailuresReportOnlyForCallStatements)
{
    TProgram program;
    Recorder rec(program);
    auto *shrink = builtin(program, QStringLiteral("shrink"), TType::int_, [](const QString &, QStringList &p) {
        p.removeLast();
        return QStringLiteral("1");
    });
    parameter(shrink, QStringLiteral("a"), TType::int_);
    parameter(shrink, QStringLiteral("b"), TType::int_);
    auto *x = declare(program, program.CodeBlock(), QStringLiteral("x"), TType::int_, 0);
    assign(program.CodeBlock(), x, callValue(shrink, args(intConst(1), intConst(2))), 1);
    callStatement(program.CodeBlock(), shrink, args(intConst(1), intConst(2)), 2);
    auto *after = plain(program.CodeBlock(), 3);
    stepsOf(program);
    EXPECT_EQ(rec.errors, QList<ReportedError>({{2, QStringLiteral("Funktion shrink: Anzahl der Rückgabeparameter "
                                                                   "unterscheidet sich von Anzahl der "
                                                                   "Funktionsparameter.")}}));
    EXPECT_EQ(after->executions, 0);
}

TEST(KeloStatement, MismatchedArgumentsAreReportedAndPassedUnconverted)
{
    // Trees the parser would refuse, built by hand: a string for an int
    // parameter, and a string reference parameter bound to an int variable.
    TProgram program;
    Recorder rec(program);
    QStringList received;
    auto *take = builtin(program, QStringLiteral("take"), TType::void_, [&](const QString &, QStringList &p) {
        received = p;
        return QString();
    });
    parameter(take, QStringLiteral("a"), TType::int_);
    auto *give = builtin(program, QStringLiteral("give"), TType::void_, [](const QString &, QStringList &p) {
        p[0] = QStringLiteral("\"back\"");
        return QString();
    });
    parameter(give, QStringLiteral("a"), TType::kelostr, true);
    auto *n = declare(program, program.CodeBlock(), QStringLiteral("n"), TType::int_, 0, intConst(5));
    auto *first = callStatement(program.CodeBlock(), take, {}, 1);
    first->FunctionValue()->ExpressionList().Add(strConst("t"));
    auto *second = callStatement(program.CodeBlock(), give, {}, 2);
    second->FunctionValue()->ExpressionList().Add(var(n, true));
    auto *after = plain(program.CodeBlock(), 3);

    program.Run();
    program.Next();
    EXPECT_FALSE(program.Next());
    EXPECT_EQ(received, QStringList({QStringLiteral("\"t\"")}));
    EXPECT_EQ(rec.errors, QList<ReportedError>({{1, QStringLiteral("Ungültige Typumwandlung in Funktionsaufruf von "
                                                                   "string nach int für den Wert = \"t\"")}}));

    // The second call alone: its write-back cannot be converted.
    first->FunctionValue()->ExpressionList().Clear();
    first->FunctionValue()->ExpressionList().Add(intConst(9));
    rec.errors.clear();
    program.Run();
    program.Next();
    program.Next();
    EXPECT_EQ(valueOf(program, QStringLiteral("n")), QStringLiteral("5"));
    EXPECT_FALSE(program.Next());
    EXPECT_EQ(rec.errors, QList<ReportedError>({{2, QStringLiteral("Ungültige Typumwandlung bei Funktionsende von "
                                                                   "string nach int für den Wert = \"back\"")}}));
    EXPECT_EQ(after->executions, 0);
}

TEST(KeloStatement, WrongArgumentCountReportsOnLineZeroAndTheCallProceeds)
{
    TProgram program;
    Recorder rec(program);
    int calls = 0;
    auto *two = countingBuiltin(program, QStringLiteral("two"), TType::void_, calls);
    parameter(two, QStringLiteral("a"), TType::int_);
    parameter(two, QStringLiteral("b"), TType::int_);
    callStatement(program.CodeBlock(), two, {}, 6);
    stepsOf(program);
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(rec.errors, QList<ReportedError>({{0, QStringLiteral("Anzahl der Parameter nicht korrekt")}}));
}

TEST(KeloStatement, MillionPassLoopRunsInConstantMemory)
{
    TProgram program;
    auto *i = declare(program, program.CodeBlock(), QStringLiteral("i"), TType::int_, 0, intConst(0));
    auto *l = loop(program.CodeBlock(), relation("<", var(i), intConst(1000000)), 1);
    auto *tmp = declare(program, l->CodeBlock(), QStringLiteral("tmp"), TType::int_, 2, var(i));
    assign(l->CodeBlock(), i, math("+", var(tmp), intConst(1)), 3);
    program.Run();
    int maxBlocks = 0;
    int maxVariables = 0;
    qint64 steps = 0;
    while (program.Next()) {
        ++steps;
        maxBlocks = std::max(maxBlocks, program.BlockCount());
        maxVariables = std::max(maxVariables, program.VarList().Count());
    }
    EXPECT_EQ(steps, 3000002);
    EXPECT_EQ(maxBlocks, 2);
    EXPECT_EQ(maxVariables, 2);
    EXPECT_EQ(program.Return(), QStringLiteral("0"));
}

// Values travel with the number read from them; a text written in another form
// must arrive as written, and a replaced text must be read afresh.
TEST(KeloStatement, PassedValuesKeepTheirTextAndAreReadAfreshWhenReplaced)
{
    ProbedProgram p;
    TProgram &program = p.program;
    auto *show = scriptFunction(program, QStringLiteral("show"), TType::kelostr);
    auto *shown = parameter(show, QStringLiteral("a"), TType::int_);
    assign(show->CodeBlock(), show->Return(), math("+", strConst(""), var(shown)), 20);
    auto *setHex = builtin(program, QStringLiteral("setHex"), TType::void_, [](const QString &, QStringList &params) {
        params[0] = QStringLiteral("$10");
        return QString();
    });
    parameter(setHex, QStringLiteral("a"), TType::int_, true);

    auto *hex =
        declare(program, program.CodeBlock(), QStringLiteral("hex"), TType::int_, 0, constant("$F", TType::int_));
    auto *r = declare(program, program.CodeBlock(), QStringLiteral("r"), TType::kelostr, 1);
    assign(program.CodeBlock(), r, callValue(show, args(var(hex))), 2);
    p.probe(program.CodeBlock(), r, 3);
    auto *sum = declare(program, program.CodeBlock(), QStringLiteral("sum"), TType::int_, 4,
                        math("+", intConst(2), intConst(3)));
    callStatement(program.CodeBlock(), setHex, args(var(sum, true)), 5);
    p.probe(program.CodeBlock(), sum, 6);
    auto *next =
        declare(program, program.CodeBlock(), QStringLiteral("next"), TType::int_, 7, math("+", var(sum), intConst(1)));
    p.probe(program.CodeBlock(), next, 8);
    stepsOf(program);
    EXPECT_EQ(p.seen, QStringList({QStringLiteral("\"$F\""), QStringLiteral("$10"), QStringLiteral("17")}));
    EXPECT_TRUE(p.rec.errors.isEmpty());
}

// A run stopped while a called function's body runs leaves the call half done;
// running the program again must not resume it with the old arguments.
TEST(KeloStatement, RunningAgainAfterAStopInsideACallStartsTheCallAfresh)
{
    ProbedProgram p;
    TProgram &program = p.program;
    auto *add = scriptFunction(program, QStringLiteral("add"), TType::int_);
    auto *a = parameter(add, QStringLiteral("a"), TType::int_);
    auto *b = parameter(add, QStringLiteral("b"), TType::int_);
    assign(add->CodeBlock(), add->Return(), math("+", var(a), var(b)), 20);
    auto *s = declare(program, program.CodeBlock(), QStringLiteral("s"), TType::int_, 0, intConst(0));
    auto *i = declare(program, program.CodeBlock(), QStringLiteral("i"), TType::int_, 1, intConst(0));
    auto *l = loop(program.CodeBlock(), relation("<", var(i), intConst(10)), 2);
    assign(l->CodeBlock(), s, callValue(add, args(var(s), var(i))), 3);
    assign(l->CodeBlock(), i, math("+", var(i), intConst(1)), 4);
    p.probe(program.CodeBlock(), s, 5);

    // Stops inside the fourth call, add(3, 3): arguments that differ from a fresh run's.
    program.Run();
    int entries = 0;
    while (entries < 4) {
        const bool wasActive = add->isActive();
        ASSERT_TRUE(program.Next());
        entries += !wasActive && add->isActive();
    }
    program.stop();
    EXPECT_FALSE(program.Next());
    runToEnd(program);
    EXPECT_EQ(p.seen, QStringList({QStringLiteral("45")}));
    EXPECT_TRUE(p.rec.errors.isEmpty());
}
