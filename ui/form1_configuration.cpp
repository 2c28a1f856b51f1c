#include "ui/form1_configuration.h"

#include "platform/named_colours.h"
#include "widgets/dials/tiangulargauge.h"
#include "widgets/dials/tiknob.h"
#include "widgets/dials/tilineargauge.h"
#include "widgets/dials/tiswitchslider.h"
#include "widgets/displays/tiledround.h"
#include "widgets/displays/tisevensegmentanalog.h"
#include "widgets/plot/tiplot.h"

namespace velmar {

namespace {

QFont font(const char* family, int pixelHeight, bool bold = false)
{
    QFont f(QString::fromLatin1(family));
    f.setStyleHint(QFont::SansSerif);
    f.setPixelSize(pixelHeight);
    f.setBold(bold);
    return f;
}

void configureAxis(TiPlotAxis& axis, int zOrder, double min, double span, const QString& title,
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

}  // namespace

void configurePlot1(TiPlot& plot)
{
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

void configureKnob1(TiKnob& knob)
{
    knob.beginLoading();
    knob.resize(137, 105);
    knob.setFont(QFont(QStringLiteral("Sans Serif"), 8));
    knob.setPositionMin(4);
    knob.setPositionMax(55);
    knob.setPosition(4);
    knob.setRotationStartDegrees(240);
    knob.setRotationMaxDegrees(300);
    knob.setKnobRadius(33);
    knob.setAutoSize(true);
    knob.setKnobStyle(TiKnob::iksRaised);
    knob.setKnobEdgeWidth(3);
    knob.setIndicatorStyle(TiKnob::ikisLineCustom);
    knob.setIndicatorSize(12);
    knob.setIndicatorMargin(5);
    knob.setIndicatorActiveColor(colours::Aqua);
    knob.setIndicatorInactiveColor(colours::Red);
    knob.setKeyArrowStepSize(0.1);
    knob.setKeyPageStepSize(1);
    knob.setMouseWheelStepSize(1);
    knob.setUseKeyboard(true);
    knob.setShowFocusRect(true);
    knob.setShowPositionDisplay(true);
    knob.setPositionDisplayPrecision(1);
    knob.setPositionDisplayUnits(QStringLiteral("V"));
    knob.setOuterMargin(5);
    knob.setTickMajorCount(11);
    knob.setTickMinorCount(3);
    knob.setShowTicksMajor(false);
    knob.setShowTicksMinor(true);
    knob.setShowTickLabels(true);
    knob.setTickMargin(6);
    knob.setTickLabelMargin(-9);
    knob.setTickMajorLength(7);
    knob.setTickMinorColor(colours::Gray);
    knob.setCurrentMin(4);
    knob.setCurrentMax(4);
    knob.setMinMaxFixed(false);
    knob.endLoading();
}

namespace {

void configureCommon(TiSwitchSlider& slider)
{
    const QFont windowFont(QStringLiteral("Sans Serif"), 8);
    slider.setFont(windowFont);
    slider.setAutoCenter(true);
    slider.setEndsMargin(5);
    slider.setPointerStyle(TiSwitchSlider::ispsPointer);
    slider.setPointerHeight(8);
    slider.setPointerWidth(13);
    slider.setPointerIndicatorActiveColor(colours::Red);
    slider.setPointerIndicatorInactiveColor(colours::Black);
    slider.setTrackColor(colours::White);
    slider.setShowPositionLabels(true);
    slider.setShowPositionIndicators(true);
    slider.setShowFocusRect(true);
    slider.setPositionLabelMargin(5);
    slider.setPositionIndicatorSize(3);
    slider.setPositionIndicatorMargin(10);
    slider.setPositionIndicatorColor(colours::Aqua);
    slider.setKeyArrowStepSize(1);
    slider.setKeyPageStepSize(2);
    slider.setPositionLabelActiveFont(windowFont);
    slider.setPositionLabelInactiveFont(windowFont);
}

}  // namespace

void configureSwitchSlider1(TiSwitchSlider& slider)
{
    slider.beginLoading();
    slider.resize(105, 145);
    configureCommon(slider);
    slider.setPositionLabels(QStringLiteral("Low, Medium, Normal"));
    slider.setPosition(2);
    slider.setBorderStyle(TiSwitchSlider::ibsLowered);
    slider.endLoading();
}

void configureSwitchSlider2(TiSwitchSlider& slider)
{
    slider.beginLoading();
    slider.resize(65, 89);
    configureCommon(slider);
    slider.setPositionLabels(QStringLiteral("AC, DC"));
    slider.setPosition(1);
    slider.setBorderStyle(TiSwitchSlider::ibsNone);
    slider.endLoading();
}

void configureLinearGauge1(TiLinearGauge& gauge)
{
    gauge.beginLoading();
    gauge.resize(57, 545);
    gauge.setOrientation(TiLinearGauge::ioVertical);
    gauge.setOrientationTickMarks(TiLinearGauge::iosBottomRight);
    gauge.setReverseScale(true);
    gauge.setPositionMin(0);
    gauge.setPositionMax(20);
    gauge.setEndsMargin(10);
    // 21 major ticks over 0 to 20 mm: one per millimetre, each label at its own millimetre.
    gauge.setTickMajorCount(21);
    gauge.setTickMajorLength(30);
    gauge.setTickMinorCount(3);
    gauge.setTickMinorLength(7);
    gauge.setTickMargin(0);
    gauge.setTickLabelMargin(5);
    gauge.setTickLabelPrecision(0);
    gauge.setAutoScaleEnabled(false);
    gauge.setAutoCenter(false);
    gauge.setAllowFocus(false);
    gauge.setKeyArrowStepSize(0.1);
    gauge.setKeyPageStepSize(1);
    gauge.setMouseWheelStepSize(1);
    gauge.setBorderStyle(TiLinearGauge::ibsLowered);
    gauge.setMinMaxFixed(true);
    gauge.setCurrentMin(20);
    gauge.setCurrentMax(10);
    gauge.setShowMinPointer(false);
    gauge.setShowMaxPointer(false);
    gauge.setMinMaxUserCanMove(true);
    gauge.setMinPointerColor(colours::Red);
    gauge.setMaxPointerColor(colours::Red);
    gauge.setMinMaxStyle3D(true);
    gauge.setSectionCount(0);
    // Present position, an unused marker, Home, End Polish, another unused marker, Electrolyte.
    gauge.setPointers({
        {5, true, 10, colours::Blue, true, false},
        {5, false, 5, colours::Black, false, false},
        {7, true, 15, colours::Red, false, true},
        {17, true, 15, colours::Red, false, true},
        {19, false, 5, colours::Black, false, false},
        {27, true, 15, colours::Lime, false, true},
    });
    gauge.endLoading();
}

void configureAngularGauge1(TiAngularGauge& gauge)
{
    gauge.beginLoading();
    gauge.resize(161, 97);
    gauge.setFont(QFont(QStringLiteral("Sans Serif"), 8));
    gauge.setPositionMin(0);
    gauge.setPositionMax(500);
    gauge.setAutoScaleEnabled(true);
    gauge.setAutoScaleDesiredTicks(7);
    gauge.setAutoScaleMaxTicks(7);
    gauge.setTickMajorCount(6);
    gauge.setTickMinorCount(1);
    gauge.setTickMajorLength(9);
    gauge.setTickMinorLength(6);
    gauge.setTickMargin(2);
    gauge.setTickLabelMargin(10);
    gauge.setTickLabelPrecision(0);
    gauge.setArcStartDegrees(180);
    gauge.setArcRangeDegrees(180);
    gauge.setArcRadius(35);
    gauge.setReverseScale(false);
    gauge.setAutoSize(false);
    gauge.setAutoCenter(true);
    gauge.setPointerStyle(TiAngularGauge::iagpsLine);
    gauge.setPointerSize(10);
    gauge.setPointerColor(colours::Black);
    gauge.setShowHub(true);
    gauge.setHubSize(14);
    gauge.setHubColor(colours::Black);
    gauge.setShowFace(false);
    gauge.setShowLabel1(true);
    gauge.setLabel1Text(QStringLiteral(" Current Ma"));
    gauge.setLabel1OffsetX(0);
    gauge.setLabel1OffsetY(-16);
    gauge.setShowLabel2(false);
    gauge.setLabel2Text(QStringLiteral(" "));
    gauge.setLabel2OffsetX(0);
    gauge.setLabel2OffsetY(30);
    gauge.setSectionCount(0);
    gauge.setSectionEnd(1, 50);
    gauge.setSectionEnd(2, 75);
    gauge.setShowMinPointer(false);
    gauge.setShowMaxPointer(false);
    gauge.setMinMaxFixed(false);
    gauge.setCurrentMin(60);
    gauge.setCurrentMax(60);
    gauge.endLoading();
}

void configureSevenSegmentAnalog1(TiSevenSegmentAnalog& readout)
{
    readout.beginLoading();
    readout.resize(140, 36);
    readout.setDigitCount(6);
    readout.setPrecision(2);
    readout.setShowSign(true);
    readout.setLeadingStyle(TiSevenSegmentAnalog::ilsSpaces);
    readout.setSegmentColor(colours::Lime);
    readout.setAutoSegmentOffColor(true);
    readout.setSegmentOffColor(colours::Green);
    readout.setShowOffSegments(true);
    readout.setPowerOff(false);
    readout.setDigitSpacing(6);
    readout.setSegmentMargin(5);
    readout.setSegmentSize(1);
    readout.setSegmentSeperation(1);
    readout.setBackGroundColor(colours::Black);
    readout.setAutoSize(true);
    readout.endLoading();
}

void configureLedRound1(TiLedRound& lamp)
{
    lamp.beginLoading();
    lamp.resize(33, 33);
    lamp.setActive(false);
    lamp.setActiveColor(colours::Red);
    lamp.setAutoInactiveColor(true);
    lamp.setInactiveColor(colours::Gray);
    lamp.setBevelStyle(TiLedRound::ibsLowered);
    lamp.setShowReflection(true);
    lamp.setTransparent(true);
    lamp.endLoading();
}

}  // namespace velmar
