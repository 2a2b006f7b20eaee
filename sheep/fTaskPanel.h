#pragma once
// The task panel beside the lawn: the task's title and description, its
// goals in plain German, one row per world with what the last check found,
// the "Aufgabe prüfen" button with its progress bar, and the goal check of
// the last run in the window.
#include <QWidget>

class QLabel;
class QListWidget;
class QProgressBar;
class QPushButton;
class QTimer;
struct TTask;

class TTaskPanel : public QWidget
{
    Q_OBJECT
public:
    // A check shorter than this shows no progress bar.
    static constexpr int ProgressDelayMs = 500;

    explicit TTaskPanel(QWidget *parent = nullptr);

    // Shows a newly opened task, one row per world; setWorldState fills in their states.
    void ShowTask(const TTask &task, bool solved, const QStringList &warnings);
    void setSolved(bool solved);
    // "Welt 1: Level 3 – geschafft".
    void setWorldState(int world, const QString &state);
    void CheckStarted(int runs);
    void CheckProgress(int finished);
    void CheckEnded();
    // The goal check of a run in the window, or an empty text to clear it.
    void ShowRunResult(const QString &text);

    QLabel *LTitle = nullptr;
    QLabel *LSolved = nullptr;
    QLabel *LText = nullptr;
    QLabel *LGoals = nullptr;
    QLabel *LWarnings = nullptr;
    QListWidget *ListWorlds = nullptr;
    QPushButton *BtCheck = nullptr;
    QProgressBar *Progress = nullptr;
    QLabel *LRun = nullptr;

signals:
    // A world row was clicked, or Enter pressed on it.
    void worldChosen(int world);
    void checkRequested();

private:
    void createWidgets();
    void nameWidgets();

    QStringList iWorldLabels;
    QTimer *iProgressDelay = nullptr;
};
