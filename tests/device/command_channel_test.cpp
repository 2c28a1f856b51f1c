#include "tests/device/command_channel_fixture.h"
#include "tests/support/finish.h"

#include <QElapsedTimer>
#include <QTimer>

namespace velmar {
namespace {

using test::CommandChannelTest;

TEST_F(CommandChannelTest, FirstCommandOpensTheChannelAndWaitsASecondBeforeSending)
{
    EXPECT_EQ(timers.interval(8), 10000);
    ASSERT_TRUE(test::finish(channel.SendCommand("TP")));
    EXPECT_EQ(instrument->wireBytes(), QByteArray("TP\r"));
    ASSERT_TRUE(instrument->openedAt(sim::Channel::A));
    const std::int64_t wait = instrument->commands().at(0).atMs - *instrument->openedAt(sim::Channel::A);
    EXPECT_GE(wait, 990);
    EXPECT_LT(wait, 2000);
    EXPECT_TRUE(state.CommandChannelOpen);

    // Later commands go out at once, and only after the move's reply does SendCommand return.
    QElapsedTimer took;
    took.start();
    ASSERT_TRUE(test::finish(channel.SendCommand("SP 1024 880")));
    ASSERT_TRUE(test::finish(channel.SendCommand("GT -200")));  // 100 ms of travel at SS 2
    EXPECT_GE(took.elapsed(), 100);
    EXPECT_LT(took.elapsed(), 900);
    EXPECT_EQ(instrument->wireBytes(), QByteArray("TP\rSP 1024 880\rGT -200\r"));
    EXPECT_EQ(instrument->counters().opensA, 1);
    EXPECT_FALSE(timers.enabled(8));
    EXPECT_FALSE(state.CommandBusy);
    EXPECT_TRUE(dialogs().isEmpty()) << dialogs().join('\n').toStdString();
}

TEST_F(CommandChannelTest, WholeReplyIsReadAndItsFirstFourCharactersShown)
{
    instrument->faults.reply = QByteArray("ABCDE");
    state.CommandFailed = true;
    ASSERT_TRUE(test::finish(channel.SendCommand("RY 1")));
    EXPECT_EQ(label4.text(), "ABCD         ");
    EXPECT_EQ(instrument->counters().bytesReadA, 5);
    EXPECT_FALSE(state.CommandFailed);
}

// The reply wait sleeps until the channel says bytes have come: it does not look at the queue
// again and again while the instrument takes its time, and it ends when the reply is there.
TEST_F(CommandChannelTest, TheReplyWaitSleepsUntilTheReplyComes)
{
    ASSERT_TRUE(test::finish(channel.SendCommand("TP")));  // opens the channel
    instrument->faults.lateReplyMs = 300;
    const int looksBefore = instrument->counters().queueQueriesA;
    QElapsedTimer took;
    took.start();
    ASSERT_TRUE(test::finish(channel.SendCommand("SS 2")));
    EXPECT_GE(took.elapsed(), 300);
    EXPECT_LT(took.elapsed(), 3000);
    EXPECT_LE(instrument->counters().queueQueriesA - looksBefore, 3);
    EXPECT_TRUE(label4.text().startsWith("OK\r"));
    EXPECT_FALSE(state.ReplyTimedOut);
}

TEST_F(CommandChannelTest, CommandsIssuedDuringAnExchangeAreDroppedNotQueued)
{
    // One attempt while the channel's open delay runs, one while the reply is awaited.
    instrument->faults.lateReplyMs = 600;
    QList<bool> nested;
    QTimer::singleShot(300, [&] { nested << test::finish(channel.SendCommand("RY 1")); });
    QTimer::singleShot(1300, [&] { nested << test::finish(channel.SendCommand("PO 1")); });
    EXPECT_TRUE(test::finish(channel.SendCommand("TP")));
    EXPECT_EQ(nested, QList<bool>({false, false}));
    EXPECT_EQ(instrument->commandTexts(), QStringList{"TP"});
    EXPECT_TRUE(dialogs().isEmpty()) << dialogs().join('\n').toStdString();

    // Nothing was held back for later either.
    EXPECT_TRUE(test::finish(channel.SendCommand("X")));
    EXPECT_EQ(instrument->commandTexts(), QStringList({"TP", "X"}));
}

TEST_F(CommandChannelTest, MissingDeviceGivesFourDialogsOnceAndRefusesEverythingAfter)
{
    instrument->faults.noDevice = true;
    EXPECT_FALSE(test::finish(channel.SendCommand("GT -100")));
    EXPECT_EQ(dialogs(), QStringList({"Error: Open_USB_Device_By_Serial_Number - Device Not Found....",
                                      "Message: Kestrom channel A not found. Check USB connection and restart",
                                      "Error: FT_Purge TX - Invalid Handle...",
                                      "Info: USB Communications Error with the KS Command Channel"}));
    EXPECT_TRUE(state.LinkFailed);
    EXPECT_TRUE(state.CommandFailed);
    EXPECT_FALSE(state.CommandBusy);
    EXPECT_EQ(label4.text(), QString(13, QLatin1Char(' ')));

    instrument->faults.noDevice = false;  // plugging it in now does not bring the link back
    EXPECT_FALSE(test::finish(channel.SendCommand("TP")));
    EXPECT_EQ(dialogs().size(), 4);
    EXPECT_TRUE(instrument->wireBytes().isEmpty());
}

TEST_F(CommandChannelTest, TransmitPurgeFailureOnAnOpenChannelFailsOnlyThatCommand)
{
    ASSERT_TRUE(test::finish(channel.SendCommand("TP")));
    instrument->faults.purgeBusy = true;
    EXPECT_FALSE(test::finish(channel.SendCommand("RY 1")));
    EXPECT_EQ(dialogs(), QStringList({"Error: FT_Purge TX - Unknown Error 18...",
                                      "Info: USB Communications Error with the KS Command Channel"}));
    EXPECT_TRUE(state.CommandFailed);
    EXPECT_FALSE(state.LinkFailed);
    EXPECT_FALSE(state.CommandBusy);
    EXPECT_EQ(label4.text(), QString(13, QLatin1Char(' ')));

    // The device is still there: the next command tries again.
    instrument->faults.purgeBusy = false;
    EXPECT_TRUE(test::finish(channel.SendCommand("RY 1")));
    EXPECT_EQ(instrument->commandTexts(), QStringList({"TP", "RY 1"}));
}

// An I/O error says the device has gone: the link is failed at once, as when the data channel's
// queue query fails, so the operator sees the failure once and not once per command.
struct GoneCase {
    const char* name;
    bool duringReplyWait;
    QStringList dialogs;
};

class DeviceGone : public CommandChannelTest, public ::testing::WithParamInterface<GoneCase> {};

TEST_P(DeviceGone, FailsTheLinkOnce)
{
    const GoneCase& c = GetParam();
    ASSERT_TRUE(test::finish(channel.SendCommand("TP")));

    QElapsedTimer took;
    took.start();
    if (c.duringReplyWait) {
        instrument->faults.lateReplyMs = 3000;
        QTimer::singleShot(200, [&] { instrument->unplug(sim::Channel::A); });
        test::finish(channel.SendCommand("GT 100"));
    } else {
        instrument->unplug(sim::Channel::A);
        EXPECT_FALSE(test::finish(channel.SendCommand("RY 1")));
    }
    EXPECT_LT(took.elapsed(), 2000);
    EXPECT_EQ(dialogs(), c.dialogs);
    EXPECT_TRUE(state.LinkFailed);
    EXPECT_TRUE(state.CommandChannelLost);
    EXPECT_FALSE(state.CommandBusy);
    EXPECT_FALSE(timers.enabled(8));

    EXPECT_FALSE(test::finish(channel.SendCommand("PO 0")));
    EXPECT_FALSE(test::finish(channel.SendUrgent("RY 0", 1000)));
    EXPECT_EQ(dialogs(), c.dialogs) << "later commands are refused without a word";
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DeviceGone,
    ::testing::Values(GoneCase{"BetweenCommands", false,
                               {"Error: FT_Purge TX - General IO Error...",
                                "Info: USB Communications Error with the KS Command Channel"}},
                      // The wait ends at once; the read would only fail as the query did.
                      GoneCase{"DuringTheReplyWait", true, {"Error: FT_GetQueueStatus - General IO Error..."}}),
    [](const auto& info) { return std::string(info.param.name); });

// The way to switch the instrument off when supervision ends: it goes out whatever refuses
// ordinary commands, never waits long and never shows a dialog.
TEST_F(CommandChannelTest, UrgentCommandGoesOutWhateverElseRefusesIt)
{
    ASSERT_TRUE(test::finish(channel.SendCommand("TP")));

    // Link declared failed (by the data channel): still sent and acknowledged.
    state.LinkFailed = true;
    EXPECT_TRUE(test::finish(channel.SendUrgent("RY 0", 1000)));
    EXPECT_FALSE(state.CommandBusy);
    state.LinkFailed = false;

    // A device that no longer answers costs the bounded wait, without a word.
    instrument->faults.reply = QByteArray();
    QElapsedTimer took;
    took.start();
    EXPECT_FALSE(test::finish(channel.SendUrgent("RY 0", 1000)));
    EXPECT_GE(took.elapsed(), 990);
    EXPECT_LT(took.elapsed(), 3000);
    instrument->faults.reply.reset();

    // From inside another command's reply wait: both go out and the interrupted exchange still
    // ends on a reply, not on a time-out.
    instrument->faults.lateReplyMs = 400;
    bool urgent = false;
    QTimer::singleShot(100, [&] { urgent = test::finish(channel.SendUrgent("PO 0", 1000)); });
    EXPECT_TRUE(test::finish(channel.SendCommand("GT -200")));
    EXPECT_TRUE(urgent);
    EXPECT_FALSE(state.CommandBusy);

    EXPECT_EQ(instrument->commandTexts(), QStringList({"TP", "RY 0", "RY 0", "GT -200", "PO 0"}));
    EXPECT_TRUE(dialogs().isEmpty()) << dialogs().join('\n').toStdString();
    EXPECT_FALSE(state.ReplyTimedOut);
}

TEST_F(CommandChannelTest, UrgentCommandNeedsAnOpenedChannel)
{
    EXPECT_FALSE(test::finish(channel.SendUrgent("RY 0", 1000)));
    EXPECT_TRUE(instrument->wireBytes().isEmpty());
    EXPECT_EQ(instrument->counters().opensA, 0);
    EXPECT_TRUE(dialogs().isEmpty());
}

}  // namespace
}  // namespace velmar
