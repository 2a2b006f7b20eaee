#include "grade/uIsolatedRuns.h"

#include "base/uChildProcess.h"

#include <QFile>
#include <QJsonDocument>

#include <cerrno>
#include <chrono>
#include <cmath>
#include <csignal>
#include <cstring>
#include <exception>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/time.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

using TClock = std::chrono::steady_clock;

// Exit codes a child uses to report what its result cannot carry.
constexpr int kExitOutOfMemory = 120;
constexpr int kExitUnexpected = 121;

struct TChild
{
    int Index = 0;
    TChildProcess Process;
    QByteArray Data;
    TClock::time_point Started, Deadline;
    // Processor seconds used when the wall clock last looked.
    double CpuSeconds = 0;
    // What the child shares with this process from the start, for telling
    // its own memory use.
    qint64 ResidentAtStart = 0;
    bool KilledForTime = false;
};

// The exact limit is a processor-time timer (SIGPROF); the system's own
// limit, in whole seconds, is the net beneath it.
rlim_t cpuSecondsAllowed(const TIsolationLimits &limits) { return rlim_t(std::ceil(limits.TimeoutSeconds)) + 1; }

// Wall time after which a child that has not used the processor since the
// last look is taken for stuck.
TClock::duration wallBackstop(const TIsolationLimits &limits)
{
    return std::chrono::duration_cast<TClock::duration>(std::chrono::duration<double>(3 * limits.TimeoutSeconds + 5));
}

// Processor seconds a child has used so far, from /proc; 0 when gone.
double cpuSecondsOf(pid_t pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray line = stat.readAll();
    // Fields after the command name, which may itself hold spaces: state is
    // the first, user and system time the 12th and 13th.
    const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
    return (fields.value(11).toDouble() + fields.value(12).toDouble()) / double(sysconf(_SC_CLK_TCK));
}

// Bytes of this process's memory: the address space mapped (field 0) or the
// part of it resident (field 1).
qint64 memoryInUse(int field)
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    return statm.readLine().split(' ').value(field).toLongLong() * sysconf(_SC_PAGESIZE);
}

// An allocation that fails where no exception may pass ends in terminate;
// the exit code still tells the parent that memory ran out.
[[noreturn]] void terminateChild()
{
    bool outOfMemory = false;
    try {
        if (std::exception_ptr current = std::current_exception())
            std::rethrow_exception(current);
    } catch (const std::bad_alloc &) {
        outOfMemory = true;
    } catch (...) {
    }
    _exit(outOfMemory ? kExitOutOfMemory : kExitUnexpected);
}

void limitThisProcess(const TIsolationLimits &limits)
{
    std::set_terminate(terminateChild);
    const auto micro = qint64(limits.TimeoutSeconds * 1e6);
    itimerval timer{};
    timer.it_value = {time_t(micro / 1000000), suseconds_t(micro % 1000000)};
    setitimer(ITIMER_PROF, &timer, nullptr);
    const rlim_t cpu = cpuSecondsAllowed(limits);
    const rlimit cpuLimit{cpu, cpu + 1};
    setrlimit(RLIMIT_CPU, &cpuLimit);
#if !defined(GRAZLO_SANITIZED) // its allocator reserves far more than it uses
    const rlim_t memory = rlim_t(memoryInUse(0) + limits.MemoryBytes);
    const rlimit memoryLimit{memory, memory};
    setrlimit(RLIMIT_AS, &memoryLimit);
#endif
}

// The child's whole life: limits, the run, its result down the pipe; returns
// its exit code.
int childMain(int fd, int index, const std::function<TGradeResult(int)> &run, const TIsolationLimits &limits,
              pid_t parent)
{
    // A run never outlives the grading that started it.
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (getppid() != parent)
        return kExitUnexpected;
    limitThisProcess(limits);
    try {
        const QByteArray bytes = QJsonDocument(run(index).ToJson()).toJson(QJsonDocument::Compact);
        return WriteAllBytes(fd, bytes) ? 0 : kExitUnexpected;
    } catch (const std::bad_alloc &) {
        return kExitOutOfMemory;
    } catch (...) {
        return kExitUnexpected;
    }
}

QString memoryLimitText(const TIsolationLimits &limits)
{
    return QStringLiteral("Speicherlimit überschritten: mehr als %1 MB").arg(limits.MemoryBytes >> 20);
}

QString timeLimitText(const TIsolationLimits &limits) { return TimeLimitText(limits.TimeoutSeconds); }

double cpuSeconds(const rusage &usage)
{
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// What became of a child, from its pipe's bytes and how it ended.
// A child that ended on its own is judged by how it ended, even when its
// deadline passed before it was reaped.
TGradeResult outcomeOf(const TChild &child, int status, const rusage &usage, const TIsolationLimits &limits)
{
    if (child.KilledForTime && WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL)
        return ResultWithoutRun(TGradeStatus::TimeLimit, timeLimitText(limits));
    if (WIFEXITED(status) && WEXITSTATUS(status) == 0) {
        const QJsonDocument document = QJsonDocument::fromJson(child.Data);
        if (document.isObject())
            return TGradeResult::FromJson(document.object());
    }
    if (WIFEXITED(status) && WEXITSTATUS(status) == kExitOutOfMemory)
        return ResultWithoutRun(TGradeStatus::MemoryLimit, memoryLimitText(limits));
    if (WIFSIGNALED(status)) {
        const int signal = WTERMSIG(status);
        const bool outOfCpu = cpuSeconds(usage) >= double(cpuSecondsAllowed(limits)) - 0.05;
        if (signal == SIGPROF || signal == SIGXCPU || (signal == SIGKILL && outOfCpu))
            return ResultWithoutRun(TGradeStatus::TimeLimit, timeLimitText(limits));
        // Nobody but the system's memory guard kills a run otherwise, and a
        // crash with most of the allowed memory taken is a failed allocation.
        const bool nearMemoryLimit = qint64(usage.ru_maxrss) * 1024 - child.ResidentAtStart >= limits.MemoryBytes / 2;
        if (signal == SIGKILL || nearMemoryLimit)
            return ResultWithoutRun(TGradeStatus::MemoryLimit, memoryLimitText(limits));
        return ResultWithoutRun(TGradeStatus::RuntimeError,
                                QStringLiteral("Der Lauf ist abgestürzt (Signal %1).").arg(signal));
    }
    return ResultWithoutRun(TGradeStatus::RuntimeError,
                            QStringLiteral("Der Lauf ist unerwartet beendet worden (Rückgabewert %1).")
                                .arg(WIFEXITED(status) ? WEXITSTATUS(status) : -1));
}

class TPool
{
public:
    TPool(int count, const std::function<TGradeResult(int)> &run, const TIsolationLimits &limits,
          const std::function<void(int, TGradeResult &)> &done)
        : iRun(run), iLimits(limits), iDone(done), iCount(count)
    {
    }

    void Finish()
    {
        while (iNext < iCount || !iChildren.empty()) {
            startChildren();
            waitForChildren();
        }
    }

private:
    void startChildren()
    {
        while (int(iChildren.size()) < std::max(1, iLimits.Jobs) && iNext < iCount) {
            if (!startChild(iNext) && !iChildren.empty())
                return; // the system is short of processes: try again when one ends
            ++iNext;
        }
    }

    bool startChild(int index)
    {
        TChild child;
        child.Index = index;
        child.ResidentAtStart = memoryInUse(1);
        const pid_t parent = getpid();
        const auto work = [&](int fd) { return childMain(fd, index, iRun, iLimits, parent); };
        if (!StartChildProcess(work, child.Process))
            return failStart(index);
        child.Started = TClock::now();
        child.Deadline = child.Started + wallBackstop(iLimits);
        iChildren.push_back(child);
        return true;
    }

    // Without any other child to wait for, the run is reported as failed.
    bool failStart(int index)
    {
        if (!iChildren.empty())
            return false;
        TGradeResult failed =
            ResultWithoutRun(TGradeStatus::RuntimeError, QStringLiteral("Der Lauf konnte nicht gestartet werden: %1")
                                                             .arg(QString::fromLocal8Bit(std::strerror(errno))));
        iDone(index, failed);
        return true;
    }

    int millisecondsToNearestDeadline() const
    {
        TClock::time_point nearest = TClock::time_point::max();
        for (const TChild &child : iChildren)
            if (!child.KilledForTime)
                nearest = std::min(nearest, child.Deadline);
        if (nearest == TClock::time_point::max())
            return -1;
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(nearest - TClock::now()).count();
        return int(std::max<qint64>(0, left));
    }

    void waitForChildren()
    {
        std::vector<pollfd> polled;
        for (const TChild &child : iChildren)
            polled.push_back({child.Process.Fd, POLLIN, 0});
        if (::poll(polled.data(), polled.size(), millisecondsToNearestDeadline()) < 0 && errno != EINTR)
            return;
        for (size_t i = polled.size(); i-- > 0;)
            if (polled[i].revents != 0 && !ReadChildOutput(iChildren[i].Process, iChildren[i].Data))
                reap(i);
        killStuck();
    }

    void reap(size_t i)
    {
        TChild child = iChildren[i];
        iChildren.erase(iChildren.begin() + qsizetype(i));
        rusage usage{};
        const int status = FinishChildProcess(child.Process, &usage);
        TGradeResult result = outcomeOf(child, status, usage, iLimits);
        result.Milliseconds =
            std::chrono::duration_cast<std::chrono::milliseconds>(TClock::now() - child.Started).count();
        iDone(child.Index, result);
    }

    // A child still using the processor is left to its processor-time limit,
    // however slowly a loaded machine lets it go; one that has not used it
    // since the last look is stuck.
    void killStuck()
    {
        const TClock::time_point now = TClock::now();
        for (TChild &child : iChildren) {
            if (child.KilledForTime || now < child.Deadline)
                continue;
            const double cpu = cpuSecondsOf(child.Process.Pid);
            if (cpu > child.CpuSeconds) {
                child.CpuSeconds = cpu;
                child.Deadline = now + wallBackstop(iLimits);
                continue;
            }
            ::kill(child.Process.Pid, SIGKILL);
            child.KilledForTime = true;
        }
    }

    const std::function<TGradeResult(int)> &iRun;
    const TIsolationLimits iLimits;
    const std::function<void(int, TGradeResult &)> &iDone;
    const int iCount;
    std::vector<TChild> iChildren;
    int iNext = 0;
};

} // namespace

void RunIsolated(int count, const std::function<TGradeResult(int)> &run, const TIsolationLimits &limits,
                 const std::function<void(int index, TGradeResult &result)> &done)
{
    TPool(count, run, limits, done).Finish();
}
