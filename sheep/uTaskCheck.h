#pragma once
// Checking a script against a task in the background: every world with every
// seed, each run a grazlo-run child under the grader's limits, at most two at
// a time, so the window stays responsive and an endless loop ends at the
// task's limits. The task's reference solution runs the same way, for the
// comparison figures.
#include "sheep/uTask.h"

#include <QMap>
#include <QObject>
#include <QTemporaryFile>

#include <memory>

class QProcess;

// One run of a check: a world (index into the task's worlds), a seed, and
// whether it is the reference solution's run.
struct TTaskRun
{
    int World = 0;
    quint32 Seed = 1;
    bool Reference = false;
};

// What a check found out about one world so far.
class TWorldCheck
{
public:
    explicit TWorldCheck(quint32 seeds = 1, bool withReference = false);

    // A new check begins: what was found of the learner's script is
    // forgotten; the reference solution's figures stay, as they cannot change.
    void Begin();
    // Whether the reference solution still has seeds to run.
    bool NeedsReference() const;
    void Note(const TTaskRun &run, const TRunFacts &facts, const TTaskGoals &goals);
    bool Checked() const;
    bool Solved() const;
    // The lowest seed found failing, else 1: the variant worth loading.
    quint32 SeedToShow() const;
    // "noch nicht geprüft", "wird geprüft", "geschafft", "geschafft in 120
    // Schritten (Musterlösung: 99)", "nicht geschafft: 3 Felder ungemäht",
    // "nicht geschafft mit Startwert 2: ...".
    QString StateText() const;

private:
    quint32 iSeeds;
    bool iWithReference;
    bool iBegun = false;
    QMap<quint32, TGoalVerdict> iVerdicts;
    // Sheep steps of the pupil's and the reference solution's runs, by seed.
    QMap<quint32, int> iSteps;
    QMap<quint32, int> iReferenceSteps;
};

// How a runner process ended, as the goals see it; json is its last output
// line (empty when it wrote none).
TRunFacts FactsOfRunner(const QByteArray &json, bool killedForTime, bool crashed, const QString &errorOutput);

class TTaskCheck : public QObject
{
    Q_OBJECT
public:
    static constexpr int MaxParallel = 2;
    // Address space one run may use, as the grader's default.
    static constexpr qint64 MemoryBytes = qint64(512) << 20;

    explicit TTaskCheck(QObject *parent = nullptr);
    ~TTaskCheck() override;

    // grazlo-run beside the running executable.
    static QString DefaultRunner();
    void setRunner(const QString &path) { iRunner = path; }

    // Starts checking script against every world and seed of task, and the
    // task's reference solution too when withReference; a check in progress
    // is cancelled first. False with a German error when the runs cannot start.
    bool Start(const TTask &task, const QStringList &script, bool withReference, QString &error);
    void Cancel();
    bool IsRunning() const { return iFinished < iRuns.size(); }
    int RunCount() const { return int(iRuns.size()); }
    int RunsFinished() const { return iFinished; }

signals:
    void runEnded(const TTaskRun &run, const TRunFacts &facts);
    void finished();

private:
    struct TActive;
    void startNext();
    QStringList argumentsOf(const TTaskRun &run) const;
    void runProcessEnded(TActive *active);

    QString iRunner;
    TTask iTask;
    std::unique_ptr<QTemporaryFile> iScript;
    QList<TTaskRun> iRuns;
    int iNext = 0;
    int iFinished = 0;
    // Counts the checks, so that the end of a cancelled one goes unheard.
    int iGeneration = 0;
    QList<TActive *> iActive;
};
