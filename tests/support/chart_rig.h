#pragma once

#include "platform/named_colours.h"
#include "widgets/plot/plot_toolbar.h"
#include "widgets/plot/tiplot.h"

#include <QFont>

namespace velmar::test {

// A chart set up in the test itself, as the chart's tests need it (the window's own
// configuration of its chart has its snapshot tests in tests/ui/).

namespace chart_rig {

inline QFont font(const char* family, int pixelHeight, bool bold = false)
{
    QFont f(QString::fromLatin1(family));
    f.setStyleHint(QFont::SansSerif);
    f.setPixelSize(pixelHeight);
    f.setBold(bold);
    return f;
}

inline void configureAxis(TiPlotAxis& axis, int zOrder, double min, double span, const QString& title,
                   const QColor& color, const QColor& scaleLines, TiPlotTrackingStyle style,
                   TiPlotAlignFirstStyle alignFirst)
{
    axis.setZOrder(zOrder);
    axis.SetMinSpan(min, span);
    axis.setTitle(title);
    axis.setTitleFont(font("Arial", 13));
    axis.setTitleColor(color);
    axis.setTitleShow(true);
    axis.setLabelsColor(color);
    axis.setScaleLinesColor(scaleLines);
    axis.setLabelsFont(font("MS Sans Serif", 11));
    axis.setTrackingEnabled(true);
    axis.setTrackingStyle(style);
    axis.setTrackingIncrementStyle(iptisMinimum);
    axis.setTrackingAlignFirstStyle(alignFirst);
    axis.setTrackingScrollCompressMax(0);
    axis.setRestoreValuesOnResume(true);
    axis.setGridLinesVisible(true);
    axis.setLabelsPrecision(3);
    axis.setLabelSeparation(2);
    axis.setLabelsMinLength(5);
}


}  // namespace chart_rig

// A toolbar (Scroll, Zoom, Zoom Out, Zoom In, Zoom Box, Cursor, Copy, Save, Print, Preview),
// a legend, a smoothly scrolling X axis ("Cycle", 0 .. 50), two Y axes ("Current (mA)" and
// "Total Current", 0 .. 100) with a channel each, a green grid, a hidden data cursor and
// four labels (the first, "Title", is the chart's title).
inline void twoChannelChart(TiPlot& plot)
{
    using namespace chart_rig;

    plot.setDataViewZHorz(3);
    plot.setDataViewZVert(1);
    plot.setHintsShow(true);
    plot.setHintsPause(500);
    plot.setHintsHidePause(2500);
    plot.setHintsFont(font("MS Sans Serif", 11));

    TiPlotToolBar* toolBar = plot.ToolBarCount() ? plot.ToolBarAt(0) : plot.AddToolBar();
    toolBar->setName(QStringLiteral("Toolbar 1"));
    toolBar->setHorizontal(true);
    toolBar->setZOrder(5);
    toolBar->setSmallButtons(true);
    toolBar->setZoomInOutFactor(2);
    for (auto hidden : {TiPlotToolBar::Resume, TiPlotToolBar::Pause, TiPlotToolBar::Select, TiPlotToolBar::Edit})
        toolBar->setButtonShown(hidden, false);
    for (auto shown : {TiPlotToolBar::Scroll, TiPlotToolBar::Zoom, TiPlotToolBar::ZoomOut, TiPlotToolBar::ZoomIn,
                       TiPlotToolBar::ZoomBox, TiPlotToolBar::Cursor, TiPlotToolBar::Copy, TiPlotToolBar::Save,
                       TiPlotToolBar::Print, TiPlotToolBar::Preview})
        toolBar->setButtonShown(shown, true);

    TiPlotLegend* legend = plot.LegendCount() ? plot.LegendAt(0) : plot.AddLegend();
    legend->setName(QStringLiteral("Legend 1"));
    legend->setHorizontal(true);
    legend->setZOrder(4);
    legend->setStartPercent(50);
    legend->setStopPercent(100);
    legend->setMargin(1);
    legend->setFont(font("MS Sans Serif", 11));
    legend->setFontColor(colours::Black);
    legend->setColumnSpacing(0.5);
    legend->setRowSpacing(0.25);
    legend->setLineSample(QSize(13, 3));

    TiPlotXAxis* x = plot.XAxisCount() ? plot.XAxisAt(0) : plot.AddXAxis();
    x->setName(QStringLiteral("X-Axis 1"));
    configureAxis(*x, 2, 0, 50, QStringLiteral("Cycle"), colours::Black, colours::Gray, iptsScrollSmooth, ipafsAuto);
    TiPlotYAxis* y1 = plot.YAxisCount() > 0 ? plot.YAxisAt(0) : plot.AddYAxis();
    y1->setName(QStringLiteral("Y-Axis 1"));
    y1->setHorizontal(false);
    configureAxis(*y1, 0, 0, 100, QStringLiteral("Current (mA)"), colours::Black, colours::Gray, iptsScaleMinMax, ipafsNone);
    TiPlotYAxis* y2 = plot.YAxisCount() > 1 ? plot.YAxisAt(1) : plot.AddYAxis();
    y2->setName(QStringLiteral("Y-Axis 2"));
    y2->setHorizontal(false);
    configureAxis(*y2, 2, 0, 100, QStringLiteral("Total Current"), colours::Blue, colours::Blue, iptsScaleMinMax, ipafsNone);

    struct ChannelSetup {
        const char* name;
        const char* title;
        QColor color;
        const char* yAxis;
    };
    const ChannelSetup channels[] = {{"Channel 1", "Current", colours::Red, "Y-Axis 1"},
                                     {"Channel 2", "Total Current", colours::Blue, "Y-Axis 2"}};
    for (int i = 0; i < 2; ++i) {
        TiPlotChannel* channel = plot.ChannelCount() > i ? plot.ChannelAt(i) : plot.AddChannel();
        channel->setName(QString::fromLatin1(channels[i].name));
        channel->setTitleText(QString::fromLatin1(channels[i].title));
        channel->setColor(channels[i].color);
        channel->setXAxisName(QStringLiteral("X-Axis 1"));
        channel->setYAxisName(QString::fromLatin1(channels[i].yAxis));
        channel->setDataStyle(ipdsStandard);
        channel->setRingBufferSize(0);
        channel->setTraceLineWidth(1);
        channel->setMarkersVisible(false);
        channel->setClipToAxes(false);
        channel->setVisibleInLegend(true);
        channel->setXAxisTrackingEnabled(true);
        channel->setYAxisTrackingEnabled(true);
    }

    TiPlotDataView* view = plot.DataViewCount() ? plot.DataViewAt(0) : plot.AddDataView();
    view->setName(QStringLiteral("Data View 1"));
    view->setGridXAxisName(QStringLiteral("X-Axis 1"));
    view->setGridYAxisName(QStringLiteral("Y-Axis 1"));
    view->setGridColor(colours::Green);
    view->setAxesControlEnabled(false);

    TiPlotDataCursor* cursor = plot.DataCursorCount() ? plot.DataCursorAt(0) : plot.AddDataCursor();
    cursor->setName(QStringLiteral("Cursor 1"));
    cursor->setVisible(false);
    cursor->setChannelName(QStringLiteral("Channel 1"));
    cursor->setStyle(TiPlotDataCursor::ValueXY);
    cursor->setUseChannelColor(true);
    cursor->setPointer1Position(50);
    cursor->setPointer2Position(60);

    struct LabelSetup {
        const char* name;
        const char* caption;
        int zOrder;
        double start, stop;
        Qt::Alignment alignment;
        int height;
        bool bold;
        QColor color;
    };
    const LabelSetup labels[] = {
        {"Title", "Title", 4, 10, 50, Qt::AlignLeft, 16, false, colours::Black},
        {"Label 1", "Power=  XX Volts DC   Cycle = ", 1, 10, 97.5, Qt::AlignLeft, 12, false, colours::Black},
        {"Label 2", "Norvikon", 0, 0, 50, Qt::AlignLeft, 12, true, colours::Gray},
        {"Label 3", "Date Time", 0, 50, 100, Qt::AlignRight, 12, false, colours::Black},
    };
    for (int i = 0; i < 4; ++i) {
        TiPlotLabel* label = plot.LabelCount() > i ? plot.LabelAt(i) : plot.AddLabel();
        label->setName(QString::fromLatin1(labels[i].name));
        label->setCaption(QString::fromLatin1(labels[i].caption));
        label->setHorizontal(true);
        label->setZOrder(labels[i].zOrder);
        label->setStartPercent(labels[i].start);
        label->setStopPercent(labels[i].stop);
        label->setAlignment(labels[i].alignment);
        label->setFont(font("Arial", labels[i].height, labels[i].bold));
        label->setFontColor(labels[i].color);
    }
}

}  // namespace velmar::test
