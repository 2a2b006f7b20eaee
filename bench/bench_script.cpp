// Interpreter speed: the step rate on a counting loop built by hand
//   int i = 0; while (i < n) i = i + 1; endwhile
// a loop calling a script function, beside the same loop in python3 when it is
// installed, and a string grown by concatenation.
#include "parser/uKeloParser.h"
#include "script/uKeloCode.h"

#include <benchmark/benchmark.h>

#include <cstdio>

namespace {
std::unique_ptr<TExpression> intConst(qint64 v) { return std::make_unique<TConstant>(QString::number(v), TType::int_); }

std::unique_ptr<TExpression> binary(std::unique_ptr<TOpBianry> op, std::unique_ptr<TExpression> a,
                                    std::unique_ptr<TExpression> b)
{
    op->setFirstOperand(std::move(a));
    op->setSecondOperand(std::move(b));
    return op;
}

// Builds the counting loop into program.
void buildCountingLoop(TProgram &program, qint64 n)
{
    auto i = std::make_unique<TDeclaration>(QStringLiteral("i"), TType::int_);
    TDeclaration *iDecl = i.get();
    auto init = std::make_unique<TAssignment>();
    init->setDeclaration(iDecl);
    init->setExpression(intConst(0));
    i->setAssignment(std::move(init));
    program.AddDeclaration(iDecl);
    program.CodeBlock()->Add(std::move(i));

    auto loop = std::make_unique<TLoop>();
    loop->setExpression(
        binary(std::make_unique<TOpRelation>(QStringLiteral("<")), std::make_unique<TVarValue>(iDecl), intConst(n)));
    auto step = std::make_unique<TAssignment>();
    step->setDeclaration(iDecl);
    step->setExpression(
        binary(std::make_unique<TOpMath>(QStringLiteral("+")), std::make_unique<TVarValue>(iDecl), intConst(1)));
    loop->CodeBlock()->Add(std::move(step));
    program.CodeBlock()->Add(std::move(loop));
}

void BM_CountingLoopSteps(benchmark::State &state)
{
    const qint64 n = state.range(0);
    qint64 steps = 0;
    for (auto _ : state) {
        state.PauseTiming();
        TProgram program;
        buildCountingLoop(program, n);
        // An IDE always listens; the handler's cost belongs to every step.
        int lastLine = 0;
        program.setOnLineNumber([&lastLine](TProgram *, int line) { lastLine = line; });
        state.ResumeTiming();
        program.Run();
        while (program.Next())
            ++steps;
        benchmark::DoNotOptimize(lastLine);
    }
    state.counters["steps_per_s"] = benchmark::Counter(static_cast<double>(steps), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_CountingLoopSteps)->Arg(1000000)->Unit(benchmark::kMillisecond);

std::unique_ptr<TProgram> parsed(const QString &source)
{
    auto program = std::make_unique<TProgram>();
    std::unique_ptr<TKeloMessageList> errors, warnings;
    if (!parseScript(source.split(u'\n'), program.get(), errors, warnings))
        return nullptr;
    return program;
}

// Runs the program to its end; the number of steps.
qint64 runToEnd(TProgram &program)
{
    int lastLine = 0;
    program.setOnLineNumber([&lastLine](TProgram *, int line) { lastLine = line; });
    program.Run();
    qint64 steps = 0;
    while (program.Next())
        ++steps;
    benchmark::DoNotOptimize(lastLine);
    return steps;
}

// Runs a freshly parsed program of the source once per benchmark iteration,
// timing only the run; the steps taken in all.
qint64 runEachIteration(benchmark::State &state, const QString &source)
{
    qint64 steps = 0;
    for (auto _ : state) {
        state.PauseTiming();
        std::unique_ptr<TProgram> program = parsed(source);
        state.ResumeTiming();
        steps += runToEnd(*program);
    }
    return steps;
}

// CPU nanoseconds per iteration of the same call loop in python3, the median
// of five runs so that one disturbed run does not decide it; 0 without python3.
double pythonNanosecondsPerCall(int n)
{
    const QString command =
        QStringLiteral(
            "python3 -c \"import time\n"
            "def add(a, b):\n    return a + b\n"
            "def run(n):\n    s = 0\n    i = 0\n    while i < n:\n        s = add(s, i)\n        i = i + 1\n"
            "def timed(n):\n    t = time.process_time()\n    run(n)\n    return (time.process_time() - t) * 1e9 / n\n"
            "print(sorted(timed(%1) for _ in range(5))[2])\" 2>/dev/null")
            .arg(n);
    FILE *pipe = popen(command.toLocal8Bit().constData(), "r");
    if (!pipe)
        return 0;
    double ns = 0;
    if (std::fscanf(pipe, "%lf", &ns) != 1)
        ns = 0;
    pclose(pipe);
    return ns;
}

// s = add(s, i) in a loop; compares the CPU time per iteration with python3's.
void BM_CallLoop(benchmark::State &state)
{
    const int n = int(state.range(0));
    const QString source = QStringLiteral("function add(int a, int b): int\n  result = a + b;\nendfunction\n"
                                          "int s = 0;\nint i = 0;\nwhile (i < %1)\n  s = add(s, i);\n"
                                          "  i = i + 1;\nendwhile")
                               .arg(n);
    const qint64 steps = runEachIteration(state, source);
    const double calls = double(n) * double(state.iterations());
    state.counters["steps_per_s"] = benchmark::Counter(double(steps), benchmark::Counter::kIsRate);
    state.counters["s_per_call"] = benchmark::Counter(calls, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    state.counters["python3_s_per_call"] = pythonNanosecondsPerCall(n) * 1e-9;
}
BENCHMARK(BM_CallLoop)->Arg(50000)->Unit(benchmark::kMillisecond);

// s = s + "abcdefghij" n times: each step must cost no more than the appended text.
void BM_StringGrowth(benchmark::State &state)
{
    const int n = int(state.range(0));
    const QString source = QStringLiteral("string s = \"\";\nint i = 0;\nwhile (i < %1)\n"
                                          "  s = s + \"abcdefghij\";\n  i = i + 1;\nendwhile")
                               .arg(n);
    const qint64 steps = runEachIteration(state, source);
    state.counters["steps_per_s"] = benchmark::Counter(double(steps), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_StringGrowth)->Arg(40000)->Unit(benchmark::kMillisecond);
} // namespace

BENCHMARK_MAIN();
