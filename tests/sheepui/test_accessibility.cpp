// The sheep window as a screen reader sees it through Qt's accessibility interfaces.
#include "sheep/fLawnGrid.h"
#include "sheep/fTaskPanel.h"
#include "sheep/uSandboxSheep.h"
#include "tests/sheepui/sheep_window_fixture.h"
#include "tests/support/Printers.h"

#include <QAccessible>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSlider>
#include <QToolButton>

namespace {

using Accessibility = TShownSheepWindow;

// Operable controls without a name: node and, if asked, those below it (list and table entries aside).
void collectUnnamed(QAccessibleInterface *node, QStringList &unnamed, bool below = true)
{
    static const QList<QAccessible::Role> operable = {
        QAccessible::PushButton,   QAccessible::CheckBox, QAccessible::RadioButton, QAccessible::ComboBox,
        QAccessible::EditableText, QAccessible::Slider,   QAccessible::SpinBox,     QAccessible::List,
        QAccessible::Table,        QAccessible::PageTab,  QAccessible::ButtonMenu,  QAccessible::MenuItem,
        QAccessible::ToolBar};
    if (!node || node->state().invisible)
        return;
    if (operable.contains(node->role()) && node->text(QAccessible::Name).trimmed().isEmpty())
        unnamed << QString("%1 (role %2)")
                       .arg(node->object() ? node->object()->metaObject()->className() : "?")
                       .arg(int(node->role()), 0, 16);
    if (below && node->role() != QAccessible::Table && node->role() != QAccessible::List)
        for (int i = 0; i < node->childCount(); ++i)
            collectUnnamed(node->child(i), unnamed);
}

} // namespace

TEST_F(Accessibility, EveryControlInTheTreeAndTheFocusChainOfEveryWindowHasANameTheMainOnesTheirGermanNamesAndRoles)
{
    QWidgetList windows = {window.get()};
    for (QAction *open : {window->AcHelp, window->AcEditorOptions}) {
        const QWidgetList before = QApplication::topLevelWidgets();
        open->trigger();
        for (QWidget *w : QApplication::topLevelWidgets())
            if (!before.contains(w) && w->isVisible())
                windows << w;
    }
    ASSERT_EQ(windows.size(), 3) << "help and options open a window each";
    window->setInEdit(true);
    windows << window.get(); // again with the lawn editor
    QFile task(work.filePath("aufgabe.gza"));
    ASSERT_TRUE(task.open(QIODevice::WriteOnly));
    task.write("[Aufgabe]\nTitel=T\n[Welt1]\nLevel=1\n[Ziel]\nGemaeht=ja\nX=1\n");
    task.close();
    ASSERT_TRUE(window->OpenTask(task.fileName()));
    windows << window.get(); // again with the task panel
    for (QWidget *shown : windows) {
        QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(shown);
        EXPECT_EQ(iface->role(), QAccessible::Window);
        EXPECT_FALSE(shown->windowTitle().isEmpty());
        EXPECT_EQ(iface->text(QAccessible::Name), shown->windowTitle());
        QStringList unnamed;
        collectUnnamed(iface, unnamed);
        for (QWidget *w = shown->nextInFocusChain(); w != shown; w = w->nextInFocusChain())
            if (w->isVisible() && w->focusPolicy() & Qt::TabFocus)
                collectUnnamed(QAccessible::queryAccessibleInterface(w), unnamed, false);
        EXPECT_EQ(unnamed, QStringList()) << shown->windowTitle().toStdString();
    }
    const std::tuple<QWidget *, QAccessible::Role, QString> rows[] = {
        {editor(), QAccessible::EditableText, "Quelltext"},
        {window->PnGrid->dg, QAccessible::Table, "Rasen"},
        {window->lBoxCodeVarNames, QAccessible::List, "Variablen"},
        {window->MemoLog, QAccessible::EditableText, "Meldungen"},
        {window->lBoxErrors, QAccessible::List, "Fehler"},
        {window->lBoxBreaks, QAccessible::List, "Haltepunkte"},
        {window->TrackBar, QAccessible::Slider, "Ausführungsgeschwindigkeit"},
        {window->PnGrid->tbLoadGreen, QAccessible::PushButton, "Rasen laden"},
        {window->PnGrid->tbStoreGreen, QAccessible::PushButton, "Rasen speichern"},
        {window->PnGrid->EdSize, QAccessible::EditableText, "Größe"},
        {window->PnTask->ListWorlds, QAccessible::List, "Welten der Aufgabe"},
        {window->PnTask->BtCheck, QAccessible::PushButton, "Aufgabe prüfen"},
    };
    for (const auto &[widget, role, name] : rows) {
        QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(widget);
        EXPECT_EQ(iface->role(), role) << name.toStdString();
        EXPECT_EQ(iface->text(QAccessible::Name), name);
    }
}

TEST_F(Accessibility, TheLawnIsATableOfNamedCellsAndTheVariableViewsOfferEachEntryWhole)
{
    window->AcLv[2]->trigger(); // one tree
    editor()->setLines({"int x = 5;", "string s = \"a b\";", "start(0, 0);", "move(1);", "x = 7;"});
    for (int i = 0; i < 5; ++i)
        window->StepProgram();
    QPoint tree;
    for (int i = 0; i < 100; ++i)
        if (window->Sandbox().Field().Cell(i % 10, i / 10).TileType() == ttTree)
            tree = QPoint(i % 10, i / 10);

    QAccessibleInterface *lawn = QAccessible::queryAccessibleInterface(window->PnGrid->dg);
    QAccessibleTableInterface *table = lawn->tableInterface();
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(std::pair(table->rowCount(), table->columnCount()), std::pair(10, 10));
    EXPECT_EQ(lawn->childCount(), 100);
    const std::tuple<int, int, QString> rows[] = {
        {1, 0, "Zeile 1, Spalte 0: Schaf, schaut nach Süden, gemähter Rasen"},
        {2, 0, "Zeile 2, Spalte 0: ungemähter Rasen"},
        {tree.y(), tree.x(), QString("Zeile %1, Spalte %2: Baum").arg(tree.y()).arg(tree.x())},
    };
    for (const auto &[row, col, name] : rows) {
        QAccessibleInterface *cell = table->cellAt(row, col);
        ASSERT_NE(cell, nullptr);
        EXPECT_EQ(cell->role(), QAccessible::Cell);
        EXPECT_EQ(cell->text(QAccessible::Name), name);
        EXPECT_EQ(lawn->child(lawn->indexOfChild(cell)), cell);
    }
    QAccessibleInterface *view = QAccessible::queryAccessibleInterface(window->lBoxCodeVarNames);
    ASSERT_GE(view->childCount(), 2);
    EXPECT_EQ(window->lBoxCodeVarNames->item(0)->text() + window->lBoxCodeVarValues->item(0)->text(), "x= 5");
    EXPECT_EQ(view->child(0)->text(QAccessible::Name), "x = 5");
    EXPECT_EQ(view->child(1)->text(QAccessible::Name), "s = \"a b\"");
    QAccessibleInterface *environment = QAccessible::queryAccessibleInterface(window->LBoxSysVars);
    EXPECT_EQ(environment->child(0)->text(QAccessible::Name), "zSteps = 1 (Schrittzähler)");
}

TEST_F(Accessibility, InTheLawnEditorArrowsMoveTheFrameSpacePaintsAndEscLeaves)
{
    TLawnGrid *dg = window->PnGrid->dg;
    window->setInEdit(true);
    window->PnGrid->AcSetTree->trigger();
    dg->setFocus();
    const std::tuple<Qt::Key, int, int> moves[] = {{Qt::Key_Right, 1, 0}, {Qt::Key_Right, 2, 0}, {Qt::Key_Down, 2, 1},
                                                   {Qt::Key_Up, 2, 0},    {Qt::Key_Up, 2, 0},    {Qt::Key_Left, 1, 0}};
    for (const auto &[key, col, row] : moves) {
        QTest::keyClick(dg, key);
        EXPECT_EQ(QPoint(dg->Col(), dg->Row()), QPoint(col, row)) << int(key);
    }
    EXPECT_EQ(window->statusText(0) + " " + window->statusText(1), "Spalte 1 Zeile 0");
    QTest::keyClick(dg, Qt::Key_Space);
    EXPECT_EQ(window->Sandbox().Field().Cell(1, 0).TileType(), ttTree);
    QTest::keyClick(dg, Qt::Key_Escape);
    EXPECT_FALSE(window->InEdit());
    EXPECT_TRUE(dg->hasFocus());
}
