// Two figures of the polish run on the simulated instrument at its real motion speed, with the
// window shown (offscreen) and the controller as the program runs them:
//
//   1. CPU of the whole process (GUI thread, timer workers) during a run with no limits:
//      getrusage over the run, against wall time. The run mostly waits for replies; a waiting
//      loop that spun would show close to 100 %.
//   2. Latency of a stop click during the strokes: from the click to "RY 0" on the wire, on the
//      instrument's clock, over several runs stopped at random moments of a stroke. The loop
//      finishes the stroke in progress first (both its half moves), so the figure is compared
//      with one full stroke's reply time (down and up), also measured here.
//
//   3. CPU of the same run with its record written and without: runs of equal length taken
//      in turns, records off (the records folder cannot be made, so each record fails at its
//      start and its rows cost nothing) and on; the medians of each and their difference.
//
//   bench_polish_run [--quick]      60 s run, 9 stops, 3 pairs of 30 s runs;
//                                   --quick: 10 s, 5 stops, 1 pair of 10 s runs
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

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <sys/resource.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <random>
#include <vector>

namespace {

using namespace velmar;

double cpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2.0;
}

// Index in the wire log of the last command with this text, or -1.
int lastIndexOf(const QList<sim::WireCommand>& wire, const QByteArray& text)
{
    for (int i = static_cast<int>(wire.size()) - 1; i >= 0; --i) {
        if (wire[i].text == text)
            return i;
    }
    return -1;
}

int strokeMovesOf(const QList<sim::WireCommand>& wire)
{
    return static_cast<int>(
        std::count_if(wire.begin(), wire.end(), [](const sim::WireCommand& c) { return c.text.startsWith("GP "); }));
}

}  // namespace

int main(int argc, char** argv)
{
    bench::BenchApplication app(argc, argv);
    const bool quick = app.quick();
    const int runSeconds = quick ? 10 : 60;
    const int stops = quick ? 5 : 9;

    bench::SimulatedBench rig;  // real motion speed
    bench::BenchPlatform& platform = rig.platform;
    const std::shared_ptr<sim::KestromSim>& instrument = rig.instrument;

    bench::BenchWindow window;
    TForm1& form = window.form;
    form.Edit1->clear();
    form.Edit2->clear();
    form.Edit3->clear();

    // --- 0. The same window idle (poll cycle and displays only), for comparison -------------
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    {
        QElapsedTimer idleWall;
        idleWall.start();
        const double before = cpuSeconds();
        Delay(10000);
        const double idleCpu = cpuSeconds() - before;
        std::printf("CPU of the idle window (poll cycle only) over %.1f s: %.2f %% of one core\n",
                    idleWall.elapsed() / 1000.0, 100.0 * idleCpu / (idleWall.elapsed() / 1000.0));
    }

    // --- 1. CPU over a run -------------------------------------------------------------------
    QTimer::singleShot(runSeconds * 1000, &form, [&] { form.BitBtn1->click(); });
    QElapsedTimer wall;
    wall.start();
    const double cpuBefore = cpuSeconds();
    bench::clickAndWait(form, form.BitBtn1);  // returns when the run has wound down
    const double cpu = cpuSeconds() - cpuBefore;
    const double seconds = wall.elapsed() / 1000.0;
    const int strokeMoves = strokeMovesOf(instrument->commands());
    std::printf("CPU during a %.1f s polish run: %.2f s = %.2f %% of one core (%d stroke moves, %.0f points)\n",
                seconds, cpu, 100.0 * cpu / seconds, strokeMoves, form.state.CycleNumber * 2);

    // --- 2. Stop click to "RY 0" -------------------------------------------------------------
    std::mt19937 rng(7);
    std::vector<double> latencies;
    std::vector<double> strokeTimes;
    for (int k = 0; k < stops; ++k) {
        // A few strokes into the run, at a random moment of a stroke.
        const int afterMoves = 3 + static_cast<int>(rng() % 4);
        const int intoStrokeMs = static_cast<int>(rng() % 150);
        std::int64_t clickedAt = 0;
        const int gpBefore = strokeMovesOf(instrument->commands());
        QTimer watch;
        watch.setInterval(1);
        QObject::connect(&watch, &QTimer::timeout, [&] {
            if (strokeMovesOf(instrument->commands()) - gpBefore < afterMoves)
                return;
            watch.stop();
            QTimer::singleShot(intoStrokeMs, Qt::PreciseTimer, &form, [&] {
                clickedAt = instrument->now();
                form.BitBtn1->click();
            });
        });
        watch.start();
        bench::clickAndWait(form, form.BitBtn1);
        watch.stop();

        const QList<sim::WireCommand> wire = instrument->commands();
        const int relayOff = lastIndexOf(wire, "RY 0");
        if (clickedAt == 0 || relayOff < 0) {
            std::printf("stop %d: no click or no \"RY 0\"\n", k + 1);
            continue;
        }
        latencies.push_back(static_cast<double>(wire[relayOff].atMs - clickedAt));
        // A full stroke's reply time: from a down stroke to the command after its up stroke.
        for (int i = 0; i + 2 < relayOff; ++i) {
            if (wire[i].text == "GP -154 2" && wire[i + 1].text == "GP 154 2" && wire[i].atMs >= clickedAt - 10000)
                strokeTimes.push_back(static_cast<double>(wire[i + 2].atMs - wire[i].atMs));
        }
    }
    if (latencies.empty())
        return 1;
    const double stroke = strokeTimes.empty() ? 0.0 : median(strokeTimes);
    std::printf("Stop click to \"RY 0\" during strokes: median %.0f ms over %zu stops (min %.0f, max %.0f)\n",
                median(latencies), latencies.size(), *std::min_element(latencies.begin(), latencies.end()),
                *std::max_element(latencies.begin(), latencies.end()));
    std::printf("One full stroke's reply time (down and up, incl. both evaluations): median %.0f ms; goal %.0f ms\n",
                stroke, stroke + 50.0);

    // --- 3. CPU with records and without -----------------------------------------------------
    const int pairs = quick ? 1 : 3;
    const int pairSeconds = quick ? 10 : 30;
    const QString velmarFolder = platform.localAppDataFolder() + QStringLiteral("/Velmar");
    platform.onDialog = [](const char*, const QString&) {};  // the "record could not be written" of the off runs
    std::vector<double> cpuOff, cpuOn;
    int recordsWritten = 0;
    for (int k = 0; k < 2 * pairs; ++k) {
        const bool on = k % 2 == 1;
        QDir(velmarFolder).removeRecursively();
        QFile::remove(velmarFolder);
        if (!on)
            QFile(velmarFolder).open(QIODevice::WriteOnly);  // a file where the folder should be
        QTimer::singleShot(pairSeconds * 1000, &form, [&] { form.BitBtn1->click(); });
        QElapsedTimer runWall;
        runWall.start();
        const double before = cpuSeconds();
        bench::clickAndWait(form, form.BitBtn1);
        const double percent = 100.0 * (cpuSeconds() - before) / (runWall.elapsed() / 1000.0);
        (on ? cpuOn : cpuOff).push_back(percent);
        if (on)
            recordsWritten += QDir(velmarFolder + QStringLiteral("/records")).entryList(QDir::Dirs | QDir::NoDotAndDotDot).size();
    }
    std::printf("CPU of a %d s polish run, median of %d: records off %.2f %%, on %.2f %% of one core: "
                "difference %+.2f percentage points (goal within 0.2); %d records written\n",
                pairSeconds, pairs, median(cpuOff), median(cpuOn), median(cpuOn) - median(cpuOff), recordsWritten);
    form.close();
    return 0;
}
