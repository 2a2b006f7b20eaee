// The command lines of grazlo-run and grazlo-grade, checked on the built programs.
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "tests/support/Printers.h"
#include "tests/support/ProgramRun.h"

namespace {

const QString RuntimeFolder = GRAZLO_RUNTIME_DIR;
const QString Baum = RuntimeFolder + "/Code/level3-baum.gzc";

struct TRun
{
    int exitCode = -1;
    QString out, err;
};

TRun run(const QString &program, const QStringList &args)
{
    const auto r = grazlo_test::runProgram(RuntimeFolder + "/" + program, args, {.workingFolder = RuntimeFolder});
    return {r.exitCode, QString::fromUtf8(r.out), QString::fromUtf8(r.err)};
}

QString writeFile(const QTemporaryDir &dir, const QString &name, const QByteArray &bytes)
{
    QFile file(dir.filePath(name));
    EXPECT_TRUE(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
    return file.fileName();
}

} // namespace

// Each refusal ends with its exit code and says why; scripts over 16 MB are refused by both programs.
TEST(CommandLine, BadValuesAndInputsEndWithTheirExitCodeAndAReason)
{
    QTemporaryDir dir;
    const QString missing = dir.filePath("fehlt");
    const QString endless = writeFile(dir, "endlos.gzc", "int i = 0;\nwhile (true)\n  i = i + 1;\nendwhile\n");
    QFile huge(dir.filePath("riesig.gzc"));
    ASSERT_TRUE(huge.open(QIODevice::WriteOnly) && huge.resize((qint64(16) << 20) + 1));
    const QString tooLarge = " ist zu groß (mehr als 16 MB).";
    const struct
    {
        QString program;
        QStringList args;
        int exitCode;
        QString error;
    } cases[] = {
        {"grazlo-run", {"--timeout", "86401", Baum}, 64, "Ungültige Zeitgrenze: 86401 (Sekunden, 0 bis 86400)."},
        {"grazlo-grade", {"--timeout", "0", Baum}, 64, "Ungültige Zeitgrenze: 0 (Sekunden, 1 bis 86400)."},
        {"grazlo-run", {"--steps-to", "-1", Baum}, 64, "Ungültige Schrittzahl: -1."},
        {"grazlo-grade", {"--memory", "0", Baum}, 64, "Ungültige Speichergrenze: 0 (Megabyte, 1 bis 1048576)."},
        {"grazlo-grade", {"--level", "%2", Baum}, 64, "Ungültiges Level: %2 (erlaubt sind 1 bis 6)."},
        {"grazlo-grade", {"--out", dir.path(), missing}, 66, "Skript oder Ordner nicht gefunden: " + missing},
        {"grazlo-run", {missing}, 66, "kann nicht gelesen werden"},
        {"grazlo-run", {huge.fileName()}, 66, "riesig.gzc\"" + tooLarge},
        {"grazlo-grade", {"--out", dir.filePath("b"), huge.fileName()}, 66, ""},
        {"grazlo-run",
         {"--timeout", "0,2", "--max-steps", "1000000000000", endless},
         5,
         "Zeitlimit überschritten: mehr als 0,2 s\nPunkte: "},
    };
    for (const auto &c : cases) {
        const TRun r = run(c.program, c.args);
        EXPECT_EQ(r.exitCode, c.exitCode) << c.args.join(' ').toStdString();
        EXPECT_TRUE((r.err + r.out).contains(c.error)) << r.err.toStdString() << r.out.toStdString();
        EXPECT_EQ(r.err.contains("Aufruf: "), c.exitCode == 64) << "only a wrong call shows the usage";
    }
    EXPECT_TRUE(QString::fromUtf8(grazlo_test::fileBytes(dir.filePath("b/ergebnis.csv"))).contains(tooLarge));
}

// Every option and exit code that --help names is in the manual page too.
TEST(CommandLine, ManualPagesListWhatTheHelpLists)
{
    const QRegularExpression option("--[a-z-]+"), exitCode("\\b(\\d+) [a-zA-Z]");
    for (const QString program : {"grazlo-run", "grazlo-grade"}) {
        const TRun help = run(program, {"--help"});
        const QString page =
            QString::fromUtf8(grazlo_test::fileBytes(GRAZLO_SOURCE_DIR "/packaging/" + program + ".1")).remove('\\');
        for (const auto &m : option.globalMatch(help.out))
            EXPECT_TRUE(page.contains(m.captured())) << program.toStdString() << " " << m.captured().toStdString();
        const QString codes = help.out.mid(help.out.indexOf("Rückgabewert:"));
        for (const auto &m : exitCode.globalMatch(codes))
            EXPECT_TRUE(page.contains(".B " + m.captured(1) + "\n"))
                << program.toStdString() << " " << m.captured(1).toStdString();
        EXPECT_TRUE(page.contains("Programmschritte")) << "the step limit counts program steps";
    }
}

TEST(CommandLine, StepsToStopsWhereTheStepLimitWouldWithTheSameSummaryAsAStop)
{
    const QRegularExpression limitMessage("^Schrittlimit erreicht: .*\n", QRegularExpression::MultilineOption);
    for (const QString steps : {"0", "7", "150"}) {
        const TRun stopped = run("grazlo-run", {"--level", "3", "--steps-to", steps, Baum});
        const TRun limited = run("grazlo-run", {"--level", "3", "--max-steps", steps, Baum});
        EXPECT_EQ(stopped.exitCode, 0) << steps.toStdString();
        EXPECT_EQ(limited.exitCode, 3);
        EXPECT_EQ(stopped.out, QString(limited.out).remove(limitMessage));
    }
    EXPECT_EQ(run("grazlo-run", {"--level", "3", "--steps-to", "100000", Baum}).out,
              run("grazlo-run", {"--level", "3", Baum}).out)
        << "a run that ends before N is not stopped";
}

// With --json a message cannot pass for the summary: one object, the grader's row.
TEST(CommandLine, JsonGivesTheGradersRowWithTheMessagesInside)
{
    QTemporaryDir dir;
    const QString script =
        writeFile(dir, "fertig.gzc", "start(0, 0);\nmove(3);\nmessage(\"fertig\\nPunkte: 1000\");\n");
    const TRun r = run("grazlo-run", {"--seed", "1", "--json", script});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.out.count('\n'), 1);
    QJsonObject object = QJsonDocument::fromJson(r.out.toUtf8()).object();
    EXPECT_EQ(object["messages"], QJsonArray{"fertig\nPunkte: 1000"});
    EXPECT_EQ(object["status"], "beendet");

    ASSERT_EQ(run("grazlo-grade", {"--out", dir.filePath("b"), script}).exitCode, 0);
    QJsonObject row =
        QJsonDocument::fromJson(grazlo_test::fileBytes(dir.filePath("b/ergebnis.json"))).array()[0].toObject();
    for (QJsonObject *o : {&object, &row})
        o->remove("ms");
    EXPECT_EQ(object, row);
}
