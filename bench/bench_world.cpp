// The sheep world's speed: a headless run that mows level 1 again and again,
// the score on the largest lawn (the IDE asks for it after every step), a
// move of two billion steps, loading the largest lawn file, and going back
// one step late in a long run.
#include "sandbox/uRunTimeline.h"
#include "sheep/uSheepRun.h"

#include <QFile>
#include <QTemporaryDir>

#include <ctime>

#include <benchmark/benchmark.h>

namespace {

// Mows the whole level-1 lawn in lanes, then starts over, forever.
const QStringList kMowForever = {
    "while (true)",
    "  start(0, 0);",
    "  move(9);",
    "  while (zUncut > 0)",
    "    if (dSheep == dSouth)",
    "      turnLeft();",
    "      move(1);",
    "      turnLeft();",
    "    else",
    "      turnRight();",
    "      move(1);",
    "      turnRight();",
    "    endif",
    "    move(9);",
    "  endwhile",
    "endwhile",
};

void BM_RunLevel1Mowing(benchmark::State &state)
{
    TRunOptions options;
    options.MaxSteps = state.range(0);
    for (auto _ : state) {
        TSheepRun run([](const QString &) {});
        ApplyLevel(run.Sandbox().Field(), 1);
        benchmark::DoNotOptimize(run.Execute(kMowForever, options));
    }
    state.counters["steps/s"] =
        benchmark::Counter(double(state.range(0)) * double(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_RunLevel1Mowing)->Arg(5000000)->Unit(benchmark::kMillisecond);

void BM_PunkteOnLargestLawn(benchmark::State &state)
{
    TSandboxSheep sb;
    sb.Field().SetSize(TField::MaxSize, TField::MaxSize);
    sb.start(0, 0);
    sb.move(500);
    for (auto _ : state)
        benchmark::DoNotOptimize(sb.Punkte(true));
}
BENCHMARK(BM_PunkteOnLargestLawn)->Unit(benchmark::kMicrosecond);

// A move of two billion steps must end at the fence at once, not walk them.
void BM_HugeMoveSaturates(benchmark::State &state)
{
    for (auto _ : state) {
        TSandboxSheep sb;
        sb.start(0, 0);
        sb.move(2000000000);
        sb.move(2000000000);
        benchmark::DoNotOptimize(sb.zSteps());
    }
}
BENCHMARK(BM_HugeMoveSaturates)->Unit(benchmark::kMicrosecond);

void BM_LoadLargestLawnFile(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("gross.glw");
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    const QByteArray row = QByteArray("1,0,3,").repeated(TField::MaxSize / 3) + "1\r\n";
    file.write(row.repeated(TField::MaxSize));
    file.close();
    TField field;
    QString error;
    for (auto _ : state)
        benchmark::DoNotOptimize(field.Load(path, error));
}
BENCHMARK(BM_LoadLargestLawnFile)->Unit(benchmark::kMillisecond);

// Going back one step from step 1,000,000 on Level 3 rebuilds the moment
// 999,999 from the start of the run; ms_back is the time the learner waits.
void BM_StepBack(benchmark::State &state)
{
    const qint64 steps = state.range(0);
    TSandboxSheep sb;
    sb.Field().SetSize(10, 10);
    ApplyLevel(sb.Field(), 3);
    sb.setStd();
    TRunTimeline timeline(kMowForever, sb.SaveWorld());
    for (qint64 i = 0; i < steps; ++i)
        timeline.StepTaken();
    // Processor time, as the rates count it: the machine may be shared.
    std::clock_t spent = 0;
    for (auto _ : state) {
        const std::clock_t begin = std::clock();
        TMoment moment;
        timeline.Rebuild(sb, steps - 1, moment);
        benchmark::DoNotOptimize(moment.Program->State());
        spent += std::clock() - begin;
    }
    const double iterations = double(state.iterations());
    state.counters["ms_back"] = 1000.0 * double(spent) / CLOCKS_PER_SEC / iterations;
    state.counters["steps/s"] = benchmark::Counter(iterations * double(steps - 1), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_StepBack)->Arg(1000000)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
