#pragma once

#include "widgets/plot/plot_toolbar.h"
#include "widgets/plot/tiplot.h"

#include <QString>

namespace velmar::test {

// A chart set up in the test itself with only what the chart's tests rely on; everything
// else is the chart's own defaults.
//
// A toolbar and a data cursor on "Channel 1"; an X axis ("Cycle", 0 .. 50) that scrolls
// smoothly and puts the first value at its left edge; two Y axes (0 .. 100, widening to their
// data, the default) with a channel each; and four labels, the first of them the chart's title.
inline void twoChannelChart(TiPlot& plot)
{
    plot.AddToolBar();
    plot.AddDataCursor()->setChannelName(QStringLiteral("Channel 1"));

    TiPlotXAxis* x = plot.AddXAxis();
    x->SetMinSpan(0, 50);
    x->setTitle(QStringLiteral("Cycle"));
    x->setTrackingStyle(iptsScrollSmooth);
    x->setTrackingAlignFirstStyle(ipafsAuto);
    for (int i = 0; i < 2; ++i) {
        TiPlotYAxis* y = plot.AddYAxis();
        TiPlotChannel* channel = plot.AddChannel();
        channel->setXAxisName(x->name());
        channel->setYAxisName(y->name());
    }

    for (const char* caption : {"Title", "First line", "Second line", "Third line"})
        plot.AddLabel()->setCaption(QString::fromLatin1(caption));
}

}  // namespace velmar::test
