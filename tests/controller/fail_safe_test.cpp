// labels: slow
#include "tests/controller/wire_watch.h"
#include "tests/support/log_capture.h"
#include "tests/support/window_fixture.h"
#include "widgets/dials/tiknob.h"
#include "widgets/dials/tiswitchslider.h"

#include <QAction>
#include <QFile>
#include <QGroupBox>
#include <QPushButton>

#include <optional>

using namespace velmar;
using test::clickFromEventLoop;
using test::list;
using test::OnCommand;

namespace {

// The commands that switch something, without the moves and speeds in between.
QStringList switching(const QStringList& commands)
{
    QStringList out;
    for (const QString& command : commands) {
        if (!command.startsWith(QLatin1String("GP ")) && !command.startsWith(QLatin1String("GT "))
            && !command.startsWith(QLatin1String("SS ")))
            out << command;
    }
    return out;
}

const QString LinkMessage = QStringLiteral("Info: USB Communications error. Check the connection and restart");

class FailSafeTest : public test::WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        startUpAt12VoltsDc();  // homed to 156 with the default positions, polling
        form->iSwitchSlider1->setPosition(2);  // Normal
        platform.dialogs.clear();
    }

    // Runs `fault` inside the instrument the moment it takes `command` for the `occurrence`-th
    // time, before it answers: a fault at an exact point of a run without guessing at timing.
    void faultOn(const QString& command, int occurrence, std::function<void()> fault)
    {
        instrument->commandObserver = [this, command, occurrence, fault, seen = 0](const QByteArray& text) mutable {
            if (text != command.toLatin1() || ++seen != occurrence)
                return;
            faultIndex_ = static_cast<int>(instrument->commands().size());
            fault();
        };
    }
    // What the instrument took after the fault.
    QStringList afterFault() const { return faultIndex_ < 0 ? QStringList() : commands().mid(faultIndex_); }

    bool groupsEnabled() const
    {
        return form->GroupBox1->isEnabled() && form->GroupBox2->isEnabled() && form->GroupBox4->isEnabled()
               && form->GroupBox7->isEnabled();
    }

private:
    int faultIndex_ = -1;
};

enum class Fault { DataChannelGone, CommandChannelGone, NoReply, StreamStalled };
enum class Activity { PolishRun, VoltCurrentTest };

struct FaultCase {
    const char* name;
    Activity activity;
    Fault fault;
    bool powerOn;  // the Power button switched the supply output on before
    // The run or test meets the fault when the instrument takes this command.
    const char* trigger;
    QStringList switchedAfterFault;  // what went out after it, moves left aside
    QStringList dialogs;
    bool programEnds;
};

class FaultsDuringSupervision : public FailSafeTest, public ::testing::WithParamInterface<FaultCase> {};

// A run or test that loses its instrument leaves it switched off where the command channel
// still works, says so once, and then either ends the program (a lost link) or stays ready
// for the next try (a silent device, a stalled stream).
TEST_P(FaultsDuringSupervision, EndWithTheInstrumentSwitchedOff)
{
    const FaultCase& c = GetParam();
    if (c.powerOn)
        click(form->Button11);
    faultOn(QString::fromLatin1(c.trigger), 1, [&] {
        switch (c.fault) {
        case Fault::DataChannelGone: instrument->unplug(sim::Channel::B); break;
        case Fault::CommandChannelGone: instrument->unplug(sim::Channel::A); break;
        case Fault::NoReply: instrument->faults.reply = QByteArray(); break;
        case Fault::StreamStalled: instrument->faults.streamStalled = true; break;
        }
    });

    QPushButton* button = c.activity == Activity::PolishRun ? form->BitBtn1 : form->Button10;
    const QString idle = button->text();
    // Stopped by the fault, the loop still winds down: meanwhile no start button is usable.
    platform.onDialog = [&](const QString&) {
        if (controller().loopRunning() && button->text() == idle) {
            EXPECT_FALSE(form->BitBtn1->isEnabled());
            EXPECT_FALSE(form->Button10->isEnabled());
        }
    };
    clickFromEventLoop(button);  // returns when the loop has wound down
    pump(300);                   // the poll cycle's last word on a lost link

    EXPECT_EQ(switching(afterFault()), c.switchedAfterFault) << commands().join(", ").toStdString();
    EXPECT_EQ(platform.dialogs, c.dialogs);
    EXPECT_EQ(button->text(), idle);
    EXPECT_TRUE(groupsEnabled());
    EXPECT_FALSE(controller().failSafe.supervising());
    if (c.fault != Fault::CommandChannelGone) {
        EXPECT_FALSE(instrument->relayOn());
        EXPECT_FALSE(instrument->outputOn());
    }
    EXPECT_EQ(platform.terminateRequests, c.programEnds ? 1 : 0);
    if (c.programEnds)
        return;

    // Ready again once the instrument is: nothing is held back any more.
    instrument->faults = {};
    click(form->Button9);
    EXPECT_EQ(commands().last(), QStringLiteral("RY 1"));
    EXPECT_TRUE(instrument->relayOn());
    EXPECT_EQ(platform.dialogs, c.dialogs);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FaultsDuringSupervision,
    ::testing::Values(
        FaultCase{"RunDataChannelGone", Activity::PolishRun, Fault::DataChannelGone, true, "GP -154 2",
                  list({"RY 0", "PO 0"}), {"Error: FT_GetQueueStatus2 - General IO Error...", LinkMessage}, true},
        FaultCase{"RunCommandChannelGone", Activity::PolishRun, Fault::CommandChannelGone, true, "GP -154 2", {},
                  {"Error: FT_GetQueueStatus - General IO Error...", LinkMessage}, true},
        FaultCase{"RunNoReply", Activity::PolishRun, Fault::NoReply, true, "GP -154 2", list({"RY 0", "PO 0"}),
                  {"Info: Communications Timeout"}, false},
        // The output was never on: the relay alone is switched off.
        FaultCase{"RunStreamStalled", Activity::PolishRun, Fault::StreamStalled, false, "GP -154 2",
                  list({"RY 0"}), {"Info: No current readings from the instrument for 2 s: the run was stopped"},
                  false},
        // The test meets its faults with output and relay on, settling at Home.
        FaultCase{"TestDataChannelGone", Activity::VoltCurrentTest, Fault::DataChannelGone, false, "RY 1",
                  list({"RY 0", "PO 0"}), {"Error: FT_GetQueueStatus2 - General IO Error...", LinkMessage}, true},
        FaultCase{"TestCommandChannelGone", Activity::VoltCurrentTest, Fault::CommandChannelGone, false, "RY 1", {},
                  {"Error: FT_GetQueueStatus - General IO Error...", LinkMessage}, true},
        FaultCase{"TestNoReply", Activity::VoltCurrentTest, Fault::NoReply, false, "RY 1", list({"RY 0", "PO 0"}),
                  {"Info: Communications Timeout"}, false},
        // Stalled at the zero pulse: the step goes on to switch output and relay on, and the
        // stall is noticed while the current settles, 2 s on.
        FaultCase{"TestStreamStalled", Activity::VoltCurrentTest, Fault::StreamStalled, false, "PO 1",
                  list({"PO 0", "PO 1", "RY 1", "RY 0", "PO 0"}),
                  {"Info: No current readings from the instrument for 2 s: the test was stopped"}, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(FailSafeTest, StalledStreamOutsideARunChangesNothing)
{
    click(form->Button9);  // relay on by hand
    instrument->faults.streamStalled = true;
    pump(2500);
    EXPECT_EQ(commands().last(), QStringLiteral("RY 1"));
    EXPECT_TRUE(platform.dialogs.isEmpty()) << platform.dialogs.join('\n').toStdString();
}

TEST_F(FailSafeTest, ExitWithTheSupplyOnSwitchesItOffButNeitherSavesNorSaysGoodbye)
{
    form->show();
    click(form->Button11);  // Power On
    click(form->Button9);   // Relay On
    ASSERT_EQ(commands().last(), QStringLiteral("RY 1"));
    const int before = static_cast<int>(commands().size());

    form->Exit1->trigger();
    settle();
    form->close();  // ending the application closes its windows
    pump(50);

    EXPECT_EQ(commands().mid(before), list({"RY 0", "PO 0"}));
    EXPECT_EQ(platform.terminateRequests, 1);
    EXPECT_FALSE(QFile::exists(settingsFile()));
    EXPECT_EQ(form->Button9->text(), QStringLiteral("Relay On"));
    EXPECT_EQ(form->Button11->text(), QStringLiteral("Power On"));
}

// Exit in the middle of a stroke: the run goes no further than the stroke it is waiting on.
TEST_F(FailSafeTest, ExitDuringARunEndsItWithTheRelayOff)
{
    const int before = static_cast<int>(commands().size());
    OnCommand exitMidStroke(instrument, QStringLiteral("GP -154 2"), [&] { form->Exit1->trigger(); });

    clickFromEventLoop(form->BitBtn1);

    const QStringList sent = commands().mid(before);
    ASSERT_TRUE(sent.contains(QStringLiteral("GP -154 2")));
    EXPECT_EQ(switching(sent.mid(sent.indexOf(QStringLiteral("GP -154 2")))), list({"RY 0"}));
    EXPECT_FALSE(instrument->relayOn());
    EXPECT_EQ(form->BitBtn1->text(), QStringLiteral("Run"));
    EXPECT_TRUE(groupsEnabled());
    EXPECT_EQ(platform.terminateRequests, 1);
    EXPECT_FALSE(sent.contains(QStringLiteral("X")));
}

// The log line of the safe state says what went out and what came back, not what the relay
// did: a garbled answer is no proof of anything.
TEST_F(FailSafeTest, TheSafeStateLogsWhatCameBackNotWhatItHoped)
{
    struct Case {
        std::optional<QByteArray> reply;
        QString line;
    };
    const Case cases[] = {
        {QByteArray("\x93\x12\r"), R"(safe state: "RY 0" sent, reply "\x93\x12\r"; "PO 0" sent, reply "\x93\x12\r")"},
        {QByteArray(), R"(safe state: "RY 0" sent, no reply within 1000 ms; "PO 0" sent, no reply within 1000 ms)"},
        {std::nullopt, R"(safe state: "RY 0" sent, reply "OK\r"; "PO 0" sent, reply "OK\r")"},
    };
    for (const Case& c : cases) {
        instrument->faults = {};
        form->Button11->setText(QStringLiteral("Power On"));
        form->Button9->setText(QStringLiteral("Relay On"));
        click(form->Button11);  // Power On
        click(form->Button9);   // Relay On
        instrument->faults.reply = c.reply;
        test::LogCapture log;
        controller().failSafe.stopSupervision("by hand", RecordEnd::ProgramEnded);
        settle();
        EXPECT_EQ(log.messages(QStringLiteral("velmar.run"), QtInfoMsg), QStringList{c.line});
        // Sent once: a second way out finds nothing to do until something is switched on.
        controller().failSafe.reachSafeState();
        settle();
        EXPECT_EQ(commands().mid(commands().size() - 2), list({"RY 0", "PO 0"}));
        EXPECT_EQ(log.messages(QStringLiteral("velmar.run"), QtInfoMsg).size(), 1);
    }
}

}  // namespace
