#include "device/d2xx/backend.h"
#include "device/d2xx/d2xx.h"
#include "sim/kestrom_sim.h"
#include "sim/simulated_backend.h"
#include "tests/support/recording_platform.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <pty.h>
#include <unistd.h>

namespace velmar::d2xx {
namespace {

// A reader waiting for bytes on a channel is woken by the channel itself: when bytes arrive,
// or when the line goes; never before bytes can be there, and not at all once it has taken its
// request back. The same contract on the serial backend (a pseudo-terminal's far end) and on
// the simulated instrument.
struct Line {
    std::function<void(int afterMs)> sendLater;  // the far end sends three bytes after a while
    std::function<void()> hangUp;                // the far end goes
};

class ReceiveNotification : public ::testing::TestWithParam<const char*> {
protected:
    void SetUp() override
    {
        closeAll();
        if (std::string(GetParam()) == "serial") {
            char name[128] = {};
            int slave = -1;
            ASSERT_EQ(::openpty(&master_, &slave, name, nullptr, nullptr), 0);
            ::close(slave);
            setBackend(makeSerialBackend({{"KS265000A", QString::fromLatin1(name)}}));
            line_.sendLater = [this](int ms) {
                QTimer::singleShot(ms, Qt::PreciseTimer, [this] {
                    sentAt_.start();
                    ASSERT_EQ(::write(master_, "OK\r", 3), 3);
                });
            };
            line_.hangUp = [this] {
                ::close(master_);
                master_ = -1;
            };
        } else {
            sim::installSimulator(instrument_);
            line_.sendLater = [this](int ms) {
                // A command whose reply comes `ms` later.
                instrument_->faults.lateReplyMs = ms;
                char command[] = "SS 2\r";
                std::uint32_t written = 0;
                ASSERT_EQ(FT_Write(handle_, command, 5, &written), FT_OK);
                QTimer::singleShot(ms, Qt::PreciseTimer, [this] { sentAt_.start(); });
            };
            line_.hangUp = [this] { instrument_->unplug(sim::Channel::A); };
        }
        char serial[] = "KS265000A";
        ASSERT_EQ(FT_OpenEx(serial, FT_OPEN_BY_SERIAL_NUMBER, &handle_), FT_OK);
    }
    void TearDown() override
    {
        closeAll();
        if (master_ >= 0)
            ::close(master_);
        setBackend(makeSerialBackend({}));
    }
    static void runFor(int ms, const std::function<bool()>& done = [] { return false; })
    {
        QElapsedTimer waited;
        waited.start();
        while (!done() && waited.elapsed() < ms)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    }
    std::uint32_t queued()
    {
        std::uint32_t n = 0;
        return FT_GetQueueStatus(handle_, &n) == FT_OK ? n : 0;
    }

    test::RecordingPlatform platform_;
    std::shared_ptr<sim::KestromSim> instrument_ = std::make_shared<sim::KestromSim>();
    int master_ = -1;
    FT_HANDLE handle_ = nullptr;
    Line line_;
    QElapsedTimer sentAt_;
};

TEST_P(ReceiveNotification, WakesWhenBytesArriveAndNotBefore)
{
    int wakes = 0;
    std::uint32_t queuedAtWake = 0;
    ASSERT_EQ(FT_NotifyOnReceive(handle_, [&] {
                  ++wakes;
                  queuedAtWake = queued();
              }),
              FT_OK);
    line_.sendLater(40);
    runFor(20);
    EXPECT_EQ(wakes, 0) << "woken before anything was sent";
    runFor(3000, [&] { return wakes > 0; });
    ASSERT_EQ(wakes, 1);
    EXPECT_EQ(queuedAtWake, 3u);
    EXPECT_TRUE(sentAt_.isValid());
    // Once is once: bytes still waiting do not wake again without a new request.
    runFor(50);
    EXPECT_EQ(wakes, 1);
}

TEST_P(ReceiveNotification, ARequestTakenBackIsNeverAnswered)
{
    int wakes = 0;
    ASSERT_EQ(FT_NotifyOnReceive(handle_, [&] { ++wakes; }), FT_OK);
    ASSERT_EQ(FT_NotifyOnReceive(handle_, {}), FT_OK);
    line_.sendLater(10);
    runFor(100);
    EXPECT_EQ(wakes, 0);
    EXPECT_EQ(queued(), 3u);
    // Bytes already waiting: a new request is answered at once.
    ASSERT_EQ(FT_NotifyOnReceive(handle_, [&] { ++wakes; }), FT_OK);
    runFor(1000, [&] { return wakes > 0; });
    EXPECT_EQ(wakes, 1);
}

TEST_P(ReceiveNotification, TheLineGoingWakesTheReader)
{
    bool woken = false;
    ASSERT_EQ(FT_NotifyOnReceive(handle_, [&] { woken = true; }), FT_OK);
    QTimer::singleShot(20, [this] { line_.hangUp(); });
    runFor(3000, [&] { return woken; });
    EXPECT_TRUE(woken);
}

INSTANTIATE_TEST_SUITE_P(Backends, ReceiveNotification, ::testing::Values("serial", "simulated"),
                         [](const auto& info) { return std::string(info.param); });

TEST(ReceiveNotificationHandles, AnUnknownHandleIsRefused)
{
    EXPECT_EQ(FT_NotifyOnReceive(nullptr, [] {}), FT_INVALID_HANDLE);
}

}  // namespace
}  // namespace velmar::d2xx
