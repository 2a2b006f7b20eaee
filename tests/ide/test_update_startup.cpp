// The update question at the window's first activation, against a server
// inside the test: the notice comes after the splash, and only for news.
#include "ide/uUpdateHost.h"
#include "ide/uWindowSettings.h"
#include "ide_run_fixture.h"
#include "net/uUpdateCheck.h"
#include "tests/net/InetTestSupport.h"
#include "tests/net/LocalHttpServer.h"

#include <QApplication>
#include <QFile>
#include <QScreen>
#include <QTemporaryDir>
#include <QWindow>

#include <atomic>

namespace {
const QString NewVersionNotice = QStringLiteral("Es steht eine neue Version zum Download bereit.");

class UpdateStartup : public ::testing::Test
{
protected:
    void SetUp() override
    {
        UseBuiltInetLibrary();
        ASSERT_TRUE(settingsDir.isValid());
        setSettingsFileName(settingsDir.filePath(QStringLiteral("grazlo.ini")));
        setClock(&clock);
        dialogs.unanswered = TDlgAnswer::No;
        setDialogs(&dialogs);
        splash = new QWidget(&owner);
        splash->resize(100, 40);
    }
    void TearDown() override
    {
        setDialogs(nullptr);
        setClock(nullptr);
        setSettingsFileName(QString());
    }

    // Runs the first activation against a server answering body.
    void activateAgainst(TRunTestWindow &window, TLocalHttpServer &server)
    {
        window.splash = splash;
        window.url = QString::fromStdString(server.url());
        clock.onSleep = [&] {
            if (splash->isVisible())
                notesWhileSplashShown = dialogs.texts().size();
        };
        window.show();
        window.FormActivate();
    }

    QTemporaryDir settingsDir;
    TSteppingClock clock;
    TScriptedDialogs dialogs;
    QWidget owner;
    QWidget *splash = nullptr;
    qsizetype notesWhileSplashShown = -1;
};
} // namespace

TEST_F(UpdateStartup, AnotherVersionIsAnnouncedOnceAfterTheSplashHasGone)
{
    TLocalHttpServer server("2.1");
    TRunTestWindow window;
    activateAgainst(window, server);
    EXPECT_EQ(server.connections(), 1);
    EXPECT_TRUE(server.request().rfind("GET /version.php ", 0) == 0);
    EXPECT_TRUE(window.isNewVersion);
    ASSERT_EQ(dialogs.texts(), QStringList{NewVersionNotice});
    EXPECT_EQ(dialogs.kinds().first(), TDlgKind::Information);
    EXPECT_EQ(notesWhileSplashShown, 0) << "no notice while the splash is up";

    window.FormActivate(); // a later activation asks nothing
    EXPECT_EQ(server.connections(), 1);
    EXPECT_EQ(dialogs.texts().size(), 1);
}

// The window's thread waits for the answer without painting: what the screen
// shows then is grabbed from the server's side of the request.
TEST_F(UpdateStartup, TheSplashIsOnTheScreenWhileTheRequestWaits)
{
    splash->setAutoFillBackground(true);
    splash->setPalette(QPalette(Qt::red));
    TLocalHttpServer server("2.1", TLocalHttpServer::TMode::Stall);
    TRunTestWindow window;
    window.splash = splash;
    window.url = QString::fromStdString(server.url());
    const WId id = window.winId();
    QScreen *screen = window.screen();
    std::atomic<bool> grabbed{false};
    QImage onScreen;
    server.onRequest = [&] {
        onScreen = screen->grabWindow(id).toImage();
        grabbed = true;
        server.stop();
    };
    window.show(); // its first activation asks the server
    ASSERT_TRUE(grazlo_test::waitFor([&] { return grabbed && !splash->isVisible(); }));
    ASSERT_FALSE(onScreen.isNull());
    const QRect area = splash->geometry(); // in the window, where it stood
    for (const QPoint point : {area.topLeft(), area.bottomRight(), area.center()})
        EXPECT_EQ(onScreen.pixelColor(point * onScreen.devicePixelRatio()), QColor(Qt::red))
            << point.x() << "," << point.y();
}

TEST_F(UpdateStartup, SameVersionOrAFailureSaysNothing)
{
    for (const auto &[body, mode] : {std::pair{std::string("2.0\r\n"), TLocalHttpServer::TMode::Answer},
                                     std::pair{std::string(), TLocalHttpServer::TMode::CloseAtOnce}}) {
        TLocalHttpServer server(body, mode);
        TRunTestWindow window;
        activateAgainst(window, server);
        EXPECT_EQ(server.connections(), 1);
        EXPECT_FALSE(window.isNewVersion);
    }
    EXPECT_TRUE(dialogs.texts().isEmpty());
}

TEST_F(UpdateStartup, SwitchedOffMeansNoRequestAndStillTheFullSplashTime)
{
    QFile file(SettingsFileName());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("[main]\r\nsearch4update=0\r\n");
    file.close();
    TLocalHttpServer server("2.1");
    TRunTestWindow window;
    const qint64 started = clock.now;
    activateAgainst(window, server);
    EXPECT_FALSE(window.doSearch4Update);
    EXPECT_EQ(server.connections(), 0);
    EXPECT_GE(clock.now - started, 1200);
    EXPECT_TRUE(dialogs.texts().isEmpty());
}

TEST_F(UpdateStartup, HostComesFromTheSettingsFileAndIsNeverWritten)
{
    EXPECT_EQ(ConfiguredUpdateHost(), DefaultUpdateHost());
    const QString path = SettingsFileName();
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("[main]\r\nupdatehost=127.0.0.1:8080\r\nsearch4update=1\r\n");
    file.close();
    EXPECT_EQ(ConfiguredUpdateHost(), QStringLiteral("127.0.0.1:8080"));
    EXPECT_EQ(UpdateUrlFor(ConfiguredUpdateHost()), QStringLiteral("http://127.0.0.1:8080/version.php"));
    {
        TRunTestWindow window; // its destruction writes the settings
    }
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray written = file.readAll();
    EXPECT_EQ(written.count("updatehost="), 1);
    EXPECT_TRUE(written.contains("updatehost=127.0.0.1:8080"));
}
