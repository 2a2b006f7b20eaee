#pragma once
// What a class is graded with: the worlds, the seeds, the limits of each run,
// the scripts and where the results go.
#include "grade/uIsolatedRuns.h"

#include <QList>
#include <QString>
#include <QStringList>

// One world asked for: a level (1 to 6) or a lawn file.
struct TWorldChoice
{
    int Level = 0;
    QString LawnFile;
};

struct TGradeSettings
{
    // A task file: its worlds come first, and its seeds and limits stand
    // unless given otherwise.
    QString TaskFile;
    // None (and no task): the empty 10 x 10 lawn.
    QList<TWorldChoice> Worlds;
    // Every run is repeated with the seeds 1 to Seeds.
    quint32 Seeds = 1;
    qint64 MaxSteps = DefaultMaxSteps;
    TIsolationLimits Limits;
    QString OutDir = QStringLiteral("bewertung");
    // The scripts and folders named.
    QStringList Inputs;
};
