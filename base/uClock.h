#pragma once
// Seam for the wall clock and sleeping, so the run loop's 50 ms slices and the
// splash's minimum showing time can be driven by tests without real waiting.
#include <QtGlobal>

class TClock
{
public:
    virtual ~TClock() = default;
    // Milliseconds of a monotonic clock.
    virtual qint64 nowMs() = 0;
    virtual void sleepMs(int ms) = 0;
};

// The clock in use; the real one unless a test installed another.
TClock &Clock();
// Installs a clock (not owned); nullptr restores the real clock.
void setClock(TClock *clock);
