#pragma once
// One graded run: a script against one world with one seed, carried out as
// grazlo-run carries it out, and everything a teacher wants to see of it.
#include "sheep/uSheepRun.h"

#include <QJsonObject>
#include <QList>
#include <QPoint>
#include <QStringList>

class TSheepPath;

// How a graded run ended; the texts are the statuses of the result files.
enum class TGradeStatus {
    Finished,
    SyntaxError,
    RuntimeError,
    ArithmeticFault,
    StepLimit,
    TimeLimit,
    MemoryLimit,
    Unreadable,
};

QString StatusText(TGradeStatus status);

// The worlds a class is graded on: a level, a lawn file or the empty lawn.
struct TGradeWorld
{
    QString Name;
    TField Lawn;
};

struct TGradeResult
{
    // Longest message kept, and how many messages a run keeps at most.
    static constexpr int MaxMessageChars = 2000;
    static constexpr int MaxMessages = 500;

    TGradeStatus Status = TGradeStatus::Finished;
    // False when the script never ran (syntax error, unreadable, killed):
    // then score and counters are unknown.
    bool Ran = false;
    qint64 Score = 0;
    int Steps = 0, Uncut = 0, Cut = 0;
    TRunError Error;
    qint64 Milliseconds = 0;
    QStringList Messages;
    QList<QPoint> Path;
    bool PathTruncated = false;
    // The lawn as the run left it (row texts) and the sheep on it.
    QStringList Lawn;
    TSheep Sheep;

    bool Solved() const { return Status == TGradeStatus::Finished && Ran && Uncut == 0; }
    // Adds a message, shortening long ones and counting those beyond the limit.
    void AddMessage(const QString &message);
    // Takes how the run ended, its first error, score, counters, way and
    // final lawn; the messages came through AddMessage.
    void TakeRun(TSheepRun &run, TRunResult outcome, const TSheepPath &path);

    // The row object of ergebnis.json without script, world and seed; also
    // the form in which a result crosses from the child process. Unknown
    // numbers and texts are null.
    QJsonObject ToJson() const;
    static TGradeResult FromJson(const QJsonObject &json);

private:
    int iDroppedMessages = 0;
};

// The row texts of a lawn; none for lawns too large to show.
QStringList LawnRows(const TField &field);

// A result without a run: the script could not be read, or the process
// running it was stopped by a limit.
TGradeResult ResultWithoutRun(TGradeStatus status, const QString &error);

// Runs the script in this process, seeded with seed, at most maxSteps steps.
// A run that ran out of memory throws std::bad_alloc, so that the isolation
// around it reports the memory limit.
TGradeResult RunGradeScript(const QStringList &script, const TGradeWorld &world, quint32 seed, qint64 maxSteps);
