// Tasks in the sheep window: opening a task file, the task panel beside the
// lawn, checking the editor's script in the background, loading a world with
// its seed, the goal check after a run in the window, and what is remembered
// of each task between sessions.
#include "sheep/fGrazloIDE.h"

#include "editor/MemoCode.h"
#include "ide/uDialogs.h"
#include "ide/uSourceFiles.h"
#include "ide/uWindowSettings.h"
#include "sheep/fTaskPanel.h"
#include "sheep/uSandboxSheep.h"
#include "sheep/uTaskMemory.h"

#include <QAction>
#include <QDockWidget>
#include <QFileInfo>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>

namespace {

const QString OpenTaskTitle = QStringLiteral("Aufgabe öffnen");

QMenu *menuTitled(QMenuBar *bar, const QString &title)
{
    for (QAction *action : bar->actions())
        if (action->menu() && action->text() == title)
            return action->menu();
    return nullptr;
}

// Puts action into menu right after the entry `after`.
void insertAfter(QMenu *menu, QAction *after, QAction *action)
{
    const QList<QAction *> entries = menu->actions();
    const qsizetype at = entries.indexOf(after);
    menu->insertAction(entries.value(at + 1), action);
}

QString taskMemoFile() { return TaskMemoFile(SettingsFileName()); }

} // namespace

void TfrmGrazloIDE::createTaskActions()
{
    AcOpenTask = new QAction(QStringLiteral("Aufgabe öffnen..."), this);
    AcOpenTask->setShortcut(Qt::CTRL | Qt::SHIFT | Qt::Key_O);
    AcOpenTask->setToolTip(OpenTaskTitle);
    AcOpenTask->setStatusTip(QStringLiteral("Öffnet eine Aufgabe (*.gza)"));
    AcCheckTask = new QAction(QStringLiteral("Aufgabe prüfen"), this);
    AcCheckTask->setShortcut(Qt::CTRL | Qt::Key_F9);
    AcCheckTask->setToolTip(QStringLiteral("Aufgabe prüfen"));
    AcCheckTask->setStatusTip(QStringLiteral("Prüft das Skript auf allen Welten der Aufgabe"));
    AcCheckTask->setEnabled(false);
    for (QAction *action : {AcOpenTask, AcCheckTask})
        addAction(action);
    connect(AcOpenTask, &QAction::triggered, this, &TfrmGrazloIDE::AcOpenTaskExecute);
    connect(AcCheckTask, &QAction::triggered, this, &TfrmGrazloIDE::AcCheckTaskExecute);
    insertAfter(menuTitled(menuBar(), QStringLiteral("&Datei")), AcLoadCode, AcOpenTask);
    insertAfter(menuTitled(menuBar(), QStringLiteral("&Programm")), AcParse, AcCheckTask);
}

void TfrmGrazloIDE::createTaskView()
{
    PnTask = new TTaskPanel;
    PnTask->setMinimumWidth(220);
    DockTask = new QDockWidget(QStringLiteral("Aufgabe"), this);
    DockTask->setObjectName(QStringLiteral("DockTask"));
    DockTask->setAccessibleName(QStringLiteral("Aufgabe"));
    // It stays beside the lawn while a task is open.
    DockTask->setFeatures(QDockWidget::NoDockWidgetFeatures);
    DockTask->setWidget(PnTask);
    addDockWidget(Qt::LeftDockWidgetArea, DockTask);
    DockTask->hide();

    taskCheck = std::make_unique<TTaskCheck>();
    connect(PnTask, &TTaskPanel::checkRequested, this, &TfrmGrazloIDE::AcCheckTaskExecute);
    connect(PnTask, &TTaskPanel::worldChosen, this,
            [this](int world) { LoadTaskWorldRow(world, worldChecks.value(world).SeedToShow()); });
    connect(taskCheck.get(), &TTaskCheck::runEnded, this, &TfrmGrazloIDE::taskRunEnded);
    connect(taskCheck.get(), &TTaskCheck::finished, this, &TfrmGrazloIDE::taskCheckEnded);
    connect(PnGrid, &TLawnPanel::lawnChanged, this, &TfrmGrazloIDE::forgetTaskWorld);
}

void TfrmGrazloIDE::AcOpenTaskExecute()
{
    const QString path =
        Dialogs().openFileName(this, OpenTaskTitle, QStringLiteral("Aufgaben"),
                               DialogFilter(QStringLiteral("Grazlo-Aufgabe (*.gza);;Alle Dateien (*)")));
    if (!path.isEmpty())
        OpenTask(path);
}

bool TfrmGrazloIDE::OpenTask(const QString &path)
{
    auto opened = std::make_unique<TTask>();
    QString error;
    QStringList warnings;
    if (!ReadTask(path, *opened, error, warnings)) {
        Dialogs().message(this, TDlgKind::Error, OpenTaskTitle, error);
        return false;
    }
    if (!CheckSaved())
        return false;
    rememberTask(taskSolved);
    taskCheck->Cancel();
    const TTaskMemo memo = RecallTask(taskMemoFile(), opened->FilePath);
    task = std::move(opened);
    taskSolved = memo.Solved;
    openTaskScript(memo.Script);
    PnTask->ShowTask(*task, taskSolved, warnings);
    forgetChecks();
    if (DockTask->isHidden())
        widenForTaskPanel();
    DockTask->show();
    AcCheckTask->setEnabled(true);
    LoadTaskWorldRow(0, 1);
    Announce(QStringLiteral("Aufgabe geöffnet: ") + task->Title);
    return true;
}

// A script that cannot be read is reported; the task opens all the same.
void TfrmGrazloIDE::openTaskScript(const QString &remembered)
{
    if (!remembered.isEmpty() && QFileInfo(remembered).isFile()) {
        ReadCodeFile(remembered);
        return;
    }
    // The starter is the learner's new text: saving it asks for a name of
    // their own instead of writing over the teacher's file.
    if (!task->Starter.isEmpty() && ReadCodeFile(task->Starter))
        SetCodeFileName(QString());
}

// The panel needs room of its own: the window grows, where the screen allows,
// until the rest of it has its designed width again. A window that kept its
// width from the last session does not grow a second time.
void TfrmGrazloIDE::widenForTaskPanel()
{
    if (isMaximized() || isFullScreen() || !screen())
        return;
    constexpr int DesignedClientWidth = 943;
    const int room = screen()->availableGeometry().width() - (frameGeometry().width() - width());
    const int wanted = std::max(width(), DesignedClientWidth + PnTask->sizeHint().width());
    resize(std::min(wanted, room), height());
}

void TfrmGrazloIDE::LoadTaskWorldRow(int world, quint32 seed)
{
    if (!task || world < 0 || world >= task->Worlds.size())
        return;
    // A run still on its way keeps its lawn: the learner chooses again once it stopped.
    StopProgram();
    if (IsRunning())
        return;
    setInEdit(false);
    taskWorld = world;
    taskSeed = seed;
    putTaskWorld();
    PnTask->ListWorlds->setCurrentRow(world);
    QString loaded = QStringLiteral("Welt %1 geladen").arg(world + 1);
    if (task->Seeds > 1)
        loaded += QStringLiteral(", Startwert %1").arg(seed);
    Announce(loaded);
}

// The world as a run of grazlo-run starts on it: the sheep off the lawn,
// facing south, no steps or marks.
void TfrmGrazloIDE::putTaskWorld()
{
    TField field;
    QString error;
    if (!LoadTaskWorld(task->Worlds[taskWorld], field, error)) {
        taskWorld = -1;
        Dialogs().message(this, TDlgKind::Error, OpenTaskTitle, error);
        return;
    }
    TSandboxSheep fresh;
    fresh.Field() = field;
    puttingTaskWorld = true;
    sb->RestoreWorld(fresh.SaveWorld());
    PnGrid->FollowLawnSize();
    PnGrid->RepaintLawn();
    puttingTaskWorld = false;
}

// Another lawn or an edit leaves the task world behind.
void TfrmGrazloIDE::forgetTaskWorld()
{
    if (!puttingTaskWorld)
        taskWorld = -1;
}

void TfrmGrazloIDE::RunStarting()
{
    if (!task || taskWorld < 0)
        return;
    putTaskWorld();
    SeedRandom(taskSeed);
    PnTask->ShowRunResult(QString());
}

void TfrmGrazloIDE::RunEnded(int errorLine, const QString &errorText)
{
    if (!task || taskWorld < 0)
        return;
    const TRunFacts facts =
        TRunFacts::FromSandbox(*sb, errorText.isEmpty() ? TRunFacts::Finished : TRunFacts::Error, errorLine, errorText);
    const TGoalVerdict verdict = CheckGoals(task->Goals, facts);
    QString world = QStringLiteral("Welt %1").arg(taskWorld + 1);
    if (task->Seeds > 1)
        world += QStringLiteral(" mit Startwert %1").arg(taskSeed);
    PnTask->ShowRunResult(QStringLiteral("Letzter Lauf auf %1: %2")
                              .arg(world, verdict.Met ? QStringLiteral("geschafft")
                                                      : QStringLiteral("nicht geschafft: ") + verdict.Reason));
    rememberTask(taskSolved);
}

void TfrmGrazloIDE::AcCheckTaskExecute()
{
    if (!task)
        return;
    rememberTask(taskSolved);
    for (int world = 0; world < worldChecks.size(); ++world) {
        worldChecks[world].Begin();
        PnTask->setWorldState(world, worldChecks[world].StateText());
    }
    const bool withReference =
        std::any_of(worldChecks.begin(), worldChecks.end(), [](const TWorldCheck &w) { return w.NeedsReference(); });
    QString error;
    if (!taskCheck->Start(*task, MemoCode->Lines(), withReference, error)) {
        forgetChecks();
        Dialogs().message(this, TDlgKind::Error, QStringLiteral("Aufgabe prüfen"), error);
        return;
    }
    // The rows now speak for the script; the last run may have been another's.
    PnTask->ShowRunResult(QString());
    PnTask->CheckStarted(taskCheck->RunCount());
    Announce(QStringLiteral("Aufgabe wird geprüft"));
}

// Every world not yet tried, as when the task was opened.
void TfrmGrazloIDE::forgetChecks()
{
    worldChecks.clear();
    for (qsizetype world = 0; world < task->Worlds.size(); ++world) {
        worldChecks.append(TWorldCheck(task->Seeds, !task->Reference.isEmpty()));
        PnTask->setWorldState(int(world), worldChecks.last().StateText());
    }
}

void TfrmGrazloIDE::taskRunEnded(const TTaskRun &run, const TRunFacts &facts)
{
    TWorldCheck &world = worldChecks[run.World];
    world.Note(run, facts, task->Goals);
    PnTask->setWorldState(run.World, world.StateText());
    PnTask->CheckProgress(taskCheck->RunsFinished());
}

void TfrmGrazloIDE::taskCheckEnded()
{
    PnTask->CheckEnded();
    const auto solvedWorlds =
        std::count_if(worldChecks.begin(), worldChecks.end(), [](const TWorldCheck &w) { return w.Solved(); });
    const bool solved = solvedWorlds == worldChecks.size();
    // Once solved, a task stays solved.
    taskSolved = taskSolved || solved;
    PnTask->setSolved(taskSolved);
    rememberTask(taskSolved);
    Announce(solved ? QStringLiteral("Aufgabe gelöst")
                    : QStringLiteral("Aufgabe nicht gelöst: %1 von %2 Welten geschafft")
                          .arg(solvedWorlds)
                          .arg(worldChecks.size()));
}

void TfrmGrazloIDE::rememberTask(bool solved)
{
    if (!task)
        return;
    TTaskMemo memo = RecallTask(taskMemoFile(), task->FilePath);
    memo.Solved = solved;
    if (!iCodeFileName.isEmpty())
        memo.Script = iCodeFileName;
    QString error;
    if (!RememberTask(taskMemoFile(), task->FilePath, memo, error))
        Announce(error);
}

QWidget *TfrmGrazloIDE::SidePanelFocusWidget() { return PnTask->ListWorlds; }
