// Started by the restart test under an X server with a window manager: opens
// the IDE window with the settings file named by the first argument, waits
// until the window manager has framed and placed it and closes it, which writes the
// settings. Exit code 0 when the frame came, 1 otherwise.
#include "ide/fKeloIDE.h"
#include "ide/uWindowSettings.h"
#include "sandbox/uKeloSandbox.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QThread>

namespace {
class TQuietSandBox final : public TKeloSandBox
{
public:
    QString Debug() override { return QString(); }
    void setStd() override {}
};

// The bare window, without the start-up of its first activation.
class TRestartWindow final : public TfrmKeloIDE
{
public:
    TRestartWindow()
    {
        FormCreate();
        firstActivate = false;
    }
    ~TRestartWindow() override { FormDestroy(); }
    TKeloSandBox *sandbox() override { return &box; }
    void ReloadSandBox() override {}
    QWidget *getSplash() override { return nullptr; }
    QString getUpdateUrl() override { return QString(); }
    QString getVersion() override { return QString(); }
    void ShowAbout() override {}

private:
    TQuietSandBox box;
};

bool framed(const QWidget &window)
{
    return window.isVisible() && window.frameGeometry().top() < window.geometry().top();
}
} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    if (argc < 2)
        return 1;
    setSettingsFileName(QString::fromLocal8Bit(argv[1]));
    TRestartWindow window;
    window.show();
    // The window manager may still move the window after framing it, later on
    // a loaded machine: wait until the framed window has kept its place a while.
    QDeadlineTimer deadline(60000);
    QRect lastFrame;
    QDeadlineTimer settled(500);
    while (!deadline.hasExpired() && !(framed(window) && settled.hasExpired())) {
        QApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(5);
        if (window.frameGeometry() != lastFrame || !framed(window)) {
            lastFrame = window.frameGeometry();
            settled.setRemainingTime(500);
        }
    }
    return framed(window) ? 0 : 1;
}
