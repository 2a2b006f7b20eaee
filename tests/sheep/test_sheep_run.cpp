// Whole scripts on the sheep's lawn: the example scripts reach their scores,
// and a run hands its results to the sandbox as the IDE does.
#include "base/uTextFile.h"
#include "sheep/uSheepRun.h"
#include "tests/support/Printers.h"

#include <gtest/gtest.h>

namespace {

const QString RuntimeFiles = QString(GRAZLO_SOURCE_DIR) + "/resources/runtime/";

QStringList scriptLines(const QString &relativePath)
{
    TTextLines text;
    QString error;
    EXPECT_TRUE(ReadTextFile(RuntimeFiles + relativePath, text, error)) << error.toStdString();
    return text.Lines;
}

struct TOutcome
{
    TRunResult result;
    QStringList output;
    qint64 score;
    int uncut;
};

TOutcome run(const QStringList &script, const std::function<void(TField &)> &lawn = {})
{
    TOutcome outcome;
    TSheepRun runner([&outcome](const QString &line) { outcome.output.append(line); });
    if (lawn)
        lawn(runner.Sandbox().Field());
    outcome.result = runner.Execute(script, TRunOptions());
    outcome.score = runner.Sandbox().Punkte(false);
    outcome.uncut = runner.Sandbox().zUncut();
    return outcome;
}

} // namespace

TEST(ExampleScripts, MowTheirLevelsCompletelyWithFewSteps)
{
    const struct
    {
        int level;
        const char *file;
        qint64 score;
    } examples[] = {
        {1, "Code/level1-wiese.gzc", 190001},   {2, "Code/level2-acker.gzc", 22889},
        {3, "Code/level3-baum.gzc", 187799},    {4, "Code/level4-gemein.gzc", 128324},
        {5, "Code/level5-wandern.gzc", 118930}, {6, "Code/level6-wald.gzc", 62142},
    };
    for (const auto &example : examples) {
        const TOutcome outcome =
            run(scriptLines(example.file), [&example](TField &field) { ApplyLevel(field, example.level); });
        EXPECT_EQ(outcome.result, TRunResult::Finished) << example.file;
        EXPECT_EQ(outcome.uncut, 0) << example.file;
        EXPECT_EQ(outcome.score, example.score) << example.file;
    }
}

TEST(ExampleScripts, TheLanePatternWorksOnOtherLawnsToo)
{
    for (const char *lawn : {"kleine-wiese", "feldweg", "obstgarten"}) {
        const TOutcome outcome = run(scriptLines("Code/level3-baum.gzc"), [lawn](TField &field) {
            QString error;
            ASSERT_TRUE(field.Load(RuntimeFiles + "Greens/" + lawn + ".glw", error)) << error.toStdString();
        });
        EXPECT_EQ(outcome.result, TRunResult::Finished) << lawn;
        EXPECT_EQ(outcome.uncut, 0) << lawn;
    }
}

TEST(ExampleScripts, DebugScriptAndRandomWalkRunCleanly)
{
    SeedRandom(1);
    for (const char *file : {"debugcode.klc", "Code/zufall.gzc"}) {
        const TOutcome outcome = run(scriptLines(file));
        EXPECT_EQ(outcome.result, TRunResult::Finished) << file;
        for (const QString &line : outcome.output)
            EXPECT_FALSE(line.startsWith("Fehler")) << file << ": " << line.toStdString();
    }
}

TEST(SheepRun, HandsTheReturnValueToTheSandboxAndKeepsTheLawn)
{
    TSheepRun runner([](const QString &) {});
    ASSERT_EQ(runner.Execute({"start(2, 3);", "move(2);"}, TRunOptions()), TRunResult::Finished);
    EXPECT_EQ(runner.Sandbox().Return(), "0");
    EXPECT_EQ(runner.Sandbox().Sheep().Pos, QPoint(2, 5));

    // A run-time error belongs to its own run only.
    ASSERT_EQ(runner.Execute({"function f(): int", "result = f();", "endfunction", "int x = f();"}, TRunOptions()),
              TRunResult::RuntimeError);

    // The next run starts where the earlier ones left off, facing south again.
    ASSERT_EQ(runner.Execute({"turnLeft();", "move(1);"}, TRunOptions()), TRunResult::Finished);
    EXPECT_EQ(runner.Sandbox().Sheep().Pos, QPoint(3, 5));
    EXPECT_EQ(runner.Sandbox().zSteps(), 1);
    EXPECT_EQ(runner.Sandbox().zCut(), 4);
}

TEST(SheepRun, StepLimitZeroStopsRightAfterTheStart)
{
    QStringList output;
    TSheepRun runner([&output](const QString &line) { output.append(line); });
    TRunOptions options;
    options.MaxSteps = 0;
    EXPECT_EQ(runner.Execute({"start(0, 0);"}, options), TRunResult::StepLimit);
    ASSERT_FALSE(output.isEmpty());
    EXPECT_EQ(output.front(), "Schrittlimit erreicht: 0 Programmschritte");
    EXPECT_EQ(runner.Sandbox().Sheep().Pos, QPoint(-1, -1));
    EXPECT_EQ(runner.Sandbox().Return(), "");
}
