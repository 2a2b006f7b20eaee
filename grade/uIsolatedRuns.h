#pragma once
// Runs a batch of graded runs, each in a child process of its own, so that a
// script that loops, eats memory or brings its process down costs the batch
// one row and nothing more.
#include "grade/uGradeRun.h"

#include <functional>

struct TIsolationLimits
{
    int Jobs = 1;
    // Processor time of one run. The wall clock only stops a run that has
    // stopped using the processor without ending.
    double TimeoutSeconds = 10;
    // Address space one run may add to what the program holds already.
    qint64 MemoryBytes = qint64(512) << 20;
};

// Carries out run(0) ... run(count - 1), at most Jobs at a time, and hands
// each result with its wall time to done as soon as its run has ended, so
// in the order the runs end. A child past its processor time is reported as
// "Zeitlimit", one that ran out of memory as "Speicherlimit", one that
// crashed as a run-time error naming the signal.
void RunIsolated(int count, const std::function<TGradeResult(int)> &run, const TIsolationLimits &limits,
                 const std::function<void(int index, TGradeResult &result)> &done);
