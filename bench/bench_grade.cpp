// Grading a class: 30 pupils' scripts (the six level scripts, five pupils
// each) on the six levels, 180 runs, each in a child process of its own, with
// one and with two runs at a time. A lane script on a forest level never
// ends, so the runs are bounded at 20000 steps as a teacher would bound them.
#include "base/uTextFile.h"
#include "grade/uGradeBatch.h"

#include <QDir>

#include <benchmark/benchmark.h>

namespace {

TGradeBatch classOfThirty()
{
    TGradeBatch batch;
    const QDir code(QStringLiteral(GRAZLO_SOURCE_DIR "/resources/runtime/Code"));
    for (const QString &file : code.entryList({"level*.gzc"})) {
        TTextLines text;
        QString error;
        if (!ReadTextFile(code.filePath(file), text, error))
            return {};
        for (int pupil = 1; pupil <= 5; ++pupil) {
            TGradeScript script{QStringLiteral("schueler%1/%2").arg(pupil).arg(file), {}, {}, text.Lines, {}};
            script.Lines.append(QStringLiteral("message(\"Schüler %1\");").arg(pupil));
            batch.Scripts.append(script);
        }
    }
    for (int level = 1; level <= 6; ++level)
        batch.Worlds.append(LevelWorld(level));
    return batch;
}

void BM_GradeClassOfThirtyOnSixLevels(benchmark::State &state)
{
    TGradeBatch batch = classOfThirty();
    if (batch.Scripts.size() != 30) {
        state.SkipWithError("the level scripts are missing");
        return;
    }
    TGradeSettings settings;
    settings.MaxSteps = 20000;
    settings.Limits.Jobs = int(state.range(0));
    for (auto _ : state) {
        GradeAll(batch, settings, [](int, const TGradeResult &) {});
        benchmark::DoNotOptimize(batch.Rows.size());
    }
    state.counters["runs"] = double(batch.Rows.size());
}
BENCHMARK(BM_GradeClassOfThirtyOnSixLevels)
    ->Arg(1)
    ->Arg(2)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);

} // namespace

BENCHMARK_MAIN();
