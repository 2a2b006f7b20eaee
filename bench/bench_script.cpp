// Interpreter speed: the step rate on a counting loop built by hand
//   int i = 0; while (i < n) i = i + 1; endwhile
// a loop calling a script function, beside the same loop in python3 when it is
// installed, and a string grown by concatenation.
#include "parser/uKeloParser.h"
#include "script/uKeloCode.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

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

double threadCpuSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) * 1e-9;
}

// Runs a freshly parsed program of the source once per benchmark iteration,
// timing only the run; the steps taken in all. The CPU seconds of each run go
// to runSeconds when given.
qint64 runEachIteration(benchmark::State &state, const QString &source, std::vector<double> *runSeconds = nullptr)
{
    qint64 steps = 0;
    for (auto _ : state) {
        state.PauseTiming();
        std::unique_ptr<TProgram> program = parsed(source);
        state.ResumeTiming();
        const double start = threadCpuSeconds();
        steps += runToEnd(*program);
        if (runSeconds)
            runSeconds->push_back(threadCpuSeconds() - start);
    }
    return steps;
}

// CPU nanoseconds per iteration of the same call loop in python3, over 21
// runs: the median, which one disturbed run does not decide, and the fastest,
// which shows the speed of an undisturbed machine. Both 0 without python3.
struct PythonFigures
{
    double medianNs = 0;
    double bestNs = 0;
};
PythonFigures pythonNanosecondsPerCall(int n)
{
    const QString command =
        QStringLiteral(
            "python3 -c \"import time\n"
            "def add(a, b):\n    return a + b\n"
            "def run(n):\n    s = 0\n    i = 0\n    while i < n:\n        s = add(s, i)\n        i = i + 1\n"
            "def timed(n):\n    t = time.process_time()\n    run(n)\n    return (time.process_time() - t) * 1e9 / n\n"
            "r = sorted(timed(%1) for _ in range(21))\nprint(r[10], r[0])\" 2>/dev/null")
            .arg(n);
    PythonFigures figures;
    FILE *pipe = popen(command.toLocal8Bit().constData(), "r");
    if (!pipe)
        return figures;
    if (std::fscanf(pipe, "%lf %lf", &figures.medianNs, &figures.bestNs) != 2)
        figures = {};
    pclose(pipe);
    return figures;
}

// s = add(s, i) in a loop; compares the CPU time per iteration with python3's,
// as the median and as the fastest run of each side.
void BM_CallLoop(benchmark::State &state)
{
    const int n = int(state.range(0));
    const QString source = QStringLiteral("function add(int a, int b): int\n  result = a + b;\nendfunction\n"
                                          "int s = 0;\nint i = 0;\nwhile (i < %1)\n  s = add(s, i);\n"
                                          "  i = i + 1;\nendwhile")
                               .arg(n);
    std::vector<double> runSeconds;
    const qint64 steps = runEachIteration(state, source, &runSeconds);
    std::sort(runSeconds.begin(), runSeconds.end());
    const double calls = double(n) * double(state.iterations());
    const PythonFigures python = pythonNanosecondsPerCall(n);
    state.counters["steps_per_s"] = benchmark::Counter(double(steps), benchmark::Counter::kIsRate);
    state.counters["s_per_call"] = benchmark::Counter(calls, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    state.counters["python3_s_per_call"] = python.medianNs * 1e-9;
    state.counters["median_s_per_call"] = runSeconds.empty() ? 0 : runSeconds[runSeconds.size() / 2] / double(n);
    state.counters["best_s_per_call"] = runSeconds.empty() ? 0 : runSeconds.front() / double(n);
    state.counters["python3_best_s_per_call"] = python.bestNs * 1e-9;
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
