// Strip chart figures: AddPoint cost at an empty and at a day-long list, paint time of the
// whole history, memory per stored point. A plain timed main; prints a table.
//   bench_plot [points]   (default 2,880,000: a day of 30 ms points)
#include "bench/thread_cpu_clock.h"
#include "ui/form1_configuration.h"
#include "widgets/plot/plot_points.h"
#include "widgets/plot/tiplot.h"

#include <QApplication>
#include <QElapsedTimer>

#include <sys/resource.h>

#include <time.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <random>
#include <vector>

using namespace velmar;
using Clock = bench::ThreadCpuClock;

namespace {

long maxRssKb()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

double current(int i, std::mt19937& random)
{
    std::normal_distribution<double> noise(0, 1.5);
    return 60 + 25 * std::sin(i / 20000.0) + noise(random);
}

// Mean ns per AddPoint over `count` points added to `channel` starting at index `from`.
double addCost(TiPlotChannel* channel, int from, int count, std::mt19937& random)
{
    std::vector<double> ys(count);
    for (int i = 0; i < count; ++i)
        ys[i] = current(from + i, random);
    const auto start = Clock::now();
    for (int i = 0; i < count; ++i)
        channel->AddPoint((from + i) * 0.03, ys[i]);
    return std::chrono::duration<double, std::nano>(Clock::now() - start).count() / count;
}

struct Percentiles {
    double p50, p99, max;
};

// Frames as in a run: a point on each channel, the X axis refitted to show everything, one
// synchronous repaint.
Percentiles paintFrames(TiPlot& plot, int& next, int frames, std::mt19937& random)
{
    std::vector<double> ms;
    double total = 0;
    for (int f = 0; f < frames; ++f) {
        const double y = current(next, random);
        total += y / 1000;
        plot.ChannelAt(0)->AddPoint(next * 0.03, y);
        plot.ChannelAt(1)->AddPoint(next * 0.03, total);
        ++next;
        plot.XAxisAt(0)->FitToData();
        const auto start = Clock::now();
        plot.repaint();
        ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    }
    std::sort(ms.begin(), ms.end());
    return {ms[ms.size() / 2], ms[static_cast<std::size_t>(ms.size() * 0.99)], ms.back()};
}

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const int total = argc > 1 ? std::atoi(argv[1]) : 2880000;
    std::mt19937 random(5);

    std::printf("Memory (one channel's point store)\n");
    {
        const long before = maxRssKb();
        PlotPointStore store;
        std::size_t peak = 0;
        for (int i = 0; i < total; ++i) {
            store.add(i * 0.03, 60.0 + (i % 1000) * 0.01);
            if ((i & 1023) == 0 || i == total - 1)
                peak = std::max(peak, store.bytesAllocated());
        }
        const std::size_t bytes = store.bytesAllocated();
        std::printf("  held at %d points            %.2f bytes/point (%.1f MB; capacity %d)\n", total,
                    double(bytes) / total, bytes / 1e6, store.capacity());
        std::printf("  peak held during growth        %.2f bytes/point\n", double(peak) / total);
        std::printf("  process peak RSS growth        %.2f bytes/point (pages never written stay unmapped)\n",
                    (maxRssKb() - before) * 1024.0 / total);
    }

    std::printf("AddPoint (configured chart, shown, tracking on)\n");
    {
        TiPlot plot;
        configurePlot1(plot);
        plot.resize(657, 393);
        plot.show();
        QApplication::processEvents();
        addCost(plot.ChannelAt(0), 0, 100000, random);  // warm up, then from empty again
        plot.ClearData();
        const double early = addCost(plot.ChannelAt(0), 0, 100000, random);
        addCost(plot.ChannelAt(0), 100000, total - 200000, random);
        const double late = addCost(plot.ChannelAt(0), total - 100000, 100000, random);
        PlotPointStore bare;
        for (int i = 0; i < 100000; ++i)
            bare.add(i, i);
        auto start = Clock::now();
        for (int i = 0; i < 100000; ++i)
            bare.add(i, i);
        const double store = std::chrono::duration<double, std::nano>(Clock::now() - start).count() / 100000;
        std::printf("  first 100,000 points         %6.1f ns/point\n", early);
        std::printf("  last 100,000 before %9d %6.1f ns/point\n", total, late);
        std::printf("  point store alone (no axes)    %6.1f ns/point\n", store);
    }

    std::printf("Paint, 657 x 393, whole history, 2 channels (300 frames each)\n");
    for (int size : {120000, total}) {
        TiPlot plot;
        configurePlot1(plot);
        plot.resize(657, 393);
        plot.show();
        QApplication::processEvents();
        int next = 0;
        double sum = 0;
        for (; next < size; ++next) {
            const double y = current(next, random);
            sum += y / 1000;
            plot.ChannelAt(0)->AddPoint(next * 0.03, y);
            plot.ChannelAt(1)->AddPoint(next * 0.03, sum);
        }
        plot.YAxisAt(0)->FitToData();
        plot.YAxisAt(1)->FitToData();
        paintFrames(plot, next, 20, random);  // warm up
        const Percentiles p = paintFrames(plot, next, 300, random);
        std::printf("  %9d points/channel: p50 %.2f ms  p99 %.2f ms  max %.2f ms\n", size, p.p50, p.p99, p.max);
    }
    return 0;
}
