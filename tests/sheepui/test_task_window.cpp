// Tasks in the sheep window: opening one, checking a right and a wrong script
// in the background through grazlo-run, a failed world row loaded with its
// seed and checked by a run in the window, and what is remembered of a task.
#include "editor/MemoCode.h"
#include "sheep/fGrazloIDE.h"
#include "sheep/fTaskPanel.h"
#include "sheep/uSandboxSheep.h"
#include "tests/support/ScriptedDialogs.h"
#include "tests/support/WaitFor.h"
#include "tests/support/WindowWorkFolder.h"

#include <QDockWidget>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace {

using grazlo_test::waitFor;

class TTaskWindow : public TfrmGrazloIDE
{
public:
    using TfrmKeloIDE::AcStartExecute, TfrmKeloIDE::LoadCodeFile, TfrmKeloIDE::lBoxErrors, TfrmKeloIDE::MemoLog,
        TfrmKeloIDE::StepProgram, TfrmKeloIDE::MemoCodeDropFiles;
};

// Mows every level lawn in lanes: 99 sheep steps on Level 1, 79 on Level 2.
const QString Mower = "start(0, 0);\nmove(zHeight - 1);\nwhile (zUncut > 0)\n  if (dSheep == dSouth)\n"
                      "    turnLeft();\n    move(1);\n    turnLeft();\n  else\n    turnRight();\n    move(1);\n"
                      "    turnRight();\n  endif\n  move(zHeight - 1);\nendwhile\n";
const QString Starter = "start(0, 0);\nmove(3);\n";

const QString LevelTask = "[Aufgabe]\nTitel=Die grüne Wiese\nVorlage=vorlage.gzc\nMusterloesung=muster.gzc\n"
                          "Schrittlimit=5000\n[Text]\nMähe die ganze\nWiese.\n\n- erst links,\n- dann rechts.\n"
                          "[Welt1]\nLevel=1\n[Welt2]\nLevel=2\n[Ziel]\nGemaeht=ja\n";

class TaskWindow : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(work.isValid() && taskFolder.isValid());
        setDialogs(&dialogs);
        write("vorlage.gzc", Starter);
        write("muster.gzc", Mower);
        window = newWindow();
    }
    void TearDown() override
    {
        window.reset();
        setDialogs(nullptr);
    }

    static std::unique_ptr<TTaskWindow> newWindow()
    {
        auto w = std::make_unique<TTaskWindow>();
        w->TaskCheck().setRunner(GRAZLO_RUN);
        w->SetSpeed(100);
        return w;
    }
    QString write(const QString &name, const QString &text)
    {
        QFile file(taskFolder.filePath(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text.toUtf8());
        return file.fileName();
    }
    // Checks the editor's text and waits until every run has ended.
    QStringList check(const QString &script)
    {
        window->editor()->setLines(script.split('\n'));
        window->AcCheckTask->trigger();
        EXPECT_TRUE(waitFor([&] { return !window->TaskCheck().IsRunning(); }, 60000));
        return rows();
    }
    QStringList rows() const
    {
        QStringList texts;
        for (int i = 0; i < window->PnTask->ListWorlds->count(); ++i)
            texts << window->PnTask->ListWorlds->item(i)->text();
        return texts;
    }
    bool solvedShown() const { return window->PnTask->LSolved->isVisibleTo(window->PnTask); }

    TWindowWorkFolder work;
    QTemporaryDir taskFolder;
    TScriptedDialogs dialogs;
    std::unique_ptr<TTaskWindow> window;
};

TEST_F(TaskWindow, OpensWithDescriptionGoalsUntriedWorldsAndTheStarterAsANewText)
{
    // Dropped onto the editor, a task opens as one.
    window->MemoCodeDropFiles({write("aufgabe.gza", LevelTask)});
    ASSERT_NE(window->Task(), nullptr);
    EXPECT_FALSE(window->DockTask->isHidden());
    // A paragraph's lines flow together for the narrow panel; list items keep theirs.
    EXPECT_EQ(window->PnTask->LText->text(), "Mähe die ganze Wiese.\n\n- erst links,\n- dann rechts.");
    EXPECT_EQ(window->PnTask->LGoals->text(), "• Mähe den ganzen Rasen\n• Ende ohne Fehler");
    EXPECT_EQ(rows(), QStringList({"Welt 1: Level 1 – noch nicht geprüft", "Welt 2: Level 2 – noch nicht geprüft"}));
    // Saving the starter must ask for a name of the learner's own.
    EXPECT_EQ(window->editor()->Lines().join('\n'), Starter);
    EXPECT_EQ(window->statusText(5), "");
    EXPECT_FALSE(solvedShown());
}

TEST_F(TaskWindow, CheckJudgesEveryWorldAsTheGraderDoes)
{
    ASSERT_TRUE(window->OpenTask(write("aufgabe.gza", LevelTask)));
    const struct
    {
        QString script;
        QStringList rows;
        bool solved;
    } cases[] = {
        {Starter, {"nicht geschafft: 96 Felder ungemäht", "nicht geschafft: 12 Felder ungemäht"}, false},
        {"while (1 == 1)\n  turnLeft();\nendwhile", {"nicht geschafft: Schrittlimit erreicht"}, false},
        {"start(0, 0);\nmove(gibtsnicht);", {"nicht geschafft: Fehler in Zeile 2:"}, false},
        {Mower, {"geschafft in 99 Schritten (Musterlösung: 99)", "geschafft in 79 Schritten (Musterlösung: 79)"}, true},
    };
    for (const auto &c : cases) {
        const QStringList found = check(c.script);
        for (int world = 0; world < found.size(); ++world) {
            const QString wanted = QString("Welt %1: Level %1 – %2").arg(world + 1).arg(c.rows.value(world, c.rows[0]));
            EXPECT_TRUE(found[world].startsWith(wanted)) << found[world].toStdString();
        }
        EXPECT_EQ(solvedShown(), c.solved) << c.script.toStdString();
    }
}

TEST_F(TaskWindow, FailedRowLoadsItsWorldAndSeedAndARunThereIsChecked)
{
    ASSERT_TRUE(window->OpenTask(
        write("zufall.gza", "[Aufgabe]\nTitel=Zufall\nStartwerte=3\n[Welt1]\nLevel=1\n[Ziel]\nEndfeld=0|0\n")));
    const QString row = check("start(random(10), random(10));").value(0);
    const QRegularExpressionMatch failed = QRegularExpression("nicht geschafft mit Startwert (\\d+): (.*)$").match(row);
    ASSERT_TRUE(failed.hasMatch()) << row.toStdString();

    window->AcLv[2]->trigger(); // another lawn first
    QListWidget *list = window->PnTask->ListWorlds;
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(0)).center());
    EXPECT_EQ(window->Sandbox().zPosX(), -1);
    EXPECT_EQ(window->Sandbox().Field().GetCount(ttTree), 0); // Level 1, not Level 3

    window->StepProgram();
    window->StopProgram();
    EXPECT_EQ(window->PnTask->LRun->text(), ""); // a stopped run is not judged
    window->AcStartExecute();
    EXPECT_EQ(window->PnTask->LRun->text(), "Letzter Lauf auf Welt 1 mit Startwert " + failed.captured(1) +
                                                ": nicht geschafft: " + failed.captured(2));
    EXPECT_EQ(window->MemoLog->toPlainText(), "");
    EXPECT_EQ(window->lBoxErrors->count(), 0);
}

TEST_F(TaskWindow, RemembersTheSolvedTaskAndTheLearnersScriptInTheSettingsFolder)
{
    const QString taskFile = write("aufgabe.gza", LevelTask);
    ASSERT_TRUE(window->OpenTask(taskFile));
    const QString mine = write("mein.gzc", Mower);
    ASSERT_TRUE(window->LoadCodeFile(mine));
    check(Mower);
    ASSERT_TRUE(solvedShown());
    window = newWindow();
    ASSERT_TRUE(window->OpenTask(taskFile));
    EXPECT_TRUE(solvedShown());
    EXPECT_EQ(window->statusText(5), mine);
    EXPECT_FALSE(QFile::exists(taskFolder.filePath("grazlo-aufgaben.ini")));
}

TEST_F(TaskWindow, MistakesAndKeptChangesLeaveTheWindowAsItWas)
{
    const struct
    {
        QString task;
        QString question;
    } cases[] = {
        {"[Aufgabe]\nTitel=Ohne Ziel\n[Welt1]\nLevel=7\n", "aufgabe.gza"},
        {LevelTask, "Der Quellcode wurde noch nicht gespeichert."},
    };
    for (const auto &c : cases) {
        dialogs.shown.clear();
        window->editor()->setLines({"// meins"});
        dialogs.answers = {TDlgAnswer::Cancel};
        EXPECT_FALSE(window->OpenTask(write("aufgabe.gza", c.task)));
        ASSERT_EQ(dialogs.shown.size(), 1);
        EXPECT_TRUE(dialogs.shown[0].text.contains(c.question)) << dialogs.shown[0].text.toStdString();
        EXPECT_EQ(window->Task(), nullptr);
        EXPECT_EQ(window->editor()->Lines(), QStringList{"// meins"});
    }
}

} // namespace
