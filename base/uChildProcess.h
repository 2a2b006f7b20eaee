#pragma once
// A child process that does some work and hands its bytes back through a
// pipe: forking, reading and reaping written once for every caller.
#include <QByteArray>

#include <functional>
#include <sys/resource.h>
#include <sys/types.h>

struct TChildProcess
{
    pid_t Pid = -1;
    // The reading end of the pipe; the child holds the writing end.
    int Fd = -1;
};

// Forks a child that runs work with the pipe's writing end and leaves through
// _exit with what work returns, so nothing of the parent's state is flushed
// twice. False, with errno set, when no pipe or child could be made.
bool StartChildProcess(const std::function<int(int fd)> &work, TChildProcess &child);

// Appends what one read of the pipe gives; false once the pipe is closed.
bool ReadChildOutput(const TChildProcess &child, QByteArray &data);

// Closes the pipe and waits for the child; returns its wait status and fills
// usage, when given, with the processor time and memory it used.
int FinishChildProcess(TChildProcess &child, rusage *usage = nullptr);

// Writes all bytes, going on after interruptions; false when the pipe broke.
bool WriteAllBytes(int fd, const QByteArray &bytes);
