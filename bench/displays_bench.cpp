// Cost of the display controls on the 30 ms poll path (value updates) and on the paint path
// (a full repaint at window size with the static layer already cached).
#include "bench/bench_main.h"
#include "ui/form1_configuration.h"
#include "widgets/dials/tilineargauge.h"
#include "widgets/displays/tiledround.h"
#include "widgets/displays/tisevensegmentanalog.h"

#include <QApplication>
#include <QEvent>
#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>

using namespace velmar;

namespace {

// Counts the paint events a widget receives, to show that a burst of changes costs one repaint.
class PaintCounter : public QObject {
public:
    int paints = 0;
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};

template <class Widget>
double paintsPerBurst(Widget& widget, auto&& change)
{
    PaintCounter counter;
    widget.installEventFilter(&counter);
    QApplication::processEvents();
    counter.paints = 0;
    for (int i = 0; i < 100; ++i)
        change(i);
    QApplication::processEvents();
    widget.removeEventFilter(&counter);
    return counter.paints;
}

void BM_ReadoutSetUnchanged(benchmark::State& state)
{
    TiSevenSegmentAnalog readout;
    configureSevenSegmentAnalog1(readout);
    readout.show();
    readout.setValue(12.34);
    for (auto _ : state)
        readout.setValue(12.34);
}
BENCHMARK(BM_ReadoutSetUnchanged);

void BM_ReadoutSetChanged(benchmark::State& state)
{
    TiSevenSegmentAnalog readout;
    configureSevenSegmentAnalog1(readout);
    readout.show();
    double value = 0;
    for (auto _ : state) {
        value += 0.01;
        readout.setValue(value);
    }
    state.counters["paints_per_100_changes"] =
        paintsPerBurst(readout, [&](int i) { readout.setValue(100 + i * 0.01); });
}
BENCHMARK(BM_ReadoutSetChanged);

void BM_LampSetUnchanged(benchmark::State& state)
{
    TiLedRound lamp;
    configureLedRound1(lamp);
    lamp.show();
    lamp.setActive(true);
    for (auto _ : state)
        lamp.setActive(true);
}
BENCHMARK(BM_LampSetUnchanged);

void BM_LampSetChanged(benchmark::State& state)
{
    TiLedRound lamp;
    configureLedRound1(lamp);
    lamp.show();
    bool active = false;
    for (auto _ : state) {
        active = !active;
        lamp.setActive(active);
    }
    state.counters["paints_per_100_changes"] =
        paintsPerBurst(lamp, [&](int i) { lamp.setActive(i % 2 == 0); });
}
BENCHMARK(BM_LampSetChanged);

// Renders the widget into an image the size of the control; the first render builds the static
// layer, the timed ones reuse it and draw only the moving parts over it.
void paintLoop(benchmark::State& state, QWidget& widget, auto&& change)
{
    QImage image(widget.size(), QImage::Format_ARGB32_Premultiplied);
    widget.render(&image);
    int i = 0;
    for (auto _ : state) {
        change(i++);
        widget.render(&image);
        benchmark::DoNotOptimize(image.constBits());
    }
}

void BM_PaintGauge(benchmark::State& state)
{
    TiLinearGauge gauge;
    configureLinearGauge1(gauge);
    paintLoop(state, gauge, [&](int i) { gauge.setPosition(5 + (i % 100) * 0.1); });
    // The scale is built once; moving pointer 0 must not rebuild it.
    state.counters["scale_builds"] = gauge.staticLayerBuilds();
}
BENCHMARK(BM_PaintGauge)->Unit(benchmark::kMicrosecond);

void BM_PaintReadout(benchmark::State& state)
{
    TiSevenSegmentAnalog readout;
    configureSevenSegmentAnalog1(readout);
    paintLoop(state, readout, [&](int i) { readout.setValue(-88.88 + (i % 1000) * 0.17); });
}
BENCHMARK(BM_PaintReadout)->Unit(benchmark::kMicrosecond);

void BM_PaintLamp(benchmark::State& state)
{
    TiLedRound lamp;
    configureLedRound1(lamp);
    paintLoop(state, lamp, [&](int i) { lamp.setActive(i % 2 == 0); });
}
BENCHMARK(BM_PaintLamp)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv)
{
    bench::BenchApplication app(argc, argv);
    return bench::runRegisteredBenchmarks(argc, argv);
}
