// The Grazlo IDE: images and random numbers first, then the sheep window.
#include "base/uFileBytes.h"
#include "base/uModalHook.h"
#include "base/uRuntimeFolders.h"
#include "ide/uAppSetup.h"
#include "ide/uTermination.h"
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

const char *const NoDisplayText = "Grazlo braucht eine grafische Oberfläche, es wurde aber keine Anzeige gefunden.\n"
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

// The portable folder reads "grazlo.ini" beside the program and the pictures
// relative to the current folder. An installation reads the resource section
// from the user's settings file, and the pictures default to the shipped ones.
void loadPictures(const TRuntimeFolders &folders)
{
    if (folders.Form == TRuntimeForm::Portable)
        LoadTileImages(folders.DataFolder);
    else
        LoadTileImages(QFileInfo(folders.SettingsFile).path(), folders.DataFolder);
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
    QGuiApplication::setDesktopFileName(QStringLiteral(GRAZLO_APP_ID));
    SetupApplication(app);
    CloseWindowsOnTermination(app);

    // Before any window: the user's folders, files an ended save left half
    // written, the pictures and the random numbers.
    const TRuntimeFolders &folders = RuntimeFolders();
    QString error;
    if (!PrepareUserFolders(folders, error))
        ShowModal(error, TModalKind::Warning);
    for (const QString &notice : ReplayWriteJournals())
        ShowModal(notice, TModalKind::Warning);
    loadPictures(folders);
    SeedRandomFromClock();
    // A request to end that closed a start-up box.
    if (TerminationRequested())
        return 0;

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
