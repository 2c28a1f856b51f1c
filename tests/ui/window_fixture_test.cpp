#include "tests/support/window_fixture.h"
#include "tests/support/finish.h"

#include <QAction>
#include <QFile>
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
    EXPECT_TRUE(test::finish(controller().commands.SendCommand(QStringLiteral("TP"))));
    EXPECT_EQ(commands(), QStringList{QStringLiteral("TP")});
    EXPECT_TRUE(platform.dialogs.isEmpty());
}

TEST_F(WindowFixture, ExitEndsWithoutSavingOrSendingX)
{
    form->show();
    form->Exit1->trigger();
    settle();
    EXPECT_EQ(platform.terminateRequests, 1);
    // Ending the application closes its windows; that close must not save or say goodbye.
    form->close();
    pump(50);
    EXPECT_TRUE(commands().isEmpty());
    EXPECT_FALSE(QFile::exists(settingsFile()));
}
