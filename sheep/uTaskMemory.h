#pragma once
// What the window remembers of each task between sessions: whether the
// learner has solved it and which script they worked on. It lives in a file
// of its own in the settings folder, never beside the task.
#include <QString>

struct TTaskMemo
{
    bool Solved = false;
    // The learner's script for the task; empty when none is known.
    QString Script;
};

// The file beside the settings file that holds every task's memo.
QString TaskMemoFile(const QString &settingsFile);

// The memo of a task file; an empty one when nothing is remembered.
TTaskMemo RecallTask(const QString &memoFile, const QString &taskFile);

// Keeps the memo of a task file; false with a German error when the file
// cannot be written.
bool RememberTask(const QString &memoFile, const QString &taskFile, const TTaskMemo &memo, QString &error);
