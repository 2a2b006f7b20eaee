// A run moves through the statements as a stack of blocks would: each step
// announces the line of the statement that runs next, or, where that statement
// has no line, the line of the block beneath; the blocks entered and the
// cursors follow the same stack.
#include "KeloBuilder.h"
#include "tests/support/Printers.h"

#include <gtest/gtest.h>

using namespace kelo_test;

namespace {
// After Run and after every step: the announced line, the blocks entered and
// the cursor of the program's block.
QStringList trace(TProgram &program, int limit = 200)
{
    QStringList events;
    program.setOnLineNumber([&events](TProgram *p, int line) {
        events.append(QStringLiteral("L%1 B%2 C%3").arg(line).arg(p->BlockCount()).arg(p->CodeBlock()->CurInd()));
    });
    program.Run();
    for (int steps = 0; program.Next() && steps < limit; ++steps) {
    }
    events.append(QStringLiteral("end B%1 return %2").arg(program.BlockCount()).arg(program.Return()));
    return events;
}
} // namespace

TEST(KeloSteps, StatementsWithoutALineAnnounceTheLineOfTheBlockBeneath)
{
    TProgram program;
    auto *i = declare(program, program.CodeBlock(), QStringLiteral("i"), TType::int_, 0, intConst(0));
    // A loop without a line, whose body starts without one too.
    auto *l = loop(program.CodeBlock(), relation("<", var(i), intConst(2)), -1);
    plain(l->CodeBlock(), -1);
    auto *c = conditional(l->CodeBlock(), relation("<", var(i), intConst(1)), 5);
    plain(c->IfCodeBlock(), -1);
    assign(l->CodeBlock(), i, math("+", var(i), intConst(1)), 7);
    // A function whose statements have no line: its caller's line is announced.
    auto *f = scriptFunction(program, QStringLiteral("f"), TType::void_);
    plain(f->CodeBlock(), -1);
    auto *inner = conditional(f->CodeBlock(), constant(QStringLiteral("true"), TType::bool_), -1);
    plain(inner->IfCodeBlock(), 21);
    callStatement(program.CodeBlock(), f, {}, 8);
    plain(program.CodeBlock(), 9);

    EXPECT_EQ(trace(program), QStringList({
                                  "L0 B1 C0",       // Run
                                  "L-1 B1 C1",      // i = 0; the loop has no line
                                  "L-1 B2 C1",      // into the body, whose first statement has none either
                                  "L5 B2 C1",       // that statement
                                  "L7 B3 C1",       // i < 1: the branch's statement has none, the body goes on at 7
                                  "L7 B3 C1",       // the branch's statement
                                  "L-1 B2 C1",      // i = 1
                                  "L-1 B2 C1",      // second pass
                                  "L5 B2 C1",       //
                                  "L7 B3 C1",       // not i < 1: the empty else branch
                                  "L-1 B2 C1",      // i = 2
                                  "L8 B1 C2",       // the loop ends
                                  "L8 B2 C2",       // f entered: its statements have no line
                                  "L8 B2 C2",       //
                                  "L21 B3 C2",      // its conditional
                                  "L8 B3 C2",       // its branch; the caller's line beneath
                                  "L9 B1 C3",       // the call completes
                                  "L-1 B1 C4",      // the last statement
                                  "end B0 return 0" //
                              }));
}

// A condition that calls a script function waits for its body and is
// evaluated again, without a step of its own, when the body is exhausted.
TEST(KeloSteps, ConditionsThatCallAFunctionWaitForItsBody)
{
    TProgram program;
    auto *n = declare(program, program.CodeBlock(), QStringLiteral("n"), TType::int_, 0, intConst(0));
    auto *more = scriptFunction(program, QStringLiteral("more"), TType::bool_);
    assign(more->CodeBlock(), n, math("+", var(n), intConst(1)), 20);
    assign(more->CodeBlock(), more->Return(), relation("<", var(n), intConst(3)), 21);
    auto *l = loop(program.CodeBlock(), callValue(more), 1);
    plain(l->CodeBlock(), 2);
    auto *c = conditional(program.CodeBlock(), callValue(more), 3);
    plain(c->IfCodeBlock(), 4);
    plain(c->ElseCodeBlock(), 5);

    EXPECT_EQ(trace(program), QStringList({
                                  "L0 B1 C0",        // Run
                                  "L1 B1 C1",        // n = 0
                                  "L20 B2 C1",       // the loop's condition enters more
                                  "L21 B2 C1",       // n = 1
                                  "L1 B2 C1",        // its result
                                  "L2 B2 C1",        // the condition completes: into the body
                                  "L1 B2 C1",        //
                                  "L20 B2 C1",       // the next pass
                                  "L21 B2 C1",       //
                                  "L1 B2 C1",        //
                                  "L2 B2 C1",        //
                                  "L1 B2 C1",        //
                                  "L20 B2 C1",       // n = 3: the last call
                                  "L21 B2 C1",       //
                                  "L1 B2 C1",        //
                                  "L3 B1 C2",        // the loop ends
                                  "L20 B2 C2",       // the conditional's condition enters more
                                  "L21 B2 C2",       //
                                  "L3 B2 C2",        //
                                  "L5 B2 C3",        // false: the else branch
                                  "L-1 B2 C3",       //
                                  "end B0 return 0", //
                              }));
}

// A block's cursor is the statement the run executes next in it; a block the
// run is not in shows its count.
TEST(KeloSteps, CursorsFollowTheRunThroughItsBlocks)
{
    TProgram program;
    auto *l = loop(program.CodeBlock(), constant(QStringLiteral("true"), TType::bool_), 0);
    auto *c = conditional(l->CodeBlock(), constant(QStringLiteral("true"), TType::bool_), 1);
    auto *first = plain(c->IfCodeBlock(), 2);
    plain(c->IfCodeBlock(), 3);
    plain(c->ElseCodeBlock(), 4);
    plain(l->CodeBlock(), 5);
    program.Run();
    EXPECT_EQ(l->CodeBlock()->CurInd(), 2) << "not entered yet";
    program.Next(); // the loop's condition
    EXPECT_EQ(program.CodeBlock()->CurInd(), 0) << "a loop stays next while its body runs";
    EXPECT_EQ(l->CodeBlock()->CurInd(), 0);
    program.Next(); // the conditional's condition
    program.Next(); // the branch's first statement
    EXPECT_EQ(first->executions, 1);
    EXPECT_EQ(c->IfCodeBlock()->CurInd(), 1);
    EXPECT_EQ(l->CodeBlock()->CurInd(), 1) << "the conditional is behind while its branch runs";
    EXPECT_EQ(c->ElseCodeBlock()->CurInd(), 1) << "the branch not taken";
    program.Next();
    EXPECT_EQ(c->IfCodeBlock()->CurInd(), 2) << "exhausted, not yet left";
    program.stop();
    EXPECT_FALSE(program.Next());
}

// A function added after the run started is laid out when it is first called.
TEST(KeloSteps, AFunctionAddedDuringTheRunRunsItsBody)
{
    TProgram program;
    Recorder rec(program);
    auto late = std::make_unique<TFunctionCode>();
    late->setName(QStringLiteral("late"));
    auto *body = plain(late->CodeBlock(), 30);
    callStatement(program.CodeBlock(), late.get(), {}, 1);
    plain(program.CodeBlock(), 2);
    program.Run();
    program.AddFunction(std::move(late));
    int steps = 0;
    while (program.Next())
        ++steps;
    EXPECT_EQ(steps, 4);
    EXPECT_EQ(body->executions, 1);
    EXPECT_EQ(rec.lines, QList<int>({1, 30, 1, 2, -1}));
    EXPECT_EQ(program.Return(), QStringLiteral("0"));
}

// Laying out and running code nested many thousands of levels deep needs no
// machine stack per level.
TEST(KeloSteps, DeeplyNestedCodeRunsToTheEnd)
{
    constexpr int depth = 20000;
    TProgram program;
    TCodeBlock *block = program.CodeBlock();
    for (int level = 0; level < depth; ++level)
        block = conditional(block, constant(QStringLiteral("true"), TType::bool_), level)->IfCodeBlock();
    auto *innermost = plain(block, depth);
    int deepest = 0;
    program.setOnLineNumber([&deepest](TProgram *p, int) { deepest = std::max(deepest, p->BlockCount()); });
    EXPECT_EQ(runToEnd(program, 2 * depth), depth + 1);
    EXPECT_EQ(innermost->executions, 1);
    EXPECT_EQ(deepest, depth + 1);
    EXPECT_EQ(program.Return(), QStringLiteral("0"));
}
