// The sheep window used with the keyboard alone: menus from the editor, the
// focus cycle between the window's areas, keys in the lists, the breakpoint
// key and context menu key, and the announcements in the status bar.
#include "editor/MemoCode.h"
#include "ide/uAccessibility.h"
#include "ide/uKeloDebugSyneditPlugin.h"
#include "sheep/fGrazloIDE.h"
#include "sheep/fLawnGrid.h"
#include "tests/sheepui/sheep_window_fixture.h"
#include "tests/support/Printers.h"

#include <QAccessible>
#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QSlider>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace {

class TKeysWindow : public TfrmGrazloIDE
{
public:
    using TfrmKeloIDE::AcParseExecute;
    using TfrmKeloIDE::AcStartExecute;
    using TfrmKeloIDE::LAnnounce;
    using TfrmKeloIDE::lBoxBreaks;
    using TfrmKeloIDE::lBoxCodeVarNames;
    using TfrmKeloIDE::lBoxErrors;
    using TfrmKeloIDE::MemoLog;
    using TfrmKeloIDE::PctrlMsg;
    using TfrmKeloIDE::PopupBreaks;
    using TfrmKeloIDE::redMarkedLine;
    using TfrmKeloIDE::StepProgram;
    using TfrmKeloIDE::TrackBar;
};

class KeyboardUse : public TShownSheepWindow<TKeysWindow>
{
protected:
    TMemoCode *editor() const { return window->editor(); }
    static QWidget *focus() { return QApplication::focusWidget(); }
    // Presses a key where the focus is, as the keyboard would.
    static void press(Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier) { QTest::keyClick(focus(), key, mods); }
    static QMenu *openMenu() { return qobject_cast<QMenu *>(QApplication::activePopupWidget()); }
    static void closeMenu()
    {
        if (QMenu *menu = openMenu())
            menu->close();
    }
    void focusOn(QWidget *widget)
    {
        if (window->PctrlMsg->indexOf(widget) >= 0)
            window->PctrlMsg->setCurrentWidget(widget);
        widget->setFocus();
        ASSERT_EQ(focus(), widget);
    }
    QString announced() const { return window->LAnnounce->text(); }
};

} // namespace

TEST_F(KeyboardUse, EveryMenuHasItsOwnAccessKeyAndKeepsItsCaption)
{
    QStringList titles;
    QList<QKeySequence> keys;
    for (const QAction *menu : window->menuBar()->actions() + QList<QAction *>{window->miLevels->menuAction()}) {
        if (!menu->isVisible())
            continue;
        const QKeySequence key = QKeySequence::mnemonic(menu->text());
        EXPECT_FALSE(key.isEmpty()) << menu->text().toStdString();
        EXPECT_FALSE(keys.contains(key)) << menu->text().toStdString();
        keys.append(key);
        titles.append(QString(menu->text()).remove('&'));
    }
    EXPECT_EQ(titles,
              QStringList({"Datei", "Bearbeiten", "Suchen", "Ansicht", "Programm", "?", "Rasen", "Meisterschaft"}));
}

TEST_F(KeyboardUse, AltWithALetterOpensItsMenuAndNeverTypesIntoTheScript)
{
    const struct
    {
        Qt::Key key;
        QString menu; // empty: no menu has this key
    } rows[] = {{Qt::Key_D, "Datei"},    {Qt::Key_B, "Bearbeiten"}, {Qt::Key_S, "Suchen"},
                {Qt::Key_A, "Ansicht"},  {Qt::Key_P, "Programm"},   {Qt::Key_R, "Rasen"},
                {Qt::Key_Question, "?"}, {Qt::Key_X, ""},           {Qt::Key_7, ""}};
    for (const auto &row : rows) {
        editor()->setFocus();
        QTest::keyClick(editor(), row.key, Qt::AltModifier);
        EXPECT_EQ(openMenu() ? openMenu()->title().remove('&') : QString(), row.menu) << int(row.key);
        closeMenu();
    }
    EXPECT_EQ(editor()->text(), QString());
}

TEST_F(KeyboardUse, AltAloneAndF10OpenTheMenuBarFromTheEditor)
{
    // Alt alone puts the menu bar in keyboard mode on its first menu; Down opens it.
    QTest::keyPress(editor(), Qt::Key_Alt, Qt::AltModifier);
    QTest::keyRelease(editor(), Qt::Key_Alt, Qt::AltModifier);
    EXPECT_EQ(focus(), window->menuBar());
    press(Qt::Key_Down);
    ASSERT_NE(openMenu(), nullptr);
    EXPECT_EQ(openMenu()->title(), "&Datei");
    closeMenu();

    editor()->setFocus();
    press(Qt::Key_F10);
    ASSERT_NE(openMenu(), nullptr);
    EXPECT_EQ(openMenu()->title(), "&Datei");
    closeMenu();
}

TEST_F(KeyboardUse, CtrlTabAndF6VisitTheAreasInTurnAndCtrlShiftTabGoesBack)
{
    const QList<QWidget *> areas = {window->PnGrid->dg, window->lBoxCodeVarNames, window->MemoLog, window->TrackBar,
                                    editor()};
    QList<QWidget *> backwards(areas.rbegin() + 1, areas.rend());
    backwards.append(editor());
    const struct
    {
        Qt::Key key;
        Qt::KeyboardModifiers mods;
        QList<QWidget *> visited;
    } rows[] = {{Qt::Key_Tab, Qt::ControlModifier, areas},
                {Qt::Key_F6, Qt::NoModifier, areas},
                {Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier, backwards}};
    for (const auto &row : rows) {
        editor()->setFocus();
        QList<QWidget *> visited;
        for (int i = 0; i < areas.size(); ++i) {
            press(row.key, row.mods);
            visited.append(focus());
        }
        EXPECT_EQ(visited, row.visited) << int(row.key);
    }
}

TEST_F(KeyboardUse, EscapeInAListTheMessagesOrTheSpeedReturnsToTheEditor)
{
    for (QWidget *area : {static_cast<QWidget *>(window->lBoxErrors), static_cast<QWidget *>(window->lBoxBreaks),
                          static_cast<QWidget *>(window->lBoxCodeVarNames), static_cast<QWidget *>(window->MemoLog),
                          static_cast<QWidget *>(window->TrackBar), static_cast<QWidget *>(window->PnGrid->dg)}) {
        focusOn(area);
        press(Qt::Key_Escape);
        EXPECT_EQ(focus(), editor()) << area->accessibleName().toStdString();
    }
}

TEST_F(KeyboardUse, EnterInTheErrorAndBreakpointListsJumpsToTheEntrysLine)
{
    editor()->setLines({"int a = 1;", "", "a = ;", "a = 2;", "a = 3;"});
    editor()->setCaretXY({1, 5});
    press(Qt::Key_F2);
    window->AcParseExecute();
    const struct
    {
        QListWidget *list;
        int line;
    } rows[] = {{window->lBoxErrors, 3}, {window->lBoxBreaks, 5}};
    for (const auto &row : rows) {
        editor()->setCaretXY({1, 1});
        focusOn(row.list);
        row.list->setCurrentRow(0);
        press(Qt::Key_Return);
        EXPECT_EQ(editor()->CaretY(), row.line);
        EXPECT_EQ(window->redMarkedLine, row.line);
        EXPECT_EQ(focus(), editor());
    }
}

TEST_F(KeyboardUse, F2TogglesTheBreakpointAtTheCaretAndBothMenusShowIt)
{
    editor()->setLines({"int a = 1;", "a = 2;"});
    editor()->setCaretXY({1, 2});
    press(Qt::Key_F2);
    EXPECT_EQ(window->plugin()->Breakpoints().Count(), 1);
    EXPECT_TRUE(window->plugin()->Breakpoints().isIn(2));
    ASSERT_EQ(window->lBoxBreaks->count(), 1);
    EXPECT_EQ(window->lBoxBreaks->item(0)->text(), "Zeile 2");
    press(Qt::Key_F2);
    EXPECT_EQ(window->plugin()->Breakpoints().Count(), 0);

    auto shownWithF2 = [](const QMenu *menu) {
        for (const QAction *a : menu->actions())
            if (a->shortcut() == QKeySequence(Qt::Key_F2))
                return a->text();
        return QString();
    };
    QMenu *runMenu = window->menuBar()->actions().at(4)->menu();
    EXPECT_EQ(shownWithF2(runMenu), "Haltepunkt umschalten");
    EXPECT_EQ(shownWithF2(window->PopupBreaks), "Haltepunkt umschalten");
}

TEST_F(KeyboardUse, ShiftF10OpensTheContextMenuOfTheEditorAndOfTheBreakpointList)
{
    for (QWidget *area : {static_cast<QWidget *>(editor()), static_cast<QWidget *>(window->lBoxBreaks)}) {
        focusOn(area);
        press(Qt::Key_F10, Qt::ShiftModifier);
        EXPECT_EQ(openMenu(), window->PopupBreaks);
        closeMenu();
    }
}

// A new current entry in a list is what screen readers take for the focus:
// the hit selects its entry, and the entry becomes current only when the
// learner goes to the list.
TEST_F(KeyboardUse, ABreakpointHitSelectsItsEntryAndLeavesTheFocusInTheEditor)
{
    editor()->setLines({"int a = 1;", "a = 2;", "a = 3;"});
    for (int line : {3, 2}) {
        editor()->setCaretXY({1, line});
        press(Qt::Key_F2);
    }
    window->SetSpeed(100);
    window->AcStartExecute();
    ASSERT_TRUE(window->IsRunning());
    EXPECT_EQ(focus(), editor());
    ASSERT_EQ(window->lBoxBreaks->selectedItems().size(), 1);
    EXPECT_EQ(window->lBoxBreaks->selectedItems().first()->text(), "Zeile 2");
    EXPECT_EQ(window->lBoxBreaks->currentRow(), -1);
    EXPECT_EQ(announced(), "Haltepunkt in Zeile 2 erreicht");

    window->lBoxBreaks->setFocus();
    EXPECT_EQ(window->lBoxBreaks->currentRow(), 1);
}

TEST_F(KeyboardUse, RunStatesParseResultsBreakpointHitsAndScoresAreAnnounced)
{
    TKeysWindow &w = *window;
    const struct
    {
        QStringList script;
        int breakpoint;
        std::function<void()> command;
        QStringList said; // "Punkte" stands for the score strip's text
    } rows[] = {
        {{"a = 1;", "b = 2;"}, 0, [&] { w.AcParseExecute(); }, {"4 Fehler gefunden"}}, // two per line
        {{"int a = 1;"}, 0, [&] { w.AcParseExecute(); }, {"Keine Fehler gefunden"}},
        {{"int a = 1;", "a = 2;"}, 0, [&] { w.StepProgram(); }, {"Keine Fehler gefunden", "Programm angehalten"}},
        {{"start(0, 0);", "move(2);"},
         0,
         [&] { w.AcStartExecute(); },
         {"Keine Fehler gefunden", "Programm läuft", "Programm beendet. Punkte"}},
        {{"int a = 1;", "a = 2;"},
         2,
         [&] { w.AcStartExecute(); },
         {"Keine Fehler gefunden", "Programm läuft", "Haltepunkt in Zeile 2 erreicht"}},
        {{}, 0, [&] { w.AcLv[1]->trigger(); }, {"Level 2 - Acker geladen"}},
    };
    w.SetSpeed(100);
    for (const auto &row : rows) {
        w.StopProgram();
        w.plugin()->Breakpoints().Clear();
        editor()->setLines(row.script);
        if (row.breakpoint > 0)
            w.plugin()->Breakpoints().Add(row.breakpoint);
        QSignalSpy spy(w.LAnnounce, &TLiveText::announced);
        row.command();
        QStringList said;
        for (const QList<QVariant> &args : spy)
            said.append(args.at(0).toString());
        EXPECT_EQ(said, QStringList(row.said).replaceInStrings("Punkte", w.LPoints->text()));
        QAccessibleInterface *live = QAccessible::queryAccessibleInterface(w.LAnnounce);
        EXPECT_EQ(live->text(QAccessible::Name), said.value(said.size() - 1));
        EXPECT_EQ(live->role(), QAccessible::Notification);
    }
}
