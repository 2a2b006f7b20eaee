#pragma once
// A task ("Aufgabe", *.gza): an exercise a teacher writes once, in the INI
// style of the settings files. It names a title and a description, one or
// more worlds, the goals a run must meet on each of them, how many seeds to
// try and the limits of each run. The same file drives the learner's check
// in the window and the grading of a class.
//
// Example:
//   [Aufgabe]
//   Titel=Der erste Schritt
//   Vorlage=vorlage.gzc
//   Musterloesung=muster/schritt.gzc
//   Startwerte=1
//   Schrittlimit=100000
//   Zeitlimit=5
//   [Text]
//   Das Schaf steht links oben. Mähe die erste Reihe.
//   [Welt1]
//   Level=1
//   [Welt2]
//   Rasen=reihe.glw
//   [Ziel]
//   Gemaeht=ja
//   Endfeld=9|0
//   Blickrichtung=Osten
//   MaxSchritte=150
//   Markierungen=keine
//   MinPunkte=900
// A world is a level (Level=1 to 6) or a lawn file (Rasen=...); files are
// named relative to the task file. Lines starting with ";" are comments,
// except in [Text], whose lines are the description as written. Marks may
// also be a list of cells ("Markierungen=1|2 3|4"); a heading is Norden,
// Osten, Süden (or Sueden) or Westen.
#include "sheep/uSheepRun.h"

#include <QJsonObject>
#include <QList>
#include <QPoint>
#include <QString>
#include <QStringList>

#include <optional>

// One world of a task: a built-in level (1 to 6) or a lawn file inside the
// task's folder.
struct TTaskWorld
{
    int Level = 0;
    // Absolute path; empty for a level.
    QString LawnFile;
    // "Level 3" or the lawn file's name relative to the task's folder.
    QString Label;
};

// The goals of a task; an absent goal is not checked. A run must always end
// without an error and within its limits.
struct TTaskGoals
{
    // Ends with no uncut grass left (zUncut = 0).
    bool AllMown = false;
    std::optional<QPoint> EndCell;
    std::optional<TDirection> EndHeading;
    // At most this many sheep steps (zSteps).
    std::optional<int> MaxSheepSteps;
    // Marks exactly on these cells; an empty list means no marks at all.
    std::optional<QList<QPoint>> Marks;
    // A final score of at least this much.
    std::optional<qint64> MinScore;

    bool Any() const { return AllMown || EndCell || EndHeading || MaxSheepSteps || Marks || MinScore; }
};

struct TTask
{
    // Default limits of one run: the grader's.
    static constexpr double DefaultTimeoutSeconds = 10;
    static constexpr quint32 MaxSeeds = 1000;

    // The task file, absolute.
    QString FilePath;
    QString Title;
    // The description's lines as written, blank lines kept.
    QStringList Description;
    QList<TTaskWorld> Worlds;
    TTaskGoals Goals;
    // Every world is tried with the seeds 1 to Seeds.
    quint32 Seeds = 1;
    // Program steps and processor seconds of one run.
    qint64 MaxSteps = DefaultMaxSteps;
    double TimeoutSeconds = DefaultTimeoutSeconds;
    // Absolute paths inside the task's folder; empty when the task has none.
    QString Starter;
    QString Reference;
};

// Reads a task file. On a mistake returns false with one German error that
// names the file, the line and what is wrong; unknown keys and sections only
// add a warning each. Files a task names must lie inside its own folder.
bool ReadTask(const QString &path, TTask &task, QString &error, QStringList &warnings);

// Loads a task world into a field; false with a German error naming the lawn
// file when it cannot be read.
bool LoadTaskWorld(const TTaskWorld &world, TField &field, QString &error);

// How a run ended and what it left behind, as far as the goals look at it.
struct TRunFacts
{
    enum TEnd { Finished, Error, StepLimit, TimeLimit, MemoryLimit, Unreadable };
    TEnd End = Finished;
    // The first error (Error, Unreadable); line 0 when not known.
    int ErrorLine = 0;
    QString ErrorText;
    qint64 Score = 0;
    int SheepSteps = 0;
    int Uncut = 0;
    TSheep Sheep;
    // The marked cells; unknown for lawns too large for the results.
    std::optional<QList<QPoint>> Marks;

    // From a row of ergebnis.json, or grazlo-run --json's output.
    static TRunFacts FromJson(const QJsonObject &row);
    // From a sandbox whose run has ended as end says.
    static TRunFacts FromSandbox(const TSandboxSheep &sandbox, TEnd end, int errorLine = 0,
                                 const QString &errorText = QString());
};

// Whether a run met every goal; Reason names the first goal it missed in
// plain German ("3 Felder ungemäht", "endet auf (4|5) statt (9|9)",
// "Schrittlimit erreicht", "Fehler in Zeile 7: ..."), empty when met.
struct TGoalVerdict
{
    bool Met = false;
    QString Reason;
};
TGoalVerdict CheckGoals(const TTaskGoals &goals, const TRunFacts &facts);

// The goals in plain German, one line each, in the order they are checked
// ("Mähe den ganzen Rasen", "Ende auf Feld (9|9)", "höchstens 150 Schritte"),
// the implied error-free end last.
QStringList GoalTexts(const TTaskGoals &goals);
