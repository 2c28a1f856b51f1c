#include "tests/device/command_channel_fixture.h"

#include <QElapsedTimer>
#include <QTimer>

namespace velmar {
namespace {

using test::CommandChannelTest;

TEST_F(CommandChannelTest, FirstCommandOpensTheChannelAndWaitsASecondBeforeSending)
{
    EXPECT_EQ(timers.interval(8), 10000);
    ASSERT_TRUE(channel.SendCommand("TP"));
    EXPECT_EQ(instrument->wireBytes(), QByteArray("TP\r"));
    ASSERT_TRUE(instrument->openedAt(sim::Channel::A));
    const std::int64_t wait = instrument->commands().at(0).atMs - *instrument->openedAt(sim::Channel::A);
    EXPECT_GE(wait, 990);
    EXPECT_LT(wait, 2000);
    EXPECT_TRUE(state.CommandChannelOpen);

    // Later commands go out at once, and only after the move's reply does SendCommand return.
    QElapsedTimer took;
    took.start();
    ASSERT_TRUE(channel.SendCommand("SP 1024 880"));
    ASSERT_TRUE(channel.SendCommand("GT -200"));  // 100 ms of travel at SS 2
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
    ASSERT_TRUE(channel.SendCommand("RY 1"));
    EXPECT_EQ(label4.text(), "ABCD         ");
    EXPECT_EQ(instrument->counters().bytesReadA, 5);
    EXPECT_FALSE(state.CommandFailed);
}

TEST_F(CommandChannelTest, CommandsIssuedDuringAnExchangeAreDroppedNotQueued)
{
    // One attempt while the channel's open delay runs, one while the reply is awaited.
    instrument->faults.lateReplyMs = 600;
    QList<bool> nested;
    QTimer::singleShot(300, [&] { nested << channel.SendCommand("RY 1"); });
    QTimer::singleShot(1300, [&] { nested << channel.SendCommand("PO 1"); });
    EXPECT_TRUE(channel.SendCommand("TP"));
    EXPECT_EQ(nested, QList<bool>({false, false}));
    EXPECT_EQ(instrument->commandTexts(), QStringList{"TP"});
    EXPECT_TRUE(dialogs().isEmpty()) << dialogs().join('\n').toStdString();

    // Nothing was held back for later either.
    EXPECT_TRUE(channel.SendCommand("X"));
    EXPECT_EQ(instrument->commandTexts(), QStringList({"TP", "X"}));
}

TEST_F(CommandChannelTest, MissingDeviceGivesFourDialogsOnceAndRefusesEverythingAfter)
{
    instrument->faults.noDevice = true;
    EXPECT_FALSE(channel.SendCommand("GT -100"));
    EXPECT_EQ(dialogs(), QStringList({"Error: Open_USB_Device_By_Serial_Number - Device Not Found....",
                                      "Message: Kestrom channel A not found. Check USB connection and restart",
                                      "Error: FT_Purge TX - Invalid Handle...",
                                      "Info: USB Communications Error with the KS Command Channel"}));
    EXPECT_TRUE(state.LinkFailed);
    EXPECT_TRUE(state.CommandFailed);
    EXPECT_FALSE(state.CommandBusy);
    EXPECT_EQ(label4.text(), QString(13, QLatin1Char(' ')));

    instrument->faults.noDevice = false;  // plugging it in now does not bring the link back
    EXPECT_FALSE(channel.SendCommand("TP"));
    EXPECT_EQ(dialogs().size(), 4);
    EXPECT_TRUE(instrument->wireBytes().isEmpty());
}

TEST_F(CommandChannelTest, TransmitPurgeFailureOnAnOpenChannelFailsOnlyThatCommand)
{
    ASSERT_TRUE(channel.SendCommand("TP"));
    instrument->unplug();
    EXPECT_FALSE(channel.SendCommand("RY 1"));
    EXPECT_EQ(dialogs(), QStringList({"Error: FT_Purge TX - General IO Error...",
                                      "Info: USB Communications Error with the KS Command Channel"}));
    EXPECT_TRUE(state.CommandFailed);
    EXPECT_FALSE(state.LinkFailed);
    EXPECT_FALSE(state.CommandBusy);
    EXPECT_EQ(label4.text(), QString(13, QLatin1Char(' ')));
}

TEST_F(CommandChannelTest, UnplugDuringTheReplyWaitEndsTheWaitAtOnce)
{
    ASSERT_TRUE(channel.SendCommand("TP"));
    instrument->faults.lateReplyMs = 3000;
    state.CommandFailed = true;
    QTimer::singleShot(200, [&] { instrument->unplug(); });
    QElapsedTimer took;
    took.start();
    // The exchange ends as if a reply had been read; the lost link shows through the driver.
    EXPECT_TRUE(channel.SendCommand("GT 100"));
    EXPECT_LT(took.elapsed(), 2000);
    EXPECT_EQ(dialogs(), QStringList({"Error: FT_GetQueueStatus - General IO Error...",
                                      "Error: FT_Read - General IO Error..."}));
    EXPECT_FALSE(state.CommandFailed);
    EXPECT_FALSE(state.CommandBusy);
    EXPECT_FALSE(timers.enabled(8));
}

}  // namespace
}  // namespace velmar
