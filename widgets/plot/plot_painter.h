#pragma once

#include "widgets/plot/plot_points.h"

class QPainter;

namespace velmar {

class TiPlot;
struct PlotLayout;

// Back layer: background, labels, legend, axes with ticks and labels, grid lines. Cached by
// the chart and rebuilt only when one of them changes.
void paintPlotStatic(QPainter& painter, const TiPlot& plot, const PlotLayout& layout);
// The traces of every visible channel inside the data view.
void paintPlotTraces(QPainter& painter, const TiPlot& plot, const PlotLayout& layout, bool reduce);
// Draws a trace as separate segments. A polyline would be shorter, but the rasteriser
// joins the segments of a polyline by rules that look at their neighbours, so a reduced
// trace and the full one could differ by a pixel at a turn; independent segments make the
// pixels a union of segments, the same however a column is split.
void drawTrace(QPainter& painter, const PlotPointStore::Trace& trace);
// Shown data cursors and their readouts.
void paintPlotCursors(QPainter& painter, const TiPlot& plot, const PlotLayout& layout);

}  // namespace velmar
