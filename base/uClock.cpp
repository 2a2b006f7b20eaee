#include "base/uClock.h"

#include <QElapsedTimer>
#include <QThread>

namespace {
class TRealClock final : public TClock
{
public:
    TRealClock() { iTimer.start(); }
    qint64 nowMs() override { return iTimer.elapsed(); }
    void sleepMs(int ms) override { QThread::msleep(static_cast<unsigned long>(qMax(ms, 0))); }

private:
    QElapsedTimer iTimer;
};

TClock *&installedClock()
{
    static TClock *clock = nullptr;
    return clock;
}
} // namespace

TClock &Clock()
{
    static TRealClock realClock;
    TClock *installed = installedClock();
    return installed ? *installed : realClock;
}

void setClock(TClock *clock) { installedClock() = clock; }
