// The IDE window's life cycle (creation, first show, first activation, close,
// destruction), its editor wiring and its view commands: caret panels, font
// size, bars, secondary windows and the Edit actions.
#include "ide/fKeloIDE.h"

#include "base/uClock.h"
#include "base/uRuntimeFolders.h"
#include "editor/MemoCode.h"
#include "editor/SynGeneralSyn.h"
#include "ide/uGutterImages.h"
#include "ide/uKeloDebugSyneditPlugin.h"
#include "sandbox/fKeloHelp.h"
#include "script/uKeloCode.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextEdit>
#include <QToolBar>
#include <QWheelEvent>

namespace {
constexpr int SplashMinimumMs = 1200;
constexpr int WaitSliceMs = 50;

const char *const KeyWords = "IF,ELSE,ELSEIF,ENDIF,WHILE,ENDWHILE,FUNCTION,ENDFUNCTION,DIV,OR,AND,NOT,REF";
const char *const TypeWords[] = {"void", "bool", "int", "float", "string", "tile", "dir"};

// The editor's font size in points, also for a font given in pixels.
int pointSizeOf(const QFont &font) { return font.pointSize() > 0 ? font.pointSize() : QFontInfo(font).pointSize(); }
} // namespace

void TfrmKeloIDE::connectEditor()
{
    MemoCode->setOnSpecialLineColors(
        [this](int line, bool &special, QColor &fg, QColor &bg) { MemoCodeSpecialLineColors(line, special, fg, bg); });
    MemoCode->setOnGutterClick([this](Qt::MouseButton, int x, int, int line) { MemoCodeGutterClick(x, line); });
    MemoCode->setOnChange([this] { MemoCodeChange(); });
    MemoCode->setOnClick([this] { MemoCodeClick(); });
    MemoCode->setOnDropFiles([this](const QStringList &files) { MemoCodeDropFiles(files); });
    auto caretInfo = [this](auto *) { UpdateCaretInfo(); };
    MemoCode->setOnKeyDown(caretInfo);
    MemoCode->setOnKeyPress(caretInfo);
    MemoCode->setOnKeyUp(caretInfo);
    MemoCode->setOnMouseDown(caretInfo);
    MemoCode->setOnMouseUp(caretInfo);
    MemoCode->setOnMouseWheel(
        [this](QWheelEvent *event) { return MemoCodeMouseWheel(event->angleDelta().y(), event->modifiers()); });
    connect(MemoCode, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &pos) { PopupBreaks->popup(MemoCode->mapToGlobal(pos)); });

    // The editor's own key bindings must not swallow the window's shortcuts.
    for (const QAction *action : actions())
        for (const QKeySequence &keys : action->shortcuts())
            MemoCode->FreeKey(keys[0].toCombined());

    connect(qApp, &QApplication::focusChanged, this, &TfrmKeloIDE::UpdateEditActions);
    connect(QApplication::clipboard(), &QClipboard::dataChanged, this, &TfrmKeloIDE::UpdateEditActions);
    connect(MemoCode, &QsciScintilla::selectionChanged, this, &TfrmKeloIDE::UpdateEditActions);
    UpdateEditActions();
}

void TfrmKeloIDE::FormCreate()
{
    if (formCreated)
        return;
    formCreated = true;
    firstshow = true;
    firstActivate = true;
    doSearch4Update = true;
    isNewVersion = false;

    QStringList words = QString::fromLatin1(KeyWords).split(QLatin1Char(','));
    for (const char *type : TypeWords)
        words.append(QString::fromLatin1(type));
    MemoCode->Highlighter()->setKeyWords(words);

    DlgOpenCode.initialDir = RuntimeFolders().WorkingFolder + QStringLiteral("/Code");

    codebak.clear();
    myProgram.reset();
    CreateProgram();
    MemoCode->ClearAll();
    MemoCode->SetSavePoint();
    UpdateCompletionList();

    for (auto [button, action] : {std::pair{BtStart, AcStart}, std::pair{BtStop, AcStop}, std::pair{BtStep, AcStep},
                                  std::pair{BtCheck, AcParse}, std::pair{BtPause, AcPause}})
        button->setText(action->text() + QLatin1Char(' ') + action->shortcut().toString(QKeySequence::NativeText));

    debugPlugin = std::make_unique<TKeloDebugSyneditPlugin>(MemoCode);
    debugPlugin->setImages(&GutterImages());
    debugPlugin->setBreakPointsChanged([this] { BreakpointsShifted(); });
}

void TfrmKeloIDE::FormShow()
{
    if (firstshow)
        ReadSettings();
    firstshow = false;
}

void TfrmKeloIDE::FormActivate()
{
    if (!firstActivate)
        return;
    // Cleared first: the waiting below processes messages, which may activate
    // the window again.
    firstActivate = false;

    QWidget *splash = getSplash();
    QWidget *splashParent = splash ? splash->parentWidget() : nullptr;
    if (splash) {
        splash->setParent(this);
        // Placed before it shows: moving a shown widget copies the old area's pixels along.
        splash->move((width() - splash->width()) / 2, (height() - splash->height()) / 3);
        splash->show();
        splash->raise();
        // The update request below blocks; a paint merely scheduled would come after it.
        splash->repaint();
    }
    QGuiApplication::sync();
    const qint64 splashEnd = Clock().nowMs() + SplashMinimumMs;
    if (doSearch4Update)
        SearchForUpdate();
    while (Clock().nowMs() < splashEnd) {
        Clock().sleepMs(WaitSliceMs);
        QApplication::processEvents();
    }
    if (splash) {
        splash->hide();
        splash->setParent(splashParent);
    }
    if (isNewVersion)
        ShowNewVersionNotice();
    LoadCommandLineFile();
}

bool TfrmKeloIDE::FormClose() { return CheckSaved(); }

void TfrmKeloIDE::FormDestroy()
{
    if (formDestroyed || !formCreated)
        return;
    formDestroyed = true;
    if (!WriteSettings())
        return;
    debugPlugin.reset();
    codebak.clear();
    myProgram.reset();
}

void TfrmKeloIDE::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TfrmKeloIDE::changeEvent(QEvent *event)
{
    QMainWindow::changeEvent(event);
    // Carried out from the event loop, not inside the activation event.
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && firstActivate)
        QMetaObject::invokeMethod(this, &TfrmKeloIDE::FormActivate, Qt::QueuedConnection);
}

void TfrmKeloIDE::closeEvent(QCloseEvent *event)
{
    if (runLoopDepth > 0 || programCallDepth > 0) {
        // Never close under a running loop: stop, let it unwind, close then.
        closePending = true;
        doRun = false;
        StopProgram();
        event->ignore();
        return;
    }
    if (FormClose())
        event->accept();
    else
        event->ignore();
}

void TfrmKeloIDE::AcCloseExecute() { close(); }

void TfrmKeloIDE::UpdateCaretInfo()
{
    redMarkedLine = -1;
    const TBufferCoord caret = MemoCode->CaretXY();
    if (caret.Char <= 0 || caret.Line <= 0) {
        setStatusText(3, QString());
        setStatusText(4, QString());
        return;
    }
    setStatusText(3, QString::asprintf("Zeile %6d", caret.Line));
    setStatusText(4, QString::asprintf("Spalte %3d ", caret.Char));
}

void TfrmKeloIDE::setEditorFontSize(int points)
{
    QFont font = MemoCode->codeFont();
    font.setPointSize(points);
    MemoCode->setCodeFont(font);
    QFont gutter = MemoCode->gutterFont();
    gutter.setPointSize(points);
    MemoCode->setGutterFont(gutter);
}

int TfrmKeloIDE::editorFontSize() const { return pointSizeOf(MemoCode->codeFont()); }

void TfrmKeloIDE::AcFontPlusExecute() { setEditorFontSize(editorFontSize() + 1); }

void TfrmKeloIDE::AcFontMinusExecute()
{
    const int size = editorFontSize();
    if (size < 2)
        return;
    setEditorFontSize(size - 1);
}

bool TfrmKeloIDE::MemoCodeMouseWheel(int delta, Qt::KeyboardModifiers modifiers)
{
    if (!(modifiers & Qt::ControlModifier) || delta == 0)
        return false;
    if (delta < 0)
        AcFontMinusExecute();
    else
        AcFontPlusExecute();
    return true;
}

void TfrmKeloIDE::miShowToolbarClick() { ToolBar->setVisible(miShowToolbar->isChecked()); }

void TfrmKeloIDE::miShowProgrambarClick() { PnTools->setVisible(miShowProgrambar->isChecked()); }

void TfrmKeloIDE::MemoCodeClick()
{
    UpdateCaretInfo();
    CloseParamHint();
}

void TfrmKeloIDE::AcAboutExecute() { ShowAbout(); }

void TfrmKeloIDE::AcHelpExecute()
{
    if (!frmHelp) {
        frmHelp = new TFrmKeloHelp(this);
        frmHelp->setWindowFlag(Qt::Window);
        frmHelp->Load(*sandbox());
    }
    ShowOrRaise(frmHelp);
}

void TfrmKeloIDE::ShowOrRaise(QWidget *window)
{
    if (!window)
        return;
    if (window->isMinimized())
        window->showNormal();
    // Shown or raised, the window takes the keyboard: Esc and Tab belong to it, not to the editor behind.
    window->show();
    window->raise();
    window->activateWindow();
}

// ---------------------------------------------------------------- Edit actions

namespace {
// The text control with the focus, as far as the Edit actions can act on it.
struct TFocusedText
{
    QsciScintilla *sci = nullptr;
    QLineEdit *line = nullptr;
    QPlainTextEdit *plain = nullptr;
    QTextEdit *rich = nullptr;

    static TFocusedText of(QWidget *w)
    {
        TFocusedText t;
        for (; w && !t.any(); w = w->parentWidget()) {
            t.sci = qobject_cast<QsciScintilla *>(w);
            t.line = qobject_cast<QLineEdit *>(w);
            t.plain = qobject_cast<QPlainTextEdit *>(w);
            t.rich = qobject_cast<QTextEdit *>(w);
        }
        return t;
    }
    bool any() const { return sci || line || plain || rich; }
    bool hasSelection() const
    {
        if (sci)
            return sci->hasSelectedText();
        if (line)
            return line->hasSelectedText();
        if (plain)
            return plain->textCursor().hasSelection();
        return rich && rich->textCursor().hasSelection();
    }
    bool readOnly() const
    {
        if (sci)
            return sci->isReadOnly();
        if (line)
            return line->isReadOnly();
        if (plain)
            return plain->isReadOnly();
        return !rich || rich->isReadOnly();
    }
};
} // namespace

void TfrmKeloIDE::editFocused(TEditCommand command)
{
    const TFocusedText t = TFocusedText::of(QApplication::focusWidget());
    auto apply = [command](auto *w) {
        switch (command) {
        case TEditCommand::Copy:
            w->copy();
            break;
        case TEditCommand::Paste:
            w->paste();
            break;
        case TEditCommand::Cut:
            w->cut();
            break;
        case TEditCommand::SelectAll:
            w->selectAll();
            break;
        }
    };
    if (t.sci)
        apply(t.sci);
    else if (t.line)
        apply(t.line);
    else if (t.plain)
        apply(t.plain);
    else if (t.rich)
        apply(t.rich);
    UpdateEditActions();
}

void TfrmKeloIDE::UpdateEditActions()
{
    const TFocusedText t = TFocusedText::of(QApplication::focusWidget());
    const bool clipboardText = !QApplication::clipboard()->text().isEmpty();
    AcCopy->setEnabled(t.any() && t.hasSelection());
    AcCut->setEnabled(t.any() && t.hasSelection() && !t.readOnly());
    AcPaste->setEnabled(t.any() && !t.readOnly() && clipboardText);
    AcSelectAll->setEnabled(t.any());
    AcFindNextUpdate();
    AcFindReplaceUpdate();
}
