#pragma once
// The generic script IDE window: editor, run control and debugger, message
// area, variable view, menus, tool bar and status bar. It knows no sandbox of
// its own: a derived window supplies the six open operations below.
//
// Life cycle, as seen by a derived window:
//   constructor   builds the widgets and actions only;
//   FormCreate()  the creation steps; a derived window's constructor creates its
//                 sandbox first and then calls FormCreate() (it is virtual, so a
//                 derived override runs, which must call the base one);
//   FormShow()    runs from the first showEvent (settings, placement);
//   FormActivate() runs from the first activation (splash, update check,
//                 command-line file);
//   FormClose()   runs from closeEvent; a run in progress is stopped first and
//                 the window closes once the run loop has unwound;
//   FormDestroy() writes the settings and frees plugin and program; a derived
//                 window's destructor calls it before freeing its sandbox.
#include <QColor>
#include <QMainWindow>
#include <QStringList>

#include "base/uTextFile.h"

#include <array>
#include <functional>
#include <memory>
#include <utility>

class QAction;
class QLabel;
class QListWidget;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QSlider;
class QSplitter;
class QTabWidget;
class QToolBar;
class QToolButton;

class TLiveText;
class TProgram;
class TKeloSandBox;
class TRunTimeline;
class TTimelineBar;
struct TMoment;
class TKeloDebugSyneditPlugin;
class TFrmKeloHelp;
class TMemoCode;
struct TMainSettings;
enum class TSynReplaceAction;
struct TKeloMessage;

// A file dialog's fixed settings (filter in the form of Qt's file dialogs);
// the derived window sets its own filter.
struct TFileDialogSpec
{
    QString filter;
    QString defaultExt;
    QString initialDir;
};

class TfrmKeloIDE : public QMainWindow
{
    Q_OBJECT

public:
    explicit TfrmKeloIDE(QWidget *parent = nullptr);
    ~TfrmKeloIDE() override;

    // --- the six open operations, supplied by the derived window ---
    virtual TKeloSandBox *sandbox() = 0;
    virtual void ReloadSandBox() = 0;
    // The splash control shown during start-up, or nullptr.
    virtual QWidget *getSplash() = 0;
    virtual QString getUpdateUrl() = 0;
    virtual QString getVersion() = 0;
    virtual void ShowAbout() = 0;

    // --- run control ---
    virtual void SetSpeed(int v);
    virtual void UpdateRunActions();
    bool IsRunning() const;
    void StopProgram();
    int delay() const { return iDelay; }

    // Shows a secondary window without making it modal; restores or raises it.
    static void ShowOrRaise(QWidget *window);

    // Status bar panel 0..5: 0 and 1 belong to the derived window, 2 reads
    // "Code", 3 caret line, 4 caret column, 5 file path.
    QString statusText(int panel) const;
    void setStatusText(int panel, const QString &text);

    TMemoCode *editor() const { return MemoCode; }
    TProgram *program() const { return myProgram.get(); }
    TKeloDebugSyneditPlugin *plugin() const { return debugPlugin.get(); }
    // A moment of the run is being rebuilt: the sandbox's world changes
    // without anything to be shown.
    bool isReplaying() const { return iReplaying; }

protected:
    // --- life cycle ---
    virtual void FormCreate();
    void FormShow();
    void FormActivate();
    // Returns false when the window must stay open.
    bool FormClose();
    void FormDestroy();

    void showEvent(QShowEvent *event) override;
    void changeEvent(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    // Keys the focused list or view left alone: Esc returns to the editor,
    // Enter in the error and breakpoint lists jumps to the entry's line.
    void keyPressEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

    // --- keyboard and screen-reader use (fKeloIDEKeys.cpp) ---
    // The sandbox view's widget in the focus cycle, or nullptr.
    virtual QWidget *SandboxFocusWidget();
    // A side panel's widget in the focus cycle, after the sandbox view, or nullptr.
    virtual QWidget *SidePanelFocusWidget();
    // Announced when a run ends; a derived window adds its result.
    virtual QString EndOfRunText();
    // Shows the text in the status bar and has screen readers announce it.
    void Announce(const QString &text);
    void AcToggleBreakExecute();
    void AcFocusNextExecute();
    void AcFocusPrevExecute();
    void AcContextMenuExecute();
    void AcMenuBarExecute();

    // --- view (this window) ---
    void UpdateCaretInfo();
    void AcCloseExecute();
    void AcFontPlusExecute();
    void AcFontMinusExecute();
    void AcAboutExecute();
    void miShowToolbarClick();
    void miShowProgrambarClick();
    void TrackBarChange();
    void MemoCodeClick();
    // Ctrl+wheel changes the font size; returns whether the wheel was handled.
    bool MemoCodeMouseWheel(int delta, Qt::KeyboardModifiers modifiers);
    // Enables the Edit and search actions for the focused control.
    void UpdateEditActions();

    // Sizes of the three resizable areas (settings read and write them).
    int panelLeftWidth() const;
    void setPanelLeftWidth(int width);
    int panelModuleHeight() const;
    void setPanelModuleHeight(int height);
    int panelMessagesHeight() const;
    void setPanelMessagesHeight(int height);

    // --- run control and debugging ---
    void CreateProgram();
    bool ParseCode();
    void StartProgram();
    void RunLoop();
    void StepProgram();
    void PauseProgram();
    // A run is about to start: the script is parsed, the sandbox not yet set
    // to its standard values; a derived window may set its world up.
    virtual void RunStarting() {}
    // A run has ended by itself, not by Stop: errorLine counts from 1 and is
    // 0 with an empty errorText when no run-time error occurred.
    virtual void RunEnded(int /*errorLine*/, const QString & /*errorText*/) {}
    void AcStartExecute();
    void AcStopExecute();
    void AcPauseExecute();
    void AcStepExecute();
    void AcParseExecute();
    void AcDelayMinExecute();
    void AcDelayMaxExecute();
    void ProgramLineNumber(TProgram *sender, int line);
    void ProgramCodeError(TProgram *sender, int line, const QString &msg);
    void ProgramStateChanged(TProgram *sender);
    void SandboxMessage(const QString &msg);
    void AddMessage(const QString &text);
    void AddError(const QString &text, int line = 0);
    // Each entry carries its editor line (0 = none), kept for the double-click.
    void AddErrors(const QList<TKeloMessage> &entries);
    void UpdateVariables();
    void AcAddBreakExecute();
    void AcRemoveBreakExecute();
    // x in gutter pixels, line counted from 1.
    void MemoCodeGutterClick(int x, int line);
    void lBoxErrorsDblClick();
    void lBoxBreaksDblClick();
    void UpdateBreakpointList();
    void BreakpointsShifted();
    void ToggleBreakpoint(int line);
    void GotoLine(int line);
    // Paints the error line white on red over the plugin's colours.
    void MemoCodeSpecialLineColors(int line, bool &special, QColor &fg, QColor &bg);

    // --- going back in a run (fKeloIDETimeline.cpp) ---
    void AcStepBackExecute();
    void AcRunBackExecute();
    // Shows the moment after `step` steps of the run on the timeline.
    void GoToStep(qint64 step);
    // Ends the timeline: the back commands wait for the next run.
    void EndTimeline();
    // After a moment was rebuilt, the sandbox's whole world may differ from
    // what its view shows.
    virtual void SandboxRestored() {}

    // --- implemented by the source-file (fKeloIDEFiles.cpp), settings
    // (fKeloIDESettings.cpp), search (fKeloIDESearch.cpp), completion
    // (uKeloCompletion.cpp), editor options (fKeloEditorOptions.cpp), help
    // (fKeloIDEView.cpp) and update (fKeloIDEStartup.cpp) units ---
    bool CheckSaved();
    bool IsCodeModified();
    static bool IsBlankText(const QStringList &lines);
    bool LoadCodeFile(const QString &path);
    // LoadCodeFile after the question about unsaved changes: reads the file
    // into the editor; false, with the error shown, when it cannot be read.
    bool ReadCodeFile(const QString &path);
    void SetCodeFileName(const QString &path);
    void AcNewExecute();
    void AcLoadCodeExecute();
    void AcSaveCodeExecute();
    void AcSaveCodeAsExecute();
    void AcDebugCodeExecute();
    void MemoCodeChange();
    void MemoCodeDropFiles(const QStringList &paths);
    // Last of the first activation: opens the first argument not starting
    // with "/" (an installed IDE finds it from the folder it was called in).
    void LoadCommandLineFile();
    // Opens the command-line file as a script; a derived window may take files
    // of its own kinds (the desktop opens those with the program too).
    virtual void OpenCommandLineFile(const QString &path);
    // Loads a file dropped onto the editor as a script; a derived window may
    // open files of its own kinds instead.
    virtual void OpenDroppedFile(const QString &path);
    void ReadSettings();
    // False when the settings could not be written (the rest of the
    // destruction sequence is then skipped).
    bool WriteSettings();
    void AcFindExecute();
    void AcFindNextExecute();
    void AcFindPrevExecute();
    void AcFindReplaceExecute();
    void AcFindNextUpdate();
    void AcFindReplaceUpdate();
    void UpdateCompletionList();
    void CloseParamHint();
    void AcEditorOptionsExecute();
    void AcHelpExecute();
    // The update check at first activation: sets isNewVersion.
    void SearchForUpdate();
    void ShowNewVersionNotice();

    // Source files: how a save ended (the save question goes on after a
    // cancelled save dialog but not after a failed write).
    enum class TSaveResult { Saved, DialogCancelled, Failed };
    TSaveResult SaveCode();
    TSaveResult SaveCodeAs();
    // Settings: the window's present values of section "main".
    TMainSettings CurrentSettings() const;
    // Search and replace.
    void OpenSearchDialog(bool replace);
    void RunSearch(bool replace, bool backwards);
    void findAgain(bool backwards);
    TSynReplaceAction MemoCodeReplaceText(const QString &search, const QString &replace, int line, int column);

    // --- fields ---
    bool isNewVersion = false;
    QStringList codebak;
    bool doRun = false;
    int redMarkedLine = -1;
    std::unique_ptr<TProgram> myProgram;
    QString iCodeFileName;
    // Encoding and line breaks of the loaded text, used for every later save.
    TTextFormat codeFormat;
    std::unique_ptr<TKeloDebugSyneditPlugin> debugPlugin;
    int iDelay = 0;
    bool firstshow = true;
    bool firstActivate = true;
    bool doSearch4Update = true;
    bool quickSearch = false;
    bool gbSearchBackwards = false;
    bool gbSearchCaseSensitive = false;
    bool gbSearchFromCaret = false;
    bool gbSearchSelectionOnly = false;
    bool gbSearchWholeWords = false;
    bool gbSearchRegex = false;
    QString gsSearchText;
    QString gsSearchTextHistory;
    QString gsReplaceText;
    QString gsReplaceTextHistory;

    TFileDialogSpec DlgOpenCode;
    TFileDialogSpec DlgSaveCode;

    // --- actions ---
    QAction *AcClose = nullptr;
    QAction *AcNew = nullptr;
    QAction *AcLoadCode = nullptr;
    QAction *AcSaveCodeAs = nullptr;
    QAction *AcSaveCode = nullptr;
    QAction *AcHelp = nullptr;
    QAction *AcAbout = nullptr;
    QAction *AcFontPlus = nullptr;
    QAction *AcFontMinus = nullptr;
    QAction *AcStart = nullptr;
    QAction *AcStop = nullptr;
    QAction *AcPause = nullptr;
    QAction *AcStep = nullptr;
    QAction *AcParse = nullptr;
    QAction *AcFind = nullptr;
    QAction *AcFindNext = nullptr;
    QAction *AcFindPrev = nullptr;
    QAction *AcFindReplace = nullptr;
    QAction *AcAddBreak = nullptr;
    QAction *AcRemoveBreak = nullptr;
    QAction *AcDebugCode = nullptr;
    QAction *AcDelayMin = nullptr;
    QAction *AcDelayMax = nullptr;
    QAction *AcCopy = nullptr;
    QAction *AcPaste = nullptr;
    QAction *AcCut = nullptr;
    QAction *AcSelectAll = nullptr;
    QAction *AcEditorOptions = nullptr;
    QAction *AcToggleBreak = nullptr;
    QAction *AcFocusNext = nullptr;
    QAction *AcFocusPrev = nullptr;
    QAction *AcContextMenu = nullptr;
    QAction *AcMenuBar = nullptr;
    QAction *miShowToolbar = nullptr;
    QAction *miShowProgrambar = nullptr;
    QAction *AcStepBack = nullptr;
    QAction *AcRunBack = nullptr;

    // --- menus and bars ---
    QMenu *PopupBreaks = nullptr;
    QToolBar *ToolBar = nullptr;
    QWidget *PnDelay = nullptr;
    QToolButton *BtDelayMax = nullptr;
    QSlider *TrackBar = nullptr;
    QToolButton *BtDelayMin = nullptr;
    std::array<QLabel *, 6> SBarPanels{};
    // Run states, parse results and breakpoint hits, for screen readers.
    TLiveText *LAnnounce = nullptr;

    // --- client area ---
    QSplitter *SplitterLeft = nullptr;     // PnLeft | PnRight
    QSplitter *SplitterModule = nullptr;   // PnModule over PnCodeVars (is PnLeft)
    QSplitter *SplitterMessages = nullptr; // MemoCode over PctrlMsg
    QWidget *PnClient = nullptr;
    QWidget *PnLeft = nullptr;
    // The derived window puts its sandbox view in here.
    QWidget *PnModule = nullptr;
    // A vertical box: a derived window may insert a panel above the two lists.
    QWidget *PnCodeVars = nullptr;
    QListWidget *lBoxCodeVarNames = nullptr;
    QListWidget *lBoxCodeVarValues = nullptr;
    QWidget *PnRight = nullptr;
    QWidget *PnTools = nullptr;
    QPushButton *BtStart = nullptr;
    QPushButton *BtStop = nullptr;
    QPushButton *BtPause = nullptr;
    QPushButton *BtStep = nullptr;
    QPushButton *BtStepBack = nullptr;
    QLabel *LGap = nullptr;
    QPushButton *BtCheck = nullptr;
    TMemoCode *MemoCode = nullptr;
    QTabWidget *PctrlMsg = nullptr;
    QWidget *tsMsg = nullptr;
    QWidget *tsErrors = nullptr;
    QWidget *tsBreaks = nullptr;
    QPlainTextEdit *MemoLog = nullptr;
    QListWidget *lBoxErrors = nullptr;
    QListWidget *lBoxBreaks = nullptr;
    // The timeline "Verlauf" under the program bar.
    TTimelineBar *PnTimeline = nullptr;

private:
    // The action table: one row per action, from which actions, menus, tool
    // bar and context menu are built.
    struct TActionRow;
    enum class TActionBar;
    static QList<TActionRow> ActionTable();
    // Adds the actions placed in bar, in their order, a separator between groups.
    void addPlacedActions(QWidget *bar, TActionBar which);
    void createActions();
    void createMenus();
    void createToolBars();
    void createStatusBar();
    void createClientArea();
    void createProgramBar();
    void createMessageArea();
    void connectEditor();
    void setSpeedQuietly(int position);
    void createKeyboardAccess();
    void nameControls();
    QList<QWidget *> focusStops() const;
    void cycleFocus(int step);
    void announceRunState();
    void announceParse(int errors, int warnings);
    void selectBreakpointEntry(int index);

    enum class TEditCommand { Copy, Paste, Cut, SelectAll };
    void editFocused(TEditCommand command);
    int editorFontSize() const;
    void setEditorFontSize(int points);

    class TProgramCall;
    void whenProgramIdle(std::function<void()> command);
    void runDeferred();
    void runCommand(const std::function<void()> &command);
    void nextStep();
    void waitSlice();
    void markAndGoto(int line);
    // Sets the current-line marker (and so the caret) to an editor line.
    void markCurrentLine(int line);
    void wireProgram();
    // Step 2 of ParseCode: an empty message area.
    void clearMessageArea();

    void createTimeline();
    // A run starts from the world as it is now (after setStd).
    void BeginTimeline();
    void noteLiveStep();
    void noteLiveStop();
    void noteBreakMoment();
    void markBreakMomentsStale();
    void UpdateTimelineView();
    void refreshBreakMoments();
    bool canTravel() const;
    void travelTo(qint64 step);
    void showMoment(TMoment &moment);
    // The lines of the moment's program (from 0) that hold a breakpoint now.
    bool isBreakLine(int line) const;

    // Calls into myProgram on the stack (Run, Next, Finish): while one is in
    // progress the program is neither re-entered nor freed.
    int programCallDepth = 0;
    int runLoopDepth = 0;
    // Editor line of the statement that runs next, as last published.
    int nextLine = 0;
    QList<std::function<void()>> deferred;
    // Closing was asked for while a run was on the stack: close once it unwinds.
    bool closePending = false;
    int logLineCount = 0;
    // The run state last announced, and whether a breakpoint paused the run.
    enum class TRunState { Idle, Running, Paused };
    TRunState announcedRunState = TRunState::Idle;
    bool pausedByBreakpoint = false;
    TFrmKeloHelp *frmHelp = nullptr;
    bool formCreated = false;
    bool formDestroyed = false;

    // The run shown, as far as it can be gone back in; none before the
    // first run and after the script or the world was changed.
    std::unique_ptr<TRunTimeline> timeline;
    // The error list's entries at the start of the run (parse warnings):
    // text and editor line.
    QList<std::pair<QString, int>> runStartErrors;
    // The moments at which a breakpoint line was reached, for the ticks.
    QList<qint64> breakMoments;
    bool breakMomentsStale = false;
    bool iReplaying = false;
    // The first run-time error of the run in progress (line from 1), and
    // whether Stop ended it.
    int runErrorLine = 0;
    QString runErrorText;
    bool runStopped = false;
};
