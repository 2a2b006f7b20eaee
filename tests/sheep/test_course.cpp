// The course that ships with the program: every task reads cleanly, its
// starter script parses, and its reference solution meets every goal on every
// world with every seed, run as grazlo-run runs it.
#include "base/uTextFile.h"
#include "parser/uKeloParser.h"
#include "sheep/uTask.h"
#include "tests/support/Printers.h"

#include <QDir>
#include <gtest/gtest.h>

namespace {

const QString CourseFolder = QString(GRAZLO_SOURCE_DIR) + "/resources/runtime/Aufgaben";

QStringList scriptLines(const QString &path)
{
    TTextLines text;
    QString error;
    EXPECT_TRUE(ReadScriptFile(path, text, error)) << error.toStdString();
    return text.Lines;
}

TRunFacts::TEnd endOf(TRunResult result)
{
    switch (result) {
    case TRunResult::Finished:
        return TRunFacts::Finished;
    case TRunResult::StepLimit:
        return TRunFacts::StepLimit;
    case TRunResult::TimeLimit:
        return TRunFacts::TimeLimit;
    default:
        return TRunFacts::Error;
    }
}

TGoalVerdict runOn(const TTask &task, const TTaskWorld &world, quint32 seed, const QStringList &script)
{
    TSheepRun run([](const QString &) {});
    QString error;
    EXPECT_TRUE(LoadTaskWorld(world, run.Sandbox().Field(), error)) << error.toStdString();
    SeedRandom(seed);
    TRunOptions options;
    options.MaxSteps = task.MaxSteps;
    options.Summary = false;
    const TRunResult result = run.Execute(script, options);
    return CheckGoals(
        task.Goals, TRunFacts::FromSandbox(run.Sandbox(), endOf(result), run.FirstError().Line, run.FirstError().Text));
}

class Course : public ::testing::TestWithParam<QString>
{
protected:
    TTask task;

    void SetUp() override
    {
        QString error;
        QStringList warnings;
        ASSERT_TRUE(ReadTask(CourseFolder + "/" + GetParam(), task, error, warnings)) << error.toStdString();
        EXPECT_EQ(warnings, QStringList());
    }
};

std::string taskName(const ::testing::TestParamInfo<QString> &info) { return info.param.left(2).toStdString(); }

} // namespace

TEST(CourseFolder, HoldsAtLeastTenTasks) { EXPECT_GE(QDir(CourseFolder).entryList({"*.gza"}, QDir::Files).size(), 10); }

TEST_P(Course, TheStarterScriptParsesWithoutAWord)
{
    ASSERT_FALSE(task.Starter.isEmpty());
    TSandboxSheep sandbox;
    TProgram program;
    sandbox.AddFunctions(&program);
    std::unique_ptr<TKeloMessageList> errors, warnings;
    EXPECT_TRUE(parseScript(scriptLines(task.Starter), &program, errors, warnings));
    EXPECT_TRUE(!warnings || warnings->isEmpty()) << warnings->front().Text.toStdString();
}

TEST_P(Course, TheReferenceSolutionMeetsEveryGoalOnEveryWorldAndSeed)
{
    ASSERT_FALSE(task.Reference.isEmpty());
    const QStringList script = scriptLines(task.Reference);
    for (const TTaskWorld &world : task.Worlds)
        for (quint32 seed = 1; seed <= task.Seeds; ++seed) {
            const TGoalVerdict verdict = runOn(task, world, seed, script);
            EXPECT_TRUE(verdict.Met) << world.Label.toStdString() << ", Startwert " << seed << ": "
                                     << verdict.Reason.toStdString();
        }
}

INSTANTIATE_TEST_SUITE_P(Shipped, Course,
                         ::testing::ValuesIn(QDir(CourseFolder).entryList({"*.gza"}, QDir::Files, QDir::Name)),
                         taskName);
