#pragma once
// A class's grading: the scripts found, the worlds, and one row per script,
// world and seed, in that order.
#include "grade/uGradeOptions.h"

struct TGradeScript
{
    // The path as given, or relative to the folder that was named.
    QString Name;
    QString Path;
    QStringList Lines;
    // Why the script could not be read; empty when it was read.
    QString ReadError;
};

struct TGradeRow
{
    int Script = 0;
    int World = 0;
    quint32 Seed = 1;
    TGradeResult Result;
};

struct TGradeBatch
{
    QList<TGradeScript> Scripts;
    QList<TGradeWorld> Worlds;
    QList<TGradeRow> Rows;

    const TGradeScript &ScriptOf(const TGradeRow &row) const { return Scripts[row.Script]; }
    const TGradeWorld &WorldOf(const TGradeRow &row) const { return Worlds[row.World]; }
    bool AnyScriptRead() const;
};

// Every .gzc and .klc file named, and every one inside a named folder and its
// subfolders, sorted by name. Entries that are no regular files (broken
// links, devices) are listed too, so they show up as unreadable.
QList<TGradeScript> FindScripts(const QStringList &paths);
// Reads each script, or notes why it could not be read.
void ReadScripts(QList<TGradeScript> &scripts);

// The empty 10 x 10 lawn, a level, or a lawn file (false with a German
// message when the file cannot be read).
TGradeWorld EmptyLawnWorld();
TGradeWorld LevelWorld(int level);
bool LawnFileWorld(const QString &path, TGradeWorld &world, QString &error);

// Runs every script on every world with the seeds 1 to Seeds.
void GradeAll(TGradeBatch &batch, const TGradeSettings &settings);
