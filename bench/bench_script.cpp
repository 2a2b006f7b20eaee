// Step rate of the interpreter on a counting loop built by hand:
//   int i = 0; while (i < n) i = i + 1; endwhile
#include "script/uKeloCode.h"

#include <benchmark/benchmark.h>

namespace {
std::unique_ptr<TExpression> intConst(qint64 v)
{
    return std::make_unique<TConstant>(QString::number(v), TType::int_);
}

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
    loop->setExpression(binary(std::make_unique<TOpRelation>(QStringLiteral("<")),
                               std::make_unique<TVarValue>(iDecl), intConst(n)));
    auto step = std::make_unique<TAssignment>();
    step->setDeclaration(iDecl);
    step->setExpression(binary(std::make_unique<TOpMath>(QStringLiteral("+")),
                               std::make_unique<TVarValue>(iDecl), intConst(1)));
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
    state.counters["steps/s"] = benchmark::Counter(static_cast<double>(steps), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_CountingLoopSteps)->Arg(1000000)->Unit(benchmark::kMillisecond);
} // namespace

BENCHMARK_MAIN();
