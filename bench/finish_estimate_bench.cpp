// How well the status line's finish estimate foretells the end of a polish run: the simulated
// instrument at a motion speed factor (default 10, as with --simulate=10) and its default cell,
// the window and controller as the program runs them, 12 V DC, Power On first (zero captured),
// then Run with "Minimum Current" set (default 150 mA) and the other limits empty. The estimate
// is sampled while the run goes on; when the run has ended, the estimate current at 25 %, 50 %
// and 75 % of its duration is compared with the actual end.
//
//   bench_finish_estimate [runs] [speed] [minimum-current-mA]
//
// Prints, per run and as the median over the runs, the error of the estimated finish as a share
// of the time that was still to go, and as a share of the whole run. Goals: within 20 % at a
// quarter of the run, within 10 % at half.
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
#include <QTimer>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>
#include <optional>
#include <vector>

namespace {

using namespace velmar;

constexpr double Shares[] = {0.25, 0.5, 0.75};

struct Sample {
    double seconds;  // since the click on Run
    std::optional<double> finishAt;
};

struct RunErrors {
    double seconds = 0;
    double ofRemaining[3] = {NAN, NAN, NAN};
    double ofRun[3] = {NAN, NAN, NAN};
};

RunErrors runOnce(double speed, const QString& minimum, unsigned seed)
{
    RunErrors errors;
    std::vector<Sample> samples;
    {
        auto instrument = std::make_shared<sim::KestromSim>(sim::steadyClock(), seed);
        instrument->setSpeedFactor(speed);
        bench::SimulatedBench rig(instrument);
        bench::BenchWindow window;  // homed, 12 V DC, Power On: zero captured, output on
        TForm1& form = window.form;
        form.Edit2->setText(minimum);

        QElapsedTimer clock;
        QTimer sampler;
        QObject::connect(&sampler, &QTimer::timeout, [&] {
            std::optional<double> at;
            if (const auto estimate = form.controller->progress.finishEstimate())
                at = estimate->atSeconds;
            samples.push_back({clock.elapsed() / 1000.0, at});
        });
        sampler.start(100);
        clock.start();
        bench::clickAndWait(form, form.BitBtn1);  // returns when the run has ended
        sampler.stop();
        errors.seconds = clock.elapsed() / 1000.0;
    }

    const double end = errors.seconds;
    for (int k = 0; k < 3; ++k) {
        const double at = Shares[k] * end;
        const Sample* last = nullptr;
        for (const Sample& s : samples)
            if (s.seconds <= at)
                last = &s;
        if (!last || !last->finishAt)
            continue;
        errors.ofRemaining[k] = (*last->finishAt - end) / (end - last->seconds);
        errors.ofRun[k] = (*last->finishAt - end) / end;
    }
    return errors;
}

double median(std::vector<double> values)
{
    values.erase(std::remove_if(values.begin(), values.end(), [](double v) { return std::isnan(v); }), values.end());
    if (values.empty())
        return NAN;
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

}  // namespace

int main(int argc, char** argv)
{
    bench::BenchApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    const int runs = args.size() > 0 ? args[0].toInt() : 3;
    const double speed = args.size() > 1 ? args[1].toDouble() : 10.0;
    const QString minimum = args.size() > 2 ? args[2] : QStringLiteral("150");

    std::printf("Minimum Current %s mA, speed %g, %d run(s); error of the estimated finish, late positive,\n"
                "as a share of the time still to go (and of the whole run):\n",
                qPrintable(minimum), speed, runs);
    std::vector<double> remaining[3], whole[3];
    for (int r = 0; r < runs; ++r) {
        const RunErrors e = runOnce(speed, minimum, 1u + unsigned(r));
        std::printf("  run %d: %.1f s", r + 1, e.seconds);
        for (int k = 0; k < 3; ++k) {
            std::printf("   at %2.0f %%: %+6.1f %% (%+5.1f %%)", Shares[k] * 100, e.ofRemaining[k] * 100, e.ofRun[k] * 100);
            remaining[k].push_back(std::abs(e.ofRemaining[k]));
            whole[k].push_back(std::abs(e.ofRun[k]));
        }
        std::printf("\n");
        std::fflush(stdout);
    }
    std::printf("  median |error|:");
    for (int k = 0; k < 3; ++k)
        std::printf("   at %2.0f %%: %5.1f %% (%4.1f %%)", Shares[k] * 100, median(remaining[k]) * 100, median(whole[k]) * 100);
    std::printf("\n  goals: 20 %% at 25 %%, 10 %% at 50 %%\n");
    return 0;
}
