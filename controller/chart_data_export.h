#pragma once

#include <QByteArray>

namespace velmar {

class TiPlot;

// The points of every channel of `plot` as CSV: a header "channel,x,y", then one line per
// stored point in channel order (channel as its index, 0 for the current), a point whose Y is
// NaN with an empty y. Same number forms as the records (a '.' decimal point in any locale).
QByteArray chartDataCsv(const TiPlot& plot);

}  // namespace velmar
