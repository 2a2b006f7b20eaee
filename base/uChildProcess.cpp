#include "base/uChildProcess.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

bool StartChildProcess(const std::function<int(int fd)> &work, TChildProcess &child)
{
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0)
        return false;
    const pid_t pid = fork();
    if (pid < 0) {
        const int error = errno;
        ::close(fds[0]);
        ::close(fds[1]);
        errno = error;
        return false;
    }
    if (pid == 0) {
        ::close(fds[0]);
        _exit(work(fds[1]));
    }
    ::close(fds[1]);
    child = {pid, fds[0]};
    return true;
}

bool ReadChildOutput(const TChildProcess &child, QByteArray &data)
{
    char buffer[65536];
    const ssize_t n = ::read(child.Fd, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR)
        return true;
    if (n <= 0)
        return false;
    data.append(buffer, n);
    return true;
}

int FinishChildProcess(TChildProcess &child, rusage *usage)
{
    ::close(child.Fd);
    child.Fd = -1;
    int status = 0;
    rusage ignored{};
    while (wait4(child.Pid, &status, 0, usage ? usage : &ignored) < 0 && errno == EINTR) {
    }
    return status;
}

bool WriteAllBytes(int fd, const QByteArray &bytes)
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
