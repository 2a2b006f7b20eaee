// The sheep window used with the keyboard alone, and its spoken announcements.
#include "ide/uAccessibility.h"
#include "ide/uKeloDebugSyneditPlugin.h"
#include "sheep/fLawnGrid.h"
#include "tests/sheepui/sheep_window_fixture.h"
#include "tests/support/Printers.h"

#include <QAccessible>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QSlider>
#include <QStatusBar>
#include <QTabWidget>

namespace {

class KeyboardUse : public TShownSheepWindow
{
protected:
    static void press(Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier) { QTest::keyClick(focus(), key, mods); }
    // Closes the open pop-up menu and gives its title.
    static QString closeMenu()
    {
        auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        return menu && menu->close() ? menu->title() : "(none)";
    }
    void focusOn(QWidget *widget)
    {
        if (window->PctrlMsg->indexOf(widget) >= 0)
            window->PctrlMsg->setCurrentWidget(widget);
        widget->setFocus();
        ASSERT_EQ(focus(), widget);
    }
};

} // namespace

TEST_F(KeyboardUse, AltWithAnAccessKeyOpensItsMenuAltAloneAndF10TheMenuBarAndNothingIsTyped)
{
    const std::pair<Qt::Key, QString> keys[] = {
        {Qt::Key_D, "&Datei"},   {Qt::Key_B, "&Bearbeiten"}, {Qt::Key_S, "&Suchen"},
        {Qt::Key_A, "&Ansicht"}, {Qt::Key_P, "&Programm"},   {Qt::Key_Question, "&?"},
        {Qt::Key_R, "&Rasen"},   {Qt::Key_X, "(none)"},      {Qt::Key_7, "(none)"}};
    for (const auto &[key, menu] : keys) {
        editor()->setFocus();
        QTest::keyClick(editor(), key, Qt::AltModifier);
        EXPECT_EQ(closeMenu(), menu) << int(key);
    }
    EXPECT_EQ(editor()->text(), QString());
    QTest::keyPress(editor(), Qt::Key_Alt, Qt::AltModifier);
    QTest::keyRelease(editor(), Qt::Key_Alt, Qt::AltModifier);
    EXPECT_EQ(focus(), window->menuBar());
    press(Qt::Key_Down);
    EXPECT_EQ(closeMenu(), "&Datei");
    editor()->setFocus();
    press(Qt::Key_F10);
    EXPECT_EQ(closeMenu(), "&Datei");
}

TEST_F(KeyboardUse, CtrlTabAndF6VisitTheAreasInTurnAndCtrlShiftTabGoesBack)
{
    const QList<QWidget *> areas = {window->PnGrid->dg, window->lBoxCodeVarNames, window->MemoLog, window->TrackBar,
                                    editor()};
    QList<QWidget *> backwards(areas.rbegin() + 1, areas.rend());
    backwards.append(editor());
    const std::tuple<Qt::Key, Qt::KeyboardModifiers, QList<QWidget *>> rows[] = {
        {Qt::Key_Tab, Qt::ControlModifier, areas},
        {Qt::Key_F6, Qt::NoModifier, areas},
        {Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier, backwards}};
    for (const auto &[key, mods, expected] : rows) {
        QList<QWidget *> visited;
        for (int i = 0; i < areas.size(); ++i) {
            press(key, mods);
            visited.append(focus());
        }
        EXPECT_EQ(visited, expected) << int(key);
    }
}

TEST_F(KeyboardUse, EscapeReturnsToTheEditorAndEnterInTheErrorAndBreakpointListsJumpsToTheLine)
{
    editor()->setLines({"int a = 1;", "", "a = ;", "a = 2;", "a = 3;"});
    editor()->setCaretXY({1, 5});
    press(Qt::Key_F2);
    window->AcParseExecute();
    const std::tuple<QWidget *, Qt::Key, int> rows[] = {
        {window->lBoxErrors, Qt::Key_Return, 3},       {window->lBoxBreaks, Qt::Key_Return, 5},
        {window->lBoxErrors, Qt::Key_Escape, 1},       {window->lBoxBreaks, Qt::Key_Escape, 1},
        {window->lBoxCodeVarNames, Qt::Key_Escape, 1}, {window->MemoLog, Qt::Key_Escape, 1},
        {window->TrackBar, Qt::Key_Escape, 1},         {window->PnGrid->dg, Qt::Key_Escape, 1}};
    for (const auto &[area, key, line] : rows) {
        editor()->setCaretXY({1, 1});
        focusOn(area);
        if (auto *list = qobject_cast<QListWidget *>(area))
            list->setCurrentRow(0);
        press(key);
        EXPECT_EQ(focus(), editor()) << area->accessibleName().toStdString();
        EXPECT_EQ(editor()->CaretY(), line);
        if (key == Qt::Key_Return) {
            EXPECT_EQ(window->redMarkedLine, line);
        }
    }
}

// Screen readers take a new current entry for the focus: a hit only selects its entry.
TEST_F(KeyboardUse, F2TogglesBreakpointsAHitLeavesTheFocusInTheEditorAndShiftF10OpensTheContextMenu)
{
    editor()->setLines({"int a = 1;", "a = 2;", "a = 3;"});
    for (int line : {2, 2, 3, 2}) { // on, off, on, on
        editor()->setCaretXY({1, line});
        press(Qt::Key_F2);
    }
    EXPECT_EQ(window->plugin()->Breakpoints().Count(), 2);
    window->SetSpeed(100);
    window->AcStartExecute();
    ASSERT_TRUE(window->IsRunning());
    EXPECT_EQ(focus(), editor());
    QListWidget *list = window->lBoxBreaks;
    EXPECT_EQ(list->selectedItems(), QList{list->item(1)});
    EXPECT_EQ(list->currentRow(), -1);
    for (QWidget *area : QList<QWidget *>{editor(), list}) {
        focusOn(area);
        press(Qt::Key_F10, Qt::ShiftModifier);
        EXPECT_EQ(QApplication::activePopupWidget(), window->PopupBreaks);
        closeMenu();
    }
    EXPECT_EQ(list->currentRow(), 1);
}

TEST_F(KeyboardUse, RunStatesParseResultsBreakpointHitsAndScoresAreAnnounced)
{
    TOpenSheepWindow &w = *window;
    const auto run = [&] { w.AcStartExecute(); };
    const QString ok = "Keine Fehler gefunden", runs = "Programm läuft"; // "Punkte": the score strip's text
    const std::tuple<QStringList, std::function<void()>, QStringList> rows[] = {
        {{"a = 1;", "b = 2;"}, [&] { w.AcParseExecute(); }, {"4 Fehler gefunden"}}, // two per line
        {{"int a = 1;"}, [&] { w.AcParseExecute(); }, {ok}},
        {{"int a = 1;"}, [&] { w.StepProgram(); }, {ok, "Programm angehalten"}},
        {{"start(0, 0);"}, run, {ok, runs, "Programm beendet. Punkte"}},
        {{"int a = 1;", "a = 2;"},
         [&] { w.plugin()->Breakpoints().Add(2), run(); },
         {ok, runs, "Haltepunkt in Zeile 2 erreicht"}},
        {{}, [&] { w.AcLv[1]->trigger(); }, {"Level 2 - Acker geladen"}},
    };
    w.SetSpeed(100);
    const int narrowest = w.statusBar()->minimumSizeHint().width();
    for (const auto &[script, command, expected] : rows) {
        w.StopProgram();
        w.plugin()->Breakpoints().Clear();
        editor()->setLines(script);
        QSignalSpy spy(w.LAnnounce, &TLiveText::announced);
        command();
        QStringList said;
        for (const QList<QVariant> &args : spy)
            said.append(args.at(0).toString());
        EXPECT_EQ(said, QStringList(expected).replaceInStrings("Punkte", w.LPoints->text()));
        QAccessibleInterface *live = QAccessible::queryAccessibleInterface(w.LAnnounce);
        EXPECT_EQ(live->text(QAccessible::Name), said.value(said.size() - 1));
        EXPECT_EQ(live->role(), QAccessible::Notification);
        EXPECT_EQ(w.statusBar()->minimumSizeHint().width(), narrowest) << "a long text must not widen the window";
    }
}
