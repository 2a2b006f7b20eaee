// The Grazlo IDE: images and random numbers first, then the sheep window.
#include "ide/uAppSetup.h"
#include "net/uWinInet.h"
#include "sheep/fGrazloIDE.h"
#include "sheep/uSandboxSheep.h"
#include "sheep/uTile.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <cstdio>
#include <cstdlib>

namespace {

const char *const NoDisplayText =
    "Grazlo braucht eine grafische Oberfläche, es wurde aber keine Anzeige gefunden.\n"
    "Starten Sie Grazlo auf einem Desktop (oder mit xvfb-run), oder führen Sie Skripte\n"
    "ohne Anzeige mit grazlo-run aus (siehe grazlo-run --help).\n";

// The X11 socket of a local display ":N" or ":N.S"; empty for a remote one.
QString localX11Socket(const QString &display)
{
    if (!display.startsWith(':'))
        return {};
    const QString number = display.mid(1).section('.', 0, 0);
    return "/tmp/.X11-unix/X" + number;
}

// Whether a window can be shown at all: a chosen platform (offscreen too), a
// Wayland session, or an X display whose local socket exists.
bool displayAvailable()
{
    if (!qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        return true;
    const QString display = qEnvironmentVariable("DISPLAY");
    if (display.isEmpty())
        return false;
    const QString socket = localX11Socket(display);
    return socket.isEmpty() || QFileInfo::exists(socket);
}

// Qt ends the process when it cannot reach the display after all; say why in German first.
void startupMessageHandler(QtMsgType type, const QMessageLogContext &, const QString &msg)
{
    std::fprintf(stderr, "%s\n", qPrintable(msg));
    if (type == QtFatalMsg) {
        std::fputs(NoDisplayText, stderr);
        std::_Exit(2);
    }
}

} // namespace

int main(int argc, char **argv)
{
    if (!displayAvailable()) {
        std::fputs(NoDisplayText, stderr);
        return 2;
    }
    const QtMessageHandler previous = qInstallMessageHandler(startupMessageHandler);
    QApplication app(argc, argv);
    qInstallMessageHandler(previous);
    SetupApplication(app);

    // Before any window: the pictures (the settings file lies beside the
    // program, the pictures relative to the working folder) and the random numbers.
    LoadTileImages(QCoreApplication::applicationDirPath());
    SeedRandomFromClock();

    int exitCode = 0;
    {
        TfrmGrazloIDE window;
        window.show();
        // Without a window manager (a bare X server) nobody else activates the window,
        // and the start-up steps of its first activation would never run.
        window.activateWindow();
        exitCode = app.exec();
    }
    // Last of all, after the window is gone: the internet library.
    ReleaseWinInet();
    return exitCode;
}
