// Going back in a run: one step back (Shift+F7), back to the breakpoint
// reached before (Shift+F5), and the timeline "Verlauf". A moment is rebuilt
// by running the run again from its start (sandbox/uRunTimeline.h) and then
// shown as the live run showed it: lawn and sheep, score and environment
// values, variables, current line, messages and errors. From there Step and
// Start go on with the rebuilt program, and the later steps are replaced by
// what the continued run does.
#include "ide/fKeloIDE.h"

#include "editor/MemoCode.h"
#include "ide/uKeloDebugSyneditPlugin.h"
#include "ide/uTimelineBar.h"
#include "sandbox/uRunTimeline.h"
#include "script/uKeloCode.h"

#include <QAction>
#include <QApplication>
#include <QBoxLayout>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>

namespace {
// A rebuild longer than this shows the busy cursor and may be cancelled.
constexpr qint64 BusyAfterMs = 300;
// Runs up to this length get their breakpoint ticks found again when the
// breakpoints change (a tenth of a second or so); longer runs keep the ticks
// the live run recorded.
constexpr qint64 TickScanSteps = 1'000'000;
constexpr int MostTicks = 1000;

// Watches a rebuild: after BusyAfterMs it shows the busy cursor and keeps the
// window painted; Esc then cancels, and any other input waits until the
// rebuild is over, so that no command arrives in the middle of it.
class TRebuildWatch : public QObject
{
public:
    TRebuildWatch() { iClock.start(); }
    ~TRebuildWatch() override
    {
        if (!iBusy)
            return;
        qApp->removeEventFilter(this);
        QApplication::restoreOverrideCursor();
        // Paints meanwhile showed the world half-way; the views repaint only what they think changed.
        for (QWidget *window : QApplication::topLevelWidgets())
            window->update();
    }

    bool keepGoing()
    {
        if (!iBusy && iClock.elapsed() >= BusyAfterMs) {
            iBusy = true;
            QApplication::setOverrideCursor(Qt::WaitCursor);
            qApp->installEventFilter(this);
        }
        if (iBusy)
            QApplication::processEvents();
        return !iCancelled;
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        switch (event->type()) {
        case QEvent::KeyPress:
            if (static_cast<QKeyEvent *>(event)->key() == Qt::Key_Escape)
                iCancelled = true;
            return true;
        case QEvent::KeyRelease:
        case QEvent::ShortcutOverride:
        case QEvent::Shortcut:
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::MouseMove:
        case QEvent::Wheel:
        case QEvent::Close:
            return true;
        default:
            return QObject::eventFilter(watched, event);
        }
    }

private:
    QElapsedTimer iClock;
    bool iBusy = false;
    bool iCancelled = false;
};

// Marks the window as rebuilding for as long as it lives.
class TReplayingFlag
{
public:
    explicit TReplayingFlag(bool &flag) : iFlag(flag) { iFlag = true; }
    ~TReplayingFlag() { iFlag = false; }
    TReplayingFlag(const TReplayingFlag &) = delete;
    TReplayingFlag &operator=(const TReplayingFlag &) = delete;

private:
    bool &iFlag;
};
} // namespace

void TfrmKeloIDE::createTimeline()
{
    PnTimeline = new TTimelineBar(PnRight);
    static_cast<QVBoxLayout *>(PnRight->layout())->insertWidget(PnRight->layout()->indexOf(PnTools) + 1, PnTimeline);
    PnTimeline->hide();
    connect(PnTimeline, &TTimelineBar::momentChosen, this, &TfrmKeloIDE::GoToStep);
    // Any change of the text ends the run's timeline, also loading and "Neu".
    connect(MemoCode, &QsciScintilla::textChanged, this, &TfrmKeloIDE::EndTimeline);
    BtStepBack->setText(QStringLiteral("Zurück ") + AcStepBack->shortcut().toString(QKeySequence::PortableText));
    // Also when the narrow bar shows the icon alone.
    BtStepBack->setAccessibleName(AcStepBack->text());
}

// A sandbox without a world of its own cannot be put back to the start of a
// run, so its runs get no timeline.
void TfrmKeloIDE::BeginTimeline()
{
    std::any world = sandbox()->SaveWorld();
    timeline.reset();
    if (!world.has_value())
        return;
    timeline = std::make_unique<TRunTimeline>(MemoCode->Lines(), std::move(world));
    runStartErrors.clear();
    for (int i = 0; i < lBoxErrors->count(); ++i)
        runStartErrors.append({lBoxErrors->item(i)->text(), lBoxErrors->item(i)->data(Qt::UserRole).toInt()});
    breakMoments.clear();
    breakMomentsStale = false;
}

void TfrmKeloIDE::EndTimeline()
{
    if (!timeline)
        return;
    timeline.reset();
    breakMoments.clear();
    UpdateTimelineView();
}

void TfrmKeloIDE::noteLiveStep()
{
    if (!timeline)
        return;
    timeline->StepTaken();
    while (!breakMoments.isEmpty() && breakMoments.last() >= timeline->Position())
        breakMoments.removeLast();
}

void TfrmKeloIDE::noteLiveStop()
{
    if (timeline)
        timeline->Stopped();
}

void TfrmKeloIDE::noteBreakMoment()
{
    if (timeline && timeline->Position() > 0 && breakMoments.size() < MostTicks)
        breakMoments.append(timeline->Position());
}

void TfrmKeloIDE::markBreakMomentsStale()
{
    breakMomentsStale = true;
    if (timeline && PnTimeline->isVisibleTo(this))
        UpdateTimelineView();
}

bool TfrmKeloIDE::isBreakLine(int line) const { return debugPlugin->Breakpoints().isIn(line + 1); }

// Paused, at a breakpoint or after the end, nothing inside the program.
bool TfrmKeloIDE::canTravel() const { return timeline && !doRun && !iReplaying && programCallDepth == 0; }

void TfrmKeloIDE::UpdateTimelineView()
{
    const bool shown = timeline && !doRun;
    const bool back = shown && timeline->Position() > 0;
    AcStepBack->setEnabled(back);
    AcRunBack->setEnabled(back);
    PnTimeline->setVisible(shown);
    if (!shown)
        return;
    refreshBreakMoments();
    PnTimeline->setMoment(timeline->Position(), timeline->Length());
    PnTimeline->setBreakMoments(breakMoments);
}

// Finds the ticks again after the breakpoints changed, unless a rebuild or
// a step is in progress; then the next update does it.
void TfrmKeloIDE::refreshBreakMoments()
{
    if (!breakMomentsStale || !canTravel())
        return;
    breakMomentsStale = false;
    if (timeline->Length() > TickScanSteps)
        return;
    TRebuildWatch watch;
    const TReplayingFlag replaying(iReplaying);
    breakMoments = timeline->BreakMoments(
        *sandbox(), [this](int line) { return isBreakLine(line); }, MostTicks, [&watch] { return watch.keepGoing(); });
}

void TfrmKeloIDE::GoToStep(qint64 step)
{
    whenProgramIdle([this, step] { runCommand([this, step] { travelTo(step); }); });
}

void TfrmKeloIDE::AcStepBackExecute()
{
    whenProgramIdle([this] {
        runCommand([this] {
            if (canTravel())
                travelTo(timeline->Position() - 1);
        });
    });
}

void TfrmKeloIDE::AcRunBackExecute()
{
    whenProgramIdle([this] {
        runCommand([this] {
            if (!canTravel())
                return;
            qint64 found = -1;
            {
                TRebuildWatch watch;
                const TReplayingFlag replaying(iReplaying);
                found = timeline->LastBreakBefore(
                    *sandbox(), timeline->Position(), [this](int line) { return isBreakLine(line); },
                    [&watch] { return watch.keepGoing(); });
            }
            if (found >= 0)
                travelTo(found);
        });
    });
}

void TfrmKeloIDE::travelTo(qint64 step)
{
    if (!canTravel())
        return;
    TMoment moment;
    bool rebuilt = false;
    {
        TRebuildWatch watch;
        const TReplayingFlag replaying(iReplaying);
        rebuilt = timeline->Rebuild(*sandbox(), step, moment, [&watch] { return watch.keepGoing(); });
    }
    if (rebuilt)
        showMoment(moment);
    // Also after a cancel: the timeline shows the moment that stayed.
    UpdateRunActions();
}

// Shows a rebuilt moment as the live run showed it; the tab in front stays.
void TfrmKeloIDE::showMoment(TMoment &moment)
{
    myProgram = std::move(moment.Program);
    wireProgram();
    doRun = false;
    const int tab = PctrlMsg->currentIndex();
    clearMessageArea();
    for (const QString &message : moment.Messages)
        AddMessage(message);
    for (const auto &[text, line] : runStartErrors)
        AddError(text, line);
    for (const TRunErrorEntry &error : moment.Errors)
        ProgramCodeError(myProgram.get(), error.Line, error.Text);
    PctrlMsg->setCurrentIndex(tab);

    const bool running = IsRunning();
    if (!running && !myProgram->Return().isEmpty())
        sandbox()->setReturn(myProgram->Return());
    debugPlugin->setCurrentLine(running ? moment.Line + 1 : -1);
    UpdateCaretInfo();
    MemoCode->setReadOnly(running);
    UpdateEditActions();
    MemoCode->Invalidate();
    UpdateVariables();
    ReloadSandBox();
    SandboxRestored();
}
