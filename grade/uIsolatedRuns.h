#pragma once
// Runs a batch of graded runs, each in a child process of its own, so that a
// script that loops, eats memory or brings its process down costs the batch
// one row and nothing more.
#include "grade/uGradeRun.h"

#include <functional>

struct TIsolationLimits
{
    int Jobs = 1;
    // Wall time of one run; its processor time is bounded a second above it.
    double TimeoutSeconds = 10;
    // Address space one run may add to what the program holds already.
    qint64 MemoryBytes = qint64(512) << 20;
};

// Carries out run(0) ... run(count - 1), at most Jobs at a time, and returns
// the results in that order, each with its wall time. A child past its time
// is killed and reported as "Zeitlimit", one that ran out of memory as
// "Speicherlimit", one that crashed as a run-time error naming the signal.
QList<TGradeResult> RunIsolated(int count, const std::function<TGradeResult(int)> &run, const TIsolationLimits &limits);
