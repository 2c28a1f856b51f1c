// Cost of the meter's per-poll update and the paint time of the knob, the meter and the two
// slider switches at their window sizes, with the static layer already cached.
//
//   bench_knob_meter [--screenshots=DIR] [benchmark options]
//
// --screenshots writes a PNG of each control (at 1x and enlarged 4x) to DIR and exits.

#include "bench/bench_main.h"
#include "ui/form1_configuration.h"
#include "widgets/dials/tiangulargauge.h"
#include "widgets/dials/tiknob.h"
#include "widgets/dials/tiswitchslider.h"

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QPainter>
#include <QPixmap>

#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>

using namespace velmar;

namespace {

struct Controls {
    TiKnob knob;
    TiAngularGauge meter;
    TiSwitchSlider speed;
    TiSwitchSlider mode;
    Controls()
    {
        configureKnob1(knob);
        configureAngularGauge1(meter);
        configureSwitchSlider1(speed);
        configureSwitchSlider2(mode);
        // Shown, so that update() really schedules a repaint as in the window.
        for (QWidget* w : {static_cast<QWidget*>(&knob), static_cast<QWidget*>(&meter),
                           static_cast<QWidget*>(&speed), static_cast<QWidget*>(&mode)})
            w->show();
        QCoreApplication::processEvents();
    }
};

// Made on first use, gone before the application is (widgets must not outlive it).
std::unique_ptr<Controls>& controlsInstance()
{
    static std::unique_ptr<Controls> instance;
    return instance;
}

Controls& controls()
{
    if (!controlsInstance())
        controlsInstance() = std::make_unique<Controls>();
    return *controlsInstance();
}

void BM_MeterSetPositionChanging(benchmark::State& state)
{
    TiAngularGauge& meter = controls().meter;
    double value = 100;
    for (auto _ : state) {
        value = value == 100 ? 101.5 : 100;
        meter.setPosition(value);
    }
    // The repaints requested above are coalesced into one by the event loop.
    QCoreApplication::processEvents();
}
BENCHMARK(BM_MeterSetPositionChanging);

void BM_MeterSetPositionUnchanged(benchmark::State& state)
{
    TiAngularGauge& meter = controls().meter;
    meter.setPosition(250);
    for (auto _ : state)
        meter.setPosition(250);
}
BENCHMARK(BM_MeterSetPositionUnchanged);

void paintInto(benchmark::State& state, QWidget& widget)
{
    QImage image(widget.size(), QImage::Format_ARGB32_Premultiplied);
    widget.render(&image);   // builds the cached layer once
    for (auto _ : state) {
        widget.render(&image);
        benchmark::DoNotOptimize(image.constBits());
    }
}

void BM_PaintKnob(benchmark::State& state) { paintInto(state, controls().knob); }
void BM_PaintMeter(benchmark::State& state)
{
    controls().meter.setPosition(317);
    paintInto(state, controls().meter);
}
void BM_PaintSwitchSpeed(benchmark::State& state) { paintInto(state, controls().speed); }
void BM_PaintSwitchMode(benchmark::State& state) { paintInto(state, controls().mode); }
BENCHMARK(BM_PaintKnob)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PaintMeter)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PaintSwitchSpeed)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PaintSwitchMode)->Unit(benchmark::kMicrosecond);

// The static layer rebuilt on every paint, for comparison with the cached figure.
void BM_PaintMeterUncached(benchmark::State& state)
{
    TiAngularGauge& meter = controls().meter;
    QImage image(meter.size(), QImage::Format_ARGB32_Premultiplied);
    int flip = 0;
    for (auto _ : state) {
        meter.setTickLabelPrecision(flip ^= 1);   // a scale property: invalidates the layer
        meter.render(&image);
    }
    meter.setTickLabelPrecision(0);
}
BENCHMARK(BM_PaintMeterUncached)->Unit(benchmark::kMicrosecond);

void writeScreenshots(const QString& folder)
{
    QDir().mkpath(folder);
    Controls& c = controls();
    c.meter.setPosition(317);
    auto save = [&](QWidget& widget, const QString& name) {
        const QImage image = widget.grab().toImage();
        image.save(folder + "/" + name + ".png");
        image.scaled(image.size() * 4, Qt::IgnoreAspectRatio, Qt::FastTransformation)
            .save(folder + "/" + name + "_x4.png");
    };
    save(c.knob, "knob1");
    save(c.meter, "meter1");
    save(c.speed, "switch1");
    save(c.mode, "switch2");
    c.knob.setPosition(30);
    save(c.knob, "knob1_30V");
}

}  // namespace

int main(int argc, char** argv)
{
    bench::BenchApplication app(argc, argv);
    for (int i = 1; i < argc; ++i)
        if (std::strncmp(argv[i], "--screenshots=", 14) == 0) {
            writeScreenshots(QString::fromLocal8Bit(argv[i] + 14));
            return 0;
        }
    const int status = bench::runRegisteredBenchmarks(argc, argv);
    controlsInstance().reset();
    return status;
}
