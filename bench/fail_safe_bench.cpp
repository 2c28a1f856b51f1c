// How long the instrument is left on after a fault ends the supervision: from the fault to
// "RY 0" on the wire, on the instrument's clock, at its real motion speed, for each way a
// polish run or a volt-versus-current test can lose its instrument:
//
//   data channel gone      the poll cycle notices the failed queue query
//   command channel gone   nothing can reach the instrument any more; the figure is the
//                          time until the run or test has wound down instead
//   no reply               the reply watchdog (10 s, as specified) ends the wait first; the
//                          figure is from that first unanswered command
//   stream stalled         2 s without a current reading
//   Exit, SIGTERM          the menu command, the signal (through the window's signal close)
//
// Nobody answers any dialog: each stays open until 2 s after the safe state was due, so the
// figures show what reaches the instrument without a person.
//
// Each repetition builds a fresh window and instrument (a lost link is never cleared) and
// injects the fault at a random moment a few strokes into the run, or while the test settles.
//
//   bench_fail_safe [--quick]      5 repetitions per case; --quick: 1
#include "bench/bench_main.h"
#include "bench/bench_window.h"
#include "controller/controller.h"
#include "device/d2xx/d2xx.h"
#include "platform/delay.h"
#include "platform/platform_services.h"
#include "sim/kestrom_sim.h"
#include "sim/simulated_backend.h"
#include "timers/tithreadtimers.h"
#include "ui/about_window.h"
#include "ui/main_window.h"
#include "widgets/dials/tiknob.h"
#include "widgets/dials/tiswitchslider.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <functional>
#include <memory>
#include <optional>
#include <random>
#include <vector>

namespace {

using namespace velmar;

enum class Fault { DataChannelGone, CommandChannelGone, NoReply, StreamStalled, Exit, Sigterm };
enum class Activity { PolishRun, VoltCurrentTest };

const char* faultName(Fault fault)
{
    switch (fault) {
    case Fault::DataChannelGone: return "data channel gone";
    case Fault::CommandChannelGone: return "command channel gone";
    case Fault::NoReply: return "no reply";
    case Fault::StreamStalled: return "stream stalled";
    case Fault::Exit: return "File > Exit";
    case Fault::Sigterm: return "SIGTERM";
    }
    return "";
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2.0;
}

struct Outcome {
    std::optional<double> toRelayOff;  // fault to "RY 0", ms on the instrument's clock
    double toWoundDown = 0.0;          // fault to the loop's return, ms
};

std::optional<Outcome> measureOnce(Activity activity, Fault fault, std::mt19937& rng)
{
    bench::SimulatedBench rig;  // real motion speed
    bench::BenchPlatform& platform = rig.platform;
    platform.onDialog = [](const char*, const QString&) {};
    const std::shared_ptr<sim::KestromSim>& instrument = rig.instrument;

    std::optional<Outcome> result;
    {
        bench::BenchWindow window;  // the supply on: there is something to switch off
        TForm1& form = window.form;
        form.endProcess = [](int) {};
        platform.holdDialogs = true;  // from here on, not during the homing's first-run message
        for (QLineEdit* edit : {form.Edit1, form.Edit2, form.Edit3})
            edit->clear();

        // A few strokes into the run, or into the 2 s settle of the test's first step, at a
        // random moment.
        const QByteArray trigger = activity == Activity::PolishRun ? "GP -154 2" : "RY 1";
        const int occurrence = activity == Activity::PolishRun ? 3 + static_cast<int>(rng() % 4) : 1;
        const int delayMs = static_cast<int>(rng() % (activity == Activity::PolishRun ? 150 : 1500));
        std::int64_t faultAt = -1;
        int wireAtFault = 0;
        int seen = 0;
        QTimer inject;
        inject.setSingleShot(true);
        inject.setTimerType(Qt::PreciseTimer);
        QObject::connect(&inject, &QTimer::timeout, [&] {
            faultAt = instrument->now();
            wireAtFault = static_cast<int>(instrument->commands().size());
            switch (fault) {
            case Fault::DataChannelGone: instrument->unplug(sim::Channel::B); break;
            case Fault::CommandChannelGone: instrument->unplug(sim::Channel::A); break;
            case Fault::NoReply: instrument->faults.reply = QByteArray(); break;
            case Fault::StreamStalled: instrument->faults.streamStalled = true; break;
            case Fault::Exit: form.Exit1->trigger(); break;
            case Fault::Sigterm: form.closeForSignal(SIGTERM); break;
            }
        });
        // Somebody comes back long after the safe state was due and answers everything.
        const int due = (fault == Fault::NoReply ? 10000 : fault == Fault::StreamStalled ? 2000 : 0) + 3000;
        QTimer comeBack;
        QObject::connect(&comeBack, &QTimer::timeout, [&] {
            if (faultAt >= 0 && instrument->now() - faultAt > due) {
                platform.holdDialogs = false;
                platform.releaseDialogs();
            }
        });
        comeBack.start(20);
        instrument->commandObserver = [&](const QByteArray& command) {
            if (command == trigger && ++seen == occurrence)
                QMetaObject::invokeMethod(&inject, [&] { inject.start(delayMs); }, Qt::QueuedConnection);
        };

        QPushButton* button = activity == Activity::PolishRun ? form.BitBtn1 : form.Button10;
        bench::clickAndWait(form, button);  // returns when the loop has wound down
        platform.holdDialogs = false;
        platform.releaseDialogs();
        const std::int64_t woundDown = instrument->now();
        instrument->commandObserver = nullptr;

        if (faultAt >= 0) {
            Outcome outcome;
            outcome.toWoundDown = static_cast<double>(woundDown - faultAt);
            // The last one: a test step's own "RY 0" before its zero capture may come first,
            // with the relay switched on again after it.
            const QList<sim::WireCommand> wire = instrument->commands();
            // A silent instrument is a fault from the first command it leaves unanswered.
            const std::int64_t from =
                fault == Fault::NoReply && wireAtFault < wire.size() ? wire[wireAtFault].atMs : faultAt;
            for (int i = static_cast<int>(wire.size()) - 1; i >= wireAtFault; --i) {
                if (wire[i].text == "RY 0") {
                    outcome.toRelayOff = static_cast<double>(wire[i].atMs - from);
                    break;
                }
            }
            result = outcome;
        }
        Delay(100);
    }
    return result;
}

}  // namespace

int main(int argc, char** argv)
{
    bench::BenchApplication app(argc, argv);
    const bool quick = app.quick();
    const int repetitions = quick ? 1 : 5;
    std::setvbuf(stdout, nullptr, _IOLBF, 0);

    std::mt19937 rng(11);
    for (Activity activity : {Activity::PolishRun, Activity::VoltCurrentTest}) {
        for (Fault fault : {Fault::DataChannelGone, Fault::CommandChannelGone, Fault::NoReply, Fault::StreamStalled,
                            Fault::Exit, Fault::Sigterm}) {
            std::vector<double> relayOff;
            std::vector<double> woundDown;
            for (int k = 0; k < repetitions; ++k) {
                const std::optional<Outcome> outcome = measureOnce(activity, fault, rng);
                if (!outcome)
                    continue;
                if (outcome->toRelayOff)
                    relayOff.push_back(*outcome->toRelayOff);
                woundDown.push_back(outcome->toWoundDown);
            }
            const char* what = activity == Activity::PolishRun ? "polish run" : "V-I test";
            if (woundDown.empty()) {
                std::printf("%-10s %-21s no fault injected\n", what, faultName(fault));
                continue;
            }
            if (relayOff.empty()) {
                std::printf("%-10s %-21s fault to \"RY 0\": none (cannot be sent); to the loop's end: median %.0f ms"
                            " (n=%zu)\n",
                            what, faultName(fault), median(woundDown), woundDown.size());
                continue;
            }
            std::printf("%-10s %-21s fault to \"RY 0\": median %.0f ms (min %.0f, max %.0f, n=%zu); to the loop's end:"
                        " median %.0f ms\n",
                        what, faultName(fault), median(relayOff), *std::min_element(relayOff.begin(), relayOff.end()),
                        *std::max_element(relayOff.begin(), relayOff.end()), relayOff.size(), median(woundDown));
        }
    }
    return 0;
}
