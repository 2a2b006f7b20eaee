#include "grade/uIsolatedRuns.h"

#include <QFile>
#include <QJsonDocument>

#include <cerrno>
#include <chrono>
#include <cmath>
#include <csignal>
#include <cstring>
#include <exception>
#include <fcntl.h>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/resource.h>
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
    pid_t Pid = -1;
    int Fd = -1;
    QByteArray Data;
    TClock::time_point Started, Deadline;
    // What the child shares with this process from the start, for telling
    // its own memory use.
    qint64 ResidentAtStart = 0;
    bool KilledForTime = false;
};

rlim_t cpuSecondsAllowed(const TIsolationLimits &limits) { return rlim_t(std::ceil(limits.TimeoutSeconds)) + 1; }

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
    const rlim_t cpu = cpuSecondsAllowed(limits);
    const rlimit cpuLimit{cpu, cpu + 1};
    setrlimit(RLIMIT_CPU, &cpuLimit);
#if !defined(GRAZLO_SANITIZED) // its allocator reserves far more than it uses
    const rlim_t memory = rlim_t(memoryInUse(0) + limits.MemoryBytes);
    const rlimit memoryLimit{memory, memory};
    setrlimit(RLIMIT_AS, &memoryLimit);
#endif
}

bool writeAll(int fd, const QByteArray &bytes)
{
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += n;
    }
    return true;
}

// The child's whole life: limits, the run, its result down the pipe. It
// leaves through _exit, so nothing of the parent's state is flushed twice.
[[noreturn]] void childMain(int fd, int index, const std::function<TGradeResult(int)> &run,
                            const TIsolationLimits &limits, pid_t parent)
{
    // A run never outlives the grading that started it.
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (getppid() != parent)
        _exit(kExitUnexpected);
    limitThisProcess(limits);
    int code = 0;
    try {
        const QByteArray bytes = QJsonDocument(run(index).ToJson()).toJson(QJsonDocument::Compact);
        code = writeAll(fd, bytes) ? 0 : kExitUnexpected;
    } catch (const std::bad_alloc &) {
        code = kExitOutOfMemory;
    } catch (...) {
        code = kExitUnexpected;
    }
    _exit(code);
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
        if (signal == SIGXCPU || (signal == SIGKILL && outOfCpu))
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
    TPool(int count, const std::function<TGradeResult(int)> &run, const TIsolationLimits &limits)
        : iRun(run), iLimits(limits), iResults(count)
    {
    }

    QList<TGradeResult> Finish()
    {
        while (iNext < iResults.size() || !iChildren.empty()) {
            startChildren();
            waitForChildren();
        }
        return iResults;
    }

private:
    void startChildren()
    {
        while (int(iChildren.size()) < std::max(1, iLimits.Jobs) && iNext < iResults.size()) {
            if (!startChild(iNext) && !iChildren.empty())
                return; // the system is short of processes: try again when one ends
            ++iNext;
        }
    }

    bool startChild(int index)
    {
        int fds[2];
        if (pipe2(fds, O_CLOEXEC) != 0)
            return failStart(index);
        const qint64 resident = memoryInUse(1);
        const pid_t parent = getpid();
        const pid_t pid = fork();
        if (pid < 0) {
            ::close(fds[0]);
            ::close(fds[1]);
            return failStart(index);
        }
        if (pid == 0) {
            ::close(fds[0]);
            childMain(fds[1], index, iRun, iLimits, parent);
        }
        ::close(fds[1]);
        TChild child;
        child.Index = index;
        child.Pid = pid;
        child.Fd = fds[0];
        child.ResidentAtStart = resident;
        child.Started = TClock::now();
        child.Deadline = child.Started + std::chrono::duration_cast<TClock::duration>(
                                             std::chrono::duration<double>(iLimits.TimeoutSeconds));
        iChildren.push_back(child);
        return true;
    }

    // Without any other child to wait for, the run is reported as failed.
    bool failStart(int index)
    {
        if (!iChildren.empty())
            return false;
        iResults[index] =
            ResultWithoutRun(TGradeStatus::RuntimeError, QStringLiteral("Der Lauf konnte nicht gestartet werden: %1")
                                                             .arg(QString::fromLocal8Bit(std::strerror(errno))));
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
            polled.push_back({child.Fd, POLLIN, 0});
        if (::poll(polled.data(), polled.size(), millisecondsToNearestDeadline()) < 0 && errno != EINTR)
            return;
        for (size_t i = polled.size(); i-- > 0;)
            if (polled[i].revents != 0 && !readFrom(iChildren[i]))
                reap(i);
        killOverdue();
    }

    // Reads what the child has written; false once its pipe is closed.
    bool readFrom(TChild &child)
    {
        char buffer[65536];
        const ssize_t n = ::read(child.Fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            return true;
        if (n <= 0)
            return false;
        child.Data.append(buffer, n);
        return true;
    }

    void reap(size_t i)
    {
        const TChild child = iChildren[i];
        iChildren.erase(iChildren.begin() + qsizetype(i));
        ::close(child.Fd);
        int status = 0;
        rusage usage{};
        while (wait4(child.Pid, &status, 0, &usage) < 0 && errno == EINTR) {
        }
        TGradeResult result = outcomeOf(child, status, usage, iLimits);
        result.Milliseconds =
            std::chrono::duration_cast<std::chrono::milliseconds>(TClock::now() - child.Started).count();
        iResults[child.Index] = result;
    }

    void killOverdue()
    {
        const TClock::time_point now = TClock::now();
        for (TChild &child : iChildren)
            if (!child.KilledForTime && now >= child.Deadline) {
                ::kill(child.Pid, SIGKILL);
                child.KilledForTime = true;
            }
    }

    const std::function<TGradeResult(int)> &iRun;
    const TIsolationLimits iLimits;
    QList<TGradeResult> iResults;
    std::vector<TChild> iChildren;
    int iNext = 0;
};

} // namespace

QList<TGradeResult> RunIsolated(int count, const std::function<TGradeResult(int)> &run, const TIsolationLimits &limits)
{
    return TPool(count, run, limits).Finish();
}
