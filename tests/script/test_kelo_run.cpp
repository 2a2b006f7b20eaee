// What a run decides when it lays the program out, for functions that join
// the program only after the run started.
#include "KeloBuilder.h"
#include "tests/support/Printers.h"

#include <gtest/gtest.h>

using namespace kelo_test;

// Such a function is laid out when it is entered; what a call needs to know of
// it (a reference to write back, a result to store in place) is decided when
// the run lays out the call.
TEST(KeloRun, FunctionsAddedDuringTheRunWriteBackReferencesAndDeliverResults)
{
    TProgram program;
    Recorder rec(program);
    QStringList seen;
    TFunctionBin *note =
        builtin(program, QStringLiteral("merke"), TType::void_, [&seen](const QString &, QStringList &p) {
            seen.append(p.value(0));
            return QString();
        });
    parameter(note, QStringLiteral("v"), TType::int_);

    auto setter = std::make_unique<TFunctionCode>();
    setter->setName(QStringLiteral("setze"));
    assign(setter->CodeBlock(), parameter(setter.get(), QStringLiteral("p"), TType::int_, true), intConst(7), 10);
    auto twice = std::make_unique<TFunctionCode>();
    twice->setName(QStringLiteral("doppelt"));
    twice->setReturnType(TType::int_);
    TDeclaration *a = parameter(twice.get(), QStringLiteral("a"), TType::int_);
    assign(twice->CodeBlock(), twice->Return(), math(QStringLiteral("*"), var(a), intConst(2)), 20);

    TCodeBlock *main = program.CodeBlock();
    TDeclaration *x = declare(program, main, QStringLiteral("x"), TType::int_, 0, intConst(1));
    TDeclaration *y = declare(program, main, QStringLiteral("y"), TType::int_, 1, intConst(0));
    callStatement(main, setter.get(), args(var(x, true)), 2);
    assign(main, y, callValue(twice.get(), args(var(x))), 3);
    callStatement(main, note, args(var(x)), 4);
    callStatement(main, note, args(var(y)), 5);

    program.Run();
    program.AddFunction(std::move(setter));
    program.AddFunction(std::move(twice));
    while (program.Next()) {
    }
    EXPECT_EQ(seen, QStringList({"7", "14"}));
    EXPECT_TRUE(rec.errors.isEmpty());
    EXPECT_EQ(program.Return(), QStringLiteral("0"));
}
