// Paint time of the strip chart against QCustomPlot 2.1 (adaptive sampling on, its default)
// with the same data at the same size: two channels on two Y axes, the whole history shown,
// one new point per channel each frame as in a run. Prints ours / theirs per size.
//   bench_plot_vs_qcustomplot [frames]
#include "bench/thread_cpu_clock.h"
#include "ui/form1_configuration.h"
#include "widgets/plot/tiplot.h"

#include <qcustomplot.h>

#include <QApplication>

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

struct Series {
    std::vector<double> x, current, total;
};

Series makeSeries(int n)
{
    Series s;
    std::mt19937 random(9);
    std::normal_distribution<double> noise(0, 1.5);
    double total = 0;
    for (int i = 0; i < n; ++i) {
        const double y = 60 + 25 * std::sin(i / 20000.0) + noise(random);
        total += y / 1000;
        s.x.push_back(i * 0.03);
        s.current.push_back(y);
        s.total.push_back(total);
    }
    return s;
}

struct Figures {
    double p50, p99;
};

Figures summarise(std::vector<double> ms)
{
    std::sort(ms.begin(), ms.end());
    return {ms[ms.size() / 2], ms[static_cast<std::size_t>(ms.size() * 0.99)]};
}

Figures ours(const Series& s, int n, int frames)
{
    TiPlot plot;
    configurePlot1(plot);
    plot.resize(657, 393);
    plot.show();
    QApplication::processEvents();
    for (int i = 0; i < n; ++i) {
        plot.ChannelAt(0)->AddPoint(s.x[i], s.current[i]);
        plot.ChannelAt(1)->AddPoint(s.x[i], s.total[i]);
    }
    plot.YAxisAt(0)->FitToData();
    std::vector<double> ms;
    for (int f = 0; f < frames + 10; ++f) {
        const int i = n + f;
        const auto start = Clock::now();
        plot.ChannelAt(0)->AddPoint(s.x[i], s.current[i]);
        plot.ChannelAt(1)->AddPoint(s.x[i], s.total[i]);
        plot.XAxisAt(0)->FitToData();
        plot.repaint();
        if (f >= 10)
            ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    }
    return summarise(ms);
}

Figures theirs(const Series& s, int n, int frames)
{
    QCustomPlot plot;
    plot.resize(657, 393);
    plot.yAxis2->setVisible(true);
    QCPGraph* current = plot.addGraph(plot.xAxis, plot.yAxis);
    QCPGraph* total = plot.addGraph(plot.xAxis, plot.yAxis2);
    current->setPen(QPen(Qt::red));
    total->setPen(QPen(Qt::blue));
    current->setAdaptiveSampling(true);
    total->setAdaptiveSampling(true);
    plot.legend->setVisible(true);
    plot.xAxis->setLabel("Cycle");
    plot.yAxis->setLabel("Current (mA)");
    plot.yAxis2->setLabel("Total Current");
    QVector<double> x(s.x.begin(), s.x.begin() + n), c(s.current.begin(), s.current.begin() + n),
        t(s.total.begin(), s.total.begin() + n);
    current->setData(x, c, true);
    total->setData(x, t, true);
    plot.yAxis->setRange(0, 100);
    plot.show();
    QApplication::processEvents();
    std::vector<double> ms;
    for (int f = 0; f < frames + 10; ++f) {
        const int i = n + f;
        const auto start = Clock::now();
        current->addData(s.x[i], s.current[i]);
        total->addData(s.x[i], s.total[i]);
        // As the chart does: the X axis shows all, the total's axis grows with it.
        plot.xAxis->setRange(0, s.x[i]);
        plot.yAxis2->setRange(0, s.total[i]);
        plot.replot(QCustomPlot::rpImmediateRefresh);
        if (f >= 10)
            ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    }
    return summarise(ms);
}

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const int frames = argc > 1 ? std::atoi(argv[1]) : 100;
    const Series s = makeSeries(2880000 + frames + 20);
    std::printf("657 x 393, 2 channels, whole history, one point per channel per frame (%d frames)\n", frames);
    std::printf("%10s  %17s  %17s  %13s\n", "points", "ours p50/p99 ms", "QCP p50/p99 ms", "ratio p50/p99");
    for (int n : {120000, 1000000, 2880000}) {
        const Figures a = ours(s, n, frames);
        const Figures b = theirs(s, n, frames);
        std::printf("%10d  %7.2f / %7.2f  %7.2f / %7.2f  %5.2f / %5.2f\n", n, a.p50, a.p99, b.p50, b.p99, a.p50 / b.p50,
                    a.p99 / b.p99);
    }
    return 0;
}
