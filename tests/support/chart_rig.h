#pragma once

#include "widgets/plot/plot_toolbar.h"
#include "widgets/plot/tiplot.h"

#include <QString>

namespace velmar::test {

// A chart set up in the test itself with only what the chart's tests rely on; everything
// else is the chart's own defaults.
//
// A toolbar, a legend, a data view and a data cursor on "Channel 1"; an X axis ("Cycle",
// 0 .. 50) that scrolls smoothly and puts the first value at its left edge; two Y axes
// (0 .. 100) that widen to their data, each with its own channel (red, the default); and
// four labels, the first of them the chart's title.
inline void twoChannelChart(TiPlot& plot)
{
    plot.AddToolBar();
    plot.AddLegend();
    plot.AddDataView();
    plot.AddDataCursor()->setChannelName(QStringLiteral("Channel 1"));

    TiPlotXAxis* x = plot.AddXAxis();
    x->SetMinSpan(0, 50);
    x->setTitle(QStringLiteral("Cycle"));
    x->setTrackingStyle(iptsScrollSmooth);
    x->setTrackingAlignFirstStyle(ipafsAuto);
    for (int i = 0; i < 2; ++i) {
        TiPlotYAxis* y = plot.AddYAxis();
        y->setTrackingAlignFirstStyle(ipafsNone);
        TiPlotChannel* channel = plot.AddChannel();
        channel->setXAxisName(x->name());
        channel->setYAxisName(y->name());
    }

    for (const char* caption : {"Title", "First line", "Second line", "Third line"})
        plot.AddLabel()->setCaption(QString::fromLatin1(caption));
}

}  // namespace velmar::test
