#include "platform/task.h"

#include "tests/support/recording_platform.h"
#include "tests/support/finish.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

using namespace velmar;

namespace {

class TaskTest : public ::testing::Test {
protected:
    // Runs events until `done` or a generous limit; false when the limit was reached.
    static bool runUntil(const std::function<bool()>& done, int limitMs = 5000)
    {
        QElapsedTimer waited;
        waited.start();
        while (!done() && waited.elapsed() < limitMs)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
        return done();
    }

    test::RecordingPlatform platform;
};

Task<int> answerAfter(std::uint32_t ms, QStringList& trace)
{
    trace << "inner waits";
    co_await delay(ms);
    trace << "inner resumed";
    co_return 42;
}

Task<void> failAfter(std::uint32_t ms)
{
    co_await delay(ms);
    throw std::runtime_error("failed in the routine");
}

TEST_F(TaskTest, StartRunsToTheFirstWaitAndTheEventLoopCarriesItOn)
{
    QStringList trace;
    int answer = 0;
    bool ended = false;
    int postedDuringWait = 0;
    const std::uint32_t before = platform.tickCount();
    std::uint32_t resumedAt = 0;
    Started routine = start(
        [](QStringList& trace, int& answer, std::uint32_t& resumedAt, test::RecordingPlatform& p) -> Task<void> {
            trace << "routine starts";
            answer = co_await answerAfter(60, trace);
            resumedAt = p.tickCount();
            trace << "routine ends";
        }(trace, answer, resumedAt, platform),
        [&](std::exception_ptr error) { ended = !error; });
    QMetaObject::invokeMethod(qApp, [&] { ++postedDuringWait; }, Qt::QueuedConnection);

    // start() has returned at the first wait: nothing of the rest has run inside it.
    EXPECT_EQ(trace, QStringList({"routine starts", "inner waits"}));
    EXPECT_TRUE(routine.running());
    ASSERT_TRUE(runUntil([&] { return ended; }));
    EXPECT_EQ(trace, QStringList({"routine starts", "inner waits", "inner resumed", "routine ends"}));
    EXPECT_EQ(answer, 42);
    EXPECT_EQ(postedDuringWait, 1);
    EXPECT_GE(resumedAt - before, 60u);
    EXPECT_FALSE(routine.running());
}

TEST_F(TaskTest, AnExceptionReachesTheAwaiterAndTheEndOfAStartedTask)
{
    std::string caught;
    std::exception_ptr ended;
    bool finished = false;
    Started routine = start(
        [](std::string& caught) -> Task<void> {
            try {
                co_await failAfter(5);
            } catch (const std::runtime_error& error) {
                caught = error.what();
            }
            co_await failAfter(5);
        }(caught),
        [&](std::exception_ptr error) {
            ended = error;
            finished = true;
        });
    ASSERT_TRUE(runUntil([&] { return finished; }));
    EXPECT_EQ(caught, "failed in the routine");
    ASSERT_TRUE(ended);
    EXPECT_THROW(std::rethrow_exception(ended), std::runtime_error);
}

TEST_F(TaskTest, DelayFollowsTheTickAndItsWrapRule)
{
    const struct {
        const char* name;
        std::uint32_t tickFromWrap;  // how far the tick stands below its wrap-around
        std::uint32_t ms;
        bool waits;
    } cases[] = {
        {"zero", 1000000, 0, false},
        {"an ordinary wait", 1000000, 30, true},
        {"an end past the wrap", 50, 10000, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        platform.tickOffset = 0;
        platform.tickOffset = 0xFFFFFFFFu - c.tickFromWrap - platform.tickCount();
        bool resumed = false;
        const std::uint32_t before = platform.tickCount();
        Started routine = start([](std::uint32_t ms, bool& resumed) -> Task<void> {
            co_await delay(ms);
            resumed = true;
        }(c.ms, resumed));
        EXPECT_EQ(resumed, !c.waits);
        ASSERT_TRUE(runUntil([&] { return resumed; }));
        if (c.waits) {
            EXPECT_GE(platform.tickCount() - before, c.ms);
        }
    }
}

TEST_F(TaskTest, CancellingEndsTheWaitFromTheEventLoop)
{
    Cancellation cancellation;
    bool delayCompleted = true, wakeCompleted = true, ended = false;
    QElapsedTimer waited;
    waited.start();
    Started routine = start([](Cancellation& c, bool& delayCompleted, bool& wakeCompleted, bool& ended) -> Task<void> {
        delayCompleted = co_await delay(10000, &c);
        // Already cancelled: the next wait does not begin.
        wakeCompleted = co_await Wake([](Wake::WakeFunction) {}, &c);
        ended = true;
    }(cancellation, delayCompleted, wakeCompleted, ended));
    QTimer::singleShot(20, [&] {
        cancellation.cancel();
        EXPECT_FALSE(ended) << "resumed inside cancel()";
    });
    ASSERT_TRUE(runUntil([&] { return ended; }));
    EXPECT_FALSE(delayCompleted);
    EXPECT_FALSE(wakeCompleted);
    EXPECT_LT(waited.elapsed(), 5000);

    // Reset, the same cancellation serves the next routine.
    cancellation.reset();
    bool completed = false;
    routine = start([](Cancellation& c, bool& completed) -> Task<void> {
        completed = co_await delay(5, &c);
    }(cancellation, completed));
    EXPECT_TRUE(runUntil([&] { return completed; }));
}

TEST_F(TaskTest, WakeResumesOnceFromTheEventLoopWhoeverCallsIt)
{
    struct Case {
        const char* name;
        bool callBeforeWaiting;
        int calls;
    };
    const Case cases[] = {{"called while waiting", false, 1}, {"called twice", false, 2}, {"called at once", true, 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Wake::WakeFunction wake;
        int resumes = 0;
        bool woken = false;
        Started routine = start([](const Case& c, Wake::WakeFunction& wake, int& resumes, bool& woken) -> Task<void> {
            woken = co_await Wake([&](Wake::WakeFunction f) {
                wake = std::move(f);
                if (c.callBeforeWaiting)
                    wake();
            });
            ++resumes;
        }(c, wake, resumes, woken));
        if (!c.callBeforeWaiting) {
            EXPECT_EQ(resumes, 0);
            for (int i = 0; i < c.calls; ++i)
                wake();
            EXPECT_EQ(resumes, 0) << "resumed inside the wake call";
        }
        ASSERT_TRUE(runUntil([&] { return resumes > 0; }));
        QCoreApplication::processEvents();
        EXPECT_EQ(resumes, 1);
        EXPECT_TRUE(woken);
    }
}

TEST_F(TaskTest, ARoutineDroppedWhileWaitingIsNeverResumed)
{
    Wake::WakeFunction wake;
    bool resumed = false;
    {
        Started routine = start([](Wake::WakeFunction& wake, bool& resumed) -> Task<void> {
            co_await Wake([&](Wake::WakeFunction f) { wake = std::move(f); });
            resumed = true;
        }(wake, resumed));
        Started pausing = start([](bool& resumed) -> Task<void> {
            co_await delay(10);
            resumed = true;
        }(resumed));
    }
    wake();  // the wait is gone: nothing happens
    runUntil([] { return false; }, 50);
    EXPECT_FALSE(resumed);
}

TEST_F(TaskTest, WaitForGivesTheResultToCodeThatIsNoCoroutine)
{
    QStringList trace;
    EXPECT_EQ(test::finish(answerAfter(10, trace)), 42);
    EXPECT_EQ(trace, QStringList({"inner waits", "inner resumed"}));
}

}  // namespace
