#include "controller/controller.h"
#include "sim/kestrom_sim.h"
#include "tests/support/window_fixture.h"
#include "widgets/dials/tiangulargauge.h"
#include "widgets/displays/tiledround.h"
#include "widgets/plot/tiplot.h"
#include "widgets/displays/tisevensegmentanalog.h"
#include "timers/tithreadtimers.h"

#include <QFile>
#include <QLabel>

#include <gtest/gtest.h>

#include <memory>

namespace velmar {
namespace {

// Every frame carries the same value.
class SteadyCurrent : public sim::CurrentModel {
public:
    int value = 10112;
    int frameValue(const sim::SupplyState&, std::mt19937&) override { return value; }
};

class PollCycleTest : public test::WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        auto model = std::make_unique<SteadyCurrent>();
        current = model.get();
        instrument->setCurrentModel(std::move(model));
    }

    // What the start-up sequence leaves behind, without its moves.
    void startPolling()
    {
        state().CurrentCal = 2.9;
        state().ZeroOffset = 12;
        state().SampleSlot = 1;
        state().CurrentSamples[1] = -1.0;
        timers().setEnabled(9, true);
    }
    TiThreadTimers& timers() { return *form->iThreadTimers1; }
    void poll() { controller().poll.iThreadTimers1Timer9(form->iThreadTimers1); }
    QByteArray settingsText() const
    {
        QFile file(settingsFile());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    SteadyCurrent* current = nullptr;
};

TEST_F(PollCycleTest, ShowsTheCurrentAndKeepsPollingPastGarbledFrames)
{
    startPolling();
    pump(300);
    EXPECT_DOUBLE_EQ(form->iAngularGauge1->position(), 290.0);
    EXPECT_DOUBLE_EQ(form->iSevenSegmentAnalog1->value(), 290.0);
    EXPECT_EQ(form->Label11->text(), "290");
    EXPECT_TRUE(form->iLedRound1->active());
    EXPECT_TRUE(timers().enabled(9));
    EXPECT_EQ(form->iPlot1->ChannelAt(0)->Count(), 0) << "no chart points outside manual chart mode";

    // Garbled frames are dropped without a word and the displays keep the last reading.
    instrument->faults.garbageFrames = true;
    const auto readBefore = instrument->counters().bytesReadB;
    pump(300);
    EXPECT_GT(instrument->counters().bytesReadB, readBefore);
    EXPECT_EQ(form->Label11->text(), "290");
    EXPECT_TRUE(timers().enabled(9));

    instrument->faults.garbageFrames = false;
    current->value = 10062;
    pump(300);
    EXPECT_EQ(form->Label11->text(), "145");
    EXPECT_DOUBLE_EQ(form->iSevenSegmentAnalog1->value(), 145.0);
    EXPECT_TRUE(platform.dialogs.isEmpty()) << platform.dialogs.join('\n').toStdString();
}

TEST_F(PollCycleTest, ManualChartGetsOnePointPerCycleAgainstElapsedSeconds)
{
    startPolling();
    pump(100);
    TiPlotChannel& channel = *form->iPlot1->ChannelAt(0);
    channel.Clear();
    state().ChartStartTime = platform.now();
    state().ChartOn = true;
    pump(1000);
    state().ChartOn = false;

    // About 33 a second; wide bounds for a loaded machine.
    const int n = channel.Count();
    ASSERT_GE(n, 10);
    EXPECT_LE(n, 40);
    EXPECT_GE(channel.DataX(0), 0.0);
    EXPECT_LT(channel.DataX(0), 0.2);
    EXPECT_GT(channel.DataX(n - 1), 0.7);
    EXPECT_LT(channel.DataX(n - 1), 1.5);
    for (int i = 0; i < n; ++i) {
        EXPECT_DOUBLE_EQ(channel.DataY(i), 290.0);
        if (i > 0) {
            EXPECT_GE(channel.DataX(i), channel.DataX(i - 1));
        }
    }
    pump(200);
    EXPECT_EQ(channel.Count(), n) << "chart mode off adds nothing";

    // A clock set back since the start still gives a positive abscissa.
    state().ChartOn = true;
    platform.fixedNow = state().ChartStartTime.addMSecs(-2500);
    poll();
    ASSERT_EQ(channel.Count(), n + 1);
    EXPECT_DOUBLE_EQ(channel.DataX(n), 2.5);
}

// The program ends through the poll cycle, not the window's close: the taught positions are
// saved on the way, other lines of the file kept, and no "X" goes out.
TEST_F(PollCycleTest, UnplugSavesAndEndsTheProgramOnce)
{
    writeSettings("[Calibrate]\r\nCurrentCal=3.1\r\n");
    startPolling();
    state().HomeSteps = 234;
    state().PolishSteps = 312;
    state().ElectrolyteSteps = 2343;
    pump(200);
    ASSERT_TRUE(platform.dialogs.isEmpty()) << platform.dialogs.join('\n').toStdString();

    QByteArray savedWhenAsked;
    platform.onDialog = [&](const QString& dialog) {
        if (dialog.startsWith("Info:"))
            savedWhenAsked = settingsText();
    };
    instrument->unplug();
    pump(500);

    EXPECT_EQ(platform.dialogs, QStringList({"Error: FT_GetQueueStatus2 - General IO Error...",
                                             "Info: USB Communications error. Check the connection and restart"}));
    EXPECT_EQ(platform.terminateRequests, 1);
    EXPECT_FALSE(timers().enabled(9));
    EXPECT_TRUE(savedWhenAsked.contains("HomeSteps=234")) << savedWhenAsked.toStdString();
    EXPECT_TRUE(savedWhenAsked.contains("CurrentCal=3.1"));
    EXPECT_TRUE(commands().isEmpty()) << commands().join(',').toStdString();
}

// A poll notification already on its way when the end after a lost link began (its timer is
// disabled, but what it posted still arrives) does not begin the end a second time.
TEST_F(PollCycleTest, ALateCycleDuringTheEndDoesNotBeginItAgain)
{
    startPolling();
    pump(200);
    platform.holdDialogs = true;  // the end waits at its message
    instrument->unplug();
    test::runUntil([&] { return platform.heldDialogs() == 1 && !controller().routines.idle(); }, 5000);
    poll();
    poll();
    platform.holdDialogs = false;
    platform.releaseDialogs();
    settle();

    EXPECT_EQ(platform.dialogs.count(QStringLiteral("Info: USB Communications error. Check the connection and restart")), 1)
        << platform.dialogs.join('\n').toStdString();
    EXPECT_EQ(platform.terminateRequests, 1);
}

TEST_F(PollCycleTest, FailedSaveIsShownAndTheProgramStillEnds)
{
    // A data folder below a plain file can never be created.
    writeSettings("");
    platform.dataFolder = settingsFile() + "/folder";
    startPolling();
    pump(200);
    instrument->unplug();
    pump(500);

    EXPECT_EQ(platform.dialogs,
              QStringList({"Error: FT_GetQueueStatus2 - General IO Error...",
                           "AppError: Unable to write to " + platform.dataFolder + "/Velmar.ini",
                           "Info: USB Communications error. Check the connection and restart"}));
    EXPECT_EQ(platform.terminateRequests, 1);
    EXPECT_FALSE(timers().enabled(9));
}

TEST_F(PollCycleTest, ChannelMissingAtFirstPollEndsTheProgram)
{
    instrument->faults.missingB = true;
    startPolling();
    pump(400);
    EXPECT_EQ(platform.dialogs,
              QStringList({"Error: Open_USB_Device_By_Serial_Number2 - Device Not Found....",
                           "Message: Kestrom channel B not found. Check USB connection and restart",
                           "Error: FT_Purge TX2 - Invalid Handle...", "Error: FT_Purge RX2 - Invalid Handle...",
                           "Error: FT_GetQueueStatus2 - Invalid Handle...",
                           "Info: USB Communications error. Check the connection and restart"}));
    EXPECT_EQ(platform.terminateRequests, 1);
    EXPECT_FALSE(timers().enabled(9));
}

TEST_F(PollCycleTest, CycleAfterTerminationRequestDoesNothing)
{
    startPolling();
    platform.terminate();
    poll();
    EXPECT_FALSE(state().DataChannelOpen);
    EXPECT_TRUE(timers().enabled(9));
    EXPECT_EQ(form->Label11->text(), "Label11");
}

}  // namespace
}  // namespace velmar
