#pragma once
// A headless run of a sheep script, driven exactly as the IDE drives one when
// Start is pressed at the highest speed: fresh program, the sandbox's
// built-ins, parse, setStd, Run, then Next until the program ends. Every
// visible event becomes one output line.
#include "sheep/uSandboxSheep.h"

#include <atomic>
#include <functional>
#include <memory>

// How a run ended; the values are the runner's exit codes.
enum class TRunResult : int {
    Finished = 0,
    ParseFailed = 1,
    RuntimeError = 2,
    StepLimit = 3,
    ArithmeticFault = 4,
    TimeLimit = 5,
};

// The program steps a run may take unless told otherwise.
constexpr qint64 DefaultMaxSteps = 10000000;

struct TRunOptions
{
    qint64 MaxSteps = DefaultMaxSteps;
    // Ends the run as Stop would after this many program steps (the moment
    // at which MaxSteps of the same number strikes); negative for never.
    qint64 StepsTo = -1;
    // Raised from outside when the run's processor time of TimeoutSeconds
    // is used up; the run ends before its next step with the time limit.
    const std::atomic_bool *TimeUp = nullptr;
    double TimeoutSeconds = 0;
    bool Trace = false;
    bool ShowLawn = false;
    // Off for callers that read the score and values themselves.
    bool Summary = true;
};

// The error text of a run that used up its time.
QString TimeLimitText(double seconds);

// The first error of a run: the first parser error, the run-time error, the
// arithmetic fault or the step limit. Line counts from 1; 0 when not known.
struct TRunError
{
    int Line = 0;
    QString Text;
};

class TSheepRun
{
public:
    using TOutput = std::function<void(const QString &line)>;

    // The sandbox starts as in a freshly opened IDE: a 10 x 10 lawn of uncut
    // grass, the sheep off the lawn facing south.
    explicit TSheepRun(TOutput output);
    ~TSheepRun();

    TSandboxSheep &Sandbox() { return iSandbox; }
    // Parses and runs the script; the summary follows whenever it started.
    TRunResult Execute(const QStringList &script, const TRunOptions &options);
    const TRunError &FirstError() const { return iFirstError; }
    // The last run ended because memory ran out during its steps.
    bool OutOfMemory() const { return iOutOfMemory; }
    // The score as the summary shows it: the running score while the program
    // is still running (after an arithmetic fault), else the final one.
    qint64 Score() const;

private:
    bool parse(const QStringList &script);
    void wireEvents(bool trace);
    TRunResult runSteps(const TRunOptions &options);
    TRunResult endEarly(TRunResult result, const QString &message);
    void printSummary(bool showLawn);
    void noteError(int line, const QString &text);

    TOutput iOutput;
    TSandboxSheep iSandbox;
    std::unique_ptr<TProgram> iProgram;
    bool iHadRuntimeError = false;
    bool iOutOfMemory = false;
    TRunError iFirstError;
    // The line last announced, where an arithmetic fault or the step limit struck.
    int iLastLine = 0;
};
