// SIGTERM while a box waits: at start-up the box closes and the request is remembered;
// at exit a second request ends the program though the box is never answered.
#include "base/uModalHook.h"
#include "ide/uAppSetup.h"
#include "ide/uTermination.h"

#include <QApplication>
#include <QCloseEvent>
#include <QTimer>
#include <QWidget>
#include <gtest/gtest.h>

#include <csignal>
#include <unistd.h>

namespace {

void requestTerminationSoon()
{
    QTimer::singleShot(0, [] { std::raise(SIGTERM); });
}

// Shows the settings error when closed, as the IDE does when its settings file cannot be written.
class TWindowWithBoxAtExit : public QWidget
{
protected:
    void closeEvent(QCloseEvent *event) override
    {
        requestTerminationSoon();
        ShowModal(QStringLiteral("In /nirgends/grazlo.ini kann nicht geschrieben werden"), TModalKind::Error);
        event->accept();
    }
};

void startChild()
{
    ::alarm(20); // a hung child ends by SIGALRM
    SetupApplication(*qApp);
    CloseWindowsOnTermination(*qApp);
}

} // namespace

TEST(TerminationDeathTest, ARequestDuringAStartUpBoxClosesItAndIsRemembered)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            startChild();
            requestTerminationSoon();
            ShowModal(QStringLiteral("Fehler: Fehlende Dateien!"), TModalKind::Warning);
            ::_exit(TerminationRequested() ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}

TEST(TerminationDeathTest, ASecondRequestEndsTheProgramWhileABoxAtExitWaits)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            startChild();
            TWindowWithBoxAtExit window;
            window.show();
            requestTerminationSoon();
            QApplication::exec();
            ::_exit(0);
        },
        ::testing::KilledBySignal(SIGTERM), "");
}
