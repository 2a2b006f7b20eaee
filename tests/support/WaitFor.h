// Waiting on window state inside GoogleTest. Qt's QTRY_* macros return silently
// on timeout when used outside QTest, so a check that never came true would pass;
// this helper hands the timeout to GoogleTest as a failure instead.
#pragma once

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QThread>
#include <gtest/gtest.h>

#include <functional>

namespace grazlo_test {

// Processes events until condition() holds or timeoutMs have passed.
// Use as EXPECT_TRUE(waitFor([&] { return ...; })) or ASSERT_TRUE(...).
inline ::testing::AssertionResult waitFor(const std::function<bool()> &condition, int timeoutMs = 5000)
{
    QDeadlineTimer deadline(timeoutMs);
    while (!condition()) {
        if (deadline.hasExpired())
            return ::testing::AssertionFailure() << "condition not met within " << timeoutMs << " ms";
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QThread::msleep(1);
    }
    return ::testing::AssertionSuccess();
}

} // namespace grazlo_test
