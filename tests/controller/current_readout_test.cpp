#include "controller/current_readout.h"

#include "device/current_stream.h"
#include "device/d2xx/d2xx.h"
#include "sim/kestrom_sim.h"
#include "sim/simulated_backend.h"
#include "tests/support/readout_rig.h"
#include "tests/support/recording_platform.h"

#include <QLabel>

#include <gtest/gtest.h>

#include <deque>
#include <memory>

namespace velmar {
namespace {

// Frame values in the order the instrument sends them; an idle supply's reading after that.
class ScriptedCurrent : public sim::CurrentModel {
public:
    std::deque<int> values;
    int frameValue(const sim::SupplyState&, std::mt19937&) override
    {
        if (values.empty())
            return idleCount;
        const int v = values.front();
        values.pop_front();
        return v;
    }
};

// The current stream and its readout alone on a simulated instrument whose clock moves only when
// told to, with just the lamp and the labels the readout writes.
class CurrentStreamTest : public ::testing::Test, protected test::ReadoutRig {
protected:
    void SetUp() override
    {
        d2xx::closeAll();
        auto model = std::make_unique<ScriptedCurrent>();
        script = model.get();
        instrument->setCurrentModel(std::move(model));
        sim::installSimulator(instrument);
        for (QLabel* l : {&label6, &label7, &label8, &label9, &label12})
            l->setText("-");
    }
    void TearDown() override { d2xx::closeAll(); }

    // The first call opens channel B; nothing is waiting yet.
    void open()
    {
        readout.ReadCurrentFrame();
        ASSERT_TRUE(state.DataChannelOpen);
        ASSERT_TRUE(platform.dialogs.isEmpty()) << platform.dialogs.join('\n').toStdString();
    }
    // The instrument sends these frame values, one frame period apart.
    void send(std::initializer_list<int> values)
    {
        script->values.insert(script->values.end(), values);
        clock.advance(sim::KestromSim::FramePeriodMs * static_cast<int>(values.size()));
    }

    test::RecordingPlatform platform;
    sim::ManualClock clock;
    std::shared_ptr<sim::KestromSim> instrument = std::make_shared<sim::KestromSim>(clock.clock());
    ScriptedCurrent* script = nullptr;
};

TEST_F(CurrentStreamTest, DecodesOneFrame)
{
    struct Case {
        const char* name;
        int value;
        std::int32_t zeroOffset;
        std::int32_t slot;    // SampleSlot before
        bool lamp;            // lamp after
        double current;       // slot 0 after
        std::int32_t raw;     // RawCurrent after (55 before)
        bool written;         // one of slots 1 to 3 and its label written
        std::int32_t nextSlot;
    };
    const Case cases[] = {
        {"flagged, offset and factor applied", 10237, 12, 1, true, 652.5, 237, true, 2},
        {"no flag: lamp off, zero shown, rotation kept", 9999, 12, 2, false, 0.0, 55, false, 2},
        {"flag with a zero count", 10000, 0, 2, true, 0.0, 0, true, 3},
        {"slot 3 then back to 1", 10100, 0, 3, true, 290.0, 100, true, 1},
        {"count below the offset", 10002, 12, 1, true, -29.0, 2, true, 2},
    };
    open();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        state.ZeroOffset = c.zeroOffset;
        state.SampleSlot = c.slot;
        state.RawCurrent = 55;
        state.CurrentSamples = {7.7, -5.0, -5.0, -5.0, 0.0, 0.0};
        lamp.setActive(!c.lamp);
        for (QLabel* l : {&label7, &label8, &label9})
            l->setText("-");

        send({c.value});
        const double reading = readout.ReadCurrentFrame();

        EXPECT_EQ(lamp.active(), c.lamp);
        EXPECT_DOUBLE_EQ(reading, c.current);
        EXPECT_DOUBLE_EQ(state.CurrentSamples[0], c.current);
        EXPECT_EQ(state.RawCurrent, c.raw);
        EXPECT_EQ(state.SampleSlot, c.nextSlot);
        QLabel* labels[] = {nullptr, &label7, &label8, &label9};
        for (int slot = 1; slot <= 3; ++slot) {
            const bool written = c.written && slot == c.slot;
            EXPECT_DOUBLE_EQ(state.CurrentSamples[slot], written ? c.current : -5.0) << "slot " << slot;
            EXPECT_EQ(labels[slot]->text(), written ? QString::number(c.current) : "-") << "slot " << slot;
        }
        EXPECT_EQ(label6.text(), QString::number(c.value).rightJustified(5, '0'));
        EXPECT_EQ(label12.text(), "6");
        EXPECT_EQ(reader.carriedBytes(), 0u);
        // No frame waiting: the reading as it stands.
        EXPECT_DOUBLE_EQ(readout.ReadCurrentFrame(), c.current);
    }
    EXPECT_TRUE(platform.dialogs.isEmpty()) << platform.dialogs.join('\n').toStdString();
}

TEST_F(CurrentStreamTest, PartFrameWaitingIsLeftQueued)
{
    open();
    instrument->shiftStream(1);
    send({10237});  // five bytes arrive
    readout.ReadCurrentFrame();
    EXPECT_EQ(label12.text(), "5");
    EXPECT_EQ(instrument->counters().bytesReadB, 0);
    EXPECT_EQ(state.SampleSlot, 1);
    EXPECT_FALSE(lamp.active());
}

// Bytes lost from the stream put the next read across a frame boundary; what follows the
// stray carriage return is kept, so the stream is back in step on the following call.
TEST_F(CurrentStreamTest, StreamOutOfStepFallsBackIntoStep)
{
    open();
    for (int lost : {1, 3, 5}) {
        SCOPED_TRACE(lost);
        const std::int32_t before = state.RawCurrent;
        instrument->shiftStream(lost);
        send({10237, 10100 + lost, 10200 + lost});
        readout.ReadCurrentFrame();
        EXPECT_EQ(state.RawCurrent, before) << "a frame decoded from a torn read";
        readout.ReadCurrentFrame();
        EXPECT_EQ(state.RawCurrent, 100 + lost);
        readout.ReadCurrentFrame();
        EXPECT_EQ(state.RawCurrent, 200 + lost);
        EXPECT_EQ(reader.carriedBytes(), 0u);
    }
}

TEST_F(CurrentStreamTest, GarbledFrameIsDroppedQuietly)
{
    open();
    state.ZeroOffset = 12;
    send({10237});
    readout.ReadCurrentFrame();
    ASSERT_DOUBLE_EQ(state.CurrentSamples[0], 652.5);

    instrument->faults.garbageFrames = true;
    send({10100});
    EXPECT_NO_THROW(readout.ReadCurrentFrame());
    instrument->faults.garbageFrames = false;
    EXPECT_EQ(instrument->counters().bytesReadB, 12) << "the garbled frame is consumed";
    EXPECT_EQ(state.RawCurrent, 237);
    EXPECT_EQ(state.SampleSlot, 2);
    EXPECT_TRUE(lamp.active());

    send({10100});
    readout.ReadCurrentFrame();
    EXPECT_EQ(state.RawCurrent, 100);
    EXPECT_EQ(state.SampleSlot, 3);
    EXPECT_TRUE(platform.dialogs.isEmpty()) << platform.dialogs.join('\n').toStdString();
}

// A frame is five decimal digits. Anything else the integer conversion would still take
// (hexadecimal, blanks, a sign) is dropped like any garbled frame: no reading, no rotation.
TEST_F(CurrentStreamTest, FramesOtherThanFiveDigitsAreDropped)
{
    open();
    state.ZeroOffset = 12;
    send({10237});
    readout.ReadCurrentFrame();
    ASSERT_EQ(state.RawCurrent, 237);
    const std::uint64_t taken = reader.framesTaken();

    for (const char* text : {"$FFFF", "$2710", " 1023", "+1023", "-0001", "0x1F0", "1e3  "}) {
        SCOPED_TRACE(text);
        instrument->faults.frameText = QByteArray(text);
        const auto readBefore = instrument->counters().bytesReadB;
        clock.advance(sim::KestromSim::FramePeriodMs);
        EXPECT_NO_THROW(readout.ReadCurrentFrame());
        EXPECT_EQ(instrument->counters().bytesReadB - readBefore, 6) << "consumed";
        EXPECT_EQ(label6.text(), QString::fromLatin1(text).left(5));
        EXPECT_EQ(state.RawCurrent, 237);
        EXPECT_EQ(state.SampleSlot, 2);
        EXPECT_DOUBLE_EQ(state.CurrentSamples[0], 652.5);
        EXPECT_TRUE(lamp.active());
        EXPECT_EQ(reader.framesTaken(), taken);
    }
    instrument->faults.frameText.reset();
    send({10100});
    readout.ReadCurrentFrame();
    EXPECT_EQ(state.RawCurrent, 100);
    EXPECT_EQ(reader.framesTaken(), taken + 1);
    EXPECT_TRUE(platform.dialogs.isEmpty()) << platform.dialogs.join('\n').toStdString();
}

// A device sending faster than we poll: the oldest surplus is dropped, so the reading is never
// more than ten frames behind the newest; what remains is taken oldest first, as ever.
TEST_F(CurrentStreamTest, FloodKeepsTheReadingAtMostTenFramesBehind)
{
    open();
    std::initializer_list<int> burst = {10001, 10002, 10003, 10004, 10005, 10006, 10007, 10008, 10009,
                                        10010, 10011, 10012, 10013, 10014, 10015, 10016, 10017, 10018,
                                        10019, 10020, 10021, 10022, 10023, 10024, 10025};
    send(burst);
    readout.ReadCurrentFrame();
    EXPECT_EQ(label12.text(), "150");  // what was waiting, as the device sent it
    EXPECT_EQ(state.RawCurrent, 16) << "25 waiting: 15 dropped, the oldest of the last ten taken";
    EXPECT_EQ(state.SampleSlot, 2);
    EXPECT_DOUBLE_EQ(state.CurrentSamples[1], 16 * 2.9);

    for (int expected = 17; expected <= 25; ++expected) {
        readout.ReadCurrentFrame();
        EXPECT_EQ(state.RawCurrent, expected);
    }
    EXPECT_DOUBLE_EQ(state.CurrentSamples[2], 23 * 2.9);
    EXPECT_DOUBLE_EQ(state.CurrentSamples[3], 24 * 2.9);
    EXPECT_DOUBLE_EQ(state.CurrentSamples[1], 25 * 2.9);
    EXPECT_EQ(state.SampleSlot, 2);
    EXPECT_EQ(instrument->counters().bytesReadB, 25 * 6);

    // Ten waiting is not a flood: nothing is dropped.
    send({10031, 10032, 10033, 10034, 10035, 10036, 10037, 10038, 10039, 10040});
    readout.ReadCurrentFrame();
    EXPECT_EQ(state.RawCurrent, 31);
    EXPECT_EQ(reader.carriedBytes(), 0u);
}

TEST_F(CurrentStreamTest, MissingChannelIsReportedThenLinkFails)
{
    instrument->faults.missingB = true;
    state.CurrentSamples[0] = 4.5;
    readout.ReadCurrentFrame();
    EXPECT_EQ(platform.dialogs,
              QStringList({"Error: Open_USB_Device_By_Serial_Number2 - Device Not Found....",
                           "Message: Kestrom channel B not found. Check USB connection and restart",
                           "Error: FT_Purge TX2 - Invalid Handle...", "Error: FT_Purge RX2 - Invalid Handle...",
                           "Error: FT_GetQueueStatus2 - Invalid Handle..."}));
    EXPECT_TRUE(state.LinkFailed);
    EXPECT_TRUE(state.DataChannelOpen);
    EXPECT_DOUBLE_EQ(state.CurrentSamples[0], 4.5);

    // Opened once only; later calls stop after the queue query.
    platform.dialogs.clear();
    readout.ReadCurrentFrame();
    EXPECT_EQ(platform.dialogs, QStringList({"Error: FT_GetQueueStatus2 - Invalid Handle..."}));
    EXPECT_EQ(instrument->counters().opensB, 0);
}

// A link failure of the command channel stops reading, but not the first open.
TEST_F(CurrentStreamTest, LinkFailedElsewhereStopsBeforeReading)
{
    state.LinkFailed = true;
    readout.ReadCurrentFrame();
    EXPECT_EQ(instrument->counters().opensB, 1);
    EXPECT_EQ(instrument->counters().purgesRxB, 2);
    send({10237});
    readout.ReadCurrentFrame();
    EXPECT_EQ(instrument->counters().bytesReadB, 0);
    EXPECT_EQ(label12.text(), "-");
    EXPECT_TRUE(platform.dialogs.isEmpty()) << platform.dialogs.join('\n').toStdString();
}

}  // namespace
}  // namespace velmar
