#include "tests/controller/wire_watch.h"
#include "tests/support/window_fixture.h"
#include "ui/signal_close.h"
#include "widgets/tiknob.h"
#include "widgets/tiswitchslider.h"

#include <QElapsedTimer>
#include <QFile>
#include <QPushButton>

#include <csignal>

using namespace velmar;
using test::clickFromEventLoop;
using test::OnCommand;

namespace {

TEST(SignalCloseTest, EachSignalReachesTheEventLoopNotTheHandler)
{
    QList<int> received;
    SignalClose closeOnSignals([&](int signal) { received << signal; });
    ASSERT_TRUE(closeOnSignals.installed());

    for (int signal : {SIGTERM, SIGINT, SIGHUP})
        ASSERT_EQ(std::raise(signal), 0);
    EXPECT_TRUE(received.isEmpty()) << "nothing of ours runs inside the handler";

    QElapsedTimer waited;
    waited.start();
    while (received.size() < 3 && waited.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    EXPECT_EQ(received, QList<int>({SIGTERM, SIGINT, SIGHUP}));
}

using SignalDuringARun = test::WindowTest;

// A kill in the middle of a stroke: the supply and relay go off at once, the run winds down
// without sending more, and the program closes as the window's close does: saved, then "X".
TEST_F(SignalDuringARun, SwitchesOffThenClosesAsTheWindowDoes)
{
    startUp();
    form->iKnob1->setPosition(12.0);
    form->iSwitchSlider2->setPosition(1);
    form->Button11->click();  // Power On
    SignalClose closeOnSignals([&](int signal) { form->closeForSignal(signal); });
    ASSERT_TRUE(closeOnSignals.installed());
    OnCommand killMidStroke(instrument, QStringLiteral("GP -154 2"), [] { std::raise(SIGTERM); });

    clickFromEventLoop(form->BitBtn1);
    pump(100);

    const QStringList sent = commands();
    const auto stroke = sent.indexOf(QStringLiteral("GP -154 2"));
    ASSERT_GE(stroke, 0);
    QStringList after = sent.mid(stroke + 1);
    after.removeAll(QStringLiteral("GP 154 2"));  // the stroke's up move may still have gone out
    EXPECT_EQ(after, QStringList({"RY 0", "PO 0", "X"}));
    EXPECT_FALSE(instrument->relayOn());
    EXPECT_FALSE(instrument->outputOn());
    EXPECT_TRUE(QFile::exists(settingsFile()));
    EXPECT_FALSE(form->isVisible());
    EXPECT_FALSE(controller().polishRun.running());
}

}  // namespace
