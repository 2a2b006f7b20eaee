// Run speed of the real sheep window, offscreen: program steps per second at
// the highest speed on a 10 x 10 and a 100 x 100 lawn, and how long Pause and
// Stop take to end a running loop at the highest and the lowest speed. Also
// editing speed: replace-all of 3,000 hits in a 10,000-line script and its undo,
// with the window following every change of the text as it does for a learner.
#include "editor/MemoCode.h"
#include "ide/uAppSetup.h"
#include "ide/uWindowSettings.h"
#include "script/uKeloCode.h"
#include "sheep/fGrazloIDE.h"
#include "sheep/uSandboxSheep.h"
#include "sheep/uTile.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTimer>
#include <benchmark/benchmark.h>

namespace {
// The sheep walks round the border of a side x side lawn for ever.
QStringList borderWalk(int side)
{
    return {
        "start(0, 0);", "int k = 0;",     "while (k >= 0)", "  int s = 0;",  QString("  while (s < %1)").arg(side - 1),
        "    move(1);", "    s = s + 1;", "  endwhile",     "  turnLeft();", "  k = k + 1;",
        "endwhile",
    };
}

// The sheep window with its run control opened to the benchmark.
class TBenchWindow final : public TfrmGrazloIDE
{
public:
    TBenchWindow()
    {
        doSearch4Update = false;
        resize(1200, 900);
        show();
        FormActivate();
    }

    void setLawn(int side)
    {
        sb->Field().SetSize(side, side);
        PnGrid->FollowLawnSize();
        editor()->setLines(borderWalk(side));
    }

    // Starts the script and counts every announced line as a step; pauses
    // once `limit` steps are done.
    void start(int speed, long limit)
    {
        SetSpeed(speed);
        steps = 0;
        StartProgram();
        program()->setOnLineNumber([this, limit](TProgram *p, int line) {
            ProgramLineNumber(p, line);
            if (++steps >= limit)
                PauseProgram();
        });
        doRun = true;
        UpdateRunActions();
    }
    void runLoop() { RunLoop(); }
    void pause() { AcPauseExecute(); }
    void stop() { StopProgram(); }

    long steps = 0;
};

// Created and destroyed in main, while the application object exists.
TBenchWindow *benchWindow = nullptr;

TBenchWindow &Window() { return *benchWindow; }

void BM_StepsPerSecondAtHighestSpeed(benchmark::State &state)
{
    const int side = static_cast<int>(state.range(0));
    TBenchWindow &window = Window();
    window.setLawn(side);
    long total = 0;
    for (auto _ : state) {
        window.start(100, 3000);
        window.runLoop();
        total += window.steps;
        window.stop();
    }
    state.counters["steps_per_s"] = benchmark::Counter(double(total), benchmark::Counter::kIsRate);
}
// The rate is per second of CPU time of this thread, so neighbours on a
// shared machine do not count; the run loop does all its work on this thread.
BENCHMARK(BM_StepsPerSecondAtHighestSpeed)->Arg(10)->Arg(100)->Unit(benchmark::kMillisecond);

// Milliseconds from the moment a Pause or Stop is due until the loop has ended.
void measureEndOfLoop(benchmark::State &state, bool useStop)
{
    const int speed = static_cast<int>(state.range(0));
    TBenchWindow &window = Window();
    window.setLawn(10);
    double worst = 0;
    double sum = 0;
    int runs = 0;
    for (auto _ : state) {
        window.start(speed, 1L << 40);
        QElapsedTimer clock;
        clock.start();
        // Vary the moment within the 50 ms slices.
        const int dueMs = 20 + (runs * 17) % 60;
        QTimer::singleShot(dueMs, Qt::PreciseTimer, [&] { useStop ? window.stop() : window.pause(); });
        window.runLoop();
        const double latency = double(clock.nsecsElapsed()) / 1e6 - dueMs;
        worst = std::max(worst, latency);
        sum += latency;
        ++runs;
        window.stop();
    }
    state.counters["worst_ms"] = worst;
    state.counters["mean_ms"] = runs ? sum / runs : 0;
}

void BM_PauseLatency(benchmark::State &state) { measureEndOfLoop(state, false); }
BENCHMARK(BM_PauseLatency)->Arg(100)->Arg(50)->Arg(0)->Iterations(12)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_StopLatency(benchmark::State &state) { measureEndOfLoop(state, true); }
BENCHMARK(BM_StopLatency)->Arg(100)->Arg(50)->Arg(0)->Iterations(12)->Unit(benchmark::kMillisecond)->UseRealTime();

constexpr int ScriptLines = 10000;
constexpr int Hits = 3000;

// Every line declares a variable; every third of the first 3 * Hits lines names one "ziel".
QStringList bigScript()
{
    QStringList lines;
    for (int i = 0; i < ScriptLines; ++i)
        lines.append(QStringLiteral("int %1%2 = %2;").arg(i % 3 == 0 && i < 3 * Hits ? "ziel" : "v").arg(i));
    return lines;
}

// Arg 0 times the replace-all, arg 1 the undo of it.
void BM_ReplaceAllAndUndo(benchmark::State &state)
{
    TMemoCode &code = *Window().editor();
    const QStringList script = bigScript();
    const TSynSearchOptions all = ssoReplace | ssoReplaceAll | ssoEntireScope | ssoMatchCase;
    const bool timeUndo = state.range(0) == 1;
    for (auto _ : state) {
        state.PauseTiming();
        code.setLines(script);
        code.SetSavePoint();
        if (!timeUndo)
            state.ResumeTiming();
        const int replaced = code.SearchReplace(QStringLiteral("ziel"), QStringLiteral("zielwert"), all);
        if (timeUndo)
            state.ResumeTiming();
        code.undo();
        if (replaced != Hits)
            state.SkipWithError("unexpected number of hits");
    }
    state.SetLabel(timeUndo ? "undo of replace-all" : "replace-all and its undo");
}
BENCHMARK(BM_ReplaceAllAndUndo)->Arg(0)->Arg(1)->Iterations(3)->Unit(benchmark::kMillisecond);
} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    SetupApplication(app);
    // The pictures are found relative to the runnable folder, as in the IDE.
    QDir::setCurrent(QStringLiteral(GRAZLO_RUNTIME_DIR));
    LoadTileImages(QStringLiteral(GRAZLO_RUNTIME_DIR));
    // The window's settings go to a file of their own, not beside the program.
    QTemporaryDir settingsDir;
    setSettingsFileName(settingsDir.filePath(QStringLiteral("grazlo.ini")));
    benchmark::Initialize(&argc, argv);
    {
        TBenchWindow window;
        benchWindow = &window;
        benchmark::RunSpecifiedBenchmarks();
        benchWindow = nullptr;
    }
    benchmark::Shutdown();
    return 0;
}
