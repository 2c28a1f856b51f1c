#include "ui/form1_configuration.h"
#include "widgets/plot/tiplot.h"
#include "tests/support/image_difference.h"

#include <QImage>

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>

using namespace velmar;

namespace {

TEST(PlotPoints, ChartPictureIsTheSameWithAndWithoutReduction)
{
    TiPlot plot;
    configurePlot1(plot);
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
