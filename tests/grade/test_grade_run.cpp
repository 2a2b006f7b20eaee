// The pieces of a grading, inside the test process: one run's result, the
// child processes that keep runs apart, and the table's quoting.
#include "grade/uGradeFiles.h"
#include "grade/uGradeHtml.h"
#include "tests/support/Printers.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QTemporaryDir>

#include <csignal>
#include <memory>
#include <unistd.h>
#include <vector>

#include <gtest/gtest.h>

namespace {

TGradeResult runOnLevel(const QStringList &script, int level, quint32 seed = 1)
{
    return RunGradeScript(script, LevelWorld(level), seed, 100000);
}

// Under AddressSanitizer runs are not bounded in memory, and a crash is
// reported by the sanitizer rather than by a signal.
#if defined(GRAZLO_SANITIZED)
constexpr bool MemoryLimitHolds = false;
#else
constexpr bool MemoryLimitHolds = true;
#endif

QList<TGradeResult> runIsolated(int count, const std::function<TGradeResult(int)> &run, const TIsolationLimits &limits)
{
    QList<TGradeResult> results(count);
    RunIsolated(count, run, limits, [&](int index, TGradeResult &result) { results[index] = result; });
    return results;
}

TGradeResult ran(qint64 score, int uncut = 0)
{
    TGradeResult r;
    r.Ran = true;
    r.Score = score;
    r.Uncut = uncut;
    return r;
}

} // namespace

TEST(GradeRun, ReportsScoreCountersPathAndTheFinalLawn)
{
    const TGradeResult r = runOnLevel({"start(0, 0);", "move(2);", "turnLeft();", "move(1);", "message(\"da\");"}, 3);
    EXPECT_EQ(r.Status, TGradeStatus::Finished);
    EXPECT_TRUE(r.Ran);
    EXPECT_FALSE(r.Solved());
    EXPECT_EQ(r.Steps, 3);
    EXPECT_EQ(r.Cut, 4);
    EXPECT_EQ(r.Uncut, 95);
    EXPECT_EQ(r.Score, 4000 - 303 - 95 * 1100);
    EXPECT_EQ(r.Path, (QList<QPoint>{{0, 0}, {0, 1}, {0, 2}, {1, 2}}));
    EXPECT_EQ(r.Messages, QStringList{"da"});
    ASSERT_EQ(r.Lawn.size(), 10);
    EXPECT_EQ(r.Lawn[2], "2,2,1,1,1,1,1,1,1,1");
    EXPECT_EQ(r.Lawn[4], "1,1,1,1,3,1,1,1,1,1");
    EXPECT_EQ(r.Sheep.Pos, QPoint(1, 2));
    EXPECT_EQ(r.Sheep.Dir, tdEast);
}

TEST(GradeRun, NamesTheFirstErrorWithItsLine)
{
    const TGradeResult syntax = runOnLevel({"start(0, 0);", "x = 1;", "y = 2;"}, 1);
    EXPECT_EQ(syntax.Status, TGradeStatus::SyntaxError);
    EXPECT_FALSE(syntax.Ran);
    EXPECT_EQ(syntax.Error.Line, 2);
    EXPECT_EQ(syntax.Error.Text, "Variable nicht definiert: x");

    const TGradeResult fault = runOnLevel({"int null = 0;", "start(0, 0);", "int x = 1 div null;"}, 1);
    EXPECT_EQ(fault.Status, TGradeStatus::ArithmeticFault);
    EXPECT_EQ(fault.Error.Line, 3);
    EXPECT_EQ(fault.Error.Text, "Division durch Null");
    EXPECT_TRUE(fault.Ran);
    EXPECT_GT(fault.Uncut, 0);
    EXPECT_EQ(fault.Score, 1000 - 1100 * qint64(fault.Uncut)) << "scored as ended: the grass left costs";

    const TGradeResult limit =
        RunGradeScript({"start(0, 0);", "while (true)", "  turnLeft();", "endwhile"}, LevelWorld(1), 1, 50);
    EXPECT_EQ(limit.Status, TGradeStatus::StepLimit);
    EXPECT_EQ(limit.Error.Text, "Schrittlimit erreicht: 50 Programmschritte");
    EXPECT_GE(limit.Error.Line, 2);
}

TEST(GradeRun, SeedsMakeRandomWalksRepeatable)
{
    const QStringList walk = {"int i = 0;",      "start(0, 0);", "while (i < 30)", "  if (random(2) == 0)",
                              "    turnLeft();", "  endif",      "  move(1);",     "  i = i + 1;",
                              "endwhile"};
    EXPECT_EQ(runOnLevel(walk, 1, 7).Path, runOnLevel(walk, 1, 7).Path);
    EXPECT_NE(runOnLevel(walk, 1, 7).Path, runOnLevel(walk, 1, 8).Path);
}

TEST(GradeRun, KeepsAFewHundredMessagesAndCountsTheRest)
{
    const TGradeResult r =
        runOnLevel({"int i = 0;", "while (i < 650)", "  message(\"Runde \" + i);", "  i = i + 1;", "endwhile"}, 1);
    ASSERT_EQ(r.Messages.size(), TGradeResult::MaxMessages + 1);
    EXPECT_EQ(r.Messages[499], "Runde 499");
    EXPECT_EQ(r.Messages.back(), "… 150 weitere Meldungen ausgelassen");
}

TEST(GradeRun, CrossesTheProcessBoundaryUnchanged)
{
    TGradeResult r = runOnLevel({"start(3, 3);", "move(2);", "message(\"a;b\");", "int z = 1 div 0;"}, 2);
    r.Milliseconds = 12;
    const TGradeResult back = TGradeResult::FromJson(r.ToJson());
    EXPECT_EQ(back.ToJson(), r.ToJson());
    EXPECT_EQ(back.Status, TGradeStatus::ArithmeticFault);
    EXPECT_EQ(back.Score, r.Score);
    EXPECT_EQ(back.Path, r.Path);
    EXPECT_EQ(back.Sheep.Pos, r.Sheep.Pos);
}

// Each failure gets a pool with the budget it needs: a crash and a memory
// hog must never be mistaken for a time-out on a loaded machine.
TEST(IsolatedRuns, OneBadRunCostsOneRowAndTheOthersStayInOrder)
{
    TIsolationLimits limits;
    limits.Jobs = 3;
    limits.TimeoutSeconds = 120;
    limits.MemoryBytes = qint64(64) << 20;
    const auto run = [](int index) -> TGradeResult {
        if (index == 1)
            std::raise(SIGSEGV);
        std::vector<std::unique_ptr<char[]>> hoard;
        while (index == 2)
            hoard.emplace_back(new char[1 << 20]());
        return ran(index * 100);
    };
    const int count = MemoryLimitHolds ? 5 : 2;
    const QList<TGradeResult> results = runIsolated(count, run, limits);
    ASSERT_EQ(results.size(), count);
    EXPECT_EQ(results[0].Score, 0);
    EXPECT_EQ(results[1].Status, TGradeStatus::RuntimeError);
    if (MemoryLimitHolds) { // a sanitizer reports the crash itself and exits
        EXPECT_EQ(results[1].Error.Text, QString("Der Lauf ist abgestürzt (Signal %1).").arg(SIGSEGV));
        EXPECT_EQ(results[2].Status, TGradeStatus::MemoryLimit);
        EXPECT_EQ(results[2].Error.Text, "Speicherlimit überschritten: mehr als 64 MB");
        for (int i : {3, 4})
            EXPECT_EQ(results[i].Score, i * 100);
    }
}

// Only processor time counts: the second run sleeps twice the limit and still finishes.
TEST(IsolatedRuns, AnEndlessRunEndsAtItsTimeLimitAndWaitingCostsNothing)
{
    TIsolationLimits limits;
    limits.Jobs = 2;
    limits.TimeoutSeconds = 1;
    const auto run = [](int index) -> TGradeResult {
        for (volatile bool spinning = index == 0; spinning;) {
        }
        ::usleep(2000 * 1000);
        return ran(7);
    };
    const QList<TGradeResult> results = runIsolated(2, run, limits);
    EXPECT_EQ(results[0].Status, TGradeStatus::TimeLimit);
    EXPECT_EQ(results[0].Error.Text, "Zeitlimit überschritten: mehr als 1 s");
    EXPECT_GE(results[0].Milliseconds, 1000);
    EXPECT_EQ(results[1].Status, TGradeStatus::Finished);
    EXPECT_EQ(results[1].Score, 7);
}

TEST(GradeTable, QuotesWhereNeededAndLeavesUnknownNumbersEmpty)
{
    TGradeBatch batch;
    batch.Scripts = {{"a;b \"c\".gzc", "", "", {}, {}}, {"zeile.gzc", "", "", {}, {}}};
    batch.Worlds = {LevelWorld(1)};
    TGradeResult solved;
    solved.Ran = true;
    solved.Score = 190001;
    solved.Steps = 99;
    solved.Cut = 100;
    solved.Milliseconds = 7;
    TGradeResult broken = ResultWithoutRun(TGradeStatus::SyntaxError, "Fehler: Zeile 2 : a\nb");
    broken.Error.Line = 2;
    batch.Rows = {{0, 0, 1, solved, {}}, {1, 0, 3, broken, {}}};
    const QStringList lines = GradeCsvLines(batch);
    ASSERT_EQ(lines.size(), 3);
    EXPECT_EQ(lines[0], "Skript;Welt;Startwert;Status;Geschafft;Punkte;Schritte;Ungemäht;Gemäht;Fehlerzeile;"
                        "Fehler;Millisekunden");
    EXPECT_EQ(lines[1], "\"a;b \"\"c\"\".gzc\";Level 1;1;beendet;ja;190001;99;0;100;;;7");
    EXPECT_EQ(lines[2], "zeile.gzc;Level 1;3;Syntaxfehler;nein;;;;;2;\"Fehler: Zeile 2 : a\nb\";0");
}

TEST(GradeTable, NoPupilTextBecomesAFormulaOrAControlCharacter)
{
    const QList<std::pair<QString, QString>> cells = {
        {"=HYPERLINK(\"x\").gzc", "\"'=HYPERLINK(\"\"x\"\").gzc\""},
        {"+1.gzc", "'+1.gzc"},
        {"-2.gzc", "'-2.gzc"},
        {"@a.gzc", "'@a.gzc"},
        {"\tb.gzc", "'\uFFFDb.gzc"},
        {"\rc.gzc", "\"'\rc.gzc\""},
        {"d\x01\x1b\x7f.gzc", "d\uFFFD\uFFFD\uFFFD.gzc"},
        {"e\nf.gzc", "\"e\nf.gzc\""},
    };
    TGradeBatch batch;
    batch.Worlds = {LevelWorld(1)};
    for (const auto &[name, cell] : cells) {
        batch.Rows.append({int(batch.Scripts.size()), 0, 1, ran(-5, 1), {}});
        batch.Scripts.append({name, "", "", {}, {}});
    }
    batch.Rows[0].Result.Error.Text = "=1+1";
    const QStringList lines = GradeCsvLines(batch);
    for (qsizetype i = 0; i < cells.size(); ++i)
        EXPECT_TRUE(lines[i + 1].startsWith(cells[i].second + ";Level 1;1;beendet;nein;-5;"))
            << lines[i + 1].toStdString();
    EXPECT_TRUE(lines[1].endsWith(";'=1+1;0")) << "error texts are guarded, negative scores stay numbers";
}

TEST(GradeTable, SumsUpEachScriptForTheGradebook)
{
    TGradeBatch batch;
    batch.Scripts = {{"a.gzc", "", "", {}, {}}, {"b.gzc", "", "", {}, {}}};
    batch.Worlds = {LevelWorld(1), LevelWorld(2)};
    TGradeResult fault = ran(-7, 3);
    fault.Status = TGradeStatus::ArithmeticFault;
    fault.Error = {5, "Division durch Null"};
    // a solves world 1 with both seeds and world 2 with one; b fails once and
    // cannot be read on world 2.
    batch.Rows = {{0, 0, 1, ran(10, 0), {}},
                  {0, 0, 2, ran(20, 0), {}},
                  {0, 1, 1, ran(5, 0), {}},
                  {0, 1, 2, ran(-4, 2), {}},
                  {1, 0, 1, fault, {}},
                  {1, 0, 2, ran(1, 1), {}},
                  {1, 1, 1, ResultWithoutRun(TGradeStatus::TimeLimit, "Zeit"), {}},
                  {1, 1, 2, ResultWithoutRun(TGradeStatus::TimeLimit, "Zeit"), {}}};
    EXPECT_EQ(SummaryCsvLines(batch),
              (QStringList{"Skript;Welten;Geschafft;Punkte gesamt;Punkte Median;Fehler", "a.gzc;2;1;15,5;7,5;",
                           "b.gzc;2;0;-3;-3;Zeile 5: Division durch Null"}));
}

TEST(GradeScripts, BinaryFilesAndLinksOutOfTheFolderAreUnreadable)
{
    QTemporaryDir dir;
    const QString klasse = dir.filePath("klasse");
    ASSERT_TRUE(QDir().mkpath(klasse + "/sub"));
    const QList<std::pair<QString, QByteArray>> files = {
        {"geheim.txt", "start(0, 0);\n"},
        {"klasse/echt.gzc", "start(0, 0);\n"},
        {"klasse/bild.gzc", QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16)},
        {"klasse/breit.gzc", QByteArray("\xFF\xFEs\0t\0a\0r\0t\0(\0)\0;\0", 18)},
        {"klasse/streu.gzc", "// ein Zeichen \x01 zu viel\nstart(0, 0);\nmove(3);\n"}};
    for (const auto &[name, bytes] : files) {
        QFile file(dir.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
    }
    ASSERT_TRUE(QFile::link("../geheim.txt", klasse + "/fremd.gzc"));
    ASSERT_TRUE(QFile::link("../echt.gzc", klasse + "/sub/innen.gzc"));
    ASSERT_TRUE(QFile::link("../../geheim.txt", klasse + "/sub/weit.gzc"));
    // named as a teacher names it, relative to the working folder
    const QString before = QDir::currentPath();
    QDir::setCurrent(dir.path());
    QList<TGradeScript> scripts = FindScripts({"klasse"});
    ReadScripts(scripts);
    QDir::setCurrent(before);
    QStringList found; // each name with the reason it was refused
    for (const TGradeScript &script : scripts) {
        found << script.Name + ":" + script.ReadError.section(':', -1);
        EXPECT_EQ(script.Lines.isEmpty(), !script.ReadError.isEmpty()) << "a refused file is never read";
    }
    EXPECT_EQ(found, (QStringList{"bild.gzc: keine Textdatei.",
                                  "breit.gzc:", "echt.gzc:", "fremd.gzc: Verweis aus dem Ordner heraus.",
                                  "streu.gzc:", "sub/innen.gzc:", "sub/weit.gzc: Verweis aus dem Ordner heraus."}));
}

TEST(GradeWorlds, LawnsOfTheSameNameGetTheShortestPathsThatTellThemApart)
{
    EXPECT_EQ(LawnLabels({"/k/a/wiese.glw", "/k/b/wiese.glw", "/k/garten.glw", "/x/a/wiese.glw"}),
              (QStringList{"k/a/wiese.glw", "b/wiese.glw", "garten.glw", "x/a/wiese.glw"}));
    EXPECT_EQ(LawnLabels({"/k/a.glw", "/k/a.glw"}), (QStringList{"a.glw", "a.glw"})) << "the same file twice";
}

TEST(GradeReport, EachRunStaysWithinItsShareAndCountsWhatItLeftOut)
{
    TGradeBatch batch;
    batch.Scripts = {{"a.gzc", "", "", {}, {}}};
    batch.Worlds = {LevelWorld(1)};
    TGradeResult whole = runOnLevel({"start(0, 0);"}, 1);
    for (int i = 0; i < TGradeResult::MaxMessages; ++i)
        whole.AddMessage(QString(TGradeResult::MaxMessageChars, u'x'));
    for (int i = 0; i < 10000; ++i)
        whole.Path.append(QPoint(i % 10, i / 1000));
    const TGradeRow row{0, 0, 1, {}, {}};
    const qint64 share = ReportShare(30 * 6 * 3);
    EXPECT_LE(share * 30 * 6 * 3, qint64(20) << 20) << "the page stays below 20 MB";
    const QByteArray report = ReportRun(batch, row, whole, share);
    EXPECT_LE(report.size(), share);
    const QJsonObject run = QJsonDocument::fromJson(report).object();
    EXPECT_EQ(run["lawn"].toArray().size(), 10);
    EXPECT_GT(run["path"].toArray().size(), 100);
    EXPECT_TRUE(run["pathTruncated"].toBool());
    EXPECT_GT(run["messages"].toArray().size(), 5);
    EXPECT_EQ(run["messages"].toArray().size() + run["messagesLeftOut"].toInt(), TGradeResult::MaxMessages);
}
