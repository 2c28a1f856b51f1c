#pragma once

#include <QHash>
#include <QRect>
#include <QSize>

namespace velmar {

class TiPlot;
class TiPlotAxis;
class TiPlotObject;

// Where everything sits. The data view is in the middle; horizontal objects with a ZOrder
// above the chart's DataViewZHorz go above it, the others below; vertical objects above
// DataViewZVert go to its right, the others to its left. On each side the ZOrder nearest the
// data view's is nearest, equal ZOrders share a row (or column), each object across its
// StartPercent..StopPercent stretch: of the data view for axes, of the chart otherwise.
struct PlotLayout {
    QSize size;
    bool withToolbar = true;
    QRect dataView;
    QHash<const TiPlotObject*, QRect> rects;
};

PlotLayout layoutPlot(const TiPlot& plot, QSize size, bool withToolbar);

// Ticks of `axis` for `lengthPixels` (also stored in the axis for increment rounding).
void updateAxisTicks(TiPlotAxis& axis, int lengthPixels);

constexpr int MajorTickLength = 7;
constexpr int MinorTickLength = 3;

}  // namespace velmar
