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
#include <gtest/gtest.h>

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    ::testing::InitGoogleTest(&argc, argv);
    TTestApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
