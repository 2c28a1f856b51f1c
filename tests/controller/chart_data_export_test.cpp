#include "controller/chart_data_export.h"
#include "ui/form1_configuration.h"
#include "widgets/plot/tiplot.h"

#include <QLocale>

#include <gtest/gtest.h>

#include <cmath>

using namespace velmar;

// Both forms of the export, in a '.' and a ',' locale: the plain one is the same everywhere
// (a script reads it), the locale's one is what that locale's spreadsheet reads as numbers.
TEST(ChartDataCsv, EveryStoredPointOfEveryChannelNamedByItsCaptionInEitherForm)
{
    TiPlot plot;
    configurePlot1(plot);
    plot.ChannelAt(0)->AddPoint(0.5, 150.25);
    plot.ChannelAt(0)->AddPoint(1.0, std::nan(""));
    plot.ChannelAt(0)->AddPoint(1.5, 153.70000000000002);
    plot.ChannelAt(1)->AddPoint(0.5, 1234.5);

    const QByteArray plain = "channel,x,y\r\n"
                             "Current,0.5,150.25\r\n"
                             "Current,1,\r\n"
                             "Current,1.5,153.7\r\n"
                             "Total Current,0.5,1234.5\r\n";
    struct Case {
        QLocale::Language language;
        QLocale::Territory territory;
        bool forLocale;
        QByteArray csv;
    } cases[] = {
        {QLocale::English, QLocale::UnitedStates, false, plain},
        {QLocale::German, QLocale::Germany, false, plain},
        {QLocale::English, QLocale::UnitedStates, true,
         "channel;x;y\r\nCurrent;0.5;150.25\r\nCurrent;1;\r\nCurrent;1.5;153.7\r\nTotal Current;0.5;1234.5\r\n"},
        {QLocale::German, QLocale::Germany, true,
         "channel;x;y\r\nCurrent;0,5;150,25\r\nCurrent;1;\r\nCurrent;1,5;153,7\r\nTotal Current;0,5;1234,5\r\n"},
        {QLocale::French, QLocale::France, true,
         "channel;x;y\r\nCurrent;0,5;150,25\r\nCurrent;1;\r\nCurrent;1,5;153,7\r\nTotal Current;0,5;1234,5\r\n"},
    };
    const QLocale before;
    for (const Case& c : cases) {
        const QLocale locale(c.language, c.territory);
        SCOPED_TRACE(locale.name().toStdString() + (c.forLocale ? " for the locale" : " plain"));
        QLocale::setDefault(locale);
        EXPECT_EQ(chartDataCsv(plot, c.forLocale ? localeCsvDialect(QLocale()) : CsvDialect{}).toStdString(),
                  c.csv.toStdString());
    }
    QLocale::setDefault(before);

    // A caption that holds the separator is quoted; a channel without one goes by its index.
    plot.ChannelAt(0)->setTitleText("Current; mA");
    plot.ChannelAt(1)->setTitleText("");
    EXPECT_EQ(chartDataCsv(plot, localeCsvDialect(QLocale(QLocale::German))).split('\n').value(1), "\"Current; mA\";0,5;150,25\r");
    EXPECT_EQ(chartDataCsv(plot).split('\n').value(4), "1,0.5,1234.5\r");

    plot.ClearData();
    EXPECT_EQ(chartDataCsv(plot), "channel,x,y\r\n");
}
