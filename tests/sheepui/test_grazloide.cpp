// The sheep window: its additions to the generic window, the score and
// environment values during runs, the lawn menu and the lawn editor's entry.
#include "editor/MemoCode.h"
#include "ide/uDialogs.h"
#include "ide/uKeloDebugSyneditPlugin.h"
#include "ide/uWindowSettings.h"
#include "script/uKeloCode.h"
#include "sheep/fGrazloIDE.h"
#include "sheep/fLawnGrid.h"
#include "sheep/uSandboxSheep.h"
#include "tests/sheepui/sheep_window_fixture.h"
#include "tests/support/ListItems.h"
#include "tests/support/Printers.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
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
    using TfrmGrazloIDE::OpenCommandLineFile;
    using TfrmKeloIDE::AcStartExecute;
    using TfrmKeloIDE::AcStep;
    using TfrmKeloIDE::DlgOpenCode;
    using TfrmKeloIDE::DlgSaveCode;
    using TfrmKeloIDE::PauseProgram;
    using TfrmKeloIDE::StepProgram;
};

QStringList captionsOf(const QMenu *menu)
{
    QStringList texts;
    for (const QAction *a : menu->actions())
        texts << (a->isSeparator() ? "-" : a->text());
    return texts;
}

class GrazloWindow : public TSheepWindowFixture<TTestWindow>
{
protected:
    void stepScript(const QStringList &lines, int steps)
    {
        window->editor()->setLines(lines);
        for (int i = 0; i < steps; ++i)
            window->StepProgram();
    }
};

} // namespace

TEST_F(GrazloWindow, AddsCaptionScoreStripEnvironmentListsAndFilters)
{
    EXPECT_EQ(window->windowTitle(), "Grazlo");
    EXPECT_EQ(window->LPoints->text(), "Punkte: 0");
    EXPECT_EQ(itemsOf(window->ListBoxSystem), QStringList({"zSteps  =", "zUncut  =", "zCut    =", "zWidth  =",
                                                           "zHeight =", "zPosX   =", "zPosY   =", "dSheep  = "}));
    EXPECT_EQ(itemsOf(window->LBoxSysVars), QStringList({"0", "0", "0", "0", "0", "0", "0", "dSouth"}));
    EXPECT_EQ(itemsOf(window->lBoxSysVarNames),
              QStringList({"(Schrittzähler)", "(ungemähter Rasen)", "(gemähter Rasen)", "(Breite des Feldes)",
                           "(Höhe des Feldes)", "(X-Position des Schafs)", "(Y-Position des Schafs)",
                           "(Ausrichtung des Schafs)"}));
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
    EXPECT_EQ(top.last()->text().remove('&'), "Rasen");
    EXPECT_EQ(captionsOf(lawn).replaceInStrings("&", ""), QStringList({"Meisterschaft", "-", "Bearbeiten", "Laden"}));
    EXPECT_EQ(captionsOf(window->miLevels), QStringList({"Level 1 - grüne Wiese", "Level 2 - Acker", "Level 3 - Baum",
                                                         "Level 4 - gemein", "Level 5 - Wandern", "Level 6 - Wald"}));

    window->AcLv[2]->trigger(); // Level 3: one tree in the middle
    EXPECT_EQ(window->Sandbox().Field().GetCount(ttGreen), 99);
    window->AcLv[0]->trigger();
    EXPECT_EQ(window->Sandbox().Field().GetCount(ttGreen), 100);
}

TEST_F(GrazloWindow, ScoreAndEnvironmentValuesFollowSingleSteps)
{
    window->AcLv[2]->trigger();
    window->SetSpeed(50);
    stepScript({"start(0, 0);", "move(3);", "turnLeft();"}, 3); // start, then two statements
    EXPECT_TRUE(window->IsRunning());
    EXPECT_EQ(window->LPoints->text(), "Punkte: " + QString::number(4 * 1000 - 3 * 101));
    EXPECT_EQ(itemsOf(window->LBoxSysVars), QStringList({"3", "95", "4", "10", "10", "0", "3", "dSouth"}));

    window->SetSpeed(100); // also at the highest speed a single step shows the values
    window->StepProgram();
    EXPECT_EQ(itemsOf(window->LBoxSysVars).last(), "dEast");
    for (int i = 0; i < 3 && window->IsRunning(); ++i)
        window->StepProgram(); // to the end: the final score
    EXPECT_FALSE(window->IsRunning());
    EXPECT_EQ(window->LPoints->text(), "Punkte: " + QString::number(4 * 1000 - 3 * 101 - 95 * 1100));
}

// At the highest speed a continuous run leaves the list alone, but every way
// of coming to a standstill shows the sheep's values.
TEST_F(GrazloWindow, EnvironmentValuesAreCurrentWheneverTheSheepStandsStill)
{
    window->AcLv[2]->trigger(); // Level 3: 99 tiles of grass
    window->SetSpeed(100);
    window->editor()->setLines({"start(0, 0);", "move(3);", "turnLeft();", "move(2);", "turnLeft();", "int i = 0;",
                                "while (i < 5)", "  i = i + 1;", "endwhile", "move(1);"});
    int rebuilds = 0;
    QObject::connect(window->LBoxSysVars->model(), &QAbstractItemModel::rowsInserted, [&] { ++rebuilds; });

    window->plugin()->Breakpoints().Add(3);
    window->AcStartExecute();
    ASSERT_TRUE(window->IsRunning());
    EXPECT_EQ(itemsOf(window->LBoxSysVars), QStringList({"3", "95", "4", "10", "10", "0", "3", "dSouth"}))
        << "at a breakpoint";

    window->plugin()->Breakpoints().Remove(3);
    window->StepProgram();
    EXPECT_EQ(itemsOf(window->LBoxSysVars).last(), "dEast") << "after a single step";

    // Pause arrives while move(2) is under way; the step ends, then the run pauses.
    TSandboxSheep &sb = window->Sandbox();
    const TRefreshEvent repaint = sb.OnRefresh();
    sb.setOnRefresh([&](TSandboxSheep *sender) {
        repaint(sender);
        if (sender->Steps() == 4)
            window->PauseProgram();
    });
    window->AcStartExecute();
    sb.setOnRefresh(repaint);
    ASSERT_TRUE(window->IsRunning());
    EXPECT_EQ(itemsOf(window->LBoxSysVars), QStringList({"5", "93", "6", "10", "10", "2", "3", "dEast"}))
        << "after Pause";

    rebuilds = 0;
    window->AcStartExecute(); // fifteen more steps to the end
    EXPECT_FALSE(window->IsRunning());
    EXPECT_EQ(itemsOf(window->LBoxSysVars), QStringList({"6", "92", "7", "10", "10", "2", "2", "dNorth"}))
        << "after the end of the run";
    EXPECT_LE(rebuilds, 2) << "during the run the list is skipped; it is rebuilt at the end";
}

TEST_F(GrazloWindow, EnvironmentValuesFollowLoadedAndEditedLawns)
{
    window->SetSpeed(100);
    window->AcLv[2]->trigger();
    EXPECT_EQ(itemsOf(window->LBoxSysVars), QStringList({"0", "99", "0", "10", "10", "-1", "-1", "dSouth"}));

    QFile wide("wide.glw");
    ASSERT_TRUE(wide.open(QIODevice::WriteOnly));
    for (int row = 0; row < 8; ++row)
        wide.write("1,1,1,1,1,1,1,1,1,1,1,0\r\n");
    wide.close();
    window->PnGrid->LoadGreen("wide.glw");
    EXPECT_EQ(itemsOf(window->LBoxSysVars).mid(1, 4), QStringList({"88", "0", "12", "8"}));

    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    window->AcGreenEdit->trigger();
    window->PnGrid->AcSetTree->trigger();
    TLawnGrid *dg = window->PnGrid->dg;
    QTest::mouseClick(dg, Qt::LeftButton, {}, dg->CellRect(0, 0).center());
    EXPECT_EQ(itemsOf(window->LBoxSysVars)[1], "87") << "painting a tree";
    window->PnGrid->EdSize->setText("5");
    EXPECT_EQ(itemsOf(window->LBoxSysVars).mid(1, 4), QStringList({"24", "0", "5", "5"})) << "a new size";
    window->PnGrid->AcNewGreen->trigger();
    EXPECT_EQ(itemsOf(window->LBoxSysVars)[1], "25") << "\"neuer Rasen\"";
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
    for (const auto &[path, text] :
         {std::pair{lawn, QByteArray("1,1,1\n1,3,1\n")}, std::pair{script, QByteArray("start(1, 1);\n")}}) {
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
