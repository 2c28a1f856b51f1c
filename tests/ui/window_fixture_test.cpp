#include "tests/support/window_fixture.h"

#include <QLabel>

using namespace velmar;

using WindowFixture = test::WindowTest;

// The fixture itself: a window on the simulated instrument that sends nothing until asked.
TEST_F(WindowFixture, StartsQuietWithTheStartUpTimerStopped)
{
    EXPECT_FALSE(form->iThreadTimers1->enabled(1));
    pump(50);
    EXPECT_TRUE(commands().isEmpty());
    EXPECT_TRUE(platform.dialogs.isEmpty());
    EXPECT_EQ(form->Form2, about.get());
}

TEST_F(WindowFixture, CommandsReachTheSimulatedInstrument)
{
    EXPECT_TRUE(controller().commands.SendCommand(QStringLiteral("TP")));
    EXPECT_EQ(commands(), QStringList{QStringLiteral("TP")});
    EXPECT_TRUE(platform.dialogs.isEmpty());
}
