// The window's rectangle across restarts under a real X server with a window
// manager, where the frame is known only once the window is on the screen.
#include "base/uIniFile.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

namespace {
// An X server on a free display with openbox on it, for as long as it lives.
class TWindowManagerDisplay
{
public:
    TWindowManagerDisplay()
    {
        iServer.start(QStringLiteral("Xvfb"), {"-displayfd", "1", "-screen", "0", "1280x1024x24", "-nolisten", "tcp"});
        if (!iServer.waitForReadyRead(10000))
            return;
        iDisplay = QStringLiteral(":") + QString::fromLatin1(iServer.readLine().trimmed());
        iManager.setProcessEnvironment(environment());
        iManager.start(QStringLiteral("openbox"), {});
        QDeadlineTimer deadline(60000);
        while (!managed() && !deadline.hasExpired())
            QThread::msleep(50);
    }

    // Environment of a program shown on this display.
    QProcessEnvironment environment() const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DISPLAY"), iDisplay);
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        return env;
    }

    // The window manager answers for the desktop.
    bool managed() const
    {
        if (iDisplay.isEmpty())
            return false;
        QProcess ask;
        ask.setProcessEnvironment(environment());
        ask.start(QStringLiteral("xdotool"), {"get_num_desktops"});
        return ask.waitForFinished(5000) && ask.exitCode() == 0;
    }

private:
    QProcess iServer;
    QProcess iManager;
    QString iDisplay;
};
} // namespace

TEST(WindowUnderAWindowManager, ARestartWithoutMovingKeepsTheStoredRectangle)
{
    for (const char *tool : {"Xvfb", "openbox", "xdotool"})
        if (QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty())
            GTEST_SKIP() << tool << " is missing (tools/install-deps.sh installs it)";
    TWindowManagerDisplay display;
    ASSERT_TRUE(display.managed());
    QTemporaryDir dir;
    const QString settings = dir.filePath(QStringLiteral("grazlo.ini"));
    for (const int state : {0, 2}) {
        QFile ini(settings);
        ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
        ini.write(QStringLiteral("[main]\nleft=100\ntop=100\nwidth=700\nheight=500\nstate=%1\nsearch4update=0\n")
                      .arg(state)
                      .toUtf8());
        ini.close();

        QProcess restart;
        restart.setProcessEnvironment(display.environment());
        restart.start(QStringLiteral(GRAZLO_RESTART_CHILD), {settings});
        ASSERT_TRUE(restart.waitForFinished(90000));
        ASSERT_EQ(restart.exitCode(), 0) << "the window was never framed: " << restart.readAllStandardError().data();

        const TIniFile written(settings);
        for (const auto &[key, value] :
             {std::pair{"left", 100}, std::pair{"top", 100}, std::pair{"width", 700}, std::pair{"height", 500}})
            EXPECT_EQ(written.ReadInteger(QStringLiteral("main"), QString::fromLatin1(key), -1), value)
                << key << ", state " << state;
    }
}
