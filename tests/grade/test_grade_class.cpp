// grazlo-grade end to end: the built program grades the class in
// data/klasse, whose pupils solve, misspell, loop, hoard memory, fail at run
// time, divide by zero, cannot be read and walk at random; its three result
// files are checked as a spreadsheet, a program and a browser would read them.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QUrl>
#include <gtest/gtest.h>

#include "tests/support/Printers.h"
#include "tests/support/ProgramRun.h"

namespace {

const QString TestData = GRAZLO_TEST_DATA;
const QString RuntimeFolder = GRAZLO_RUNTIME_DIR;
const QString ChromiumPath = "/usr/bin/chromium";

#if defined(GRAZLO_SANITIZED)
constexpr bool MemoryLimitHolds = false;
#else
constexpr bool MemoryLimitHolds = true;
#endif

struct TRun
{
    int exitCode = -1;
    QString out, err;
};

TRun run(const QString &program, const QStringList &args)
{
    const grazlo_test::TProgramRun r = grazlo_test::runProgram(program, args);
    return {r.exitCode, QString::fromUtf8(r.out), QString::fromUtf8(r.err)};
}

TRun grade(const QStringList &args) { return run(RuntimeFolder + "/grazlo-grade", args); }

// Chromium without a window, its profile in profile, the page's scripts given
// time to end.
QStringList browser(const QString &profile)
{
    return {"--headless",
            "--no-sandbox",
            "--disable-gpu",
            "--disable-background-networking",
            "--disable-component-update",
            "--disable-sync",
            "--no-first-run",
            "--hide-scrollbars",
            "--user-data-dir=" + profile,
            "--window-size=1400,1000",
            "--virtual-time-budget=5000"};
}

QString pageUrl(const QString &file, int run)
{
    return QUrl::fromLocalFile(file).toString() + QString("#lauf-%1").arg(run);
}

using grazlo_test::fileBytes;

// The table's lines, without the memory hog's rows where the memory limit
// cannot hold, and without the Millisekunden column when asked.
QStringList comparableCsvLines(const QByteArray &bytes, bool dropMilliseconds)
{
    QStringList lines;
    for (QString line : QString::fromUtf8(bytes).split("\r\n")) {
        if (dropMilliseconds)
            line.truncate(line.lastIndexOf(';'));
        if (MemoryLimitHolds || !line.startsWith("dora.klc"))
            lines.append(line);
    }
    return lines;
}

class GradeClass : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        iOut = new QTemporaryDir;
        iResult = new TRun(grade({"--level", "2", "--lawn", TestData + "/wiese.glw", "--seeds", "2", "--timeout", "1",
                                  "--memory", "32", "--max-steps", "1000000000000", "--jobs", "2", "--out",
                                  iOut->filePath("bewertung"), TestData + "/klasse"}));
    }
    static void TearDownTestSuite()
    {
        delete iResult;
        delete iOut;
    }
    static QString outFile(const QString &name) { return iOut->filePath("bewertung/" + name); }

    static QJsonArray jsonRows()
    {
        QJsonParseError error;
        const QJsonDocument doc = QJsonDocument::fromJson(fileBytes(outFile("ergebnis.json")), &error);
        EXPECT_EQ(error.error, QJsonParseError::NoError) << error.errorString().toStdString();
        return doc.array();
    }

    static QJsonObject jsonRow(const QString &script, const QString &world, int seed)
    {
        for (const QJsonValue &row : jsonRows())
            if (row["script"] == script && row["world"] == world && row["seed"] == seed)
                return row.toObject();
        ADD_FAILURE() << "keine Zeile für " << script.toStdString();
        return {};
    }

    static int rowIndex(const QString &script)
    {
        const QJsonArray rows = jsonRows();
        for (int i = 0; i < rows.size(); ++i)
            if (rows[i]["script"] == script)
                return i;
        return -1;
    }

    static inline QTemporaryDir *iOut = nullptr;
    static inline TRun *iResult = nullptr;
};

} // namespace

TEST_F(GradeClass, WritesTheTableAndEveryRunsRowAsJson)
{
    EXPECT_EQ(iResult->exitCode, 0) << iResult->err.toStdString();
    EXPECT_EQ(iResult->out, "36 Läufe bewertet; Ergebnisse in " + iOut->filePath("bewertung") + "\n");

    // ergebnis.csv, as a German spreadsheet opens it
    const QByteArray csv = fileBytes(outFile("ergebnis.csv"));
    ASSERT_TRUE(csv.startsWith("\xEF\xBB\xBFSkript;Welt;"));
    EXPECT_TRUE(csv.endsWith("\r\n"));
    EXPECT_EQ(csv.count("\r\n"), csv.count('\n')) << "every line ends with CR LF";
    EXPECT_EQ(comparableCsvLines(csv, true),
              comparableCsvLines(fileBytes(TestData + "/ergebnis-ohne-zeit.csv"), false));
    const QRegularExpression milliseconds(";\\d+\r\n");
    EXPECT_EQ(csv.count('\n'), QString::fromUtf8(csv).count(milliseconds) + 1) << "a wall time in every row";

    // ergebnis.json, the same rows with messages and paths
    const QJsonArray rows = jsonRows();
    ASSERT_EQ(rows.size(), 36);
    for (const QJsonValue &row : rows)
        for (const char *key : {"script", "world", "seed", "status", "solved", "score", "steps", "uncut", "cut",
                                "errorLine", "error", "ms", "messages", "path"})
            EXPECT_TRUE(row.toObject().contains(key)) << key;

    const QJsonObject solved = jsonRow("anna.gzc", "Level 2", 1);
    EXPECT_EQ(solved["status"], "beendet");
    EXPECT_EQ(solved["solved"], true);
    EXPECT_EQ(solved["score"], 16021);
    EXPECT_EQ(solved["steps"], 79);
    EXPECT_TRUE(solved["errorLine"].isNull());
    EXPECT_TRUE(solved["error"].isNull());
    EXPECT_TRUE(solved["ms"].isDouble());
    EXPECT_EQ(solved["messages"], QJsonArray{"Fertig! Schritte: 79"});

    // uebersicht.csv, one line per script for the gradebook
    const QByteArray summaryBytes = fileBytes(outFile("uebersicht.csv"));
    EXPECT_TRUE(summaryBytes.startsWith("\xEF\xBB\xBFSkript;Welten;"));
    const QStringList summary = QString::fromUtf8(summaryBytes).split("\r\n");
    ASSERT_EQ(summary.size(), 11);
    EXPECT_EQ(summary[0], "Skript;Welten;Geschafft;Punkte gesamt;Punkte Median;Fehler");
    EXPECT_EQ(summary[1], "anna.gzc;2;2;53698;26849;") << "the worlds' medians add up";
    EXPECT_EQ(summary[2], "bernd.gzc;2;0;;;Zeile 4: Variable nicht definiert: x");
    EXPECT_EQ(summary[8], "hans.gzc;2;0;;;\"Die Datei \"\"hans.gzc\"\" kann nicht gelesen werden: Sie fehlt oder ist "
                          "keine gewöhnliche Datei.\"");
    EXPECT_EQ(summary[10], "");

    const QJsonObject misspelt = jsonRow("bernd.gzc", "wiese.glw", 2);
    EXPECT_EQ(misspelt["status"], "Syntaxfehler");
    EXPECT_TRUE(misspelt["score"].isNull());
    EXPECT_TRUE(misspelt["steps"].isNull());
    EXPECT_EQ(misspelt["errorLine"], 4);
    EXPECT_EQ(misspelt["messages"].toArray().first(), "Fehler: Zeile 4 : Variable nicht definiert: x");
    EXPECT_TRUE(misspelt["path"].toArray().isEmpty());

    const QJsonObject unreadable = jsonRow("hans.gzc", "Level 2", 1);
    EXPECT_EQ(unreadable["status"], "nicht lesbar");
    EXPECT_TRUE(unreadable["error"].toString().contains("hans.gzc"));

    // the random walk, one unbroken path per seed
    for (int seed : {1, 2}) {
        const QJsonArray path = jsonRow("gruppe-b/greta.gzc", "wiese.glw", seed)["path"].toArray();
        ASSERT_GT(path.size(), 20);
        EXPECT_EQ(path.first(), (QJsonArray{0, 0}));
        for (qsizetype i = 1; i < path.size(); ++i) {
            const int dx = path[i][0].toInt() - path[i - 1][0].toInt();
            const int dy = path[i][1].toInt() - path[i - 1][1].toInt();
            EXPECT_EQ(std::abs(dx) + std::abs(dy), 1) << "step " << i << " with seed " << seed;
        }
    }
    EXPECT_NE(jsonRow("gruppe-b/greta.gzc", "wiese.glw", 1)["path"],
              jsonRow("gruppe-b/greta.gzc", "wiese.glw", 2)["path"]);
}

TEST_F(GradeClass, ShowsTheMatrixAndARunsDetailsInABrowser)
{
    if (!QFileInfo::exists(ChromiumPath))
        GTEST_SKIP() << "Chromium fehlt (" << ChromiumPath.toStdString()
                     << "): bericht.html wird nicht im Browser geprüft.";
    const int failing = rowIndex("emil.gzc");
    ASSERT_GE(failing, 0);
    const QString url = pageUrl(outFile("bericht.html"), failing);
    const QString screenshot = iOut->filePath("bericht.png");
    const QStringList chromium = browser(iOut->filePath("chromium"));

    const QString dom = run(ChromiumPath, chromium + QStringList{"--dump-dom", url}).out;
    EXPECT_TRUE(dom.contains("data-bereit=\"ja\"")) << "the page's script ran to its end";
    EXPECT_EQ(dom.count("<tr data-skript="), 9);
    EXPECT_EQ(dom.count("<td class=\"lauf geschafft\""), 4) << "one cell per world, both seeds in it";
    EXPECT_EQ(dom.count("<td class=\"lauf offen\""), 2);
    if (MemoryLimitHolds) {
        EXPECT_EQ(dom.count("<td class=\"lauf limit\""), 4);
    }
    EXPECT_TRUE(
        dom.contains("title=\"2 von 2 Startwerten geschafft, Median der Punkte – Details zeigen\">2/2 · 16.021<"));
    EXPECT_TRUE(dom.contains("<td class=\"summe\">2 / 2</td>")) << "the total beside the name";
    EXPECT_TRUE(dom.contains(">Median Punkte<"));
    EXPECT_EQ(dom.count("<td>2 / 9</td>"), 2) << "solved per world";
    EXPECT_EQ(dom.count("Startwert 1: Laufzeitfehler, -9.303 Punkte"), 1) << "the cell's runs, one per seed";
    EXPECT_TRUE(QRegularExpression("<output id=\"weg-stand\"[^>]*>Feld (\\d+) von \\1<").match(dom).hasMatch())
        << "the way's slider stands at its end";
    const QRegularExpression details("<section id=\"details\"([^>]*)>");
    EXPECT_FALSE(details.match(dom).captured(1).contains("hidden")) << "the details are open";
    EXPECT_TRUE(dom.contains("data-gezeichnet=\"ja\"")) << "the lawn was drawn";
    EXPECT_TRUE(dom.contains("<span class=\"markiert\"><i>3</i>  result = weiter(n + 1);</span>"));
    EXPECT_TRUE(dom.contains("<li>gleich geht es schief</li>"));

    run(ChromiumPath, chromium + QStringList{"--screenshot=" + screenshot, url});
    const QImage shot(screenshot);
    ASSERT_FALSE(shot.isNull()) << "screenshot under " << screenshot.toStdString();
    EXPECT_EQ(shot.size(), QSize(1400, 1000));
}

TEST(GradeCalls, RefuseWrongCallsWithAGermanText)
{
    const QString klasse = TestData + "/klasse";
    const QList<std::pair<QStringList, QString>> wrong = {
        {{}, "Kein Skript und kein Ordner angegeben."},
        {{"--bunt", klasse}, "Unbekannte Option: --bunt"},
        {{"--jobs", "0", klasse}, "Ungültige Zahl gleichzeitiger Läufe: 0"},
        {{"--timeout", "x", klasse}, "Ungültige Zeitgrenze: x"},
        {{"--level", "7", klasse}, "Ungültiges Level: 7"},
        {{"--seeds", "0", klasse}, "Ungültige Zahl der Startwerte: 0"},
        {{klasse, "--out"}, "Zu --out fehlt der Wert."},
    };
    for (const auto &[args, text] : wrong) {
        const TRun r = grade(args);
        EXPECT_EQ(r.exitCode, 64) << args.join(' ').toStdString();
        EXPECT_TRUE(r.err.startsWith("grazlo-grade: " + text)) << r.err.toStdString();
        EXPECT_TRUE(r.err.contains("Aufruf: grazlo-grade"));
        EXPECT_TRUE(r.out.isEmpty());
    }
    const TRun help = grade({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(help.out.startsWith("Aufruf: grazlo-grade"));
}

TEST(GradeCalls, EndWith66WhenNothingCanBeRead)
{
    QTemporaryDir dir;
    ASSERT_TRUE(QDir().mkpath(dir.filePath("leer")));
    const TRun empty = grade({"--out", dir.filePath("a"), dir.filePath("leer")});
    EXPECT_EQ(empty.exitCode, 66);
    EXPECT_TRUE(empty.err.contains("Keine Skripte")) << empty.err.toStdString();

    ASSERT_TRUE(QFile::link(dir.filePath("nirgends.gzc"), dir.filePath("leer/weg.gzc")));
    const TRun broken = grade({"--out", dir.filePath("b"), dir.filePath("leer")});
    EXPECT_EQ(broken.exitCode, 66);
    EXPECT_TRUE(QString::fromUtf8(fileBytes(dir.filePath("b/ergebnis.csv")))
                    .contains("weg.gzc;leerer Rasen;1;nicht lesbar;nein"));

    const TRun noLawn =
        grade({"--lawn", dir.filePath("fehlt.glw"), "--out", dir.filePath("c"), TestData + "/klasse/anna.gzc"});
    EXPECT_EQ(noLawn.exitCode, 66);
    EXPECT_TRUE(noLawn.err.contains("fehlt.glw")) << noLawn.err.toStdString();
    EXPECT_FALSE(QFileInfo::exists(dir.filePath("c")));
}

TEST(GradeCalls, SaysSoWhenTheResultsCannotBeWritten)
{
    QTemporaryDir dir;
    QFile blocker(dir.filePath("datei"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    const TRun r = grade({"--out", dir.filePath("datei/bewertung"), TestData + "/klasse/anna.gzc"});
    EXPECT_EQ(r.exitCode, 73);
    EXPECT_TRUE(r.err.contains("kann nicht angelegt werden")) << r.err.toStdString();
}

namespace {

const QString TaskFolder = TestData + "/aufgabe";

// The CSV rows of one script in the order written, split into fields.
QList<QStringList> csvRowsOf(const QString &path, const QString &script)
{
    QList<QStringList> rows;
    for (const QString &line : QString::fromUtf8(fileBytes(path)).split("\r\n"))
        if (line.startsWith(script + ';'))
            rows.append(line.split(';'));
    return rows;
}

// The class of aufgabe/klasse graded by reihe.gza: the top row on Level 1 and
// on a lawn of the task's own, two seeds each. Its pupils solve it, stop
// short, take a detour, turn at random and misspell.
class GradeTask : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        iOut = new QTemporaryDir;
        iResult = new TRun(grade({"--task", TaskFolder + "/reihe.gza", "--jobs", "2", "--out",
                                  iOut->filePath("bewertung"), TaskFolder + "/klasse"}));
    }
    static void TearDownTestSuite()
    {
        delete iResult;
        delete iOut;
    }
    static QString outFile(const QString &name) { return iOut->filePath("bewertung/" + name); }

    static inline QTemporaryDir *iOut = nullptr;
    static inline TRun *iResult = nullptr;
};

} // namespace

TEST_F(GradeTask, SolvedMeansEveryGoalMetAndTheTablesNameTheFirstMissed)
{
    EXPECT_EQ(iResult->exitCode, 0) << iResult->err.toStdString();
    EXPECT_TRUE(iResult->out.startsWith("20 Läufe bewertet (dazu 4 der Musterlösung);")) << iResult->out.toStdString();

    // script, row of its (world, seed) in the table's order, Geschafft, Fehler
    const QList<std::tuple<QString, int, QString, QString>> expected = {
        {"anton.gzc", 3, "ja", ""},
        {"berta.gzc", 0, "nein", "endet auf (5|0) statt (9|0)"},
        {"carl.gzc", 2, "nein", "13 Schritte statt höchstens 12"},
        {"dora.gzc", 0, "nein", "endet auf (8|0) statt (9|0)"},
        {"dora.gzc", 1, "ja", ""},
        {"emil.gzc", 3, "nein", "Fehler in Zeile 3: Variable nicht definiert: y"},
    };
    for (const auto &[script, index, solved, problem] : expected) {
        const QList<QStringList> rows = csvRowsOf(outFile("ergebnis.csv"), script);
        ASSERT_EQ(rows.size(), 4) << script.toStdString();
        EXPECT_EQ(rows[index][4], solved) << script.toStdString() << " " << index;
        EXPECT_EQ(rows[index][10], problem) << script.toStdString() << " " << index;
    }
    EXPECT_EQ(csvRowsOf(outFile("uebersicht.csv"), "dora.gzc").first().mid(2),
              QStringList({"0", "-104817", "-52408,5", "endet auf (8|0) statt (9|0)"}));

    // the reference solution is in none of the files for other programs
    for (const char *file : {"ergebnis.csv", "uebersicht.csv", "ergebnis.json"})
        EXPECT_FALSE(fileBytes(outFile(file)).contains("reihe.gzc")) << file;
    const QJsonArray rows = QJsonDocument::fromJson(fileBytes(outFile("ergebnis.json"))).array();
    ASSERT_EQ(rows.size(), 20);
    EXPECT_EQ(rows[4]["goal"], "endet auf (5|0) statt (9|0)");
}

TEST_F(GradeTask, TheReportShowsTheTaskAndTheReferenceSolutionAboveThePupils)
{
    if (!QFileInfo::exists(ChromiumPath))
        GTEST_SKIP() << "Chromium fehlt: bericht.html wird nicht im Browser geprüft.";
    const QString dom = run(ChromiumPath, browser(iOut->filePath("chromium")) +
                                              QStringList{"--dump-dom", pageUrl(outFile("bericht.html"), 4)})
                            .out;
    EXPECT_TRUE(dom.contains(">Aufgabe: Die oberste Reihe</h2>"));
    EXPECT_TRUE(
        dom.contains("<li>Ende auf Feld (9|0)</li><li>Schau am Ende nach Osten</li><li>höchstens 12 Schritte</li>"
                     "<li>Setze keine Markierung</li><li>Ende ohne Fehler</li>"));
    EXPECT_TRUE(dom.contains("gelaufen, ein Ziel verfehlt"));
    EXPECT_TRUE(dom.contains("<tbody><tr data-skript=\"5\" class=\"muster\"><th scope=\"row\" class=\"name\" "
                             "title=\"muster/reihe.gzc\">Musterlösung</th>"))
        << "its own row, on top however the table is sorted";
    EXPECT_EQ(dom.count("<td>1 / 5</td>"), 2) << "the class's figures leave it out";
    EXPECT_TRUE(dom.contains("5 Skripte und die Musterlösung"));
    EXPECT_TRUE(dom.contains("<dd>verfehlt: endet auf (5|0) statt (9|0)</dd>")) << "the cell's details";
}

TEST(GradeTaskCalls, TheTaskSetsTheRunsAndTheCommandLineOverridesIt)
{
    QTemporaryDir dir;
    const auto write = [&](const QString &name, const QByteArray &text) {
        QFile file(dir.filePath(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
        return dir.filePath(name);
    };
    const QByteArray head = "[Aufgabe]\nTitel=Kurz\n[Welt1]\nLevel=1\n";
    write("riesig.glw", QByteArray("1\r\n").repeated(1001));
    const QString anton = TaskFolder + "/klasse/anton.gzc";
    struct TCase
    {
        QStringList args;
        int exitCode;
        QString out, err;
    };
    const QList<TCase> cases = {
        {{"--task", TaskFolder + "/reihe.gza", "--seeds", "1", "--level", "2"},
         0,
         "3 Läufe bewertet (dazu 3 der Musterlösung)",
         ""},
        {{"--task", dir.filePath("fehlt.gza")}, 66, "", "grazlo-grade: Aufgabe nicht gefunden: "},
        {{"--task", write("ohne-ziel.gza", head)}, 65, "", "Fehler in der Aufgabe \"ohne-ziel.gza\""},
        {{"--task", write("riesig.gza", head + "[Welt2]\nRasen=riesig.glw\n[Ziel]\nGemaeht=ja\n")},
         65,
         "",
         "riesig.glw"},
        {{"--task", write("farbe.gza", head + "[Ziel]\nGemaeht=ja\nFarbe=blau\n")},
         0,
         "1 Läufe bewertet;",
         "Warnung zur Aufgabe \"farbe.gza\", Zeile 7"},
    };
    for (const TCase &c : cases) {
        const TRun r = grade(c.args + QStringList{"--out", dir.filePath("bewertung"), anton});
        SCOPED_TRACE(c.args.join(' ').toStdString());
        EXPECT_EQ(r.exitCode, c.exitCode) << r.err.toStdString();
        EXPECT_EQ(r.out.left(c.out.size()), c.out);
        EXPECT_TRUE(r.err.contains(c.err)) << r.err.toStdString();
    }
}
