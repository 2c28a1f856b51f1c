// What the 30 ms poll cycle costs on the window's thread, and what the whole program costs
// while it polls the simulated instrument.
//
//   bench_poll_cycle [--quick] [--cycles N]
//
// 1. CPU: the main window on the simulated instrument runs its start-up sequence, then the
//    event loop runs for 60 s (10 s with --quick) while the instrument streams; the figure is
//    the process's user + system time (every thread) over that period, as a share of one core.
// 2. One cycle: with a frame waiting each time (the instrument's clock is moved on by one frame
//    period before each call), the timer-9 handler is timed N times: read, decode, lamp, labels,
//    meter, readout. The repaint that follows in the event loop is timed apart.
//
// Runs on the offscreen platform unless QT_QPA_PLATFORM says otherwise.
#include "bench/bench_main.h"
#include "controller/controller.h"
#include "device/d2xx/d2xx.h"
#include "platform/platform_services.h"
#include "platform/velmar_application.h"
#include "sim/kestrom_sim.h"
#include "sim/simulated_backend.h"
#include "timers/tithreadtimers.h"
#include "ui/about_window.h"
#include "ui/main_window.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QFile>
#include <QFont>
#include <QLabel>
#include <QTemporaryDir>
#include <QTimer>

#include <sys/resource.h>
#include <time.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

namespace {

using namespace velmar;

// A flagged current that changes every frame, so every display really changes.
class SweepingCurrent : public sim::CurrentModel {
public:
    int frameValue(const sim::SupplyState&, std::mt19937&) override { return 10012 + (n_++ * 37) % 160; }

private:
    int n_ = 0;
};

double cpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    auto seconds = [](const timeval& t) { return double(t.tv_sec) + double(t.tv_usec) / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

void runEventsFor(int ms)
{
    QTimer::singleShot(ms, Qt::PreciseTimer, qApp, [] { QCoreApplication::exit(0); });
    QCoreApplication::exec();
}

// CPU time of this thread: what the cycle itself costs, without the time other processes of a
// shared machine take the core away.
double threadCpuUs()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e6 + double(t.tv_nsec) / 1e3;
}

double percentile(std::vector<double> v, double p)
{
    std::sort(v.begin(), v.end());
    const auto i = static_cast<std::size_t>(p * double(v.size() - 1) + 0.5);
    return v[std::min(i, v.size() - 1)];
}

}  // namespace

int main(int argc, char** argv)
{
    bool quick = false;
    int cycles = 5000;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--quick") == 0)
            quick = true;
        else if (std::strcmp(argv[i], "--cycles") == 0 && i + 1 < argc)
            cycles = std::max(10, std::atoi(argv[++i]));
    }
    const int cpuSecondsToMeasure = quick ? 10 : 60;

    VelmarApplication app(bench::offscreenUnlessChosen(argc), argv);
    QApplication::setApplicationDisplayName(QStringLiteral("Velmar"));
    QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"),
                               {QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")});

    // The settings file of a machine that has run the program before (no first-run message).
    QTemporaryDir folder;
    {
        QFile file(folder.filePath(QStringLiteral("Velmar.ini")));
        if (file.open(QIODevice::WriteOnly))
            file.write("[Motion]\nHomeSteps=156\nPolishSteps=312\nElectrolyteSteps=2343\n");
    }
    bench::BenchPlatform platform(folder.path());
    installPlatform(&platform);

    // The instrument's clock runs with real time; the cycle timing below moves it on by hand
    // so that a frame is always waiting.
    static std::int64_t clockOffset = 0;
    const sim::Clock steady = sim::steadyClock();
    auto instrument = std::make_shared<sim::KestromSim>([steady] { return steady() + clockOffset; });
    instrument->setSpeedFactor(20.0);
    instrument->setCurrentModel(std::make_unique<SweepingCurrent>());
    sim::installSimulator(instrument);

    int pollCycles = 0;
    {
        TForm1 form(QStringList{});
        TForm2 about(&form);
        form.setAboutWindow(&about);
        form.show();
        Controller& c = *form.controller;
        TiThreadTimers& timers = *form.iThreadTimers1;

        // Start-up: two seconds, the splash, the homing moves, then polling.
        QElapsedTimer startUp;
        startUp.start();
        while (!timers.enabled(9) && startUp.elapsed() < 30000)
            runEventsFor(50);
        if (!timers.enabled(9)) {
            std::fprintf(stderr, "polling never started\n");
            return 1;
        }
        std::printf("start-up done after %.1f s; commands: %s\n", startUp.elapsed() / 1000.0,
                    qPrintable(instrument->commandTexts().join(QStringLiteral(", "))));
        runEventsFor(500);

        timers.setOnTimer(9, [&](QObject* sender) {
            ++pollCycles;
            c.poll.iThreadTimers1Timer9(sender);
        });

        // --- CPU of the program while it polls ------------------------------------------------
        const auto framesBefore = instrument->counters().bytesReadB / 6;
        QElapsedTimer wall;
        const double cpu0 = cpuSeconds();
        wall.start();
        runEventsFor(cpuSecondsToMeasure * 1000);
        const double cpu = cpuSeconds() - cpu0;
        const double seconds = wall.elapsed() / 1000.0;
        const auto frames = instrument->counters().bytesReadB / 6 - framesBefore;
        std::printf("CPU while polling: %.2f %% of one core (%.3f s CPU over %.1f s; %d poll cycles, "
                    "%.1f per s; %lld frames read; current shown %s mA)\n",
                    100.0 * cpu / seconds, cpu, seconds, pollCycles, pollCycles / seconds,
                    static_cast<long long>(frames), qPrintable(form.Label11->text()));

        // --- one cycle with a frame waiting ---------------------------------------------------
        timers.setOnTimer(9, {});
        timers.setEnabled(9, false);
        runEventsFor(100);
        std::vector<double> cycleUs, cycleCpuUs, repaintUs;
        cycleUs.reserve(std::size_t(cycles));
        repaintUs.reserve(std::size_t(cycles));
        const auto readBefore = instrument->counters().bytesReadB;
        for (int i = 0; i < cycles; ++i) {
            clockOffset += sim::KestromSim::FramePeriodMs;
            const double cpu0 = threadCpuUs();
            const auto t0 = std::chrono::steady_clock::now();
            c.poll.iThreadTimers1Timer9(&timers);
            const auto t1 = std::chrono::steady_clock::now();
            cycleCpuUs.push_back(threadCpuUs() - cpu0);
            timers.setEnabled(9, false);
            QCoreApplication::processEvents();
            const auto t2 = std::chrono::steady_clock::now();
            cycleUs.push_back(std::chrono::duration<double, std::micro>(t1 - t0).count());
            repaintUs.push_back(std::chrono::duration<double, std::micro>(t2 - t1).count());
        }
        const auto framesTimed = (instrument->counters().bytesReadB - readBefore) / 6;
        std::printf("one poll cycle, frame waiting (%d cycles, %lld frames decoded): median %.1f us, "
                    "p99 %.1f us, max %.1f us\n",
                    cycles, static_cast<long long>(framesTimed), percentile(cycleUs, 0.5),
                    percentile(cycleUs, 0.99), *std::max_element(cycleUs.begin(), cycleUs.end()));
        std::printf("  the same, this thread's CPU time: median %.1f us, p99 %.1f us, max %.1f us\n",
                    percentile(cycleCpuUs, 0.5), percentile(cycleCpuUs, 0.99),
                    *std::max_element(cycleCpuUs.begin(), cycleCpuUs.end()));
        std::printf("repaint after it (event processing): median %.1f us, p99 %.1f us\n",
                    percentile(repaintUs, 0.5), percentile(repaintUs, 0.99));
    }
    installPlatform(nullptr);
    d2xx::closeAll();
    return platform.dialogs == 0 ? 0 : 1;
}
