// Shared entry point of every test program. Engine tests start a core (or,
// where pictures are drawn, a GUI) application and link no widget library,
// which shows that the engine runs without a window; window tests start a
// widget application. The platform is offscreen, so nothing needs a display.
#if defined(GRAZLO_TEST_WIDGETS)
#include <QApplication>
using TTestApplication = QApplication;
#elif defined(GRAZLO_TEST_GUI)
#include <QGuiApplication>
using TTestApplication = QGuiApplication;
#else
#include <QCoreApplication>
using TTestApplication = QCoreApplication;
#endif
#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // A test program counts as installed (no data beside it): keep any
    // settings it writes out of the user's own configuration. The program
    // makes its settings folder at start-up; here that is done for it.
    const QTemporaryDir config;
    QDir(config.path()).mkpath(QStringLiteral("grazlo"));
    qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
    // The journals of files written in place, away from the user's own.
    const QTemporaryDir cache;
    qputenv("XDG_CACHE_HOME", cache.path().toLocal8Bit());
    ::testing::InitGoogleTest(&argc, argv);
    TTestApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
