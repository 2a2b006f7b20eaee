// Failing file writes without root: a child process whose files may not grow
// beyond a limit (the system then refuses the write, as on a full disk), and
// the writer's fault seam for one test's scope.
#pragma once

#include "base/uFileBytes.h"

#include <QByteArray>
#include <QString>

#include <csignal>
#include <functional>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

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
    int fds[2];
    if (::pipe(fds) != 0)
        return {};
    const pid_t pid = ::fork();
    if (pid < 0)
        return {};
    if (pid == 0) {
        ::close(fds[0]);
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{limitBytes, limitBytes};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        const QByteArray text = work().toUtf8();
        const bool sent = ::write(fds[1], text.constData(), text.size()) == text.size();
        ::_exit(sent ? 0 : 1);
    }
    ::close(fds[1]);
    QByteArray text;
    char buffer[4096];
    for (ssize_t n; (n = ::read(fds[0], buffer, sizeof buffer)) > 0;)
        text.append(buffer, n);
    ::close(fds[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
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
