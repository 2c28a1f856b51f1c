#include "widgets/plot/plot_painter.h"
#include "widgets/plot/plot_points.h"
#include "widgets/plot/tiplot.h"
#include "tests/support/chart_rig.h"
#include "tests/support/image_difference.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

using namespace velmar;

namespace {

QImage draw(const PlotPointStore& store, const PlotPointStore::Mapping& m, bool reduce, QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setClipRect(QRectF(m.left, m.top, m.width, m.height));
    p.setPen(QPen(Qt::red, 1));
    PlotPointStore::Trace trace;
    store.trace(m, reduce, trace);
    drawTrace(p, trace);
    return image;
}

TEST(PlotPoints, GrowsByFourThenSixteenThenAQuarter)
{
    PlotPointStore store;
    QList<int> capacities;
    for (int i = 0; i < 200; ++i) {
        store.add(i, i);
        if (capacities.isEmpty() || capacities.last() != store.capacity())
            capacities << store.capacity();
    }
    EXPECT_EQ(capacities, (QList<int>{4, 8, 12, 28, 44, 60, 76, 95, 118, 147, 183, 228}));
    store.clear();
    EXPECT_EQ(store.capacity(), 0);
    EXPECT_EQ(store.xMax(), -1e300);
    EXPECT_EQ(store.yMin(), 1e300);
}

TEST(PlotPoints, RangeQueriesAgreeWithAScan)
{
    std::mt19937 random(7);
    std::uniform_real_distribution<double> value(-100, 100);
    PlotPointStore store;
    std::vector<double> ys;
    for (int i = 0; i < 70000; ++i) {
        ys.push_back(value(random));
        store.add(i, ys.back());
    }
    std::uniform_int_distribution<int> index(0, 69999);
    for (int k = 0; k < 300; ++k) {
        int a = index(random), b = index(random);
        if (a > b)
            std::swap(a, b);
        double lo, hi;
        ASSERT_TRUE(store.yRangeWithin(a, b, lo, hi));
        EXPECT_EQ(lo, *std::min_element(ys.begin() + a, ys.begin() + b + 1));
        EXPECT_EQ(hi, *std::max_element(ys.begin() + a, ys.begin() + b + 1));
    }
}

// The reduced trace must give the very pixels of the trace through every point: dense
// noise, X falling back (a second series beside the first), gaps from NaN, values far
// outside the view on every side.
TEST(PlotPoints, ReducedTraceMatchesEveryPointPixelForPixel)
{
    std::mt19937 random(11);
    std::normal_distribution<double> noise(0, 4);
    const double nan = std::numeric_limits<double>::quiet_NaN();
    PlotPointStore store;
    double y = 50;
    for (int i = 0; i < 200000; ++i) {
        y += noise(random);
        store.add(i * 0.001, y);
        if (i % 50000 == 17)
            store.add(nan, 1);
        if (i % 40000 == 3)
            store.add(i * 0.001, 1e9);
    }
    for (int i = 0; i < 30000; ++i)
        store.add(20 + i * 0.01, 40 + noise(random) * 5);  // falls back, then runs on
    struct View {
        double xMin, xSpan, yMin, ySpan;
    };
    const View views[] = {{0, 500, -500, 1000}, {0, 200, -100, 300}, {20, 30, 0, 100}, {150.3, 10.7, -50, 200}, {-50, 20, 0, 100}};
    for (const View& v : views) {
        PlotPointStore::Mapping m{v.xMin, v.xSpan, v.yMin, v.ySpan, 58, 40, 555, 300};
        const QImage all = draw(store, m, false, QSize(657, 393));
        const QImage reduced = draw(store, m, true, QSize(657, 393));
        EXPECT_EQ(test::ImageDifference(all, reduced), "") << "view at " << v.xMin;
        PlotPointStore::Trace trace;
        store.trace(m, true, trace);
        EXPECT_LT(trace.points.size(), 4 * 600 * 3);
    }
}

TEST(PlotPoints, RingBufferKeepsTheNewest)
{
    PlotPointStore store;
    store.setRingSize(100);
    for (int i = 0; i < 1000; ++i)
        EXPECT_EQ(store.add(i, i % 7), std::min(i, 99));
    EXPECT_EQ(store.count(), 100);
    EXPECT_EQ(store.x(0), 900);
    EXPECT_EQ(store.x(99), 999);
    double lo, hi;
    ASSERT_TRUE(store.yRangeWithin(990, 2000, lo, hi));
    EXPECT_EQ(std::pair(lo, hi), std::pair(0.0, 6.0));
    EXPECT_EQ(store.xMin(), 0);  // extremes cover everything since the last clear
}

TEST(PlotPoints, ChartPictureIsTheSameWithAndWithoutReduction)
{
    TiPlot plot;
    test::twoChannelChart(plot);
    plot.resize(657, 393);
    std::mt19937 random(3);
    std::normal_distribution<double> noise(0, 1);
    double total = 0;
    for (int i = 0; i < 120000; ++i) {
        const double current = 60 + 20 * std::sin(i / 3000.0) + noise(random);
        total += current / 1000;
        plot.ChannelAt(0)->AddPoint(i * 0.03, current);
        plot.ChannelAt(1)->AddPoint(i * 0.03, total);
    }
    plot.XAxisAt(0)->FitToData();
    const QImage reduced = plot.renderImage();
    plot.setReduceTraces(false);
    const QImage all = plot.renderImage();
    EXPECT_EQ(test::ImageDifference(reduced, all), "");
}

}  // namespace
