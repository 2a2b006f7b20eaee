// The lawn view: size field, pens and dragging, levels, lawn files and their
// drop-down menus, and what the grid paints.
#include "sheep/fLawnGrid.h"
#include "sheep/fLawnPanel.h"
#include "sheep/uSandboxSheep.h"
#include "sheep/uTile.h"
#include "tests/support/Printers.h"
#include "tests/support/ScriptedDialogs.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QPaintEvent>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>
#include <QToolButton>
#include <gtest/gtest.h>

namespace {

void writeLines(const QString &path, const QStringList &lines)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    for (const QString &l : lines)
        f.write((l + "\r\n").toLatin1());
}

QStringList menuTexts(const QMenu *menu)
{
    QStringList texts;
    for (const QAction *a : menu->actions())
        texts << (a->isSeparator() ? "-" : a->text());
    return texts;
}

class LawnPanel : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(work.isValid());
        oldDir = QDir::currentPath();
        QDir::setCurrent(work.path());
        setDialogs(&dialogs);
        sb.Field().SetSize(10, 10);
        panel = std::make_unique<TLawnPanel>(sb, TLawnIcons::Create());
        panel->resize(300, 330);
        panel->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(panel.get()));
    }
    void TearDown() override
    {
        panel.reset();
        setDialogs(nullptr);
        QDir::setCurrent(oldDir);
    }

    TField &field() { return sb.Field(); }
    QPoint centre(int col, int row) const { return panel->dg->CellRect(col, row).center(); }
    void typeSize(const QString &text)
    {
        panel->EdSize->selectAll();
        QTest::keyClicks(panel->EdSize, text);
    }
    void makeGreens(const QStringList &names)
    {
        QDir().mkdir("Greens");
        for (const QString &n : names)
            writeLines("Greens/" + n, {"0,1,3", "1,1,1"});
    }

    QTemporaryDir work;
    QString oldDir;
    TScriptedDialogs dialogs;
    TSandboxSheep sb;
    std::unique_ptr<TLawnPanel> panel;
};

} // namespace

TEST_F(LawnPanel, SizeFieldActsOnEveryChangeOnlyInEditMode)
{
    panel->EdSize->setText("12");
    EXPECT_EQ(field().ColCount(), 10) << "outside edit mode the size field changes nothing";

    panel->setInEdit(true);
    EXPECT_TRUE(panel->ToolBarGreen->isVisible());
    field().setTileType(9, 9, ttTree);
    panel->EdSize->setText("10");
    panel->EdSize->setText("12"); // one change, as by pasting
    EXPECT_EQ(field().ColCount(), 12);
    EXPECT_EQ(field().RowCount(), 12);
    EXPECT_EQ(field().Cell(9, 9).TileType(), ttTree);
    EXPECT_EQ(field().Cell(11, 11).TileType(), ttGreen);
    EXPECT_EQ(panel->dg->ColCount(), 12);

    field().setTileType(5, 5, ttDirt);
    typeSize("12"); // "1" then "12": the tiles hidden by 1 x 1 come back
    EXPECT_EQ(field().ColCount(), 12);
    EXPECT_EQ(field().Cell(5, 5).TileType(), ttDirt);
    EXPECT_EQ(field().Cell(9, 9).TileType(), ttTree);

    for (const QString &bad : {QString("0"), QString("")}) {
        panel->EdSize->setText(bad);
        EXPECT_EQ(field().ColCount(), 12) << bad.toStdString();
    }
}

TEST_F(LawnPanel, TypedSizesStopAtTheUpperBoundButLoadedLawnsMayBeLarger)
{
    panel->setInEdit(true);
    typeSize("150");
    EXPECT_EQ(panel->EdSize->text(), "100");
    EXPECT_EQ(field().ColCount(), 100);
    EXPECT_EQ(field().RowCount(), 100);

    panel->EdSize->setText("120"); // as after loading a large lawn file
    EXPECT_EQ(field().ColCount(), 120);
}

TEST_F(LawnPanel, PensAreExclusiveAndPaintByPressAndDrag)
{
    EXPECT_EQ(panel->TilePen(), ttGreen);
    EXPECT_TRUE(panel->AcSetGreen->isChecked());
    panel->setInEdit(true);

    panel->AcSetDirt->trigger();
    EXPECT_EQ(panel->TilePen(), ttDirt);
    EXPECT_FALSE(panel->AcSetGreen->isChecked());
    QTest::mousePress(panel->dg, Qt::LeftButton, {}, centre(1, 1));
    QTest::mouseMove(panel->dg, centre(2, 1));
    QTest::mouseMove(panel->dg, centre(5, 1)); // a quick drag skips cells: they are painted too
    QTest::mouseRelease(panel->dg, Qt::LeftButton, {}, centre(5, 1));
    QTest::mouseMove(panel->dg, centre(6, 1)); // released: no more painting
    EXPECT_EQ(field().GetCount(ttDirt), 5);
    EXPECT_EQ(field().Cell(6, 1).TileType(), ttGreen);
    QTest::mousePress(panel->dg, Qt::LeftButton, {}, centre(0, 3));
    QTest::mouseMove(panel->dg, centre(3, 6));
    QTest::mouseRelease(panel->dg, Qt::LeftButton, {}, centre(3, 6));
    EXPECT_EQ(field().GetCount(ttDirt), 9) << "a diagonal drag paints the diagonal";
    EXPECT_EQ(field().Cell(2, 5).TileType(), ttDirt);

    panel->AcSetTree->trigger();
    QTest::mouseClick(panel->dg, Qt::RightButton, {}, centre(0, 0)); // any button paints
    EXPECT_EQ(field().Cell(0, 0).TileType(), ttTree);
    EXPECT_FALSE(panel->AcSetDirt->isChecked());
}

TEST_F(LawnPanel, OutsideEditModeDraggingOnlyMovesTheFrame)
{
    QList<QPoint> hovered;
    QObject::connect(panel.get(), &TLawnPanel::cellHovered, [&](int c, int r) { hovered << QPoint(c, r); });
    QTest::mousePress(panel->dg, Qt::LeftButton, {}, centre(1, 1));
    QTest::mouseMove(panel->dg, centre(2, 3));
    QTest::mouseRelease(panel->dg, Qt::LeftButton, {}, centre(2, 3));
    EXPECT_EQ(field().GetCount(ttGreen), 100);
    EXPECT_EQ(panel->dg->Col(), 2);
    EXPECT_EQ(panel->dg->Row(), 3);
    EXPECT_EQ(hovered.last(), QPoint(2, 3));

    panel->setInEdit(true);
    EXPECT_EQ(panel->dg->Col(), 0) << "entering edit mode selects the top-left cell";
    EXPECT_EQ(panel->dg->Row(), 0);
    panel->AcCloseEdit->trigger();
    EXPECT_FALSE(panel->InEdit());
    EXPECT_FALSE(panel->ToolBarGreen->isVisible());
}

TEST_F(LawnPanel, NewGreenActsOnlyInEditModeAndForgetsTheFile)
{
    field().setTileType(2, 2, ttTree);
    panel->AcNewGreen->trigger();
    EXPECT_EQ(field().Cell(2, 2).TileType(), ttTree);

    panel->setInEdit(true);
    panel->EdSize->setText("7");
    panel->StoreGreen("stored.glw");
    EXPECT_EQ(panel->GreenLoaded(), "stored.glw");
    panel->AcNewGreen->trigger();
    EXPECT_EQ(field().GetCount(ttGreen), 49);
    EXPECT_EQ(field().ColCount(), 7) << "the size is kept";
    EXPECT_TRUE(panel->GreenLoaded().isEmpty());
}

TEST_F(LawnPanel, LevelsReplaceTheLawnAndTheGridFollows)
{
    writeLines("big.glw", QStringList(15, QStringList(15, "1").join(',')));
    panel->LoadGreen("big.glw");
    EXPECT_EQ(panel->dg->ColCount(), 15);
    EXPECT_EQ(panel->EdSize->text(), "15");
    sb.start(3, 3);

    panel->Level(2);
    EXPECT_EQ(panel->dg->ColCount(), 10);
    EXPECT_EQ(panel->dg->RowCount(), 10);
    EXPECT_EQ(panel->EdSize->text(), "10");
    EXPECT_EQ(field().GetCount(ttGreen), 12);
    EXPECT_EQ(sb.Sheep().Pos, QPoint(3, 3)) << "levels do not move the sheep";
    EXPECT_EQ(panel->GreenLoaded(), "big.glw");

    panel->Level(1);
    EXPECT_EQ(field().GetCount(ttGreen), 100);
    panel->Level(6);
    EXPECT_EQ(field().Cell(2, 0).TileType(), ttTree);
    // the cells stay square and the lawn fits the grid
    EXPECT_EQ(panel->dg->DefaultColWidth(), panel->dg->DefaultRowHeight());
    EXPECT_LE(panel->dg->DefaultColWidth() * 10, std::min(panel->dg->width(), panel->dg->height()));
}

// While editing, the size field shows part of the lawn: what a smaller size
// hides comes back when the size grows again, and only what shows is stored.
TEST_F(LawnPanel, ShrinkingTheSizeHidesTilesAndGrowingBringsThemBack)
{
    panel->setInEdit(true);
    field().setTileType(8, 8, ttTree);
    field().setTileType(2, 2, ttDirt);
    panel->EdSize->setText("5");
    EXPECT_EQ(field().ColCount(), 5);
    EXPECT_EQ(field().GetCount(ttTree), 0);
    panel->StoreGreen("small.glw");
    TField stored;
    QString error;
    ASSERT_TRUE(stored.Load("small.glw", error));
    EXPECT_EQ(stored.ColCount(), 5);
    EXPECT_EQ(stored.RowCount(), 5);

    field().setTileType(2, 2, ttTree); // edited while small: the edit wins
    panel->EdSize->setText("12");
    EXPECT_EQ(field().Cell(8, 8).TileType(), ttTree);
    EXPECT_EQ(field().Cell(2, 2).TileType(), ttTree);
    EXPECT_EQ(field().Cell(11, 11).TileType(), ttGreen) << "new area is uncut grass";
    EXPECT_EQ(panel->dg->ColCount(), 12);

    panel->EdSize->setText("5");
    panel->AcNewGreen->trigger(); // a new lawn: nothing hidden is kept
    panel->EdSize->setText("10");
    EXPECT_EQ(field().GetCount(ttGreen), 100);

    field().setTileType(7, 7, ttTree);
    panel->EdSize->setText("5");
    panel->AcCloseEdit->trigger(); // "Übernehmen" accepts the 5 x 5 lawn
    panel->setInEdit(true);
    panel->EdSize->setText("8");
    EXPECT_EQ(field().GetCount(ttGreen), 64);
}

TEST_F(LawnPanel, ALoadedLawnKeepsItsOwnSizeAlsoInEditMode)
{
    QStringList rows(8, QStringList(12, "0").join(','));
    rows[7] = "3,0,0,0,0,0,0,0,0,0,0,3";
    writeLines("wide.glw", rows);
    panel->LoadGreen("wide.glw");
    EXPECT_EQ(field().ColCount(), 12);
    EXPECT_EQ(field().RowCount(), 8);

    panel->Level(1);
    panel->setInEdit(true);
    panel->LoadGreen("wide.glw");
    EXPECT_EQ(field().ColCount(), 12);
    EXPECT_EQ(field().RowCount(), 8);
    EXPECT_EQ(panel->EdSize->text(), "8");
    EXPECT_EQ(panel->dg->ColCount(), 12);
    EXPECT_EQ(panel->dg->RowCount(), 8);

    typeSize("12"); // squares it, keeping every loaded tile
    EXPECT_EQ(field().RowCount(), 12);
    EXPECT_EQ(field().Cell(11, 7).TileType(), ttTree);
    EXPECT_EQ(field().Cell(11, 11).TileType(), ttGreen);

    panel->LoadGreen("missing.glw"); // ignored silently
    EXPECT_EQ(field().ColCount(), 12);
    EXPECT_TRUE(dialogs.requests.isEmpty());
}

TEST_F(LawnPanel, LoadButtonOpensTheDialogWithoutLawnFilesAndAMenuWithThem)
{
    dialogs.openName = "";
    panel->tbLoadGreenClick();
    ASSERT_EQ(dialogs.requests.size(), 1);
    EXPECT_TRUE(dialogs.requests[0].startsWith("open Greens ")) << dialogs.requests[0].toStdString();

    makeGreens({});
    panel->tbLoadGreenClick();
    EXPECT_EQ(dialogs.requests.size(), 2) << "an empty folder opens the dialog too";

    makeGreens({"b.glw", "a.glw"});
    writeLines("Greens/notes.txt", {"x"});
    panel->tbLoadGreenClick();
    EXPECT_EQ(dialogs.requests.size(), 2);
    EXPECT_EQ(menuTexts(panel->PopupLoadGreen), QStringList({"Auswahl", "-", "Greens/a.glw", "Greens/b.glw"}));
    EXPECT_TRUE(panel->PopupLoadGreen->isVisible());
    panel->PopupLoadGreen->actions()[2]->trigger();
    panel->PopupLoadGreen->hide();
    EXPECT_EQ(panel->GreenLoaded(), "Greens/a.glw");
    EXPECT_EQ(field().ColCount(), 3);
    EXPECT_EQ(field().Cell(2, 0).TileType(), ttTree);

    panel->PopupLoadGreen->actions()[0]->trigger(); // "Auswahl" runs the dialog
    EXPECT_EQ(dialogs.requests.size(), 3);
}

TEST_F(LawnPanel, StoreButtonOffersTheLastFileForOneClickOverwrite)
{
    panel->setInEdit(true);
    dialogs.saveName = QDir(work.path()).filePath("mine.glw");
    panel->tbStoreGreenClick();
    ASSERT_EQ(dialogs.requests.size(), 1);
    EXPECT_TRUE(dialogs.requests[0].startsWith("save Greens "));
    EXPECT_EQ(panel->GreenLoaded(), dialogs.saveName);

    field().setTileType(0, 0, ttDirt);
    panel->tbStoreGreenClick();
    EXPECT_EQ(menuTexts(panel->PopupStoreGreen), QStringList({"Auswahl", "-", dialogs.saveName}));
    panel->PopupStoreGreen->actions()[2]->trigger();
    panel->PopupStoreGreen->hide();
    EXPECT_EQ(dialogs.requests.size(), 1) << "the quick entry overwrites without asking";
    TField reread;
    QString error;
    ASSERT_TRUE(reread.Load(dialogs.saveName, error));
    EXPECT_EQ(reread.Cell(0, 0).TileType(), ttDirt);

    panel->AcNewGreen->trigger();
    panel->tbStoreGreenClick();
    EXPECT_EQ(dialogs.requests.size(), 2) << "after \"neuer Rasen\" the dialog opens again";
}

TEST_F(LawnPanel, AFailedLoadOrStoreIsShownAndChangesNothing)
{
    QDir().mkdir("dir.glw"); // exists, but cannot be read as a file
    panel->LoadGreen("dir.glw");
    ASSERT_EQ(dialogs.requests.size(), 1);
    EXPECT_TRUE(dialogs.requests[0].startsWith("message: "));
    EXPECT_TRUE(panel->GreenLoaded().isEmpty());
    EXPECT_EQ(field().ColCount(), 10);

    panel->StoreGreen("no/such/folder/x.glw");
    EXPECT_EQ(dialogs.requests.size(), 2);
    EXPECT_TRUE(panel->GreenLoaded().isEmpty());
}

TEST_F(LawnPanel, GridPaintsTilesFrameAndSheepAndFollowsRefreshes)
{
    panel->Level(3);
    QImage shot = panel->dg->grab().toImage();
    EXPECT_EQ(shot.pixelColor(panel->dg->CellRect(1, 1).center()), TTile::FillColor(ttGreen));
    EXPECT_EQ(shot.pixelColor(panel->dg->CellRect(0, 0).topLeft()), QColor(255, 0, 0))
        << "the selected cell has a red frame";

    sb.start(1, 1); // mows the cell under the sheep and refreshes
    panel->SandboxRefresh();
    shot = panel->dg->grab().toImage();
    const QRect mown = panel->dg->CellRect(1, 1);
    EXPECT_EQ(shot.pixelColor(mown.left() + 1, mown.top() + 1), TTile::FillColor(ttShortGreen));
}

// Records the area of every paint of a widget.
class TPaintSpy : public QObject
{
public:
    explicit TPaintSpy(QWidget *w) { w->installEventFilter(this); }
    QRegion painted;
    bool eventFilter(QObject *, QEvent *e) override
    {
        if (e->type() == QEvent::Paint)
            painted += static_cast<QPaintEvent *>(e)->region();
        return false;
    }
};

// A step repaints the cells the sheep left and entered, however large the
// lawn; a lawn that regrows elsewhere is repainted where it changed.
TEST_F(LawnPanel, ARefreshRepaintsOnlyTheCellsThatChanged)
{
    sb.setOnRefresh([this](TSandboxSheep *) { panel->SandboxRefresh(); });
    sb.start(0, 0);
    sb.move(2); // south to (0, 2)
    TPaintSpy spy(panel->dg);
    sb.move(1);
    EXPECT_EQ(spy.painted, QRegion(panel->dg->CellRect(0, 2)) + panel->dg->CellRect(0, 3));
    spy.painted = QRegion();
    sb.turnLeft();
    sb.mark();
    EXPECT_EQ(spy.painted, QRegion(panel->dg->CellRect(0, 3)));

    spy.painted = QRegion();
    sb.start(5, 5); // the cut grass and the mark grow back
    for (int row = 0; row <= 3; ++row)
        EXPECT_TRUE(spy.painted.contains(panel->dg->CellRect(0, row))) << row;
    EXPECT_FALSE(spy.painted.intersects(panel->dg->CellRect(9, 9)));

    panel->setInEdit(true);
    panel->AcSetDirt->trigger();
    QTest::mouseClick(panel->dg, Qt::LeftButton, {}, centre(7, 7));
    panel->AcSetTree->trigger();
    spy.painted = QRegion();
    QTest::mouseClick(panel->dg, Qt::LeftButton, {}, centre(7, 7)); // the amount of grass stays
    EXPECT_TRUE(spy.painted.contains(panel->dg->CellRect(7, 7)));
}
