// labels: slow
#include "tests/controller/wire_watch.h"
#include "tests/support/window_fixture.h"
#include "ui/signal_close.h"
#include "widgets/dials/tiknob.h"
#include "widgets/dials/tilineargauge.h"
#include "widgets/dials/tiswitchslider.h"

#include <QAction>
#include <QPushButton>
#include <QTimer>

#include <csignal>
#include <optional>

using namespace velmar;
using test::list;

namespace {

const QString LinkMessage = QStringLiteral("Info: USB Communications error. Check the connection and restart");
const QString OpenBefore = QStringLiteral("Info: a dialog the operator left open");

enum class Fault { DataChannelGone, CommandChannelGone, NoReply, StreamStalled, Exit, Signal };
enum class Activity { PolishRun, VoltCurrentTest };

struct FaultCase {
    const char* name;
    Activity activity;
    Fault fault;
    int signal;             // for Fault::Signal
    bool dialogOpenBefore;  // a dialog nobody answers is already open when the fault comes
    QStringList dialogs;    // in the order they appeared, each once
};

// Found only so long after the fault by design: the reply watchdog, the stall criterion.
int detectionMs(Fault fault)
{
    switch (fault) {
    case Fault::NoReply: return CommandChannel::WatchdogIntervalMs;
    case Fault::StreamStalled: return FailSafe::StallMs;
    default: return 0;
    }
}

class NobodyAnswers : public test::WindowTest, public ::testing::WithParamInterface<FaultCase> {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        startUpAt12VoltsDc();
        form->iSwitchSlider1->setPosition(2);  // Normal
        form->endProcess = [this](int status) { processEnded = status; };
        platform.dialogs.clear();
    }

    void inject(const FaultCase& c)
    {
        faultAt = instrument->now();
        wireAtFault = static_cast<int>(instrument->commands().size());
        switch (c.fault) {
        case Fault::DataChannelGone: instrument->unplug(sim::Channel::B); break;
        case Fault::CommandChannelGone: instrument->unplug(sim::Channel::A); break;
        case Fault::NoReply: instrument->faults.reply = QByteArray(); break;
        case Fault::StreamStalled: instrument->faults.streamStalled = true; break;
        case Fault::Exit: form->Exit1->trigger(); break;
        case Fault::Signal: std::raise(c.signal); break;
        }
    }

    std::optional<std::int64_t> faultAt;
    int wireAtFault = 0;
    std::optional<int> processEnded;
};

// However a run or a test loses its supervision, the relay goes off within a second of the
// fault being found, while every dialog stays unanswered; the dialogs still come, once each.
TEST_P(NobodyAnswers, TheRelayGoesOffWithinASecond)
{
    const FaultCase& c = GetParam();
    click(form->Button11);  // the supply on: both are there to switch off
    SignalClose closeOnSignals([&](int signal) { form->closeForSignal(signal); });
    ASSERT_TRUE(closeOnSignals.installed());

    // The fault comes in the middle of a stroke, or while the test's first step settles with
    // output and relay on. From the event loop, as a fault or a kill arrives.
    const QByteArray trigger = c.activity == Activity::PolishRun ? "GP -154 2" : "RY 1";
    instrument->commandObserver = [&, seen = 0](const QByteArray& command) mutable {
        if (command != trigger || ++seen != 1)
            return;
        QTimer::singleShot(c.activity == Activity::PolishRun ? 0 : 300, [&] {
            if (c.dialogOpenBefore) {
                QTimer::singleShot(100, [&] { inject(c); });
                platform.showInfo(QStringLiteral("a dialog the operator left open"));
            } else {
                inject(c);
            }
        });
    };

    platform.holdDialogs = true;
    // Long after the safe state is due, somebody comes back and answers everything.
    const int allowance = detectionMs(c.fault) + 1000;
    QTimer comeBack;
    QObject::connect(&comeBack, &QTimer::timeout, [&] {
        if (faultAt && instrument->now() - *faultAt > allowance + 2000) {
            platform.holdDialogs = false;
            platform.releaseDialogs();
        }
    });
    comeBack.start(20);

    QPushButton* button = c.activity == Activity::PolishRun ? form->BitBtn1 : form->Button10;
    test::clickFromEventLoop(button);  // returns when the loop has wound down
    platform.holdDialogs = false;
    platform.releaseDialogs();
    pump(300);

    ASSERT_TRUE(faultAt.has_value());
    const QList<sim::WireCommand> wire = instrument->commands();
    // A silent instrument is only a fault for the first command it leaves unanswered.
    std::int64_t from = *faultAt;
    if (c.fault == Fault::NoReply && wireAtFault < wire.size())
        from = wire[wireAtFault].atMs;
    std::optional<std::int64_t> relayOff;
    for (int i = wireAtFault; i < wire.size() && !relayOff; ++i) {
        if (wire[i].text == "RY 0")
            relayOff = wire[i].atMs - from;
    }
    if (c.fault == Fault::CommandChannelGone) {
        EXPECT_FALSE(relayOff) << "nothing reaches an instrument whose command channel is gone";
    } else {
        ASSERT_TRUE(relayOff) << commands().join(", ").toStdString();
        EXPECT_LE(*relayOff, allowance) << "fault to \"RY 0\", instrument's clock";
        EXPECT_FALSE(instrument->relayOn());
        EXPECT_FALSE(instrument->outputOn());
        // Once: neither the loop winding down nor the close sends it again (a test step's own
        // "RY 0" before it switches something on again is no repetition).
        QString last;
        for (const QString& command : commands().mid(wireAtFault)) {
            if (command != QStringLiteral("RY 0") && command != QStringLiteral("RY 1") && command != QStringLiteral("PO 1"))
                continue;
            EXPECT_FALSE(command == QStringLiteral("RY 0") && last == command) << commands().join(", ").toStdString();
            last = command;
        }
    }
    EXPECT_EQ(platform.dialogs, c.dialogs) << platform.dialogs.join('\n').toStdString();
    EXPECT_FALSE(controller().failSafe.supervising());
    EXPECT_FALSE(processEnded.has_value()) << "the way out ended by itself, in time";
}

FaultCase runCase(const char* name, Fault fault, QStringList dialogs, bool openBefore = false, int signal = 0)
{
    if (openBefore)
        dialogs.prepend(OpenBefore);
    return {name, Activity::PolishRun, fault, signal, openBefore, dialogs};
}

FaultCase testCase(FaultCase c, const char* name)
{
    c.name = name;
    c.activity = Activity::VoltCurrentTest;
    c.dialogs.replaceInStrings(QStringLiteral("the run was stopped"), QStringLiteral("the test was stopped"));
    return c;
}

const QStringList DataGone = {"Error: FT_GetQueueStatus2 - General IO Error...", LinkMessage};
const QStringList CommandGone = {"Error: FT_GetQueueStatus - General IO Error...", LinkMessage};
const QStringList Timeout = {"Info: Communications Timeout"};
const QStringList Stalled = {"Info: No current readings from the instrument for 2 s: the run was stopped"};

const FaultCase RunCases[] = {
    runCase("DataChannelGone", Fault::DataChannelGone, DataGone),
    runCase("CommandChannelGone", Fault::CommandChannelGone, CommandGone),
    runCase("NoReply", Fault::NoReply, Timeout),
    runCase("StreamStalled", Fault::StreamStalled, Stalled),
    runCase("Exit", Fault::Exit, {}),
    runCase("Sigterm", Fault::Signal, {}, false, SIGTERM),
    runCase("Sigint", Fault::Signal, {}, false, SIGINT),
    runCase("Sighup", Fault::Signal, {}, false, SIGHUP),
    // A dialog already open above the run's wait: the fault is acted on inside it.
    runCase("NoReplyUnderAnOpenDialog", Fault::NoReply, Timeout, true),
    runCase("DataChannelGoneUnderAnOpenDialog", Fault::DataChannelGone, DataGone, true),
    runCase("StreamStalledUnderAnOpenDialog", Fault::StreamStalled, Stalled, true),
    runCase("SigtermUnderAnOpenDialog", Fault::Signal, {}, true, SIGTERM),
};

constexpr int RunCount = static_cast<int>(std::size(RunCases));

std::vector<FaultCase> allCases()
{
    std::vector<FaultCase> cases(std::begin(RunCases), std::end(RunCases));
    static const char* const testNames[] = {"TestDataChannelGone", "TestCommandChannelGone", "TestNoReply",
                                            "TestStreamStalled",   "TestExit",               "TestSigterm"};
    for (int i = 0; i < 6; ++i)
        cases.push_back(testCase(RunCases[i], testNames[i]));
    // The test settles without an exchange: its next command finds the device gone.
    cases[RunCount + 1].dialogs = {"Error: FT_Purge TX - General IO Error...",
                                   "Info: USB Communications Error with the KS Command Channel", LinkMessage};
    return cases;
}

INSTANTIATE_TEST_SUITE_P(Faults, NobodyAnswers, ::testing::ValuesIn(allCases()),
                         [](const auto& info) { return std::string(info.param.name); });

// Clicks on the controls that move the axis or switch the supply, before the homing has had
// its answer, are dropped: nothing goes out before or between the homing's own moves, and the
// buttons keep their captions.
struct EarlyClick {
    const char* name;
    std::function<void(TForm1&)> click;
    QString afterHoming;  // what the same click sends once homed
};

class EarlyClicks : public test::WindowTest, public ::testing::WithParamInterface<EarlyClick> {};

TEST_P(EarlyClicks, DoNothingUntilTheHomingIsAnswered)
{
    const EarlyClick& c = GetParam();
    QStringList captions;
    for (QPushButton* b : {form->BitBtn1, form->Button10, form->Button9, form->Button11})
        captions << b->text();

    c.click(*form);  // in the first two seconds, before the sequence
    // And while the homing waits for its moves.
    test::OnCommand duringHoming(instrument, QStringLiteral("GT -100"), [&] { c.click(*form); });
    test::OnCommand beforeHome(instrument, QStringLiteral("TP"), [&] { c.click(*form); });
    startUp();
    pump(200);

    EXPECT_EQ(commands(), list({"GT -100", "TP", "GT -156"}));
    QStringList after;
    for (QPushButton* b : {form->BitBtn1, form->Button10, form->Button9, form->Button11})
        after << b->text();
    EXPECT_EQ(after, captions);
    EXPECT_TRUE(form->BitBtn1->isEnabled());
    EXPECT_TRUE(form->Button1->isEnabled());

    if (c.afterHoming.isEmpty())
        return;
    c.click(*form);
    ASSERT_GT(commands().size(), 3);
    EXPECT_EQ(commands().at(3), c.afterHoming);
}

INSTANTIATE_TEST_SUITE_P(
    Controls, EarlyClicks,
    ::testing::Values(EarlyClick{"Top", [](TForm1& f) { f.Button1->click(); }, "TP"},
                      EarlyClick{"Home", [](TForm1& f) { f.Button2->click(); }, {}},  // already there
                      EarlyClick{"EndPolish", [](TForm1& f) { f.Button7->click(); }, "GT -156"},
                      EarlyClick{"Electrolyte", [](TForm1& f) { f.Button3->click(); }, "GT -2187"},
                      EarlyClick{"StrokeTest", [](TForm1& f) { f.Button4->click(); }, "GT -200"},
                      EarlyClick{"SetPowerAndZero", [](TForm1& f) { f.Button6->click(); }, "RY 0"},
                      EarlyClick{"PowerOn", [](TForm1& f) { f.Button11->click(); }, "RY 0"},
                      EarlyClick{"RelayOn", [](TForm1& f) { f.Button9->click(); }, "RY 1"},
                      EarlyClick{"Run", [](TForm1& f) { f.BitBtn1->click(); }, {}},
                      EarlyClick{"StartTest", [](TForm1& f) { f.Button10->click(); }, {}},
                      EarlyClick{"GaugeRelease",
                                 [](TForm1& f) {
                                     // A teach pointer dragged, then the mouse released.
                                     f.iLinearGauge1->setPointerPosition(5, 10.0);
                                     emit f.iLinearGauge1->OnMouseUp(Qt::LeftButton, Qt::NoModifier, 0, 0);
                                 },
                                 {}}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
