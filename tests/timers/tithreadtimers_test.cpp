#include "timers/tithreadtimers.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QThread>
#include <QTimer>

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <thread>
#include <vector>

using namespace velmar;
using namespace std::chrono_literals;

namespace {

using Clock = std::chrono::steady_clock;

// Timings are checked with wide margins: the machine running the tests may be busy, so a
// notification can come late, but it must never come early and never be missing or extra.
constexpr double Late = 120.0;

void pumpFor(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();
}

// The GUI thread doing something long without looking at its events.
void busyFor(std::chrono::milliseconds duration) { std::this_thread::sleep_for(duration); }

class TimerTest : public ::testing::Test {
protected:
    void SetUp() override { t0 = Clock::now(); }

    double now() const { return std::chrono::duration<double, std::milli>(Clock::now() - t0).count(); }

    // Records the time of each handler run for `timer` (ms since the test began).
    void record(int timer)
    {
        timers.setOnTimer(timer, [this](QObject* sender) {
            EXPECT_EQ(sender, &timers);
            EXPECT_EQ(QThread::currentThread(), qApp->thread());
            runs.push_back(now());
        });
    }

    // No handler has run less than `interval` after `from`. Not "none has run": on a busy
    // machine a short pump can return late, after the new wait has rightly ended.
    bool noRunSooner(double from, double interval) const
    {
        for (double at : runs) {
            if (at - from < interval - 1.0)
                return false;
        }
        return true;
    }

    Clock::time_point t0;
    std::vector<double> runs;
    TiThreadTimers timers;
};

TEST_F(TimerTest, DefaultsAndIntervalsOfZeroOrLessStoreOne)
{
    for (int timer = 1; timer <= TiThreadTimers::TimerCount; ++timer) {
        EXPECT_EQ(timers.interval(timer), 1000);
        EXPECT_FALSE(timers.enabled(timer));
        EXPECT_FALSE(timers.onTimer(timer));
        EXPECT_EQ(timers.threadPriority(timer), TiThreadTimers::tpNormal);
    }
    EXPECT_THROW(timers.setEnabled(0, true), std::out_of_range);
    EXPECT_THROW(timers.interval(10), std::out_of_range);

    const struct {
        int set, stored;
    } cases[] = {{0, 1}, {-5, 1}, {1, 1}, {30, 30}, {10000, 10000}};
    for (bool enabled : {false, true}) {
        timers.setEnabled(3, enabled);
        for (const auto& c : cases) {
            timers.setInterval(3, c.set);
            EXPECT_EQ(timers.interval(3), c.stored) << c.set << (enabled ? " enabled" : " disabled");
        }
        EXPECT_EQ(timers.enabled(3), enabled);
    }
}

TEST_F(TimerTest, FirstExpiryIsOneIntervalAfterEnablingAndEnablingAgainDoesNotMoveIt)
{
    record(1);
    timers.setInterval(1, 200);
    const double enabledAt = now();
    timers.setEnabled(1, true);
    pumpFor(120);
    timers.setEnabled(1, true);  // no effect: the wait in progress keeps its end
    pumpFor(150);
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_GE(runs[0] - enabledAt, 199.0);
    EXPECT_LT(runs[0] - enabledAt, 200.0 + Late);
}

TEST_F(TimerTest, ShortDisableFiresAtTheOriginalEnd)
{
    record(2);
    timers.setInterval(2, 300);
    timers.setEnabled(2, true);
    pumpFor(50);
    timers.setEnabled(2, false);
    pumpFor(100);
    timers.setEnabled(2, true);
    pumpFor(40);
    EXPECT_TRUE(noRunSooner(0.0, 300.0)) << "fired on re-enable although the wait had not ended";
    pumpFor(300);
    ASSERT_GE(runs.size(), 1u);
    EXPECT_GE(runs[0], 299.0);
    EXPECT_LT(runs[0], 300.0 + Late);
}

TEST_F(TimerTest, LongDisableFiresOnceAtOnceWhenEnabledAgain)
{
    record(2);
    timers.setInterval(2, 100);
    timers.setEnabled(2, true);
    pumpFor(20);
    timers.setEnabled(2, false);
    pumpFor(450);  // the wait ended long ago, and several more intervals went by
    EXPECT_TRUE(runs.empty()) << "a disabled timer handed over a notification";
    const double enabledAt = now();
    timers.setEnabled(2, true);
    pumpFor(60);
    ASSERT_EQ(runs.size(), 1u) << "missed intervals must not be caught up";
    EXPECT_LT(runs[0] - enabledAt, 50.0);
}

TEST_F(TimerTest, BusyGuiThreadGetsEveryNotificationBackToBackEvenAfterDisabling)
{
    record(9);
    timers.setInterval(9, 100);
    timers.setEnabled(9, true);
    busyFor(550ms);  // five expiries, at about 100, 200, ... 500
    // Notifications already handed over run although the timer is now disabled.
    timers.setEnabled(9, false);
    pumpFor(30);
    ASSERT_EQ(runs.size(), 5u);
    EXPECT_LT(runs.back() - runs.front(), 25.0) << "queued notifications should run back to back";
    pumpFor(200);
    EXPECT_EQ(runs.size(), 5u);
}

TEST_F(TimerTest, HandlerIsReadWhenTheNotificationIsDelivered)
{
    int first = 0, second = 0;
    timers.setOnTimer(4, [&](QObject*) { ++first; });
    timers.setInterval(4, 60);
    timers.setEnabled(4, true);
    busyFor(90ms);  // one notification waits in the queue
    timers.setOnTimer(4, [&](QObject*) { ++second; });
    pumpFor(20);
    EXPECT_EQ(first, 0);
    EXPECT_EQ(second, 1);

    busyFor(70ms);  // the next one is queued, then its handler goes away
    timers.setOnTimer(4, nullptr);
    pumpFor(20);
    EXPECT_EQ(first, 0);
    EXPECT_EQ(second, 1);
}

TEST_F(TimerTest, IntervalChangeOfEnabledTimerDropsPendingAndWaitsAFullNewInterval)
{
    record(5);
    timers.setInterval(5, 50);
    timers.setEnabled(5, true);
    timers.setThreadPriority(5, TiThreadTimers::tpLower);
    busyFor(80ms);  // a notification of the old worker is queued
    const double changedAt = now();
    timers.setInterval(5, 300);
    EXPECT_EQ(timers.threadPriority(5), TiThreadTimers::tpNormal) << "a new worker starts at normal";
    pumpFor(200);
    EXPECT_TRUE(noRunSooner(changedAt, 300.0)) << "the stopped worker's notification was delivered";
    pumpFor(250);
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_GE(runs[0] - changedAt, 299.0);
    EXPECT_LT(runs[0] - changedAt, 300.0 + Late);
}

TEST_F(TimerTest, IntervalChangeOfDisabledTimerKeepsTheFrozenEnd)
{
    record(6);
    timers.setInterval(6, 300);
    timers.setEnabled(6, true);
    pumpFor(50);
    timers.setEnabled(6, false);
    timers.setInterval(6, 80);
    pumpFor(50);
    timers.setEnabled(6, true);
    pumpFor(420);
    ASSERT_GE(runs.size(), 2u);
    EXPECT_GE(runs[0], 299.0) << "the wait in progress must keep its end";
    EXPECT_LT(runs[0], 300.0 + Late);
    EXPECT_GE(runs[1] - runs[0], 70.0) << "the new interval applies from the next wait";
    EXPECT_LT(runs[1] - runs[0], 80.0 + Late);
}

TEST_F(TimerTest, HandlerThatOverrunsWhileDisabledGetsTheNextNotificationAtOnce)
{
    // The poll cycle's pattern: disable on entry, work, enable on exit.
    std::vector<double> ends;
    timers.setInterval(9, 60);
    timers.setOnTimer(9, [&](QObject*) {
        timers.setEnabled(9, false);
        runs.push_back(now());
        if (runs.size() == 1)
            busyFor(100ms);
        ends.push_back(now());
        timers.setEnabled(9, true);
    });
    timers.setEnabled(9, true);
    pumpFor(200);
    timers.setEnabled(9, false);
    ASSERT_GE(runs.size(), 2u);
    EXPECT_LT(runs[1] - ends[0], 40.0) << "the wait had ended during the handler";
}

TEST_F(TimerTest, RestartMeasuresAFullIntervalFromTheCallAndDropsTheOldWait)
{
    record(8);
    timers.setInterval(8, 300);
    timers.restart(8);  // also enables a never-started timer
    EXPECT_TRUE(timers.enabled(8));
    pumpFor(200);
    double restartedAt = now();
    timers.restart(8);
    pumpFor(200);
    EXPECT_TRUE(noRunSooner(restartedAt, 300.0)) << "the wait before the restart ran out";
    pumpFor(220);
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_GE(runs[0] - restartedAt, 299.0);
    EXPECT_LT(runs[0] - restartedAt, 300.0 + Late);

    // A disabled timer whose wait is frozen, and one with a notification already queued.
    timers.setEnabled(8, false);
    runs.clear();
    timers.setInterval(8, 60);
    busyFor(100ms);
    restartedAt = now();
    timers.restart(8);
    pumpFor(30);
    EXPECT_TRUE(noRunSooner(restartedAt, 60.0));
    timers.setEnabled(8, true);
    busyFor(80ms);
    restartedAt = now();
    timers.restart(8);
    pumpFor(30);
    EXPECT_TRUE(noRunSooner(restartedAt, 60.0)) << "a notification of the old wait was delivered after restart";
    pumpFor(80);
    ASSERT_GE(runs.size(), 1u);
    EXPECT_GE(runs[0] - restartedAt, 59.0);
}

TEST(TimerLifetime, DestructionIsPromptAndDropsPendingNotifications)
{
    auto timing = [](auto&& body) {
        const auto start = Clock::now();
        body();
        return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    };
    EXPECT_LT(timing([] { TiThreadTimers never; }), 200.0);

    int runs = 0;
    auto timers = std::make_unique<TiThreadTimers>();
    timers->setOnTimer(1, [&](QObject*) { ++runs; });
    timers->setInterval(1, 40);
    timers->setEnabled(1, true);
    timers->setInterval(2, 5000);
    timers->setEnabled(2, true);
    pumpFor(10);
    timers->setEnabled(2, false);  // timer 2 is frozen inside a long wait
    busyFor(70ms);                 // timer 1 has a notification queued
    EXPECT_LT(timing([&] { timers.reset(); }), 200.0);
    pumpFor(60);
    EXPECT_EQ(runs, 0);
}

TEST(TimerLifetime, HandlerMayDestroyItsOwnComponent)
{
    auto* timers = new TiThreadTimers;
    bool ran = false;
    timers->setInterval(3, 20);
    timers->setOnTimer(3, [&](QObject* sender) {
        ran = true;
        delete sender;
    });
    timers->setEnabled(3, true);
    pumpFor(100);
    EXPECT_TRUE(ran);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

TEST(TimerPriority, LevelsReadBackAndRefusalsAreReported)
{
    TiThreadTimers timers;
    using P = TiThreadTimers;
    for (auto level : {P::tpLowest, P::tpLower, P::tpHigher, P::tpHighest, P::tpTimeCritical, P::tpNormal}) {
        timers.setThreadPriority(7, level);
        EXPECT_EQ(timers.threadPriority(7), level);
    }
    timers.setEnabled(7, true);
    timers.setThreadPriority(7, P::tpIdle);
    EXPECT_EQ(timers.threadPriority(7), P::tpIdle);
    // Leaving the idle class needs a permission an ordinary user may lack; either way the
    // answer must be truthful.
    try {
        timers.setThreadPriority(7, P::tpNormal);
        EXPECT_EQ(timers.threadPriority(7), P::tpNormal);
    } catch (const ThreadError& error) {
        EXPECT_TRUE(error.message().startsWith(QStringLiteral("Thread Error: "))) << error.what();
        EXPECT_TRUE(error.message().endsWith(QStringLiteral(")"))) << error.what();
        EXPECT_EQ(timers.threadPriority(7), P::tpIdle);
    }
}

}  // namespace
