// The sheep window as assistive technology sees it (Qt's accessibility
// interfaces, offscreen): names and roles of the controls, the lawn as a
// table of named cells and its keys, the variable view's entries and the
// secondary windows.
#include "editor/MemoCode.h"
#include "sheep/fGrazloIDE.h"
#include "sheep/fLawnGrid.h"
#include "sheep/uSandboxSheep.h"
#include "tests/sheepui/sheep_window_fixture.h"
#include "tests/support/Printers.h"

#include <QAccessible>
#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

namespace {

class TA11yWindow : public TfrmGrazloIDE
{
public:
    using TfrmKeloIDE::AcEditorOptions;
    using TfrmKeloIDE::AcHelp;
    using TfrmKeloIDE::lBoxBreaks;
    using TfrmKeloIDE::lBoxCodeVarNames;
    using TfrmKeloIDE::lBoxCodeVarValues;
    using TfrmKeloIDE::lBoxErrors;
    using TfrmKeloIDE::MemoLog;
    using TfrmKeloIDE::StepProgram;
    using TfrmKeloIDE::TrackBar;
};

// The controls below root that a user can operate but that carry no name.
void collectUnnamed(QAccessibleInterface *node, QStringList &unnamed)
{
    static const QList<QAccessible::Role> operable = {
        QAccessible::PushButton,   QAccessible::CheckBox, QAccessible::RadioButton, QAccessible::ComboBox,
        QAccessible::EditableText, QAccessible::Slider,   QAccessible::SpinBox,     QAccessible::List,
        QAccessible::Table,        QAccessible::PageTab,  QAccessible::ButtonMenu,  QAccessible::ButtonDropDown,
        QAccessible::MenuItem,     QAccessible::ToolBar};
    if (!node || node->state().invisible)
        return;
    if (operable.contains(node->role()) && node->text(QAccessible::Name).trimmed().isEmpty())
        unnamed << QString("%1 %2 (role %3)")
                       .arg(node->object() ? node->object()->metaObject()->className() : "?")
                       .arg(node->object() ? node->object()->objectName() : "")
                       .arg(int(node->role()), 0, 16);
    if (node->role() == QAccessible::Table || node->role() == QAccessible::List)
        return; // cells and entries are checked on their own
    for (int i = 0; i < node->childCount(); ++i)
        collectUnnamed(node->child(i), unnamed);
}

using Accessibility = TShownSheepWindow<TA11yWindow>;

} // namespace

TEST_F(Accessibility, EveryOperableControlHasAName)
{
    for (bool editing : {false, true}) {
        window->setInEdit(editing);
        QStringList unnamed;
        collectUnnamed(QAccessible::queryAccessibleInterface(window.get()), unnamed);
        EXPECT_EQ(unnamed, QStringList()) << (editing ? "lawn editor" : "view");
    }
}

TEST_F(Accessibility, TheMainControlsCarryTheirGermanNamesAndRoles)
{
    const struct
    {
        QWidget *widget;
        QAccessible::Role role;
        QString name;
    } rows[] = {
        {window->editor(), QAccessible::EditableText, "Quelltext"},
        {window->PnGrid->dg, QAccessible::Table, "Rasen"},
        {window->lBoxCodeVarNames, QAccessible::List, "Variablen"},
        {window->MemoLog, QAccessible::EditableText, "Meldungen"},
        {window->lBoxErrors, QAccessible::List, "Fehler"},
        {window->lBoxBreaks, QAccessible::List, "Haltepunkte"},
        {window->TrackBar, QAccessible::Slider, "Ausführungsgeschwindigkeit"},
        {window->PnGrid->tbLoadGreen, QAccessible::PushButton, "Rasen laden"},
        {window->PnGrid->tbStoreGreen, QAccessible::PushButton, "Rasen speichern"},
        {window->PnGrid->EdSize, QAccessible::EditableText, "Größe"},
    };
    for (const auto &row : rows) {
        QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(row.widget);
        EXPECT_EQ(iface->role(), row.role) << row.name.toStdString();
        EXPECT_EQ(iface->text(QAccessible::Name), row.name);
    }
}

TEST_F(Accessibility, TheLawnIsATableOfCellsNamedByRowColumnAndWhatTheyShow)
{
    window->AcLv[2]->trigger(); // one tree
    window->editor()->setLines({"start(0, 0);", "move(1);"});
    for (int i = 0; i < 3; ++i)
        window->StepProgram();
    QPoint tree;
    for (int r = 0; r < 10; ++r)
        for (int c = 0; c < 10; ++c)
            if (window->Sandbox().Field().Cell(c, r).TileType() == ttTree)
                tree = QPoint(c, r);

    QAccessibleInterface *lawn = QAccessible::queryAccessibleInterface(window->PnGrid->dg);
    QAccessibleTableInterface *table = lawn->tableInterface();
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table->rowCount(), 10);
    EXPECT_EQ(table->columnCount(), 10);
    EXPECT_EQ(lawn->childCount(), 100);
    const struct
    {
        int row, col;
        QString name;
    } rows[] = {
        {1, 0, "Zeile 1, Spalte 0: Schaf, schaut nach Süden, gemähter Rasen"},
        {2, 0, "Zeile 2, Spalte 0: ungemähter Rasen"},
        {tree.y(), tree.x(), QString("Zeile %1, Spalte %2: Baum").arg(tree.y()).arg(tree.x())},
    };
    for (const auto &row : rows) {
        QAccessibleInterface *cell = table->cellAt(row.row, row.col);
        ASSERT_NE(cell, nullptr);
        EXPECT_EQ(cell->role(), QAccessible::Cell);
        EXPECT_EQ(cell->text(QAccessible::Name), row.name);
        EXPECT_EQ(lawn->child(lawn->indexOfChild(cell)), cell);
    }
}

TEST_F(Accessibility, InTheLawnEditorArrowsMoveTheFrameSpacePaintsAndEscLeaves)
{
    TLawnGrid *dg = window->PnGrid->dg;
    window->setInEdit(true);
    window->PnGrid->AcSetTree->trigger();
    dg->setFocus();
    ASSERT_TRUE(dg->hasFocus());
    const struct
    {
        Qt::Key key;
        int col, row;
    } moves[] = {{Qt::Key_Right, 1, 0}, {Qt::Key_Right, 2, 0}, {Qt::Key_Down, 2, 1},
                 {Qt::Key_Up, 2, 0},    {Qt::Key_Up, 2, 0},    {Qt::Key_Left, 1, 0}};
    for (const auto &move : moves) {
        QTest::keyClick(dg, move.key);
        EXPECT_EQ(QPoint(dg->Col(), dg->Row()), QPoint(move.col, move.row)) << int(move.key);
    }
    EXPECT_EQ(window->statusText(0), "Spalte 1");
    EXPECT_EQ(window->statusText(1), "Zeile 0");
    QTest::keyClick(dg, Qt::Key_Space);
    EXPECT_EQ(window->Sandbox().Field().Cell(1, 0).TileType(), ttTree);
    QAccessibleTableInterface *table = QAccessible::queryAccessibleInterface(dg)->tableInterface();
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table->cellAt(0, 1)->text(QAccessible::Name), "Zeile 0, Spalte 1: Baum");
    QTest::keyClick(dg, Qt::Key_Escape);
    EXPECT_FALSE(window->InEdit());
    EXPECT_TRUE(dg->hasFocus());
}

TEST_F(Accessibility, TheVariableViewOffersEachEntryAsNameEqualsValue)
{
    window->editor()->setLines({"int x = 5;", "string s = \"a b\";", "x = 7;"});
    for (int i = 0; i < 3; ++i)
        window->StepProgram();
    QListWidget *names = window->lBoxCodeVarNames;
    QAccessibleInterface *view = QAccessible::queryAccessibleInterface(names);
    ASSERT_GE(names->count(), 2);
    EXPECT_EQ(names->item(0)->text(), "x"); // what is seen stays as it was
    EXPECT_EQ(window->lBoxCodeVarValues->item(0)->text(), "= 5");
    EXPECT_EQ(view->child(0)->text(QAccessible::Name), "x = 5");
    EXPECT_EQ(view->child(1)->text(QAccessible::Name), "s = \"a b\"");
    QAccessibleInterface *environment = QAccessible::queryAccessibleInterface(window->LBoxSysVars);
    EXPECT_EQ(environment->child(0)->text(QAccessible::Name), "zSteps = 0 (Schrittzähler)");
}

TEST_F(Accessibility, HelpAndEditorOptionsReportThemselvesAsWindowsWithTheirTitles)
{
    for (QAction *open : {window->AcHelp, window->AcEditorOptions}) {
        const QWidgetList before = QApplication::topLevelWidgets();
        open->trigger();
        QWidget *opened = nullptr;
        for (QWidget *w : QApplication::topLevelWidgets())
            if (!before.contains(w) && w->isVisible())
                opened = w;
        ASSERT_NE(opened, nullptr) << open->text().toStdString();
        QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(opened);
        EXPECT_EQ(iface->role(), QAccessible::Window);
        EXPECT_EQ(iface->text(QAccessible::Name), opened->windowTitle());
        EXPECT_FALSE(opened->windowTitle().isEmpty());
    }
}
