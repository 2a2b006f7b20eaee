#include "ide/uTermination.h"

#include <QApplication>
#include <QSocketNotifier>

#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace {

int terminationPipe[2] = {-1, -1};
// Set by the signal, cleared when the windows have been asked to close.
volatile sig_atomic_t requestPending = 0;
bool requested = false;

void onTerminationSignal(int signal)
{
    if (requestPending) {
        // The first request is stuck (a box waits for an answer): end as asked.
        std::signal(signal, SIG_DFL);
        std::raise(signal);
        return;
    }
    requestPending = 1;
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(terminationPipe[1], &byte, 1);
}

void closeAllWindows()
{
    char byte = 0;
    [[maybe_unused]] const ssize_t got = ::read(terminationPipe[0], &byte, 1);
    requested = true;
    QApplication::closeAllWindows();
    // A window that stays open (its user kept a changed script) may be asked again.
    requestPending = 0;
}

} // namespace

void CloseWindowsOnTermination(QApplication &app)
{
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, terminationPipe) != 0)
        return;
    auto *notifier = new QSocketNotifier(terminationPipe[0], QSocketNotifier::Read, &app);
    QObject::connect(notifier, &QSocketNotifier::activated, &app, closeAllWindows);
    struct sigaction action = {};
    action.sa_handler = onTerminationSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &action, nullptr);
}

bool TerminationRequested() { return requested; }
