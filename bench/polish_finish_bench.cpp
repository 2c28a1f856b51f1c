// How long a polish run on the simulated instrument takes to end by itself on a "Minimum Current"
// limit: the window and controller as the program runs them, the instrument at a motion speed
// factor (default 10, as with --simulate=10), 12 V DC, Power On first (zero captured), then Run
// with "Number Cycles" and "Total Charge" empty.
//
//   bench_polish_finish [speed] [minimum-current-mA ...]
//
// Prints, per limit, the real seconds to the finish message and the message; also the current
// every 10 s of the run, to choose a limit from.
#include "bench/bench_main.h"
#include "bench/bench_window.h"
#include "controller/controller.h"
#include "device/d2xx/d2xx.h"
#include "platform/platform_services.h"
#include "sim/kestrom_sim.h"
#include "sim/simulated_backend.h"
#include "timers/tithreadtimers.h"
#include "ui/about_window.h"
#include "ui/main_window.h"
#include "widgets/dials/tiknob.h"
#include "widgets/dials/tiswitchslider.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>
#include <memory>

namespace {

using namespace velmar;

void runOnce(double speed, const QString& minimum, int limitSeconds)
{
    QElapsedTimer runClock;
    {
        auto instrument = std::make_shared<sim::KestromSim>();
        instrument->setSpeedFactor(speed);
        bench::SimulatedBench rig(instrument);
        rig.platform.onDialog = [&runClock](const char* kind, const QString& text) {
            if (runClock.isValid())
                std::printf("  %7.1f s  %s: %s\n", runClock.elapsed() / 1000.0, kind, qPrintable(text));
        };
        bench::BenchWindow window;  // homed, 12 V DC, Power On: zero captured, output on
        TForm1& form = window.form;
        form.Edit2->setText(minimum);

        std::printf("Minimum Current %s mA, speed %g (zero offset %d):\n", qPrintable(minimum), speed,
                    form.state.ZeroOffset);
        QTimer report;
        QObject::connect(&report, &QTimer::timeout, [&] {
            std::printf("  %7.1f s  current %.1f mA, cycle %g, total %.0f\n", runClock.elapsed() / 1000.0,
                        form.state.CurrentSamples[0], form.state.CycleNumber, form.state.TotalCharge);
            if (runClock.elapsed() > limitSeconds * 1000 && form.BitBtn1->text() == "STOP") {
                std::printf("  no finish within %d s: stopped\n", limitSeconds);
                form.BitBtn1->click();
            }
        });
        report.start(10000);
        runClock.start();
        bench::clickAndWait(form, form.BitBtn1);  // returns when the run has ended
        report.stop();
        std::printf("  ended after %.1f s real time\n\n", runClock.elapsed() / 1000.0);
    }
}

}  // namespace

int main(int argc, char** argv)
{
    bench::BenchApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    const double speed = args.isEmpty() ? 10.0 : args.first().toDouble();
    QStringList minimums = args.mid(1);
    if (minimums.isEmpty())
        minimums << QStringLiteral("200");
    for (const QString& minimum : minimums)
        runOnce(speed, minimum, 600);
    return 0;
}
