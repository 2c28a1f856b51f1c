#include "platform/delay.h"

#include "tests/support/delay_fixture.h"

#include <QCoreApplication>

#include <cstdint>

using namespace velmar;
using namespace velmar::test;

namespace {

TEST_F(DelayTest, ShortWaitProcessesPendingEventsAtLeastOnce)
{
    int posted = 0;
    QMetaObject::invokeMethod(qApp, [&] { ++posted; }, Qt::QueuedConnection);
    Delay(1);
    EXPECT_EQ(posted, 1);
}

TEST_F(DelayTest, ZeroWaitAndWaitsPastTheWrapReturnAtOnceWithoutProcessing)
{
    const struct {
        std::uint32_t offset;  // tick counter shifted towards its wrap-around
        std::uint32_t ms;
    } cases[] = {{0, 0}, {0xFFFFFFFFu - 1000u, 0}, {0xFFFFFFFFu - 50u, 10000}, {0xFFFFFFFFu - 50u, 0xFFFFFFFFu}};
    for (const auto& c : cases) {
        platform.tickOffset = 0;
        platform.tickOffset = c.offset - platform.tickCount();
        int posted = 0;
        QMetaObject::invokeMethod(qApp, [&] { ++posted; }, Qt::QueuedConnection);
        const auto start = Clock::now();
        Delay(c.ms);
        EXPECT_LT(msSince(start), 50.0) << c.offset << " + " << c.ms;
        EXPECT_EQ(posted, 0) << c.offset << " + " << c.ms;
        QCoreApplication::processEvents();
    }

    // Close to the wrap but ending before it: an ordinary wait.
    platform.tickOffset = 0;
    platform.tickOffset = 0xFFFFFFFFu - 5000u - platform.tickCount();
    const auto start = Clock::now();
    Delay(100);
    EXPECT_GE(msSince(start), 99.0);
}

}  // namespace
