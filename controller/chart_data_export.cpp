#include "controller/chart_data_export.h"

#include "widgets/plot/tiplot.h"

namespace velmar {

QByteArray chartDataCsv(const TiPlot& plot, const CsvDialect& dialect)
{
    const char separator = dialect.separator;
    QByteArray csv = csvHeader({"channel", "x", "y"}, separator);
    qsizetype points = 0;
    for (int c = 0; c < plot.ChannelCount(); ++c)
        points += plot.ChannelAt(c)->Count();
    csv.reserve(csv.size() + points * 32);
    for (int c = 0; c < plot.ChannelCount(); ++c) {
        const TiPlotChannel& channel = *plot.ChannelAt(c);
        QByteArray name;
        appendCsvText(name, channel.titleText().isEmpty() ? QString::number(c) : channel.titleText(), separator);
        name += separator;
        for (int i = 0; i < channel.Count(); ++i) {
            csv += name;
            appendCsvNumber(csv, channel.DataX(i), dialect);
            csv += separator;
            appendCsvNumber(csv, channel.DataY(i), dialect);
            csv += "\r\n";
        }
    }
    return csv;
}

}  // namespace velmar
