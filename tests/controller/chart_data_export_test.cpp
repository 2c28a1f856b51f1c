#include "controller/chart_data_export.h"
#include "ui/form1_configuration.h"
#include "widgets/tiplot.h"

#include <QLocale>

#include <gtest/gtest.h>

#include <cmath>

using namespace velmar;

TEST(ChartDataCsv, EveryStoredPointOfEveryChannelWithNaNAsAnEmptyY)
{
    TiPlot plot;
    configurePlot1(plot);
    plot.ChannelAt(0)->AddPoint(0.5, 150.25);
    plot.ChannelAt(0)->AddPoint(1.0, std::nan(""));
    plot.ChannelAt(0)->AddPoint(1.5, 149.0);
    plot.ChannelAt(1)->AddPoint(0.5, 1234.5);

    const QLocale before;
    QLocale::setDefault(QLocale(QLocale::German));  // a comma locale changes nothing here
    EXPECT_EQ(chartDataCsv(plot), "channel,x,y\r\n"
                                  "0,0.5,150.25\r\n"
                                  "0,1,\r\n"
                                  "0,1.5,149\r\n"
                                  "1,0.5,1234.5\r\n");
    QLocale::setDefault(before);

    plot.ClearData();
    EXPECT_EQ(chartDataCsv(plot), "channel,x,y\r\n");
}
