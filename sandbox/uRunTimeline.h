#pragma once
// Going back in a run by running it again. A run is a pure function of its
// start: the script text and the sandbox's world at Start (for the sheep: the
// lawn, the sheep, its counters and the state of the generator behind
// random). The moment after k steps is rebuilt by putting that world back,
// building the program anew from the same text and executing k steps without
// delay, painting or dialogs. Nothing per step is kept, so memory stays the
// same however long the run. One step is one Next of the program, also a Next
// that ended in an arithmetic fault.
#include "sandbox/uKeloSandbox.h"

#include <any>
#include <functional>
#include <memory>

// A run-time error as the program reported it; Line counts from 0.
struct TRunErrorEntry
{
    int Line = -1;
    QString Text;
};

// A rebuilt moment: the program, ready to go on from there, and what it
// reported on its way, in order, as the window would have received it.
struct TMoment
{
    std::unique_ptr<TProgram> Program;
    QStringList Messages;
    QList<TRunErrorEntry> Errors;
    // The line announced last (from 0): the line the next step executes; -1
    // after the last statement.
    int Line = -1;
};

class TRunTimeline
{
public:
    // Asked every few thousand steps of a rebuild; false cancels it.
    using TKeepGoing = std::function<bool()>;
    // Whether an announced program line (from 0) holds a breakpoint.
    using TIsBreak = std::function<bool(int line)>;
    // Rebuilds execute steps in rounds of this many between two questions.
    static constexpr qint64 StepsPerQuestion = 1 << 16;

    // A timeline at the start of a run, from the sandbox's world as the run
    // starts (SaveWorld after setStd). Only a sandbox that keeps a world can
    // have its runs repeated: without one the host offers no timeline.
    TRunTimeline(const QStringList &script, std::any start);

    const QStringList &Script() const { return iScript; }
    // The moment shown: the number of steps executed to reach it.
    qint64 Position() const { return iPosition; }
    // The number of steps in the run so far.
    qint64 Length() const { return iLength; }
    bool EndsWithStop() const { return iStoppedAtEnd; }

    // The live program took a step from the moment shown: the steps after
    // that moment are replaced by what the continued run does.
    void StepTaken();
    // The live program was stopped at the moment shown; the same applies.
    void Stopped();

    // Rebuilds the moment after `steps` steps (clamped to 0..Length) on sb
    // and makes it the moment shown. A rebuild of the last moment of a
    // stopped run ends stopped. False when keepGoing cancelled it; sb's world
    // and receiver are then as they were.
    bool Rebuild(TKeloSandBox &sb, qint64 steps, TMoment &moment, const TKeepGoing &keepGoing = {});
    // The latest moment before `before` at which a breakpoint line was
    // announced (where a continuous run would have stopped), 0 when there is
    // none, -1 when cancelled. sb's world stays as it was.
    qint64 LastBreakBefore(TKeloSandBox &sb, qint64 before, const TIsBreak &isBreak,
                           const TKeepGoing &keepGoing = {}) const;
    // The first `limit` moments from 1 on at which a breakpoint line was
    // announced; empty when cancelled. sb's world stays as it was.
    QList<qint64> BreakMoments(TKeloSandBox &sb, const TIsBreak &isBreak, int limit,
                               const TKeepGoing &keepGoing = {}) const;

private:
    // Told about every line announced during a replay's step (from 1);
    // returns false to end the replay early.
    using TLineWatch = std::function<bool(qint64 step, int line)>;
    bool replay(TKeloSandBox &sb, qint64 steps, TMoment &moment, const TKeepGoing &keepGoing,
                const TLineWatch &watch = {}) const;
    // Runs a replay only to look at its lines, leaving sb as it was.
    bool scan(TKeloSandBox &sb, qint64 steps, const TKeepGoing &keepGoing, const TLineWatch &watch) const;

    QStringList iScript;
    std::any iStart;
    qint64 iPosition = 0;
    qint64 iLength = 0;
    bool iStoppedAtEnd = false;
};
