// Shared entry point of every test program: a Qt application on the offscreen
// platform, so widget and painting tests run without a display.
#include <QApplication>
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
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
