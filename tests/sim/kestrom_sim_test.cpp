#include "sim/kestrom_sim.h"

#include <gtest/gtest.h>

#include <cstring>

namespace velmar::sim {
namespace {

class KestromSimTest : public ::testing::Test {
protected:
    ManualClock clock;
    KestromSim sim{clock.clock()};

    void send(const QByteArray& command)
    {
        const QByteArray bytes = command + '\r';
        std::uint32_t written = 0;
        ASSERT_TRUE(sim.write(Channel::A, bytes.constData(), std::uint32_t(bytes.size()), &written));
        ASSERT_EQ(written, std::uint32_t(bytes.size()));
    }
    std::uint32_t queued(Channel channel)
    {
        std::uint32_t count = 0;
        EXPECT_TRUE(sim.queued(channel, &count));
        return count;
    }
    QByteArray readAll(Channel channel)
    {
        QByteArray bytes(int(queued(channel)), '\0');
        std::uint32_t got = 0;
        EXPECT_TRUE(sim.read(channel, bytes.data(), std::uint32_t(bytes.size()), &got));
        bytes.truncate(int(got));
        return bytes;
    }
    // Milliseconds from now until channel A holds a reply.
    std::int64_t replyLatency()
    {
        const std::int64_t start = clock.now;
        while (queued(Channel::A) == 0 && clock.now - start < 100000)
            clock.advance(1);
        return clock.now - start;
    }
};

TEST_F(KestromSimTest, RepliesAfterTheMoveAtTheSelectedSpeed)
{
    struct Case {
        QByteArray speed;
        double factor;
        QByteArray command;
        std::int64_t expectedMs;
    };
    // 2000, 1000 and 500 steps/s at SS 2, 3, 4, plus 5 ms to take the command in.
    const Case cases[] = {
        {"SS 2", 1, "GT -2000", 1005},
        {"SS 3", 1, "GP -154 2", 159},
        {"SS 4", 1, "GT 200", 405},
        {"SS 2", 10, "GT -2000", 101},
        {"SS 2", 1, "RY 1", 5},
        {"SS 2", 1, "X", 5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.command.constData());
        sim.setSpeedFactor(c.factor);
        send(c.speed);
        clock.advance(50);
        readAll(Channel::A);
        send(c.command);
        EXPECT_NEAR(double(replyLatency()), double(c.expectedMs), 1.0);
        EXPECT_EQ(readAll(Channel::A), QByteArray("OK\r"));
    }
}

TEST_F(KestromSimTest, TracksPositionThroughMovesAndTop)
{
    EXPECT_EQ(sim.positionSteps(), KestromSim::PowerOnPosition);
    send("GT -100");  // 100 steps down
    clock.advance(100);
    EXPECT_EQ(sim.positionSteps(), KestromSim::PowerOnPosition + 100);

    send("TP");  // back to the top at 2000 steps/s: 375 ms for 740 steps
    clock.advance(190);
    EXPECT_GT(sim.positionSteps(), 300);  // on its way
    EXPECT_LT(sim.positionSteps(), 440);
    clock.advance(200);
    EXPECT_EQ(sim.positionSteps(), 0);

    // Moves queue behind each other, and their replies come in order.
    send("GT -300");
    send("GT 100");
    clock.advance(1000);
    EXPECT_EQ(sim.positionSteps(), 200);
    EXPECT_EQ(readAll(Channel::A), QByteArray("OK\r"
                                              "OK\r"
                                              "OK\r"
                                              "OK\r"));
}

TEST_F(KestromSimTest, StreamsFramesThatFollowTheSupply)
{
    // Frames are whole, one per period, five digits and a carriage return.
    auto frames = [&](int count) {
        clock.advance(std::int64_t(count) * KestromSim::FramePeriodMs);
        const QByteArray bytes = readAll(Channel::B);
        EXPECT_EQ(bytes.size(), 6 * count);
        QList<int> values;
        for (int i = 0; i + 6 <= bytes.size(); i += 6) {
            EXPECT_EQ(bytes[i + 5], '\r');
            bool ok = false;
            values << bytes.mid(i, 5).toInt(&ok);
            EXPECT_TRUE(ok) << bytes.mid(i, 5).constData();
        }
        return values;
    };
    auto allWithin = [](const QList<int>& values, int low, int high) {
        for (int v : values)
            if (v < low || v > high)
                return false;
        return !values.isEmpty();
    };

    EXPECT_TRUE(allWithin(frames(10), 0, 9999));  // supply off: no flag
    send("PO 1");
    clock.advance(1);
    readAll(Channel::B);
    EXPECT_TRUE(allWithin(frames(10), 10010, 10014));  // output on, relay open: the zero count
    send("SP 1024 192");  // 12 V
    send("RY 1");
    clock.advance(1);
    readAll(Channel::B);
    EXPECT_TRUE(allWithin(frames(10), 10106, 10110));  // 12 + 12 V x 8
    send("AC");
    clock.advance(1);
    readAll(Channel::B);
    const QList<int> ac = frames(10);
    EXPECT_TRUE(allWithin(ac, 10060, 10080));
    send("X");  // the end of operation switches the supply off
    clock.advance(1);
    readAll(Channel::B);
    EXPECT_TRUE(allWithin(frames(5), 0, 9999));
    EXPECT_TRUE(sim.exitReceived());
}

TEST_F(KestromSimTest, WireLogSplitsCommandsAtCarriageReturns)
{
    std::uint32_t written = 0;
    clock.advance(7);
    sim.write(Channel::A, "TP\rGT", 5, &written);
    clock.advance(3);
    sim.write(Channel::A, " -156\rSS", 8, &written);
    EXPECT_EQ(sim.wireBytes(), QByteArray("TP\rGT -156\rSS"));
    const QList<WireCommand> commands = sim.commands();
    ASSERT_EQ(commands.size(), 2);
    EXPECT_EQ(commands[0].text, "TP");
    EXPECT_EQ(commands[0].atMs, 7);
    EXPECT_EQ(commands[1].text, "GT -156");
    EXPECT_EQ(commands[1].atMs, 10);
    EXPECT_EQ(sim.counters().commands, 2);
}

TEST_F(KestromSimTest, ReceivePurgeDropsArrivedBytesButNotRepliesStillComing)
{
    send("GT -1000");  // ~505 ms
    send("RY 1");
    clock.advance(200);
    ASSERT_TRUE(sim.purge(Channel::A, true, false));
    clock.advance(600);
    EXPECT_EQ(readAll(Channel::A), QByteArray("OK\rOK\r"));
    clock.advance(100);
    EXPECT_GT(queued(Channel::B), 0u);
    ASSERT_TRUE(sim.purge(Channel::B, true, true));
    EXPECT_EQ(queued(Channel::B), 0u);
}

TEST_F(KestromSimTest, ReplyFaults)
{
    sim.faults.reply = QByteArray();
    send("TP");
    clock.advance(5000);
    EXPECT_EQ(queued(Channel::A), 0u);

    sim.faults.reply = QByteArray("K");
    send("RY 0");
    clock.advance(100);
    EXPECT_EQ(readAll(Channel::A), QByteArray("K"));

    sim.faults.reply.reset();
    sim.faults.lateReplyMs = 300;
    send("RY 1");
    EXPECT_NEAR(double(replyLatency()), 305.0, 1.0);

    // An unknown command still gets a reply, a different one.
    sim.faults.lateReplyMs = 0;
    readAll(Channel::A);
    send("ZZ 9");
    clock.advance(10);
    EXPECT_EQ(readAll(Channel::A), QByteArray("ER\r"));
}

TEST_F(KestromSimTest, StreamFaults)
{
    sim.faults.garbageFrames = true;
    clock.advance(KestromSim::FramePeriodMs);
    const QByteArray garbage = readAll(Channel::B);
    ASSERT_EQ(garbage.size(), 6);
    bool ok = true;
    garbage.left(5).toInt(&ok);
    EXPECT_FALSE(ok);
    EXPECT_EQ(garbage[5], '\r');

    sim.faults.garbageFrames = false;
    sim.shiftStream(3);
    clock.advance(2 * KestromSim::FramePeriodMs);
    const QByteArray shifted = readAll(Channel::B);
    ASSERT_EQ(shifted.size(), 9);
    EXPECT_EQ(shifted.indexOf('\r'), 2);  // the carriage return comes third, not sixth

    sim.faults.frameText = QByteArray("$FFFF");
    clock.advance(KestromSim::FramePeriodMs);
    EXPECT_EQ(readAll(Channel::B), QByteArray("$FFFF\r"));
    sim.faults.frameText.reset();

    // A stall sends nothing, and no backlog when it ends: the stream goes on from then.
    sim.faults.streamStalled = true;
    clock.advance(50 * KestromSim::FramePeriodMs);
    EXPECT_EQ(queued(Channel::B), 0u);
    sim.faults.streamStalled = false;
    clock.advance(KestromSim::FramePeriodMs);
    EXPECT_EQ(queued(Channel::B), 6u);
    readAll(Channel::B);

    sim.faults.framesPerPeriod = 4;
    clock.advance(2 * KestromSim::FramePeriodMs);
    EXPECT_EQ(queued(Channel::B), 8u * 6);
}

TEST_F(KestromSimTest, OneChannelUnpluggedLeavesTheOtherWorking)
{
    ASSERT_TRUE(sim.open(Channel::A));
    ASSERT_TRUE(sim.open(Channel::B));
    std::uint32_t count = 0;
    char buffer[8];

    sim.unplug(Channel::B);
    EXPECT_FALSE(sim.queued(Channel::B, &count));
    EXPECT_FALSE(sim.present(Channel::B));
    send("RY 1");
    EXPECT_EQ(replyLatency(), KestromSim::CommandOverheadMs);
    EXPECT_TRUE(sim.relayOn());

    KestromSim other{clock.clock()};
    ASSERT_TRUE(other.open(Channel::B));
    other.unplug(Channel::A);
    EXPECT_FALSE(other.write(Channel::A, "TP\r", 3, &count));
    EXPECT_FALSE(other.purge(Channel::A, true, true));
    clock.advance(KestromSim::FramePeriodMs);
    EXPECT_TRUE(other.read(Channel::B, buffer, 6, &count));
    EXPECT_EQ(count, 6u);
}

TEST_F(KestromSimTest, UnplugFailsEveryCallFromThenOn)
{
    ASSERT_TRUE(sim.open(Channel::A));
    sim.unplug();
    std::uint32_t count = 0;
    char buffer[8];
    EXPECT_FALSE(sim.queued(Channel::A, &count));
    EXPECT_FALSE(sim.queued(Channel::B, &count));
    EXPECT_FALSE(sim.read(Channel::B, buffer, 6, &count));
    EXPECT_FALSE(sim.write(Channel::A, "TP\r", 3, &count));
    EXPECT_FALSE(sim.purge(Channel::A, true, true));
    EXPECT_FALSE(sim.present(Channel::B));
}

TEST_F(KestromSimTest, ChannelsOpenOnceAndCanBeMissing)
{
    EXPECT_EQ(sim.channelSerial(Channel::A), "KS265000A");
    EXPECT_EQ(sim.channelSerial(Channel::B), "KS265000B");
    EXPECT_TRUE(sim.open(Channel::A));
    EXPECT_FALSE(sim.open(Channel::A));  // one host at a time
    sim.close(Channel::A);
    EXPECT_TRUE(sim.open(Channel::A));
    sim.faults.missingB = true;
    EXPECT_FALSE(sim.open(Channel::B));
    sim.faults.missingB = false;
    sim.faults.noDevice = true;
    EXPECT_FALSE(sim.present(Channel::A));
    EXPECT_FALSE(sim.present(Channel::B));
}

TEST_F(KestromSimTest, UnreadStreamStopsAtTheQueueCapacity)
{
    clock.advance(24LL * 3600 * 1000);  // a day with nobody reading channel B
    const std::uint32_t waiting = queued(Channel::B);
    EXPECT_LE(waiting, std::uint32_t(KestromSim::ReceiveQueueCapacity));
    EXPECT_EQ(waiting % 6, 0u);  // whole frames only: the stream stays in step
    EXPECT_GT(sim.counters().framesDropped, 0);
}

}  // namespace
}  // namespace velmar::sim
