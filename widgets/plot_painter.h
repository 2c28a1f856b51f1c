#pragma once

class QPainter;

namespace velmar {

class TiPlot;
struct PlotLayout;

// Back layer: background, labels, legend, axes with ticks and labels, grid lines. Cached by
// the chart and rebuilt only when one of them changes.
void paintPlotStatic(QPainter& painter, const TiPlot& plot, const PlotLayout& layout);
// The traces of every visible channel inside the data view.
void paintPlotTraces(QPainter& painter, const TiPlot& plot, const PlotLayout& layout, bool reduce);
// Shown data cursors and their readouts.
void paintPlotCursors(QPainter& painter, const TiPlot& plot, const PlotLayout& layout);

}  // namespace velmar
