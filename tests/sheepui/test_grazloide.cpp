// The sheep window: its additions to the generic window, the score and
// environment values during runs, the lawn menu and the lawn editor's entry.
#include "editor/MemoCode.h"
#include "ide/uDialogs.h"
#include "ide/uWindowSettings.h"
#include "script/uKeloCode.h"
#include "sheep/fGrazloIDE.h"
#include "sheep/fLawnGrid.h"
#include "sheep/uSandboxSheep.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>
#include <QToolButton>
#include <gtest/gtest.h>

namespace {

// Opens the run control to the tests.
class TTestWindow : public TfrmGrazloIDE
{
public:
    using TfrmKeloIDE::AcStep;
    using TfrmKeloIDE::DlgOpenCode;
    using TfrmKeloIDE::DlgSaveCode;
    using TfrmKeloIDE::PauseProgram;
    using TfrmKeloIDE::StepProgram;
    using TfrmGrazloIDE::OpenCommandLineFile;
};

QStringList itemsOf(const QListWidget *box)
{
    QStringList items;
    for (int i = 0; i < box->count(); ++i)
        items << box->item(i)->text();
    return items;
}

QStringList captionsOf(const QMenu *menu)
{
    QStringList texts;
    for (const QAction *a : menu->actions())
        texts << (a->isSeparator() ? "-" : a->text());
    return texts;
}

class GrazloWindow : public ::testing::Test
{
protected:
    void SetUp() override
    {
        // Every test starts from the default window settings, not from what the last one wrote.
        QFile::remove(SettingsFileName());
        ASSERT_TRUE(work.isValid());
        oldDir = QDir::currentPath();
        QDir::setCurrent(work.path());
        window = std::make_unique<TTestWindow>();
    }
    void TearDown() override
    {
        window.reset();
        QDir::setCurrent(oldDir);
    }

    void stepScript(const QStringList &lines, int steps)
    {
        window->editor()->setLines(lines);
        for (int i = 0; i < steps; ++i)
            window->StepProgram();
    }

    QTemporaryDir work;
    QString oldDir;
    std::unique_ptr<TTestWindow> window;
};

} // namespace

TEST_F(GrazloWindow, AddsCaptionScoreStripEnvironmentListsAndFilters)
{
    EXPECT_EQ(window->windowTitle(), "Grazlo");
    EXPECT_EQ(window->LPoints->text(), "Punkte: 0");
    EXPECT_EQ(itemsOf(window->ListBoxSystem),
              QStringList({"zSteps  =", "zUncut  =", "zCut    =", "zWidth  =", "zHeight =", "zPosX   =",
                           "zPosY   =", "dSheep  = "}));
    EXPECT_EQ(itemsOf(window->LBoxSysVars), QStringList({"0", "0", "0", "0", "0", "0", "0", "dSouth"}));
    EXPECT_EQ(itemsOf(window->lBoxSysVarNames).first(), "(Schrittzähler)");
    EXPECT_EQ(itemsOf(window->lBoxSysVarNames).last(), "(Ausrichtung des Schafs)");
    EXPECT_EQ(window->Sandbox().Field().ColCount(), 10);
    EXPECT_EQ(window->PnGrid->dg->ColCount(), 10);
    EXPECT_EQ(window->DlgOpenCode.filter, window->DlgSaveCode.filter);
    EXPECT_TRUE(window->DlgOpenCode.filter.startsWith("GrazloCode (*.gzc);;KeloCode (*.klc)"));
    EXPECT_EQ(window->getVersion(), "2.0");
    EXPECT_TRUE(window->getUpdateUrl().startsWith("http://"));
    EXPECT_TRUE(window->getUpdateUrl().endsWith("/version.php"));
    EXPECT_EQ(window->sandbox(), &window->Sandbox());
}

TEST_F(GrazloWindow, LawnMenuComesLastWithSixLevelsEditAndLoad)
{
    const QList<QAction *> top = window->menuBar()->actions();
    ASSERT_FALSE(top.isEmpty());
    QMenu *lawn = top.last()->menu();
    ASSERT_NE(lawn, nullptr);
    EXPECT_EQ(top.last()->text(), "Rasen");
    EXPECT_EQ(captionsOf(lawn), QStringList({"Meisterschaft", "-", "Bearbeiten", "Laden"}));
    EXPECT_EQ(captionsOf(window->miLevels),
              QStringList({"Level 1 - grüne Wiese", "Level 2 - Acker", "Level 3 - Baum", "Level 4 - gemein",
                           "Level 5 - Wandern", "Level 6 - Wald"}));

    window->AcLv[2]->trigger();  // Level 3: one tree in the middle
    EXPECT_EQ(window->Sandbox().Field().GetCount(ttGreen), 99);
    window->AcLv[0]->trigger();
    EXPECT_EQ(window->Sandbox().Field().GetCount(ttGreen), 100);
}

TEST_F(GrazloWindow, ScoreFollowsTheRunAndTheListOnlyAtAPositiveDelay)
{
    window->AcLv[2]->trigger();
    window->SetSpeed(50);
    stepScript({"start(0, 0);", "move(3);", "turnLeft();"}, 3);  // start, then two statements
    EXPECT_TRUE(window->IsRunning());
    EXPECT_EQ(window->LPoints->text(), "Punkte: " + QString::number(4 * 1000 - 3 * 101));
    EXPECT_EQ(itemsOf(window->LBoxSysVars), QStringList({"3", "95", "4", "10", "10", "0", "3", "dSouth"}));

    window->SetSpeed(100);  // delay 0: the list keeps what it showed
    window->StepProgram();
    EXPECT_EQ(itemsOf(window->LBoxSysVars).last(), "dSouth");
    for (int i = 0; i < 3 && window->IsRunning(); ++i)
        window->StepProgram();  // to the end: the final score
    EXPECT_FALSE(window->IsRunning());
    EXPECT_EQ(window->LPoints->text(), "Punkte: " + QString::number(4 * 1000 - 3 * 101 - 95 * 1100));
}

TEST_F(GrazloWindow, EnteringTheLawnEditorStopsARunningScript)
{
    stepScript({"start(0, 0);", "move(1);", "move(1);"}, 2);
    ASSERT_TRUE(window->IsRunning());
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    window->AcGreenEdit->trigger();
    EXPECT_FALSE(window->IsRunning());
    EXPECT_TRUE(window->InEdit());
    EXPECT_TRUE(window->PnGrid->ToolBarGreen->isVisible());
    EXPECT_TRUE(window->PnGrid->tbToolsHide->isVisible()) << "\"Übernehmen\" must not hide in the overflow";
    window->PnGrid->AcCloseEdit->trigger();
    EXPECT_FALSE(window->InEdit());
}

TEST_F(GrazloWindow, HoveringACellShowsItsCoordinatesInTheStatusBar)
{
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    TLawnGrid *dg = window->PnGrid->dg;
    QTest::mouseMove(dg, dg->CellRect(3, 7).center());
    EXPECT_EQ(window->statusText(0), "Spalte 3");
    EXPECT_EQ(window->statusText(1), "Zeile 7");
}

TEST_F(GrazloWindow, AFileOpenedWithTheProgramGoesToTheLawnOrTheEditorByItsKind)
{
    const QString lawn = work.filePath("klein.GLW");
    const QString script = work.filePath("schaf.gzc");
    for (const auto &[path, text] : {std::pair{lawn, QByteArray("1,1,1\n1,3,1\n")},
                                     std::pair{script, QByteArray("start(1, 1);\n")}}) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text);
    }
    window->OpenCommandLineFile(lawn);
    EXPECT_EQ(window->Sandbox().Field().ColCount(), 3);
    EXPECT_EQ(window->Sandbox().Field().GetCount(ttTree), 1);
    EXPECT_TRUE(window->editor()->Lines().isEmpty()) << "the lawn's rows are no script";

    window->OpenCommandLineFile(script);
    EXPECT_EQ(window->editor()->Lines(), (QStringList{"start(1, 1);", ""}));
    EXPECT_EQ(window->Sandbox().Field().GetCount(ttTree), 1);
}
