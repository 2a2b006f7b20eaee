#include "KeloBuilder.h"
#include "tests/support/Printers.h"

#include <gtest/gtest.h>

using namespace kelo_test;

namespace {
const QList<TProgramState> runAndFinish = {TProgramState::running, TProgramState::finished};
}

TEST(KeloProgram, NewProgramHoldsOnlyExitAndIsUnknown)
{
    TProgram program;
    ASSERT_EQ(program.FunctionList().Count(), 1);
    EXPECT_EQ(program.FunctionList()[0]->Name(), QStringLiteral("exit"));
    EXPECT_EQ(program.FunctionList()[0]->Caption(), QStringLiteral("exit: void"));
    EXPECT_EQ(program.FunctionList()[0]->Comment(), QStringLiteral("Beendet das Programm."));
    EXPECT_EQ(program.State(), TProgramState::unknown);
    EXPECT_TRUE(program.Return().isEmpty());
}

TEST(KeloProgram, EmptyMainBlockFinishesInTheFirstStepWithReturnZero)
{
    TProgram program;
    Recorder rec(program);
    program.Run();
    EXPECT_TRUE(rec.lines.isEmpty());
    EXPECT_FALSE(program.Next());
    EXPECT_EQ(program.State(), TProgramState::finished);
    EXPECT_EQ(program.Return(), QStringLiteral("0"));
    EXPECT_EQ(rec.states, runAndFinish);
}

TEST(KeloProgram, PlainStatementsAnnounceTheNextLineEachStep)
{
    TProgram program;
    Recorder rec(program);
    TCountingStatement *s[3];
    for (int line = 0; line < 3; ++line)
        s[line] = plain(program.CodeBlock(), line);
    program.Run();
    EXPECT_EQ(rec.lines, QList<int>({0}));
    EXPECT_TRUE(program.Next());
    EXPECT_TRUE(program.Next());
    EXPECT_TRUE(program.Next());
    EXPECT_EQ(rec.lines, QList<int>({0, 1, 2, -1}));
    EXPECT_EQ(program.State(), TProgramState::running);
    EXPECT_FALSE(program.Next());
    EXPECT_EQ(rec.lines.size(), 4) << "no line is announced when the program finishes";
    EXPECT_EQ(program.Return(), QStringLiteral("0"));
    for (auto *statement : s)
        EXPECT_EQ(statement->executions, 1);
    EXPECT_EQ(rec.states, runAndFinish);
}

TEST(KeloProgram, StopFinishesAtTheNextStepWithoutExecuting)
{
    TProgram program;
    auto *s = plain(program.CodeBlock(), 0);
    program.Run();
    program.stop();
    EXPECT_FALSE(program.Next());
    EXPECT_EQ(s->executions, 0);
    EXPECT_TRUE(program.Return().isEmpty());
    EXPECT_EQ(program.State(), TProgramState::finished);
}

TEST(KeloProgram, FinishingTwiceOrSteppingAFinishedProgramRaisesNothingMore)
{
    TProgram program;
    Recorder rec(program);
    auto *s = plain(program.CodeBlock(), 0);
    plain(program.CodeBlock(), 1);
    program.Run();
    program.Finish();
    program.Finish();
    EXPECT_EQ(rec.states, runAndFinish);
    // Finished from outside with statements left: they must not run any more.
    EXPECT_FALSE(program.Next());
    EXPECT_EQ(s->executions, 0);
    EXPECT_EQ(rec.states, runAndFinish);
    EXPECT_EQ(rec.lines, QList<int>({0}));
}

TEST(KeloProgram, NextWithoutRunFinishesAtOnce)
{
    TProgram program;
    plain(program.CodeBlock(), 0);
    EXPECT_FALSE(program.Next());
    EXPECT_EQ(program.State(), TProgramState::finished);
    EXPECT_EQ(program.Return(), QStringLiteral("0"));
}

TEST(KeloProgram, RunWhileRunningFinishesFirstAndStartsOver)
{
    TProgram program;
    Recorder rec(program);
    auto *s = plain(program.CodeBlock(), 4);
    program.Run();
    program.Next();
    program.Run();
    EXPECT_EQ(rec.states,
              QList<TProgramState>({TProgramState::running, TProgramState::finished, TProgramState::running}));
    EXPECT_EQ(rec.lines, QList<int>({4, -1, 4}));
    program.Next();
    EXPECT_EQ(s->executions, 2);
}

TEST(KeloProgram, ErrorStopsTheRunAtTheEndOfTheStepWithEmptyReturn)
{
    TProgram program;
    Recorder rec(program);
    auto *d = declare(program, program.CodeBlock(), QStringLiteral("x"), TType::int_, 0);
    auto *after = plain(program.CodeBlock(), 1);
    program.Run();
    program.Error(7, QStringLiteral("kaputt"));
    EXPECT_TRUE(program.isStopRequested());
    EXPECT_FALSE(program.Next());
    EXPECT_EQ(rec.errors, QList<ReportedError>({{7, QStringLiteral("kaputt")}}));
    EXPECT_EQ(after->executions, 0);
    EXPECT_TRUE(program.Return().isEmpty());
    EXPECT_EQ(d->variable(), nullptr);
}

TEST(KeloProgram, DiscardedVariablesUnlinkTheirDeclarations)
{
    TProgram program;
    Recorder rec(program);
    auto *d = declare(program, program.CodeBlock(), QStringLiteral("x"), TType::int_, 3);
    plain(program.CodeBlock(), 4);
    program.Run();
    program.Next();
    ASSERT_NE(d->variable(), nullptr);
    EXPECT_EQ(d->variable()->Value(), QString());
    EXPECT_EQ(d->variable()->ValueType(), TType::int_);
    EXPECT_EQ(program.VarList().Count(), 1);
    program.Finish();
    EXPECT_EQ(program.VarList().Count(), 0);
    EXPECT_EQ(d->variable(), nullptr);
    EXPECT_EQ(d->getVariable(), nullptr);
    EXPECT_EQ(rec.errors,
              QList<ReportedError>({{3, QStringLiteral("Zugriffsverletzung: Variable x wurde nicht instanziert")}}));
}

TEST(KeloProgram, DeclarationOutsideAnyScopeReportsThatItCannotCreateTheVariable)
{
    TDeclaration orphan(QStringLiteral("x"), TType::int_);
    EXPECT_FALSE(orphan.Execute());
    EXPECT_EQ(orphan.variable(), nullptr);
}

TEST(KeloProgram, StatementsFindTheirScopeAndProgramThroughNestedBlocks)
{
    TProgram program;
    auto *f = scriptFunction(program, QStringLiteral("f"), TType::void_);
    auto *outer = loop(f->CodeBlock(), constant(QStringLiteral("false"), TType::bool_), 1);
    auto *inner = conditional(outer->CodeBlock(), constant(QStringLiteral("true"), TType::bool_), 2);
    auto *deep = plain(inner->ElseCodeBlock(), 3);
    EXPECT_EQ(deep->GetCode(), f);
    EXPECT_EQ(deep->GetProgram(), &program);
    EXPECT_EQ(f->GetProgram(), &program);
    TCountingStatement loose;
    EXPECT_EQ(loose.GetCode(), nullptr);
    EXPECT_EQ(loose.GetProgram(), nullptr);
}

TEST(KeloProgram, FunctionMatchingPrefersExactMatchesAnywhereInTheList)
{
    TProgram program;
    auto *floatVersion = scriptFunction(program, QStringLiteral("f"), TType::void_);
    parameter(floatVersion, QStringLiteral("a"), TType::kelofloat);
    TFunction *found = nullptr;
    const QList<TTypInfo> intArg = {{TType::int_, false}};
    ASSERT_TRUE(program.FindFunction(QStringLiteral("f"), intArg, found));
    EXPECT_EQ(found, floatVersion) << "found in the converting pass";

    auto *intVersion = scriptFunction(program, QStringLiteral("f"), TType::void_);
    parameter(intVersion, QStringLiteral("a"), TType::int_);
    ASSERT_TRUE(program.FindFunction(QStringLiteral("f"), intArg, found));
    EXPECT_EQ(found, intVersion);

    EXPECT_FALSE(program.FindFunction(QStringLiteral("f"), {{TType::kelostr, false}}, found));
    EXPECT_EQ(found, nullptr);
    EXPECT_FALSE(program.FindFunction(QStringLiteral("F"), intArg, found)) << "names are case-sensitive";
    EXPECT_FALSE(program.FindFunction(QStringLiteral("f"), {}, found));
}

TEST(KeloProgram, ReferenceParametersNeedTheMarkerAndTheExactType)
{
    TProgram program;
    auto *f = scriptFunction(program, QStringLiteral("g"), TType::void_);
    parameter(f, QStringLiteral("p"), TType::kelofloat, true);
    TFunction *found = nullptr;
    EXPECT_FALSE(program.FindFunction(QStringLiteral("g"), {{TType::int_, true}}, found));
    EXPECT_FALSE(program.FindFunction(QStringLiteral("g"), {{TType::kelofloat, false}}, found));
    EXPECT_TRUE(program.FindFunction(QStringLiteral("g"), {{TType::kelofloat, true}}, found));
    EXPECT_TRUE(f->Match(QStringLiteral("g"), {{TType::kelofloat, true}}, false));
    // A function's own lookup asks itself first, then the program.
    EXPECT_TRUE(f->FindFunction(QStringLiteral("exit"), {}, found));
    EXPECT_EQ(found, program.FunctionList()[0]);
}

TEST(KeloProgram, NameLookupFollowsResultParametersOwnAndProgramDeclarations)
{
    TProgram program;
    auto *global = declare(program, program.CodeBlock(), QStringLiteral("result"), TType::int_, 0);
    auto *shared = declare(program, program.CodeBlock(), QStringLiteral("n"), TType::int_, 1);
    auto *f = scriptFunction(program, QStringLiteral("f"), TType::kelostr);
    auto *p = parameter(f, QStringLiteral("p"), TType::int_);
    auto *local = declare(*f, f->CodeBlock(), QStringLiteral("p2"), TType::bool_, 3);

    EXPECT_EQ(f->FindDeclaration(QStringLiteral("result")), f->Return());
    EXPECT_EQ(f->Return()->ValueType(), TType::kelostr);
    EXPECT_EQ(f->FindDeclaration(QStringLiteral("p")), p);
    EXPECT_EQ(f->FindDeclaration(QStringLiteral("p2")), local);
    EXPECT_EQ(f->FindDeclaration(QStringLiteral("n")), shared);
    EXPECT_EQ(program.FindDeclaration(QStringLiteral("result")), global);
    EXPECT_EQ(program.FindDeclaration(QStringLiteral("p2")), nullptr);

    EXPECT_FALSE(f->IdentifierExists(QStringLiteral("p")));
    EXPECT_FALSE(f->IdentifierExists(QStringLiteral("result")));
    EXPECT_TRUE(f->IdentifierExists(QStringLiteral("f")));
    EXPECT_TRUE(f->IdentifierExists(QStringLiteral("p2")));
    EXPECT_FALSE(f->IdentifierExists(QStringLiteral("n"))) << "the parent is not asked";
    EXPECT_TRUE(program.IdentifierExists(QStringLiteral("exit")));
    EXPECT_TRUE(program.IdentifierExists(QStringLiteral("n")));
    EXPECT_TRUE(f->FunctionExists(QStringLiteral("exit")));
    EXPECT_FALSE(program.FunctionExists(QStringLiteral("Exit")));
}

TEST(KeloProgram, CaptionsNameTypesOnlyWhenTheyChange)
{
    TProgram program;
    auto *f = scriptFunction(program, QStringLiteral("move"), TType::bool_);
    parameter(f, QStringLiteral("a"), TType::int_);
    parameter(f, QStringLiteral("b"), TType::int_, true);
    parameter(f, QStringLiteral("s"), TType::kelostr);
    parameter(f, QStringLiteral("t"), TType::int_);
    f->setComment(QStringLiteral("Bewegt."));
    EXPECT_EQ(f->Parameter().Caption(), QStringLiteral("(int a, b, string s, int t)"));
    EXPECT_EQ(f->Caption(), QStringLiteral("move(int a, b, string s, int t): bool"));
    EXPECT_EQ(program.getHelp(), QStringLiteral("exit: void\r\nmove(int a, b, string s, int t): bool\r\n"));

    QStringList functions{QStringLiteral("kept")};
    QStringList comments;
    EXPECT_TRUE(program.getHelp(&functions, &comments));
    EXPECT_EQ(functions, QStringList({QStringLiteral("kept"), QStringLiteral("exit: void"), f->Caption()}));
    EXPECT_EQ(comments, QStringList({QStringLiteral("Beendet das Programm."), QStringLiteral("Bewegt.")}));
    EXPECT_FALSE(program.getHelp(&functions, nullptr));
    EXPECT_EQ(functions.size(), 3);
}

TEST(KeloProgram, DeeplyNestedBlocksAreDestroyedWithoutExhaustingTheStack)
{
    // A pasted script may nest far deeper than any person writes; destroying
    // it must not take one stack frame chain per level.
    auto program = std::make_unique<TProgram>();
    TCodeBlock *block = program->CodeBlock();
    for (int level = 0; level < 150000; ++level) {
        auto conditional = std::make_unique<TConditional>();
        conditional->ElseCodeBlock()->Add(std::make_unique<TStatement>());
        TCodeBlock *inner = level % 2 ? conditional->IfCodeBlock() : conditional->ElseCodeBlock();
        block->Add(std::move(conditional));
        auto loop = std::make_unique<TLoop>();
        TCodeBlock *body = loop->CodeBlock();
        inner->Add(std::move(loop));
        block = body;
    }
    block->Add(std::make_unique<TStatement>());
    program.reset();
    SUCCEED();
}
