#include "platform/delay.h"

#include "tests/support/delay_fixture.h"
#include "timers/tithreadtimers.h"

#include <QCoreApplication>
#include <QTimer>

#include <cstdint>

using namespace velmar;
using namespace velmar::test;

namespace {

TEST_F(DelayTest, WaitsOnTheTickWhileEventsAndTimerNotificationsRun)
{
    int posted = 0, singleShot = 0, notifications = 0;
    TiThreadTimers timers;
    timers.setInterval(9, 30);
    timers.setOnTimer(9, [&](QObject*) { ++notifications; });
    timers.setEnabled(9, true);
    QTimer::singleShot(40, [&] { ++singleShot; });
    QMetaObject::invokeMethod(qApp, [&] { ++posted; }, Qt::QueuedConnection);

    const std::uint32_t tickBefore = platform.tickCount();
    const auto start = Clock::now();
    Delay(200);
    const double waited = msSince(start);

    EXPECT_GE(platform.tickCount() - tickBefore, 200u);
    EXPECT_LT(waited, 200.0 + 150.0);
    EXPECT_EQ(posted, 1);
    EXPECT_EQ(singleShot, 1);
    EXPECT_GE(notifications, 3);  // about six on an idle machine
}

TEST_F(DelayTest, NestedWaitInsideATimerHandlerReturnsToTheOuterOne)
{
    TiThreadTimers timers;
    timers.setInterval(1, 50);
    double innerDone = 0;
    const auto start = Clock::now();
    timers.setOnTimer(1, [&](QObject*) {
        timers.setEnabled(1, false);
        Delay(200);
        innerDone = msSince(start);
    });
    timers.setEnabled(1, true);
    Delay(100);
    const double outerDone = msSince(start);
    EXPECT_GE(innerDone, 249.0);
    EXPECT_GE(outerDone, innerDone);
    EXPECT_LT(outerDone, innerDone + 50.0);
}

}  // namespace
