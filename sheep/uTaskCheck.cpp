#include "sheep/uTaskCheck.h"

#include "base/uTextFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QJsonDocument>
#include <QProcess>
#include <QTimer>

#include <algorithm>
#include <cmath>
#include <csignal>
#include <sys/prctl.h>
#include <sys/resource.h>

namespace {

// What grazlo-run maps before a script runs (about 70 MB), on top of the
// memory the script itself may use.
constexpr qint64 RunnerBaseBytes = qint64(128) << 20;

const QString OutOfMemoryText = QStringLiteral("Nicht genügend Arbeitsspeicher");

QString stepsText(int steps)
{
    return steps == 1 ? QStringLiteral("1 Schritt") : QStringLiteral("%1 Schritten").arg(steps);
}

// The highest value of a map, or -1 when empty: the steps a world needs at
// most over its seeds.
int highest(const QMap<quint32, int> &values)
{
    int most = -1;
    for (int value : values)
        most = std::max(most, value);
    return most;
}

QByteArray lastLine(const QByteArray &output)
{
    const QList<QByteArray> lines = output.trimmed().split('\n');
    return lines.isEmpty() ? QByteArray() : lines.last().trimmed();
}

// In the child, between fork and exec: the grader's memory limit, and no run
// outlives the window that started it.
void limitRunner()
{
#if !defined(GRAZLO_SANITIZED) // its allocator reserves far more than it uses
    const auto memory = rlim_t(TTaskCheck::MemoryBytes + RunnerBaseBytes);
    const rlimit limit{memory, memory};
    setrlimit(RLIMIT_AS, &limit);
#endif
    prctl(PR_SET_PDEATHSIG, SIGKILL);
}

} // namespace

TWorldCheck::TWorldCheck(quint32 seeds, bool withReference) : iSeeds(seeds), iWithReference(withReference) {}

void TWorldCheck::Begin()
{
    iBegun = true;
    iVerdicts.clear();
    iSteps.clear();
}

bool TWorldCheck::NeedsReference() const { return iWithReference && quint32(iReferenceSteps.size()) < iSeeds; }

void TWorldCheck::Note(const TTaskRun &run, const TRunFacts &facts, const TTaskGoals &goals)
{
    if (run.Reference) {
        iReferenceSteps[run.Seed] = facts.SheepSteps;
        return;
    }
    iVerdicts[run.Seed] = CheckGoals(goals, facts);
    iSteps[run.Seed] = facts.SheepSteps;
}

bool TWorldCheck::Checked() const { return quint32(iVerdicts.size()) == iSeeds; }

bool TWorldCheck::Solved() const
{
    return Checked() && std::all_of(iVerdicts.begin(), iVerdicts.end(), [](const TGoalVerdict &v) { return v.Met; });
}

quint32 TWorldCheck::SeedToShow() const
{
    for (auto it = iVerdicts.begin(); it != iVerdicts.end(); ++it)
        if (!it->Met)
            return it.key();
    return 1;
}

QString TWorldCheck::StateText() const
{
    for (auto it = iVerdicts.begin(); it != iVerdicts.end(); ++it) {
        if (it->Met)
            continue;
        const QString seed = iSeeds > 1 ? QStringLiteral(" mit Startwert %1").arg(it.key()) : QString();
        return QStringLiteral("nicht geschafft%1: %2").arg(seed, it->Reason);
    }
    if (!Checked())
        return iBegun ? QStringLiteral("wird geprüft") : QStringLiteral("noch nicht geprüft");
    if (!iWithReference || NeedsReference())
        return QStringLiteral("geschafft");
    return QStringLiteral("geschafft in %1 (Musterlösung: %2)")
        .arg(stepsText(highest(iSteps)))
        .arg(highest(iReferenceSteps));
}

TRunFacts FactsOfRunner(const QByteArray &output, bool killedForTime, bool crashed, const QString &errorOutput)
{
    TRunFacts facts;
    if (killedForTime) {
        facts.End = TRunFacts::TimeLimit;
        return facts;
    }
    QJsonParseError parsed;
    const QJsonDocument json = QJsonDocument::fromJson(lastLine(output), &parsed);
    if (parsed.error == QJsonParseError::NoError && json.isObject()) {
        facts = TRunFacts::FromJson(json.object());
        // The runner reports memory running out as an error of the script;
        // the grader as the memory limit.
        if (facts.End == TRunFacts::Error && facts.ErrorText.startsWith(OutOfMemoryText))
            facts.End = TRunFacts::MemoryLimit;
        return facts;
    }
    const QString said = errorOutput.trimmed();
    if (said.contains(OutOfMemoryText)) {
        facts.End = TRunFacts::MemoryLimit;
        return facts;
    }
    facts.End = crashed ? TRunFacts::Error : TRunFacts::Unreadable;
    facts.ErrorText = crashed && said.isEmpty() ? QStringLiteral("Der Lauf brach unerwartet ab.") : said;
    return facts;
}

// A runner process on its way, with the wall clock that ends it when stuck.
struct TTaskCheck::TActive
{
    TTaskRun Run;
    QProcess *Process = nullptr;
    QTimer *Backstop = nullptr;
    bool KilledForTime = false;
};

TTaskCheck::TTaskCheck(QObject *parent) : QObject(parent), iRunner(DefaultRunner()) {}

TTaskCheck::~TTaskCheck() { Cancel(); }

QString TTaskCheck::DefaultRunner() { return QDir(QCoreApplication::applicationDirPath()).filePath("grazlo-run"); }

bool TTaskCheck::Start(const TTask &task, const QStringList &script, bool withReference, QString &error)
{
    Cancel();
    if (!QFileInfo(iRunner).isExecutable()) {
        error = QStringLiteral("Das Programm zum Prüfen fehlt: %1").arg(QDir::toNativeSeparators(iRunner));
        return false;
    }
    // A scratch copy of the editor's text, written directly: it needs none of
    // the care a save of the learner's file takes.
    auto file = std::make_unique<QTemporaryFile>(QDir(QDir::tempPath()).filePath("grazlo-pruefung-XXXXXX.gzc"));
    TTextFormat format;
    const QByteArray bytes = EncodeText(script, format);
    if (!file->open() || file->write(bytes) != bytes.size() || !file->flush()) {
        error = QStringLiteral("Das Skript kann nicht zum Prüfen abgelegt werden: %1").arg(file->errorString());
        return false;
    }
    iScript = std::move(file);
    iTask = task;
    for (bool reference : {false, true}) {
        if (reference && (task.Reference.isEmpty() || !withReference))
            break;
        for (int world = 0; world < task.Worlds.size(); ++world)
            for (quint32 seed = 1; seed <= task.Seeds; ++seed)
                iRuns.append({world, seed, reference});
    }
    for (int i = 0; i < MaxParallel; ++i)
        startNext();
    return true;
}

void TTaskCheck::Cancel()
{
    for (TActive *active : std::exchange(iActive, {})) {
        active->Process->disconnect(this);
        active->Process->kill();
        active->Process->waitForFinished(1000);
        delete active->Process;
        delete active;
    }
    iRuns.clear();
    iNext = iFinished = 0;
    ++iGeneration;
    iScript.reset();
}

QStringList TTaskCheck::argumentsOf(const TTaskRun &run) const
{
    const TTaskWorld &world = iTask.Worlds[run.World];
    QStringList args = {"--json",
                        "--seed",
                        QString::number(run.Seed),
                        "--max-steps",
                        QString::number(iTask.MaxSteps),
                        "--timeout",
                        QString::number(iTask.TimeoutSeconds)};
    if (world.LawnFile.isEmpty())
        args << "--level" << QString::number(world.Level);
    else
        args << "--lawn" << world.LawnFile;
    args << (run.Reference ? iTask.Reference : iScript->fileName());
    return args;
}

void TTaskCheck::startNext()
{
    if (iNext >= iRuns.size())
        return;
    auto *active = new TActive{iRuns[iNext++]};
    active->Process = new QProcess;
    active->Process->setChildProcessModifier(limitRunner);
    active->Backstop = new QTimer(active->Process);
    active->Backstop->setSingleShot(true);
    // The runner ends itself at its processor time; the wall clock only ends
    // one that stopped using the processor without ending.
    active->Backstop->setInterval(int(std::min(3 * iTask.TimeoutSeconds + 5, 86400.0 * 3) * 1000));
    connect(active->Backstop, &QTimer::timeout, this, [active] {
        active->KilledForTime = true;
        active->Process->kill();
    });
    connect(active->Process, &QProcess::finished, this, [this, active] { runProcessEnded(active); });
    connect(active->Process, &QProcess::errorOccurred, this, [this, active](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart)
            runProcessEnded(active);
    });
    iActive.append(active);
    active->Backstop->start();
    active->Process->start(iRunner, argumentsOf(active->Run));
}

void TTaskCheck::runProcessEnded(TActive *active)
{
    iActive.removeOne(active);
    QProcess *process = active->Process;
    const bool crashed = process->exitStatus() == QProcess::CrashExit || process->error() == QProcess::FailedToStart;
    const TRunFacts facts = FactsOfRunner(process->readAllStandardOutput(), active->KilledForTime, crashed,
                                          QString::fromUtf8(process->readAllStandardError()));
    const TTaskRun run = active->Run;
    process->deleteLater();
    delete active;
    ++iFinished;
    startNext();
    // A slot may start the next check at once; this one then ends unheard.
    const int generation = iGeneration;
    emit runEnded(run, facts);
    if (generation == iGeneration && iFinished == iRuns.size())
        emit finished();
}
