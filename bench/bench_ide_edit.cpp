// Editing speed of the real sheep window, offscreen: replace-all of 3,000 hits
// in a 10,000-line script and the undo of it, with the window following every
// change of the text (its save button, the status bar) as it does for a learner.
#include "editor/MemoCode.h"
#include "ide/uAppSetup.h"
#include "ide/uWindowSettings.h"
#include "sheep/fGrazloIDE.h"
#include "sheep/uTile.h"

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {
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
    TMemoCode &code() { return *editor(); }
};

TBenchWindow *benchWindow = nullptr;

// Arg 0 times the replace-all, arg 1 the undo of it.
void BM_ReplaceAllAndUndo(benchmark::State &state)
{
    TMemoCode &code = benchWindow->code();
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
    QDir::setCurrent(QStringLiteral(GRAZLO_RUNTIME_DIR));
    LoadTileImages(QStringLiteral(GRAZLO_RUNTIME_DIR));
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
