// Task files: what a teacher's mistakes are told as, and the goal check of a
// run's facts.
#include "sheep/uTask.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// A task folder with a lawn, a starter and a reference solution beside the task.
struct TTaskFolder
{
    TTaskFolder()
    {
        QDir(dir.path()).mkpath(QStringLiteral("muster"));
        writeFile(dir.filePath("wiese.glw"), "1,1\r\n1,3\r\n");
        writeFile(dir.filePath("vorlage.gzc"), "move(1)\n");
        writeFile(dir.filePath("muster/loesung.gzc"), "move(2)\n");
    }
    QString write(const QByteArray &text)
    {
        const QString path = dir.filePath("aufgabe.gza");
        writeFile(path, text);
        return path;
    }
    QTemporaryDir dir;
};

const QByteArray kHead = "[Aufgabe]\nTitel=Mähen\n[Welt1]\nLevel=1\n";

} // namespace

TEST(TaskFile, AWellFormedTaskKeepsItsTextAndOrdersItsWorlds)
{
    TTaskFolder folder;
    const QString path =
        folder.write("; Kommentar\n[Aufgabe]\nTitel = \"Die große Wiese\"\nVorlage=vorlage.gzc\n"
                     "Musterloesung=muster\\loesung.gzc\nStartwerte=3\nSchrittlimit=5000\n"
                     "Zeitlimit=2,5\n\n[Text]\n\nÜberall Gras.\n\n; bleibt stehen\n  Eingerückt.\n\n"
                     "[Welt2]\nRasen=wiese.glw\n[welt1]\nlevel=4\n[Ziel]\nGemaeht=ja\nEndfeld=9 | 0\n"
                     "Blickrichtung=Sueden\nMaxSchritte=150\nMarkierungen=1|2, 3|4;1|2\nMinPunkte=-5\n");
    TTask task;
    QString error;
    QStringList warnings;
    ASSERT_TRUE(ReadTask(path, task, error, warnings)) << error.toStdString();
    EXPECT_TRUE(warnings.isEmpty());
    EXPECT_EQ(task.Title, QStringLiteral("Die große Wiese"));
    EXPECT_EQ(task.Description, QStringList({"Überall Gras.", "", "; bleibt stehen", "  Eingerückt."}));
    ASSERT_EQ(task.Worlds.size(), 2);
    EXPECT_EQ(task.Worlds[0].Label, QStringLiteral("Level 4"));
    EXPECT_EQ(task.Worlds[1].Label, QStringLiteral("wiese.glw"));
    EXPECT_EQ(task.Worlds[1].LawnFile, QFileInfo(folder.dir.filePath("wiese.glw")).canonicalFilePath());
    EXPECT_TRUE(task.Reference.endsWith(QStringLiteral("/muster/loesung.gzc")));
    EXPECT_EQ(task.Seeds, 3u);
    EXPECT_EQ(task.MaxSteps, 5000);
    EXPECT_EQ(task.TimeoutSeconds, 2.5);
    EXPECT_EQ(GoalTexts(task.Goals),
              QStringList({"Mähe den ganzen Rasen", "Ende auf Feld (9|0)", "Schau am Ende nach Süden",
                           "höchstens 150 Schritte", "Markiere genau die Felder (1|2), (3|4)", "mindestens -5 Punkte",
                           "Ende ohne Fehler"}));

    TField field;
    ASSERT_TRUE(LoadTaskWorld(task.Worlds[1], field, error));
    EXPECT_EQ(field.GetCount(ttTree), 1);
}

TEST(TaskFile, EveryMistakeNamesItsLine)
{
    struct TCase
    {
        QByteArray text;
        int line; // 0: the mistake belongs to the whole file
        const char *what;
    };
    const QList<TCase> cases = {
        {"Titel=x\n", 1, "vor dem ersten Abschnitt"},
        {"[Welt1]\nLevel=1\n[Ziel]\nGemaeht=ja\n", 0, "Der Abschnitt [Aufgabe] fehlt."},
        {"[Aufgabe]\nVorlage=vorlage.gzc\n[Welt1]\nLevel=1\n[Ziel]\nGemaeht=ja\n", 1, "fehlt der Titel"},
        {"[Aufgabe]\nTitel=x\n[Ziel]\nGemaeht=ja\n", 0, "keine Welt"},
        {kHead + "[Ziel]\n", 5, "[Ziel] nennt kein Ziel."},
        {kHead, 0, "Der Abschnitt [Ziel] fehlt"},
        {kHead + "[Welt2]\n[Ziel]\nGemaeht=ja\n", 5, "[Welt2] nennt weder"},
        {kHead + "Rasen=wiese.glw\n", 5, "entweder ein Level oder ein Rasen (schon in Zeile 4)"},
        {kHead + "[Welt0]\n", 5, "von [Welt1] bis [Welt99]"},
        {"[Aufgabe]\nTitel=x\n[Welt1]\nLevel=7\n", 4, "Level muss eine ganze Zahl von 1 bis 6 sein."},
        {"[Aufgabe]\nTitel=x\nStartwerte=0\n", 3, "Startwerte muss eine ganze Zahl von 1 bis 1000 sein."},
        {"[Aufgabe]\nTitel=x\nZeitlimit=0,5\n", 3, "Zeitlimit muss eine Zahl von 1 bis 86400"},
        {"[Aufgabe]\nTitel=x\nSchrittlimit=viele\n", 3, "Schrittlimit muss"},
        {"[Aufgabe]\nTitel=\n", 2, "Der Titel ist leer."},
        {"[Aufgabe]\nTitel=x\ntitel=y\n", 3, "Der Schlüssel titel steht doppelt (zuerst in Zeile 2)."},
        {kHead + "[aufgabe]\n", 5, "Der Abschnitt [aufgabe] steht doppelt (zuerst in Zeile 1)."},
        {"[Aufgabe]\nTitel x\n", 2, "weder ein [Abschnitt] noch Schlüssel=Wert: \"Titel x\""},
        {kHead + "[Ziel]\nEndfeld=9,9\n", 6, "\"9,9\" ist kein Feld"},
        {kHead + "[Ziel]\nMarkierungen=1|2 x\n", 6, "\"x\" ist kein Feld"},
        {kHead + "[Ziel]\nBlickrichtung=oben\n", 6, "Blickrichtung ist Norden"},
        {kHead + "[Ziel]\nGemaeht=vielleicht\n", 6, "Gemaeht ist ja oder nein."},
        {kHead + "[Ziel]\nMaxSchritte=-1\n", 6, "MaxSchritte muss"},
        {kHead + "[Welt2]\nRasen=fehlt.glw\n", 6, "Die Datei \"fehlt.glw\" gibt es nicht."},
        {kHead + "[Welt2]\nRasen=../wiese.glw\n", 6, "außerhalb des Ordners der Aufgabe"},
        {kHead + "[Welt2]\nRasen=/etc/passwd\n", 6, "außerhalb des Ordners der Aufgabe"},
        {kHead + "[Welt2]\nRasen=link.glw\n", 6, "außerhalb des Ordners der Aufgabe"},
        {kHead + "[Welt2]\nRasen=muster\n", 6, "\"muster\" ist keine Datei."},
    };
    TTaskFolder folder;
    QTemporaryDir elsewhere;
    writeFile(elsewhere.filePath("geheim.glw"), "1\r\n");
    ASSERT_TRUE(QFile::link(elsewhere.filePath("geheim.glw"), folder.dir.filePath("link.glw")));
    for (const TCase &c : cases) {
        SCOPED_TRACE(c.text.toStdString());
        TTask task;
        QString error;
        QStringList warnings;
        EXPECT_FALSE(ReadTask(folder.write(c.text), task, error, warnings));
        const QString where =
            c.line ? QStringLiteral("\"aufgabe.gza\", Zeile %1: ").arg(c.line) : QStringLiteral("\"aufgabe.gza\": ");
        EXPECT_TRUE(error.startsWith(QStringLiteral("Fehler in der Aufgabe ") + where)) << error.toStdString();
        EXPECT_TRUE(error.contains(QString::fromUtf8(c.what))) << error.toStdString();
    }
}

TEST(TaskFile, UnknownNamesWarnAndTheTaskStillReads)
{
    TTaskFolder folder;
    TTask task;
    QString error;
    QStringList warnings;
    ASSERT_TRUE(
        ReadTask(folder.write(kHead + "Farbe=grün\n[Ziel]\nGemaeht=ja\n[Notizen]\nx=1\n"), task, error, warnings));
    EXPECT_EQ(warnings, QStringList({"Warnung zur Aufgabe \"aufgabe.gza\", Zeile 5: Den Schlüssel Farbe in [Welt1] "
                                     "kennt Grazlo nicht; er wird übergangen.",
                                     "Warnung zur Aufgabe \"aufgabe.gza\", Zeile 8: Den Abschnitt [Notizen] kennt "
                                     "Grazlo nicht; er wird übergangen."}));
    EXPECT_FALSE(ReadTask(folder.dir.filePath("fehlt.gza"), task, error, warnings));
    EXPECT_EQ(error, QStringLiteral("Fehler in der Aufgabe \"fehlt.gza\": Die Datei gibt es nicht."));
}

TEST(TaskGoals, TheFirstMissedGoalIsTheReason)
{
    TTaskGoals all;
    all.AllMown = true;
    all.EndCell = QPoint(9, 9);
    all.EndHeading = tdEast;
    all.MaxSheepSteps = 150;
    all.Marks = QList<QPoint>{{1, 2}, {3, 4}};
    all.MinScore = 900;
    TRunFacts met;
    met.Sheep = {QPoint(9, 9), tdEast};
    met.SheepSteps = 150;
    met.Marks = QList<QPoint>{{3, 4}, {1, 2}};
    met.Score = 900;

    struct TCase
    {
        std::function<void(TTaskGoals &, TRunFacts &)> change;
        const char *reason; // empty: every goal met
    };
    const QList<TCase> cases = {
        {[](TTaskGoals &, TRunFacts &) {}, ""},
        {[](TTaskGoals &, TRunFacts &f) { f.Uncut = 3; }, "3 Felder ungemäht"},
        {[](TTaskGoals &, TRunFacts &f) { f.Uncut = 1; }, "1 Feld ungemäht"},
        {[](TTaskGoals &, TRunFacts &f) { f.Sheep.Pos = QPoint(4, 5); }, "endet auf (4|5) statt (9|9)"},
        {[](TTaskGoals &, TRunFacts &f) { f.Sheep.Dir = tdSouth; }, "schaut nach Süden statt nach Osten"},
        {[](TTaskGoals &, TRunFacts &f) { f.SheepSteps = 160; }, "160 Schritte statt höchstens 150"},
        {[](TTaskGoals &, TRunFacts &f) { f.Marks->removeLast(); }, "Markierung fehlt auf (1|2)"},
        {[](TTaskGoals &, TRunFacts &f) {
             f.Marks->append({2, 2});
         },
         "Markierung auf (2|2) zu viel"},
        {[](TTaskGoals &g, TRunFacts &) { g.Marks->clear(); }, "2 Markierungen statt keiner"},
        {[](TTaskGoals &, TRunFacts &f) { f.Marks.reset(); }, "Markierungen nicht prüfbar (der Rasen ist zu groß)"},
        {[](TTaskGoals &, TRunFacts &f) { f.Score = 1; }, "1 Punkt statt mindestens 900"},
        // Several misses: the first in the listed order wins.
        {[](TTaskGoals &, TRunFacts &f) { f.Score = 812, f.SheepSteps = 151, f.Uncut = 2; }, "2 Felder ungemäht"},
        // However it ended early, the way it ended is the reason.
        {[](TTaskGoals &, TRunFacts &f) { f.End = TRunFacts::StepLimit, f.Uncut = 2; }, "Schrittlimit erreicht"},
        {[](TTaskGoals &, TRunFacts &f) { f.End = TRunFacts::TimeLimit; }, "Zeitlimit überschritten"},
        {[](TTaskGoals &, TRunFacts &f) { f.End = TRunFacts::MemoryLimit; }, "Speicherlimit überschritten"},
        {[](TTaskGoals &, TRunFacts &f) { f.End = TRunFacts::Error, f.ErrorLine = 7, f.ErrorText = "kaputt"; },
         "Fehler in Zeile 7: kaputt"},
        {[](TTaskGoals &, TRunFacts &f) { f.End = TRunFacts::Unreadable, f.ErrorText = "keine Textdatei"; },
         "keine Textdatei"},
    };
    for (const TCase &c : cases) {
        TTaskGoals goals = all;
        TRunFacts facts = met;
        c.change(goals, facts);
        const TGoalVerdict verdict = CheckGoals(goals, facts);
        EXPECT_EQ(verdict.Reason.toStdString(), c.reason);
        EXPECT_EQ(verdict.Met, !*c.reason) << c.reason;
    }
}

TEST(TaskGoals, FactsFromAResultRowFindTheMarks)
{
    const QJsonObject row{{"status", "beendet"},
                          {"score", 412},
                          {"steps", 20},
                          {"uncut", 0},
                          {"lawn", QJsonArray{"2,2", "4,2"}},
                          {"sheep", QJsonObject{{"x", 1}, {"y", 1}, {"dir", "dWest"}}}};
    const TRunFacts facts = TRunFacts::FromJson(row);
    EXPECT_EQ(facts.Marks, QList<QPoint>{QPoint(0, 1)});
    EXPECT_EQ(facts.Sheep.Dir, tdWest);
    EXPECT_EQ(facts.Score, 412);

    QJsonObject large = row;
    large["lawn"] = QJsonArray();
    EXPECT_FALSE(TRunFacts::FromJson(large).Marks.has_value());

    QJsonObject killed{{"status", "Speicherlimit"}, {"score", QJsonValue()}};
    EXPECT_EQ(CheckGoals(TTaskGoals(), TRunFacts::FromJson(killed)).Reason,
              QStringLiteral("Speicherlimit überschritten"));
}
