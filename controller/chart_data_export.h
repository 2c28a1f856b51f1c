#pragma once

#include "controller/records/csv_format.h"

#include <QByteArray>

namespace velmar {

class TiPlot;

// The points of every channel of `plot` as CSV: a header "channel,x,y", then one line per
// stored point in channel order, the channel named by its caption on the chart ("Current";
// its index when it has none), a point whose Y is NaN with an empty y. By default in the
// records' form (',' between fields, a '.' decimal point in any locale); `dialect` gives the
// form a spreadsheet of the locale reads.
QByteArray chartDataCsv(const TiPlot& plot, const CsvDialect& dialect = {});

}  // namespace velmar
