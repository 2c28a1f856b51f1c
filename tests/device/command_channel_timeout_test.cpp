// labels: slow
#include "tests/device/command_channel_fixture.h"
#include "tests/support/finish.h"

#include <QElapsedTimer>

namespace velmar {
namespace {

using test::CommandChannelTest;

// A reply of one byte is no acknowledgement: only the watchdog ends the wait, 10 s after the
// write. The channel stays usable: the next command purges the stray byte and goes out.
TEST_F(CommandChannelTest, ShortReplyTimesOutAndTheNextCommandGoesOutNormally)
{
    ASSERT_TRUE(test::finish(channel.SendCommand("SS 2")));
    instrument->faults.reply = QByteArray("K");
    QElapsedTimer took;
    took.start();
    EXPECT_FALSE(test::finish(channel.SendCommand("TP")));
    EXPECT_GE(took.elapsed(), 9950);
    EXPECT_LT(took.elapsed(), 13000);
    EXPECT_EQ(dialogs(), QStringList{"Info: Communications Timeout"});
    EXPECT_TRUE(state.ReplyTimedOut);
    EXPECT_FALSE(state.CommandBusy);
    EXPECT_FALSE(timers.enabled(8));

    instrument->faults.reply.reset();
    EXPECT_TRUE(test::finish(channel.SendCommand("RY 1")));
    EXPECT_EQ(instrument->commandTexts(), QStringList({"SS 2", "TP", "RY 1"}));
    EXPECT_EQ(label4.text().left(3), "OK\r");
    EXPECT_EQ(dialogs().size(), 1);
}

}  // namespace
}  // namespace velmar
