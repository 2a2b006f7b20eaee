#pragma once
// A class's grading: the scripts found, the worlds, and one row per script,
// world and seed, in that order.
#include "grade/uGradeOptions.h"
#include "sheep/uTask.h"

#include <optional>

struct TGradeScript
{
    // The path as given, or relative to the folder that was named.
    QString Name;
    QString Path;
    // The named folder it was found in; empty for a script named itself.
    QString Folder;
    QStringList Lines;
    // Why the script could not be read; empty when it was read.
    QString ReadError;
    // The task's reference solution: graded like the pupils' scripts, shown
    // in the report only.
    bool Reference = false;
};

struct TGradeRow
{
    int Script = 0;
    int World = 0;
    quint32 Seed = 1;
    // Without messages, path and lawn once graded: those go to the result
    // files as each run ends, so a class of long runs fits in memory.
    TGradeResult Result;
    // The run as the report shows it, cut to the report's share (JSON).
    QByteArray Report;
    // Graded by a task: whether the run met its goals.
    std::optional<TGoalVerdict> Verdict{};

    // Every goal of the task met, or without a task the lawn mown.
    bool Solved() const { return Verdict ? Verdict->Met : Result.Solved(); }
};

struct TGradeBatch
{
    // The pupils' scripts, then the task's reference solution if any.
    QList<TGradeScript> Scripts;
    QList<TGradeWorld> Worlds;
    QList<TGradeRow> Rows;
    // Graded by a task: its goals decide what counts as solved.
    std::optional<TTask> Task;

    const TGradeScript &ScriptOf(const TGradeRow &row) const { return Scripts[row.Script]; }
    const TGradeWorld &WorldOf(const TGradeRow &row) const { return Worlds[row.World]; }
    // Any pupil's script could be read.
    bool AnyScriptRead() const;
    // The scripts before the reference solution, and their runs: the rows
    // before the reference solution's.
    qsizetype PupilCount() const;
    qsizetype PupilRunCount(quint32 seeds) const { return PupilCount() * Worlds.size() * seeds; }
};

// Every .gzc and .klc file named, and every one inside a named folder and its
// subfolders, sorted by name. Entries that are no regular files (broken
// links, devices) are listed too, so they show up as unreadable.
QList<TGradeScript> FindScripts(const QStringList &paths);
// Reads each script, or notes why it could not be read: it is no regular
// file, a link out of its folder (never opened) or no text.
void ReadScripts(QList<TGradeScript> &scripts);

// The empty 10 x 10 lawn, a level, or a lawn file (false with a German
// message when the file cannot be read).
TGradeWorld EmptyLawnWorld();
TGradeWorld LevelWorld(int level);
bool LawnFileWorld(const QString &path, TGradeWorld &world, QString &error);
// Labels for lawn files: the file name, or as much of the path as tells
// apart two files of the same name from different folders.
QStringList LawnLabels(const QStringList &paths);

// The task's reference solution as the last script, named by its path in the
// task's folder; a link out of that folder is never opened.
void AddReferenceScript(TGradeBatch &batch);

// Runs every script on every world with the seeds 1 to Seeds. Each row's
// whole result goes to graded as soon as it is known (in the order the runs
// end), the row already holding it and its verdict by the task's goals; then
// the row keeps only its numbers and texts.
void GradeAll(TGradeBatch &batch, const TGradeSettings &settings,
              const std::function<void(int rowIndex, const TGradeResult &whole)> &graded);
