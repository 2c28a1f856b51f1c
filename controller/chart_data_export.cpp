#include "controller/chart_data_export.h"

#include "controller/csv_format.h"
#include "widgets/tiplot.h"

namespace velmar {

QByteArray chartDataCsv(const TiPlot& plot)
{
    QByteArray csv = csvHeader({"channel", "x", "y"});
    qsizetype points = 0;
    for (int c = 0; c < plot.ChannelCount(); ++c)
        points += plot.ChannelAt(c)->Count();
    csv.reserve(csv.size() + points * 32);
    for (int c = 0; c < plot.ChannelCount(); ++c) {
        const TiPlotChannel& channel = *plot.ChannelAt(c);
        const QByteArray index = QByteArray::number(c) + ',';
        for (int i = 0; i < channel.Count(); ++i) {
            csv += index;
            appendCsvNumber(csv, channel.DataX(i));
            csv += ',';
            appendCsvNumber(csv, channel.DataY(i));
            csv += "\r\n";
        }
    }
    return csv;
}

}  // namespace velmar
