#pragma once
// The application's main window: the generic script IDE with the sheep's
// world in it — the lawn with the sheep, the score, the environment values,
// the six levels, the lawn editor and lawn files.
#include "ide/fKeloIDE.h"
#include "sheep/fLawnPanel.h"
#include "sheep/uTaskCheck.h"

#include <QPointer>

#include <array>
#include <memory>

class QDockWidget;
class QFrame;
class TfrmAbout;
class TfrmSplash;
class QListWidget;
class TSandboxSheep;
class TTaskPanel;

class TfrmGrazloIDE : public TfrmKeloIDE
{
    Q_OBJECT
public:
    explicit TfrmGrazloIDE(QWidget *parent = nullptr);
    ~TfrmGrazloIDE() override;

    TKeloSandBox *sandbox() override;
    void ReloadSandBox() override;
    QWidget *getSplash() override;
    QString getUpdateUrl() override;
    QString getVersion() override;
    void ShowAbout() override;

    bool InEdit() const { return PnGrid->InEdit(); }
    void setInEdit(bool value) { PnGrid->setInEdit(value); }
    TSandboxSheep &Sandbox() { return *sb; }

    std::unique_ptr<TSandboxSheep> sb;
    TLawnIcons ilGrazlo;

    QFrame *PnPoints = nullptr;
    QLabel *LPoints = nullptr;
    TLawnPanel *PnGrid = nullptr;
    QWidget *PnSystem = nullptr;
    QListWidget *ListBoxSystem = nullptr;
    QListWidget *LBoxSysVars = nullptr;
    QListWidget *lBoxSysVarNames = nullptr;

    QAction *AcGreenEdit = nullptr;
    std::array<QAction *, 6> AcLv{};
    QMenu *miLevels = nullptr;
    QAction *miEditGreen = nullptr;
    QAction *miLoadGreen = nullptr;

    // --- tasks (fGrazloIDETasks.cpp) ---
    QAction *AcOpenTask = nullptr;
    QAction *AcCheckTask = nullptr;
    QDockWidget *DockTask = nullptr;
    TTaskPanel *PnTask = nullptr;
    // Opens a task file: its German error in a message box when it has a
    // mistake; false then, or when the learner keeps unsaved changes.
    bool OpenTask(const QString &path);
    // The open task, or nullptr.
    const TTask *Task() const { return task.get(); }
    TTaskCheck &TaskCheck() { return *taskCheck; }
    // Loads world (from 0) of the open task into the lawn; the next runs
    // seed random with seed, as grazlo-run --seed does.
    void LoadTaskWorldRow(int world, quint32 seed);

protected:
    void FormCreate() override;
    QWidget *SandboxFocusWidget() override;
    // "Programm beendet. Punkte: 42".
    QString EndOfRunText() override;
    // A task (.gza) opens as a task, a lawn file (.glw) goes into the lawn,
    // anything else into the editor.
    void OpenCommandLineFile(const QString &path) override;
    // A dropped task opens as a task; other files as the editor takes them.
    void OpenDroppedFile(const QString &path) override;
    void SandboxRestored() override;
    QWidget *SidePanelFocusWidget() override;
    void RunStarting() override;
    void RunEnded(int errorLine, const QString &errorText) override;

private:
    void createSandbox();
    void createLawnView();
    void createSystemPanel();
    void createLawnMenu();
    void SandboxRefresh();
    // Rebuilds the environment values list from the sandbox.
    void UpdateSysVars();
    void showCell(int col, int row);
    void nameSystemPanel();

    void createTaskView();
    void createTaskActions();
    void AcOpenTaskExecute();
    void AcCheckTaskExecute();
    // Fills the editor for a newly opened task: the learner's script for it,
    // else its starter script as a new text.
    void openTaskScript(const QString &remembered);
    void forgetChecks();
    void taskRunEnded(const TTaskRun &run, const TRunFacts &facts);
    void taskCheckEnded();
    void putTaskWorld();
    void forgetTaskWorld();
    // Keeps the open task's memo; the learner's script is the file in the editor.
    void rememberTask(bool solved);
    void widenForTaskPanel();

    // Cleared when the window they point to is destroyed.
    QPointer<TfrmSplash> splash;
    QPointer<TfrmAbout> about;

    std::unique_ptr<TTask> task;
    std::unique_ptr<TTaskCheck> taskCheck;
    QList<TWorldCheck> worldChecks;
    bool taskSolved = false;
    // The task world in the lawn (-1 when the lawn is none) and its seed.
    int taskWorld = -1;
    quint32 taskSeed = 1;
    bool puttingTaskWorld = false;
};
