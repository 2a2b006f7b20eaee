// Parser speed: an ordinary 10,000-line script, refused expression lines of
// 100,000 and 4 million characters, scripts of nothing but declarations (a
// name looked up per line must not scan all before it), and the peak memory
// they took.
#include "parser/uKeloParser.h"

#include <benchmark/benchmark.h>

#include <sys/resource.h>

namespace {
// A few globals, then functions with parameters, locals, loops and
// conditionals, each followed by main code that calls it, up to the line count.
QStringList ordinaryScript(int lines)
{
    const QStringList globals = {
        "int steps = 0;", "int limit = 10;", "float rate = 1.5;", "bool done = false;", "string log = \"\";",
    };
    const QStringList unit = {
        "function twice%1(int a, ref int b): int",
        "  int c = a * 2;",
        "  float f = rate * c / 3;",
        "  b = b + 1;",
        "  // a comment line",
        "  while ((c < limit) and (b > 0))",
        "    c = c + (a - 1) div 2 + 1;",
        "    if (c % 2 == 0)",
        "      b = b - 1;",
        "    elseif (f > 5.0)",
        "      message(\"groß: \" + c);",
        "    else",
        "      log = log + \"Zeile, mit (Klammern)\" + c;",
        "    endif",
        "  endwhile",
        "  result = c + b;",
        "endfunction",
        "",
        "steps = steps + twice%1(limit - 2, ref steps);",
        "done = (steps > limit) or not done;",
    };
    QStringList script = globals;
    for (int copy = 0; script.size() < lines; ++copy) {
        for (const QString &line : unit)
            script.append(QString(line).replace(QStringLiteral("%1"), QString::number(copy)));
    }
    script.resize(lines);
    return script;
}

std::unique_ptr<TProgram> programWithMessage()
{
    auto program = std::make_unique<TProgram>();
    auto message = std::make_unique<TFunctionBin>();
    message->setName(QStringLiteral("message"));
    message->AddParameter(std::make_unique<TDeclaration>(QStringLiteral("msg"), TType::kelostr));
    program->AddFunction(std::move(message));
    return program;
}

void parseOnce(benchmark::State &state, const QStringList &script)
{
    for (auto _ : state) {
        state.PauseTiming();
        std::unique_ptr<TProgram> program = programWithMessage();
        std::unique_ptr<TKeloMessageList> errors, warnings;
        state.ResumeTiming();
        benchmark::DoNotOptimize(parseScript(script, program.get(), errors, warnings));
        state.PauseTiming();
        program.reset();
        state.ResumeTiming();
    }
}

void BM_ParseOrdinaryScript(benchmark::State &state)
{
    const QStringList script = ordinaryScript(int(state.range(0)));
    std::unique_ptr<TProgram> program = programWithMessage();
    std::unique_ptr<TKeloMessageList> errors, warnings;
    if (!parseScript(script, program.get(), errors, warnings)) {
        state.SkipWithError(errors->first().Text.toStdString().c_str());
        return;
    }
    parseOnce(state, script);
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_ParseOrdinaryScript)->Arg(10000)->Unit(benchmark::kMillisecond);

// "int v0 = 0;", "int v1 = 1;", ... up to the given size in bytes.
QStringList declarations(qint64 bytes)
{
    QStringList script;
    for (qint64 size = 0; size < bytes;) {
        script.append(QStringLiteral("int v%1 = %1;").arg(script.size()));
        size += script.last().size() + 1;
    }
    return script;
}

void BM_ParseDeclarations(benchmark::State &state)
{
    const QStringList script = declarations(state.range(0));
    parseOnce(state, script);
    state.SetItemsProcessed(state.iterations() * script.size());
}
BENCHMARK(BM_ParseDeclarations)->Arg(256 << 10)->Arg(1 << 20)->Unit(benchmark::kMillisecond);

void BM_RejectLongExpressionLine(benchmark::State &state)
{
    const QString line =
        QStringLiteral("int x = ") + QStringLiteral("1+").repeated(int(state.range(0)) / 2) + QStringLiteral("1;");
    parseOnce(state, {line});
}
BENCHMARK(BM_RejectLongExpressionLine)->Arg(100000)->Arg(4000000)->Unit(benchmark::kMillisecond);

// Peak memory of the process after the benchmarks above, in megabytes.
void BM_PeakMemory(benchmark::State &state)
{
    for (auto _ : state) {
    }
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    state.counters["peak_rss_mb"] = double(usage.ru_maxrss) / 1024.0;
}

void BM_RejectDeepBrackets(benchmark::State &state)
{
    const int depth = int(state.range(0)) / 2;
    const QString line =
        QStringLiteral("x = ") + QStringLiteral("(").repeated(depth) + "1" + QStringLiteral(")").repeated(depth) + ";";
    parseOnce(state, {"int x;", line});
}
BENCHMARK(BM_RejectDeepBrackets)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PeakMemory)->Iterations(1);
} // namespace

BENCHMARK_MAIN();
