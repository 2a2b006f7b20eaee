// grazlo-run end to end: the built program on real script files.
//
// Each data/<name>.gzc is run with the options on line 1 of <name>.args
// ({DATA} stands for the data folder); line 2 holds the exit status, and
// <name>.out the exact standard output.
#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "tests/support/Printers.h"
#include "tests/support/ProgramRun.h"

namespace {

const QString TestData = GRAZLO_TEST_DATA;
const QString RuntimeFolder = GRAZLO_RUNTIME_DIR;

using TRun = grazlo_test::TProgramRun;
using grazlo_test::fileBytes;

TRun runner(const QStringList &args)
{
    return grazlo_test::runProgram(RuntimeFolder + "/grazlo-run", args, {.workingFolder = RuntimeFolder});
}

class GoldenScript : public ::testing::TestWithParam<std::string>
{
};

} // namespace

TEST_P(GoldenScript, PrintsExactlyTheExpectedLines)
{
    const QString name = QString::fromStdString(GetParam());
    const QStringList expectation = QString::fromUtf8(fileBytes(TestData + "/" + name + ".args")).split('\n');
    ASSERT_GE(expectation.size(), 2);
    QStringList args = QString(expectation[0]).replace("{DATA}", TestData).split(' ', Qt::SkipEmptyParts);
    args << TestData + "/" + name + ".gzc";
    const TRun run = runner(args);
    EXPECT_EQ(run.exitCode, expectation[1].toInt()) << run.err.toStdString();
    EXPECT_EQ(run.out.toStdString(), fileBytes(TestData + "/" + name + ".out").toStdString());

    // Whatever the messages hold, the summary of a run that started is the
    // last ten lines (the lawn's rows follow it on request).
    if (run.exitCode == 1 || args.contains("--show-lawn"))
        return;
    const QList<QByteArray> lines = run.out.split('\n');
    ASSERT_GE(lines.size(), 11);
    EXPECT_TRUE(lines[lines.size() - 11].startsWith("Punkte: "));
    EXPECT_TRUE(lines[lines.size() - 2].startsWith("Return = "));
}

INSTANTIATE_TEST_SUITE_P(Runner, GoldenScript, ::testing::ValuesIn([] {
                             std::vector<std::string> names;
                             for (const QString &f : QDir(TestData).entryList({"*.gzc"}))
                                 names.push_back(f.chopped(4).toStdString());
                             return names;
                         }()),
                         [](const auto &info) {
                             return QString::fromStdString(info.param).replace('-', '_').toStdString();
                         });

TEST(Runner, ExampleScriptsSolveTheirLevels)
{
    const QDir code(RuntimeFolder + "/Code");
    for (int level = 1; level <= 6; ++level) {
        const QStringList found = code.entryList({QString("level%1-*.gzc").arg(level)});
        ASSERT_EQ(found.size(), 1) << "level " << level;
        const TRun run = runner({"--level", QString::number(level), code.filePath(found.front())});
        EXPECT_EQ(run.exitCode, 0) << found.front().toStdString();
        EXPECT_TRUE(run.out.contains("\nzUncut = 0\n")) << run.out.toStdString();
    }
}

TEST(Runner, RefusesWrongUsageWithAGermanText)
{
    const QString script = TestData + "/trace.gzc";
    const QList<QStringList> wrong = {
        {},
        {"--level", "7", script},
        {"--level", "x", script},
        {"--max-steps", "-1", script},
        {"--seed"},
        {"--bunt", script},
        {script, script},
        {"--level", "2", "--lawn", TestData + "/ragged.glw", script},
    };
    for (const QStringList &args : wrong) {
        const TRun run = runner(args);
        EXPECT_EQ(run.exitCode, 64) << args.join(' ').toStdString();
        EXPECT_TRUE(run.err.contains("Aufruf: grazlo-run")) << run.err.toStdString();
        EXPECT_TRUE(run.out.isEmpty());
    }
    const TRun help = runner({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(help.out.startsWith("Aufruf: grazlo-run"));
}

TEST(Runner, UnreadableFilesEndWithStatus66)
{
    QTemporaryDir dir;
    const TRun noScript = runner({dir.filePath("fehlt.gzc")});
    EXPECT_EQ(noScript.exitCode, 66);
    EXPECT_TRUE(noScript.err.contains("kann nicht gelesen werden")) << noScript.err.toStdString();

    const TRun endless = runner({"/dev/zero"});
    EXPECT_EQ(endless.exitCode, 66);
    EXPECT_TRUE(QString::fromUtf8(endless.err).contains("zu groß")) << endless.err.toStdString();

    const TRun noLawn = runner({"--lawn", dir.filePath("fehlt.glw"), TestData + "/trace.gzc"});
    EXPECT_EQ(noLawn.exitCode, 66);
    EXPECT_TRUE(noLawn.out.isEmpty());

    QFile wide(dir.filePath("breit.glw"));
    ASSERT_TRUE(wide.open(QIODevice::WriteOnly));
    wide.write(QByteArray("1,").repeated(1500) + "1\r\n");
    wide.close();
    const TRun tooWide = runner({"--lawn", wide.fileName(), TestData + "/trace.gzc"});
    EXPECT_EQ(tooWide.exitCode, 66);
    EXPECT_TRUE(QString::fromUtf8(tooWide.err).contains("zu groß")) << tooWide.err.toStdString();
}

TEST(Runner, FileErrorsAreSaidInGerman)
{
    const TRun noScript = runner({"nix.gzc"});
    EXPECT_EQ(QString::fromUtf8(noScript.err).toStdString(),
              "Die Datei \"nix.gzc\" kann nicht gelesen werden: Die Datei oder der Ordner existiert nicht.\n");

    QTemporaryDir dir;
    const TRun folderAsLawn = runner({"--lawn", dir.path(), TestData + "/trace.gzc"});
    EXPECT_EQ(folderAsLawn.exitCode, 66);
    EXPECT_EQ(QString::fromUtf8(folderAsLawn.err),
              "Die Datei \"" + dir.path() + "\" kann nicht gelesen werden: Es ist ein Ordner.\n");
}

TEST(Runner, TheSameSeedGivesTheSameRun)
{
    const QString script = RuntimeFolder + "/Code/zufall.gzc";
    const TRun first = runner({"--seed", "7", script});
    const TRun second = runner({"--seed", "7", script});
    EXPECT_EQ(first.exitCode, 0);
    EXPECT_EQ(first.out, second.out);
    EXPECT_NE(first.out, runner({"--seed", "8", script}).out);
}

TEST(Runner, DrawsTheFinalLawnWithTheSheepsWayAsAPicture)
{
    QTemporaryDir dir;
    const QString script = RuntimeFolder + "/Code/level3-baum.gzc";
    const TRun plain = runner({"--level", "3", script});
    const TRun drawn = runner({"--level", "3", "--png", dir.filePath("rasen.png"), script});
    EXPECT_EQ(drawn.exitCode, 0) << drawn.err.toStdString();
    EXPECT_EQ(drawn.out, plain.out) << "the picture changes nothing else";

    const QImage picture(dir.filePath("rasen.png"));
    ASSERT_EQ(picture.size(), QSize(300, 300));
    const auto isWay = [&picture](int col, int row) {
        const QColor c = picture.pixelColor(col * 30 + 15, row * 30 + 15);
        return c.red() > 200 && c.green() > 150 && c.blue() < 80;
    };
    EXPECT_TRUE(isWay(0, 1) && isWay(3, 7) && isWay(9, 5)) << "the way runs through the mown lanes";
    EXPECT_FALSE(isWay(4, 4)) << "but not through the tree";

    // From another working folder the pictures are still found beside the program.
    QProcess elsewhere;
    elsewhere.setWorkingDirectory(dir.path());
    elsewhere.start(RuntimeFolder + "/grazlo-run", {"--png", "leer.png", script});
    ASSERT_TRUE(elsewhere.waitForFinished(60000));
    EXPECT_EQ(elsewhere.exitCode(), 0);
    EXPECT_TRUE(elsewhere.readAllStandardError().isEmpty()) << "no warning about missing pictures";
    EXPECT_EQ(QImage(dir.filePath("leer.png")).size(), QSize(300, 300));

    const TRun refused = runner({"--png", dir.filePath("fehlt/rasen.png"), script});
    EXPECT_EQ(refused.exitCode, 73);
    EXPECT_TRUE(refused.err.contains("kann nicht geschrieben werden")) << refused.err.toStdString();
    EXPECT_TRUE(refused.out.contains("Punkte: ")) << "the run itself is reported as usual";
}
