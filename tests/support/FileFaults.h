// Failing file writes without root: a child process whose files may not grow
// beyond a limit (the system then refuses the write, as on a full disk), and
// the writer's fault seam for one test's scope.
#pragma once

#include "base/uChildProcess.h"
#include "base/uFileBytes.h"

#include <QByteArray>
#include <QString>

#include <csignal>
#include <functional>
#include <sys/resource.h>
#include <sys/wait.h>

namespace grazlo_test {

struct TChildOutcome
{
    bool Exited = false; // false: the child crashed or was killed
    QString Text;        // what work returned
};

// Runs work in a child limited to files of limitBytes, with SIGXFSZ ignored so
// that an oversized write fails instead of ending the process. work's result
// (for example an error message) is handed back through a pipe.
inline TChildOutcome RunWithFileSizeLimit(rlim_t limitBytes, const std::function<QString()> &work)
{
    TChildProcess child;
    const bool started = StartChildProcess(
        [&](int fd) {
            std::signal(SIGXFSZ, SIG_IGN);
            const rlimit limit{limitBytes, limitBytes};
            ::setrlimit(RLIMIT_FSIZE, &limit);
            return WriteAllBytes(fd, work().toUtf8()) ? 0 : 1;
        },
        child);
    if (!started)
        return {};
    QByteArray text;
    while (ReadChildOutput(child, text)) {
    }
    const int status = FinishChildProcess(child);
    return {WIFEXITED(status) && WEXITSTATUS(status) == 0, QString::fromUtf8(text)};
}

// Writes fail as given while the scope lives, also when a test stops early.
class TWriteFaultScope
{
public:
    explicit TWriteFaultScope(const TWriteFaults &faults) { SetWriteFaults(faults); }
    ~TWriteFaultScope() { SetWriteFaults({}); }
    TWriteFaultScope(const TWriteFaultScope &) = delete;
    TWriteFaultScope &operator=(const TWriteFaultScope &) = delete;
};

} // namespace grazlo_test
