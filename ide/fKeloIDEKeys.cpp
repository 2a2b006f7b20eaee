// Keyboard and screen-reader use of the IDE window: the focus cycle between
// its areas, keys in the lists, the menu bar and the context menu from the
// keyboard, the breakpoint key, German accessible names, and the live status
// text that announces runs, parse results and breakpoint hits.
#include "ide/fKeloIDE.h"

#include "editor/MemoCode.h"
#include "ide/uAccessibility.h"
#include "ide/uKeloDebugSyneditPlugin.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSlider>
#include <QStatusBar>
#include <QTabWidget>
#include <QToolBar>
#include <QToolButton>

namespace {

// Alt held with a character types nothing into the editor: a menu's access
// key has already been taken by the menu bar, any other one does nothing.
// (Alt pressed and released alone is the menu bar's own key.)
class TAltTypesNothing : public QObject
{
public:
    explicit TAltTypesNothing(QWidget *editor) : QObject(editor) { editor->installEventFilter(this); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::KeyPress)
            return QObject::eventFilter(watched, event);
        // Alt with Ctrl is AltGr on some systems and types the layout's third characters.
        const auto *key = static_cast<QKeyEvent *>(event);
        return (key->modifiers() & Qt::AltModifier) && !(key->modifiers() & Qt::ControlModifier) &&
               !key->text().isEmpty() && key->text().at(0).isPrint();
    }
};

bool isEnter(const QKeyEvent *event) { return event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter; }

} // namespace

void TfrmKeloIDE::createKeyboardAccess()
{
    InstallWindowAccessibility();
    LAnnounce = new TLiveText(statusBar());
    statusBar()->addPermanentWidget(LAnnounce);
    new TAltTypesNothing(MemoCode);

    // The variable view and the program bar are reached from the keyboard.
    lBoxCodeVarNames->setFocusPolicy(Qt::StrongFocus);
    for (QPushButton *button : {BtStart, BtStop, BtPause, BtStep, BtCheck})
        button->setFocusPolicy(Qt::TabFocus);
    for (QToolButton *button : {BtDelayMax, BtDelayMin})
        button->setFocusPolicy(Qt::TabFocus);
    // A breakpoint hit selects an entry without making it the current one,
    // which screen readers take for the focus; the list catches up here.
    lBoxBreaks->installEventFilter(this);
    nameControls();
}

void TfrmKeloIDE::nameControls()
{
    const std::pair<QWidget *, const char *> names[] = {
        {MemoCode, "Quelltext"},
        {lBoxCodeVarNames, "Variablen"},
        {lBoxCodeVarValues, "Werte der Variablen"},
        {PctrlMsg, "Meldungsbereich"},
        {MemoLog, "Meldungen"},
        {lBoxErrors, "Fehler"},
        {lBoxBreaks, "Haltepunkte"},
        {TrackBar, "Ausführungsgeschwindigkeit"},
        {BtDelayMax, "Niedrigste Ausführungsgeschwindigkeit"},
        {BtDelayMin, "Höchste Ausführungsgeschwindigkeit"},
        {ToolBar, "Werkzeugleiste"},
        {PnTools, "Programmleiste"},
        {statusBar(), "Statusleiste"},
    };
    for (const auto &[widget, name] : names)
        widget->setAccessibleName(QString::fromUtf8(name));
    // A narrow program bar shows icons only; the buttons keep their names.
    for (auto [button, action] : {std::pair{BtStart, AcStart}, std::pair{BtStop, AcStop}, std::pair{BtPause, AcPause},
                                  std::pair{BtStep, AcStep}, std::pair{BtCheck, AcParse}})
        button->setAccessibleName(action->text());
    for (QAction *menu : menuBar()->actions())
        if (menu->menu() && menu->text() == QStringLiteral("&?"))
            menu->menu()->setAccessibleName(QStringLiteral("Hilfe"));
}

QWidget *TfrmKeloIDE::SandboxFocusWidget() { return nullptr; }

QWidget *TfrmKeloIDE::SidePanelFocusWidget() { return nullptr; }

QString TfrmKeloIDE::EndOfRunText() { return QStringLiteral("Programm beendet"); }

// Editor, sandbox view, side panel, variable view, the message area's page
// and the speed slider, in this order; hidden ones are passed over.
QList<QWidget *> TfrmKeloIDE::focusStops() const
{
    QList<QWidget *> stops;
    for (QWidget *stop :
         {static_cast<QWidget *>(MemoCode), const_cast<TfrmKeloIDE *>(this)->SandboxFocusWidget(),
          const_cast<TfrmKeloIDE *>(this)->SidePanelFocusWidget(), static_cast<QWidget *>(lBoxCodeVarNames),
          PctrlMsg->currentWidget(), static_cast<QWidget *>(TrackBar)})
        if (stop && stop->isVisible() && stop->isEnabled())
            stops.append(stop);
    return stops;
}

void TfrmKeloIDE::cycleFocus(int step)
{
    const QList<QWidget *> stops = focusStops();
    if (stops.isEmpty())
        return;
    const QWidget *focus = QApplication::focusWidget();
    qsizetype at = -1;
    for (qsizetype i = 0; i < stops.size(); ++i)
        if (focus && (stops[i] == focus || stops[i]->isAncestorOf(focus)))
            at = i;
    // From outside the cycle the first step leads to the editor.
    const qsizetype next = at < 0 ? 0 : (at + step + stops.size()) % stops.size();
    stops[next]->setFocus(step > 0 ? Qt::TabFocusReason : Qt::BacktabFocusReason);
}

void TfrmKeloIDE::AcFocusNextExecute() { cycleFocus(1); }

void TfrmKeloIDE::AcFocusPrevExecute() { cycleFocus(-1); }

// The focused control's context menu, opened at its caret or current entry.
void TfrmKeloIDE::AcContextMenuExecute()
{
    QWidget *focus = QApplication::focusWidget();
    if (!focus)
        return;
    QPoint at = focus->rect().center();
    const auto *view = qobject_cast<QAbstractItemView *>(focus);
    if (view && view->currentIndex().isValid())
        at = view->viewport()->mapTo(focus, view->visualRect(view->currentIndex()).center());
    else if (const QRect caret = focus->inputMethodQuery(Qt::ImCursorRectangle).toRect(); caret.isValid())
        at = caret.center();
    QContextMenuEvent event(QContextMenuEvent::Keyboard, at, focus->mapToGlobal(at));
    QApplication::sendEvent(focus, &event);
}

void TfrmKeloIDE::AcMenuBarExecute()
{
    for (QAction *menu : menuBar()->actions())
        if (menu->isVisible() && menu->isEnabled()) {
            menuBar()->setActiveAction(menu);
            return;
        }
}

void TfrmKeloIDE::AcToggleBreakExecute() { ToggleBreakpoint(MemoCode->CaretY()); }

void TfrmKeloIDE::keyPressEvent(QKeyEvent *event)
{
    QWidget *focus = QApplication::focusWidget();
    const bool plain = !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::ShiftModifier));
    if (plain && event->key() == Qt::Key_Escape && focus != MemoCode) {
        MemoCode->setFocus(Qt::OtherFocusReason);
        return;
    }
    if (plain && isEnter(event) && (focus == lBoxErrors || focus == lBoxBreaks)) {
        if (focus == lBoxErrors)
            lBoxErrorsDblClick();
        else
            lBoxBreaksDblClick();
        MemoCode->setFocus(Qt::OtherFocusReason);
        return;
    }
    QMainWindow::keyPressEvent(event);
}

bool TfrmKeloIDE::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == lBoxBreaks && event->type() == QEvent::FocusIn) {
        const QList<QListWidgetItem *> selected = lBoxBreaks->selectedItems();
        if (!selected.isEmpty() && lBoxBreaks->currentItem() != selected.first())
            lBoxBreaks->setCurrentItem(selected.first(), QItemSelectionModel::NoUpdate);
    }
    return QMainWindow::eventFilter(watched, event);
}

// Selects the entry of a breakpoint that was hit. It becomes the current entry
// only while the list has the focus: a new current entry tells screen readers
// that the focus went there, and the learner's focus stays in the editor.
void TfrmKeloIDE::selectBreakpointEntry(int index)
{
    QListWidgetItem *item = lBoxBreaks->item(index);
    if (!item)
        return;
    if (lBoxBreaks->hasFocus()) {
        lBoxBreaks->setCurrentItem(item);
        return;
    }
    lBoxBreaks->clearSelection();
    item->setSelected(true);
    lBoxBreaks->scrollToItem(item);
}

void TfrmKeloIDE::Announce(const QString &text) { LAnnounce->Announce(text); }

void TfrmKeloIDE::announceRunState()
{
    const TRunState now = !IsRunning() ? TRunState::Idle : doRun ? TRunState::Running : TRunState::Paused;
    // Inside the program's Run a new program looks paused: Start asks for the
    // continuous run only once Run has returned.
    if (now == TRunState::Paused && programCallDepth > 0)
        return;
    const bool byBreakpoint = std::exchange(pausedByBreakpoint, false);
    const TRunState before = std::exchange(announcedRunState, now);
    if (now == before)
        return;
    switch (now) {
    case TRunState::Running:
        Announce(QStringLiteral("Programm läuft"));
        break;
    case TRunState::Paused:
        if (!byBreakpoint)
            Announce(QStringLiteral("Programm angehalten"));
        break;
    case TRunState::Idle:
        Announce(EndOfRunText());
        break;
    }
}

void TfrmKeloIDE::announceParse(int errors, int warnings)
{
    QString text =
        errors == 0 ? QStringLiteral("Keine Fehler gefunden") : QStringLiteral("%1 Fehler gefunden").arg(errors);
    if (warnings == 1)
        text += QStringLiteral(", 1 Warnung");
    else if (warnings > 1)
        text += QStringLiteral(", %1 Warnungen").arg(warnings);
    Announce(text);
}
