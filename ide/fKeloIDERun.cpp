// Run control and debugging of the IDE window: parsing, the run loop with its
// wait slices, single steps, pause and stop, the program's events, the message
// area, the variable view and the breakpoints.
//
// Re-entrancy: the run loop and the program's state event process pending
// user input, so any command may arrive while the program object is inside
// Run, Next or Finish. Such commands must neither re-enter the program nor free
// it: they are queued and carried out as soon as the program call returns.
#include "ide/fKeloIDE.h"

#include "base/uClock.h"
#include "editor/MemoCode.h"
#include "ide/uDialogs.h"
#include "ide/uKeloDebugSyneditPlugin.h"
#include "parser/uKeloParser.h"
#include "sandbox/uKeloSandbox.h"
#include "script/uKeloCode.h"

#include <QApplication>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QSlider>
#include <QTabWidget>

#include <new>

namespace {
// Steps are due in whole 50 ms slices; within a slice, input is looked at
// every 10 ms, so that Pause and Stop end a loop well within one slice.
constexpr int WaitSliceMs = 50;
constexpr int InputPollMs = 10;

void processMessages() { QApplication::processEvents(); }
} // namespace

// Counts a call into the program object for as long as it lasts, and carries
// out the commands that arrived meanwhile once the outermost call returns.
class TfrmKeloIDE::TProgramCall
{
public:
    explicit TProgramCall(TfrmKeloIDE &ide) : iIde(ide) { ++iIde.programCallDepth; }
    ~TProgramCall()
    {
        if (--iIde.programCallDepth == 0)
            iIde.runDeferred();
    }

private:
    TfrmKeloIDE &iIde;
};

bool TfrmKeloIDE::IsRunning() const { return myProgram && myProgram->State() == TProgramState::running; }

// Runs a command now, or once the program call in progress has returned.
void TfrmKeloIDE::whenProgramIdle(std::function<void()> command)
{
    if (programCallDepth > 0) {
        deferred.append(std::move(command));
        return;
    }
    command();
}

void TfrmKeloIDE::runDeferred()
{
    while (!deferred.isEmpty() && programCallDepth == 0)
        deferred.takeFirst()();
    if (closePending && programCallDepth == 0 && runLoopDepth == 0) {
        closePending = false;
        QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
    }
}

void TfrmKeloIDE::SetSpeed(int v)
{
    if (v < 0)
        v = 0;
    iDelay = (100 - v) * 10;
    v = qMin(v, TrackBar->maximum());
    if (v != TrackBar->value())
        setSpeedQuietly(v);
}

void TfrmKeloIDE::setSpeedQuietly(int position)
{
    const bool wasBlocked = TrackBar->blockSignals(true);
    TrackBar->setValue(position);
    TrackBar->blockSignals(wasBlocked);
}

void TfrmKeloIDE::TrackBarChange() { SetSpeed(TrackBar->value()); }

void TfrmKeloIDE::AcDelayMaxExecute() { SetSpeed(0); }

void TfrmKeloIDE::AcDelayMinExecute() { SetSpeed(100); }

void TfrmKeloIDE::UpdateRunActions()
{
    const bool running = IsRunning();
    AcStart->setEnabled(!(running && doRun));
    AcStop->setEnabled(running);
    AcPause->setEnabled(running && doRun);
    AcStep->setEnabled(!doRun);
    AcParse->setEnabled(!running);
    announceRunState();
    UpdateTimelineView();
}

void TfrmKeloIDE::CreateProgram()
{
    myProgram.reset();
    myProgram = std::make_unique<TProgram>();
    sandbox()->AddFunctions(myProgram.get());
    sandbox()->setOnMsg([this](const QString &msg) { SandboxMessage(msg); });
}

bool TfrmKeloIDE::ParseCode()
{
    if (IsRunning() || programCallDepth > 0)
        return false;
    EndTimeline();
    clearMessageArea();
    debugPlugin->setCurrentLine(-1);
    redMarkedLine = -1;

    CreateProgram();
    QList<int> lineNumbers;
    std::unique_ptr<TKeloMessageList> errors;
    std::unique_ptr<TKeloMessageList> warnings;
    const bool ok = parseScript(MemoCode->Lines(), myProgram.get(), errors, warnings, nullptr, &lineNumbers);
    debugPlugin->Executables().Clear();
    for (int line : lineNumbers)
        debugPlugin->Executables().Add(line + 1);
    UpdateCompletionList();
    if (!ok && errors)
        AddErrors(*errors);
    if (warnings)
        AddErrors(*warnings);
    announceParse(!ok && errors ? int(errors->size()) : 0, warnings ? int(warnings->size()) : 0);
    MemoCode->Invalidate();
    return ok;
}

void TfrmKeloIDE::clearMessageArea()
{
    PctrlMsg->setTabText(PctrlMsg->indexOf(tsErrors), QStringLiteral("Fehler"));
    lBoxErrors->clear();
    MemoLog->clear();
    logLineCount = 0;
    PctrlMsg->setTabText(PctrlMsg->indexOf(tsMsg), QStringLiteral("Meldungen"));
    PctrlMsg->setCurrentWidget(tsMsg);
}

void TfrmKeloIDE::AcParseExecute()
{
    whenProgramIdle([this] { runCommand([this] { ParseCode(); }); });
}

void TfrmKeloIDE::StartProgram()
{
    if (IsRunning() || !ParseCode())
        return;
    runErrorLine = 0;
    runErrorText.clear();
    runStopped = false;
    RunStarting();
    sandbox()->setStd();
    BeginTimeline();
    wireProgram();
    {
        TProgramCall call(*this);
        myProgram->Run();
    }
    UpdateVariables();
    ReloadSandBox();
    processMessages();
}

void TfrmKeloIDE::wireProgram()
{
    myProgram->setOnLineNumber([this](TProgram *p, int line) { ProgramLineNumber(p, line); });
    myProgram->setOnCodeError([this](TProgram *p, int line, const QString &msg) { ProgramCodeError(p, line, msg); });
    myProgram->setOnStateChanged([this](TProgram *p) { ProgramStateChanged(p); });
}

void TfrmKeloIDE::AcStartExecute()
{
    whenProgramIdle([this] {
        runCommand([this] {
            if (!IsRunning())
                StartProgram();
            doRun = true;
            UpdateRunActions();
            // A loop already on the stack carries on with the new request.
            if (runLoopDepth == 0)
                RunLoop();
        });
    });
}

// One step of the program, counted as a program call.
void TfrmKeloIDE::nextStep()
{
    TProgramCall call(*this);
    noteLiveStep();
    myProgram->Next();
}

void TfrmKeloIDE::RunLoop()
{
    ++runLoopDepth;
    struct Unwind
    {
        TfrmKeloIDE &ide;
        ~Unwind()
        {
            --ide.runLoopDepth;
            ide.runDeferred();
        }
    } unwind{*this};

    while (IsRunning() && doRun) {
        const qint64 due = Clock().nowMs() + iDelay;
        while (Clock().nowMs() < due && doRun)
            waitSlice();
        if (doRun && IsRunning())
            nextStep();
        if (iDelay > 0)
            UpdateVariables();
        ReloadSandBox();
        processMessages();
    }
    UpdateVariables();
    ReloadSandBox();
    UpdateRunActions();
    processMessages();
}

// Sleeps one slice, letting the user interface process its messages in
// between; returns early once the run is no longer wanted.
void TfrmKeloIDE::waitSlice()
{
    for (int waited = 0; waited < WaitSliceMs && doRun; waited += InputPollMs) {
        Clock().sleepMs(InputPollMs);
        processMessages();
    }
}

void TfrmKeloIDE::StepProgram()
{
    doRun = false;
    if (IsRunning())
        nextStep();
    else
        StartProgram();
    UpdateVariables();
    ReloadSandBox();
    UpdateRunActions();
    processMessages();
}

void TfrmKeloIDE::AcStepExecute()
{
    whenProgramIdle([this] { runCommand([this] { StepProgram(); }); });
}

// Runs a command that may parse or execute script statements. An arithmetic
// fault ends the command at once and is shown in an error box; the program
// stays running with the faulting statement next. Running out of memory ends
// the program, whose state is then unknown, and says so.
void TfrmKeloIDE::runCommand(const std::function<void()> &command)
{
    try {
        command();
    } catch (const TArithmeticFault &fault) {
        UpdateRunActions();
        Dialogs().message(this, TDlgKind::Error, windowTitle(), QString::fromUtf8(fault.what()));
    } catch (const std::bad_alloc &) {
        doRun = false;
        StopProgram();
        UpdateRunActions();
        Dialogs().message(this, TDlgKind::Error, windowTitle(),
                          QStringLiteral("Nicht genügend Arbeitsspeicher: der Befehl wurde abgebrochen."));
    }
}

void TfrmKeloIDE::PauseProgram()
{
    doRun = false;
    // At the highest speed the marker stood still during the run.
    if (IsRunning())
        markCurrentLine(nextLine);
    UpdateRunActions();
}

void TfrmKeloIDE::AcPauseExecute() { PauseProgram(); }

void TfrmKeloIDE::StopProgram()
{
    if (!IsRunning())
        return;
    runStopped = true;
    if (programCallDepth > 0) {
        // Inside the program: request the stop; the step in progress ends it.
        doRun = false;
        noteLiveStop();
        myProgram->stop();
        return;
    }
    noteLiveStop();
    myProgram->stop();
    {
        TProgramCall call(*this);
        myProgram->Finish();
    }
    UpdateVariables();
    ReloadSandBox();
    processMessages();
}

void TfrmKeloIDE::AcStopExecute() { StopProgram(); }

void TfrmKeloIDE::ProgramLineNumber(TProgram *, int line)
{
    const int editorLine = line + 1;
    nextLine = editorLine;
    TIdList &breakpoints = debugPlugin->Breakpoints();
    if (breakpoints.isIn(editorLine)) {
        doRun = false;
        selectBreakpointEntry(breakpoints.IndexOf(editorLine));
        PctrlMsg->setCurrentWidget(tsBreaks);
        pausedByBreakpoint = true;
        Announce(QStringLiteral("Haltepunkt in Zeile %1 erreicht").arg(editorLine));
        noteBreakMoment();
    }
    if (doRun && iDelay <= 0)
        return;
    markCurrentLine(editorLine);
}

void TfrmKeloIDE::markCurrentLine(int line)
{
    debugPlugin->setCurrentLine(line);
    UpdateCaretInfo();
}

void TfrmKeloIDE::ProgramCodeError(TProgram *, int line, const QString &msg)
{
    if (runErrorText.isEmpty()) {
        runErrorLine = line + 1;
        runErrorText = msg;
    }
    AddError(CodeErrorText(line, msg));
}

void TfrmKeloIDE::ProgramStateChanged(TProgram *sender)
{
    if (sender != myProgram.get())
        return;
    if (sender->State() == TProgramState::finished) {
        debugPlugin->setCurrentLine(-1);
        doRun = false;
        if (!sender->Return().isEmpty())
            sandbox()->setReturn(sender->Return());
        if (!runStopped)
            RunEnded(runErrorLine, runErrorText);
    }
    MemoCode->setReadOnly(IsRunning());
    UpdateEditActions(); // they depend on the read-only flag
    MemoCode->Invalidate();
    UpdateRunActions();
    processMessages();
}

void TfrmKeloIDE::SandboxMessage(const QString &msg) { AddMessage(msg); }

void TfrmKeloIDE::AddMessage(const QString &text)
{
    MemoLog->appendPlainText(text);
    logLineCount += static_cast<int>(text.count(QLatin1Char('\n'))) + 1;
    PctrlMsg->setCurrentWidget(tsMsg);
    PctrlMsg->setTabText(PctrlMsg->indexOf(tsMsg),
                         QStringLiteral("Meldungen (") + QString::number(logLineCount) + QStringLiteral(")"));
}

void TfrmKeloIDE::AddError(const QString &text, int line) { AddErrors({TKeloMessage{text, line}}); }

void TfrmKeloIDE::AddErrors(const QList<TKeloMessage> &entries)
{
    for (const TKeloMessage &entry : entries) {
        auto *item = new QListWidgetItem(entry.Text, lBoxErrors);
        item->setData(Qt::UserRole, entry.Line);
    }
    PctrlMsg->setCurrentWidget(tsErrors);
    PctrlMsg->setTabText(PctrlMsg->indexOf(tsErrors),
                         QStringLiteral("Fehler (") + QString::number(lBoxErrors->count()) + QStringLiteral(")"));
}

void TfrmKeloIDE::UpdateVariables()
{
    QStringList names;
    QStringList values;
    auto addScope = [&](const TCode &scope) {
        for (const auto &variable : scope.VarList()) {
            names.append(variable->Name());
            values.append(QStringLiteral("= ") + variable->Value());
        }
    };
    addScope(*myProgram);
    for (const auto &function : myProgram->FunctionList())
        addScope(*function);
    if (!IsRunning()) {
        names.append(QStringLiteral("Return"));
        values.append(QStringLiteral("= ") + myProgram->Return());
    }
    for (auto [box, texts] : {std::pair{lBoxCodeVarNames, &names}, std::pair{lBoxCodeVarValues, &values}}) {
        box->setUpdatesEnabled(false);
        box->clear();
        box->addItems(*texts);
        box->setUpdatesEnabled(true);
    }
    // Screen readers get each entry whole, "name = value", from the names list.
    for (int i = 0; i < lBoxCodeVarNames->count(); ++i)
        lBoxCodeVarNames->item(i)->setData(Qt::AccessibleTextRole, names[i] + QLatin1Char(' ') + values[i]);
    processMessages();
}

void TfrmKeloIDE::AcAddBreakExecute()
{
    debugPlugin->Breakpoints().Add(MemoCode->CaretY());
    UpdateBreakpointList();
}

void TfrmKeloIDE::AcRemoveBreakExecute()
{
    TIdList &breakpoints = debugPlugin->Breakpoints();
    const int selected = lBoxBreaks->currentRow();
    if (lBoxBreaks->hasFocus() && selected >= 0 && selected < breakpoints.Count())
        breakpoints.Delete(selected);
    else
        breakpoints.Remove(MemoCode->CaretY());
    UpdateBreakpointList();
}

void TfrmKeloIDE::MemoCodeGutterClick(int x, int line)
{
    if (x >= MemoCode->GutterWidth())
        return;
    ToggleBreakpoint(line);
}

void TfrmKeloIDE::ToggleBreakpoint(int line)
{
    TIdList &breakpoints = debugPlugin->Breakpoints();
    if (breakpoints.isIn(line))
        breakpoints.Remove(line);
    else
        breakpoints.Add(line);
    MemoCode->InvalidateGutterLine(line);
    UpdateBreakpointList();
}

void TfrmKeloIDE::lBoxBreaksDblClick()
{
    const TIdList &breakpoints = debugPlugin->Breakpoints();
    const int selected = lBoxBreaks->currentRow();
    if (selected < 0 || selected >= breakpoints.Count())
        return;
    markAndGoto(breakpoints.Items(selected));
}

void TfrmKeloIDE::lBoxErrorsDblClick()
{
    const QListWidgetItem *item = lBoxErrors->currentItem();
    if (!item)
        return;
    const int line = item->data(Qt::UserRole).toInt();
    if (line > 0)
        markAndGoto(line);
}

void TfrmKeloIDE::markAndGoto(int line)
{
    redMarkedLine = line;
    GotoLine(line);
    MemoCode->Invalidate();
}

void TfrmKeloIDE::UpdateBreakpointList()
{
    const TIdList &breakpoints = debugPlugin->Breakpoints();
    while (lBoxBreaks->count() < breakpoints.Count())
        lBoxBreaks->addItem(QString());
    while (lBoxBreaks->count() > breakpoints.Count())
        delete lBoxBreaks->takeItem(lBoxBreaks->count() - 1);
    for (int i = 0; i < breakpoints.Count(); ++i)
        lBoxBreaks->item(i)->setText(QString::asprintf("Zeile %d", breakpoints.Items(i)));
    const int tab = PctrlMsg->indexOf(tsBreaks);
    if (breakpoints.Count() == 0) {
        PctrlMsg->setTabText(tab, QStringLiteral("Haltepunkte"));
    } else {
        PctrlMsg->setTabText(tab, QString::asprintf("Haltepunkte (%d)", breakpoints.Count()));
        PctrlMsg->setCurrentWidget(tsBreaks);
    }
    MemoCode->Invalidate();
    markBreakMomentsStale();
}

void TfrmKeloIDE::BreakpointsShifted() { UpdateBreakpointList(); }

void TfrmKeloIDE::GotoLine(int line)
{
    if (line < 1 || MemoCode->CaretY() == line)
        return;
    MemoCode->setCaretXY(TBufferCoord{1, line});
}

void TfrmKeloIDE::MemoCodeSpecialLineColors(int line, bool &special, QColor &fg, QColor &bg)
{
    if (line != redMarkedLine)
        return;
    special = true;
    bg = QColor(255, 0, 0);
    fg = Qt::white;
}
