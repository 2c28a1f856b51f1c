#pragma once

#include "platform/named_colours.h"
#include "widgets/plot/plot_points.h"
#include "widgets/plot/plot_tracking.h"
#include "widgets/property_assign.h"
#include "widgets/scale_ticks.h"

#include <QColor>
#include <QFont>
#include <QMetaMethod>
#include <QObject>
#include <QPointer>
#include <QSize>

#include <algorithm>
#include <QString>

namespace velmar {

class TiPlot;

// Common to every chart object: a name unique in the chart, visibility, enabled, layer and
// whether a right-click opens its pop-up menu. Setters store, invalidate the chart's static
// layer, repaint, and do nothing when the value is unchanged.
class TiPlotObject : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString Name READ name WRITE setName)
    Q_PROPERTY(bool Visible READ visible WRITE setVisible)
    Q_PROPERTY(bool Enabled READ enabled WRITE setEnabled)
    Q_PROPERTY(int Layer READ layer WRITE setLayer)
    Q_PROPERTY(bool PopupEnabled READ popupEnabled WRITE setPopupEnabled)
public:
    explicit TiPlotObject(TiPlot* chart);
    TiPlot* chart() const { return chart_; }

    QString name() const { return name_; }
    void setName(const QString& name);
    bool visible() const { return visible_; }
    void setVisible(bool visible) { if (assign(visible_, visible)) changed(); }
    bool enabled() const { return enabled_; }
    void setEnabled(bool enabled) { if (assign(enabled_, enabled)) changed(); }
    int layer() const { return layer_; }
    void setLayer(int layer) { if (assign(layer_, layer)) changed(); }
    bool popupEnabled() const { return popupEnabled_; }
    void setPopupEnabled(bool enabled) { if (assign(popupEnabled_, enabled)) changed(); }

protected:
    // Invalidates the chart's cached static layer and asks for a repaint.
    void changed();

private:
    TiPlot* chart_;
    QString name_;
    bool visible_ = true;
    bool enabled_ = true;
    int layer_ = 100;
    bool popupEnabled_ = true;
};

// An object placed around the data view by ZOrder (see plot_layout.h).
class TiPlotLayoutObject : public TiPlotObject {
    Q_OBJECT
    Q_PROPERTY(bool Horizontal READ horizontal WRITE setHorizontal)
    Q_PROPERTY(int ZOrder READ zOrder WRITE setZOrder)
    Q_PROPERTY(double StartPercent READ startPercent WRITE setStartPercent)
    Q_PROPERTY(double StopPercent READ stopPercent WRITE setStopPercent)
public:
    using TiPlotObject::TiPlotObject;
    bool horizontal() const { return horizontal_; }
    void setHorizontal(bool horizontal) { if (assign(horizontal_, horizontal)) changed(); }
    int zOrder() const { return zOrder_; }
    void setZOrder(int zOrder) { if (assign(zOrder_, zOrder)) changed(); }
    double startPercent() const { return startPercent_; }
    void setStartPercent(double percent) { if (assign(startPercent_, std::clamp(percent, 0.0, 100.0))) changed(); }
    double stopPercent() const { return stopPercent_; }
    void setStopPercent(double percent) { if (assign(stopPercent_, std::clamp(percent, 0.0, 100.0))) changed(); }

private:
    bool horizontal_ = true;
    int zOrder_ = 0;
    double startPercent_ = 0;
    double stopPercent_ = 100;
};

class TiPlotAxis : public TiPlotLayoutObject {
    Q_OBJECT
    Q_PROPERTY(double Min READ min WRITE setMin)
    Q_PROPERTY(double Span READ span WRITE setSpan)
    Q_PROPERTY(QString Title READ title WRITE setTitle)
    Q_PROPERTY(bool TrackingEnabled READ trackingEnabled WRITE setTrackingEnabled)
public:
    TiPlotAxis(TiPlot* chart, bool isX);
    bool isX() const { return isX_; }

    double min() const { return min_; }
    void setMin(double min);
    double span() const { return span_; }
    void setSpan(double span);
    double max() const { return min_ + span_; }
    // Both as one change: one repaint, one combined notification.
    void SetMinSpan(double min, double span);
    // One tracking step for a new value (AddPoint calls it).
    void TrackValue(double v);
    // Fits Min and Span to the running extremes of the channels drawn on this axis; no
    // data, or all values equal, changes nothing. Does not touch TrackingEnabled.
    void FitToData();
    // Toolbar zoom about the centre: the span times `factor`.
    void Zoom(double factor);

    QString title() const { return title_; }
    void setTitle(const QString& title) { if (assign(title_, title)) changed(); }
    bool titleShow() const { return titleShow_; }
    void setTitleShow(bool show) { if (assign(titleShow_, show)) changed(); }
    QFont titleFont() const { return titleFont_; }
    void setTitleFont(const QFont& font) { if (assign(titleFont_, font)) changed(); }
    QColor titleColor() const { return titleColor_; }
    void setTitleColor(const QColor& color) { if (assign(titleColor_, color)) changed(); }
    QFont labelsFont() const { return labelsFont_; }
    void setLabelsFont(const QFont& font) { if (assign(labelsFont_, font)) changed(); }
    QColor labelsColor() const { return labelsColor_; }
    void setLabelsColor(const QColor& color) { if (assign(labelsColor_, color)) changed(); }
    QColor scaleLinesColor() const { return scaleLinesColor_; }
    void setScaleLinesColor(const QColor& color) { if (assign(scaleLinesColor_, color)) changed(); }

    TiPlotScaleType scaleType() const { return scaleType_; }
    void setScaleType(TiPlotScaleType type) { if (assign(scaleType_, type)) changed(); }
    bool trackingEnabled() const { return trackingEnabled_; }
    // Pausing saves Min and Span (with RestoreValuesOnResume); resuming restores them.
    void setTrackingEnabled(bool enabled);
    TiPlotTrackingStyle trackingStyle() const { return rule_.style; }
    void setTrackingStyle(TiPlotTrackingStyle style) { rule_.style = style; }
    TiPlotTrackingIncrementStyle trackingIncrementStyle() const { return incrementStyle_; }
    void setTrackingIncrementStyle(TiPlotTrackingIncrementStyle style) { incrementStyle_ = style; }
    TiPlotAlignFirstStyle trackingAlignFirstStyle() const { return rule_.alignFirst; }
    void setTrackingAlignFirstStyle(TiPlotAlignFirstStyle style) { rule_.alignFirst = style; }
    double trackingScrollCompressMax() const { return rule_.scrollCompressMax; }
    void setTrackingScrollCompressMax(double value) { rule_.scrollCompressMax = value; }
    bool restoreValuesOnResume() const { return restoreValuesOnResume_; }
    void setRestoreValuesOnResume(bool restore) { restoreValuesOnResume_ = restore; }
    bool firstValueSeen() const { return firstValueSeen_; }
    void clearFirstValue() { firstValueSeen_ = false; }

    int labelsPrecision() const { return labelsPrecision_; }
    void setLabelsPrecision(int precision) { if (assign(labelsPrecision_, precision)) changed(); }
    TiPlotPrecisionStyle labelsPrecisionStyle() const { return precisionStyle_; }
    void setLabelsPrecisionStyle(TiPlotPrecisionStyle style) { if (assign(precisionStyle_, style)) changed(); }
    int labelsMinLength() const { return labelsMinLength_; }
    void setLabelsMinLength(int length) { if (assign(labelsMinLength_, length)) changed(); }
    double labelSeparation() const { return labelSeparation_; }
    void setLabelSeparation(double separation) { if (assign(labelSeparation_, separation)) changed(); }
    int minorCount() const { return minorCount_; }
    void setMinorCount(int count) { if (assign(minorCount_, std::max(count, 0))) changed(); }
    double desiredIncrement() const { return desiredIncrement_; }
    void setDesiredIncrement(double increment) { if (assign(desiredIncrement_, increment)) changed(); }
    bool gridLinesVisible() const { return gridLinesVisible_; }
    void setGridLinesVisible(bool visible) { if (assign(gridLinesVisible_, visible)) changed(); }

    // The ticks of the last layout, and the label widths drawn then (they size the next
    // horizontal slot).
    AxisTicks lastTicks;
    double lastLabelWidth = 0;

signals:
    void minChanged(double newMin, double oldMin);
    void spanChanged(double newSpan, double oldSpan);
    void minSpanChanged();

protected:
    void connectNotify(const QMetaMethod& signal) override;

private:
    void roundToIncrements();
    void expandCollapse();
    void notify(double newMin, double oldMin, double newSpan, double oldSpan);

    // Tracking moves an axis on nearly every point; the change notifications are only
    // raised once somebody listens, which keeps AddPoint cheap.
    bool listened_ = false;

    bool isX_;
    double min_ = 0;
    double span_ = 100;
    QString title_;
    bool titleShow_ = true;
    QFont titleFont_;
    QColor titleColor_ = colours::Black;
    QFont labelsFont_;
    QColor labelsColor_ = colours::Black;
    QColor scaleLinesColor_ = colours::Gray;
    TiPlotScaleType scaleType_ = ipstLinear;
    bool trackingEnabled_ = true;
    TrackingRule rule_;
    TiPlotTrackingIncrementStyle incrementStyle_ = iptisMinimum;
    bool restoreValuesOnResume_ = true;
    bool firstValueSeen_ = false;
    double savedMin_ = 0;
    double savedSpan_ = 100;
    int savedLabelsMinLength_ = 5;
    int labelsPrecision_ = 3;
    TiPlotPrecisionStyle precisionStyle_ = ipsSignificantDigits;
    int labelsMinLength_ = 5;
    double labelSeparation_ = 2;
    int minorCount_ = 1;
    double desiredIncrement_ = 0;
    bool gridLinesVisible_ = true;
};

class TiPlotXAxis : public TiPlotAxis {
    Q_OBJECT
public:
    explicit TiPlotXAxis(TiPlot* chart) : TiPlotAxis(chart, true) {}
};

class TiPlotYAxis : public TiPlotAxis {
    Q_OBJECT
public:
    explicit TiPlotYAxis(TiPlot* chart) : TiPlotAxis(chart, false) {}
};

enum TiPlotDataStyle { ipdsStandard, ipdsCompact, ipdsCompactInterval, ipdsFullFeature };

class TiPlotChannel : public TiPlotObject {
    Q_OBJECT
    Q_PROPERTY(QString TitleText READ titleText WRITE setTitleText)
    Q_PROPERTY(QColor Color READ color WRITE setColor)
    Q_PROPERTY(QString XAxisName READ xAxisName WRITE setXAxisName)
    Q_PROPERTY(QString YAxisName READ yAxisName WRITE setYAxisName)
public:
    explicit TiPlotChannel(TiPlot* chart);

    // Appends a point, feeds the axes' tracking, asks for a repaint; returns its index.
    int AddPoint(double x, double y);
    void Clear();
    int Count() const { return points_.count(); }
    double DataX(int index) const { return points_.x(index); }
    double DataY(int index) const { return points_.y(index); }
    const PlotPointStore& points() const { return points_; }

    QString titleText() const { return titleText_; }
    void setTitleText(const QString& text) { if (assign(titleText_, text)) changed(); }
    QColor color() const { return color_; }
    void setColor(const QColor& color) { if (assign(color_, color)) changed(); }
    QString xAxisName() const { return xAxisName_; }
    void setXAxisName(const QString& name);
    QString yAxisName() const { return yAxisName_; }
    void setYAxisName(const QString& name);
    // The axes by name (letter case ignored, first match), remembered until a name changes.
    TiPlotAxis* xAxis() const;
    TiPlotAxis* yAxis() const;
    void forgetAxes();
    void axisRenamed(TiPlotAxis* axis, const QString& newName);

    bool xAxisTrackingEnabled() const { return xTracking_; }
    void setXAxisTrackingEnabled(bool enabled) { xTracking_ = enabled; }
    bool yAxisTrackingEnabled() const { return yTracking_; }
    void setYAxisTrackingEnabled(bool enabled) { yTracking_ = enabled; }
    TiPlotDataStyle dataStyle() const { return dataStyle_; }
    void setDataStyle(TiPlotDataStyle style) { dataStyle_ = style; }
    int ringBufferSize() const { return points_.ringSize(); }
    void setRingBufferSize(int size);
    bool markersVisible() const { return markersVisible_; }
    void setMarkersVisible(bool visible) { if (assign(markersVisible_, visible)) changed(); }
    bool visibleInLegend() const { return visibleInLegend_; }
    void setVisibleInLegend(bool visible) { if (assign(visibleInLegend_, visible)) changed(); }
    bool clipToAxes() const { return clipToAxes_; }
    void setClipToAxes(bool clip) { if (assign(clipToAxes_, clip)) changed(); }
    int traceLineWidth() const { return traceLineWidth_; }
    void setTraceLineWidth(int width) { if (assign(traceLineWidth_, std::max(width, 1))) changed(); }

    // Running extremes since the last clear (-1e300 / +1e300 when empty).
    double DataXMax() const { return points_.xMax(); }
    double DataXMin() const { return points_.xMin(); }
    double DataYMax() const { return points_.yMax(); }
    double DataYMin() const { return points_.yMin(); }

private:
    PlotPointStore points_;
    QString titleText_;
    QColor color_ = colours::Red;
    QString xAxisName_;
    QString yAxisName_;
    mutable QPointer<TiPlotAxis> xAxis_;
    mutable QPointer<TiPlotAxis> yAxis_;
    bool xTracking_ = true;
    bool yTracking_ = true;
    TiPlotDataStyle dataStyle_ = ipdsStandard;
    bool markersVisible_ = false;
    bool visibleInLegend_ = true;
    bool clipToAxes_ = false;
    int traceLineWidth_ = 1;
};

class TiPlotLabel : public TiPlotLayoutObject {
    Q_OBJECT
    Q_PROPERTY(QString Caption READ caption WRITE setCaption)
public:
    using TiPlotLayoutObject::TiPlotLayoutObject;
    QString caption() const { return caption_; }
    void setCaption(const QString& caption) { if (assign(caption_, caption)) changed(); }
    QFont font() const { return font_; }
    void setFont(const QFont& font) { if (assign(font_, font)) changed(); }
    QColor fontColor() const { return color_; }
    void setFontColor(const QColor& color) { if (assign(color_, color)) changed(); }
    Qt::Alignment alignment() const { return alignment_; }
    void setAlignment(Qt::Alignment alignment) { if (assign(alignment_, alignment)) changed(); }

private:
    QString caption_;
    QFont font_;
    QColor color_ = colours::Black;
    Qt::Alignment alignment_ = Qt::AlignLeft;
};

class TiPlotLegend : public TiPlotLayoutObject {
    Q_OBJECT
public:
    using TiPlotLayoutObject::TiPlotLayoutObject;
    QFont font() const { return font_; }
    void setFont(const QFont& font) { if (assign(font_, font)) changed(); }
    QColor fontColor() const { return color_; }
    void setFontColor(const QColor& color) { if (assign(color_, color)) changed(); }
    double rowSpacing() const { return rowSpacing_; }
    void setRowSpacing(double spacing) { if (assign(rowSpacing_, spacing)) changed(); }
    double columnSpacing() const { return columnSpacing_; }
    void setColumnSpacing(double spacing) { if (assign(columnSpacing_, spacing)) changed(); }
    QSize lineSample() const { return lineSample_; }
    void setLineSample(QSize size) { if (assign(lineSample_, size)) changed(); }
    int margin() const { return margin_; }
    void setMargin(int margin) { if (assign(margin_, margin)) changed(); }

private:
    QFont font_;
    QColor color_ = colours::Black;
    double rowSpacing_ = 0.25;
    double columnSpacing_ = 0.5;
    QSize lineSample_{13, 3};
    int margin_ = 1;
};

// Which toolbar buttons exist; the toolbar widget itself is in plot_toolbar.h.
class TiPlotToolBar : public TiPlotLayoutObject {
    Q_OBJECT
public:
    enum Button { Resume, Pause, Scroll, Zoom, ZoomOut, ZoomIn, Select, ZoomBox, Cursor, Edit, Copy, Save, Print, Preview, ButtonCount };
    explicit TiPlotToolBar(TiPlot* chart);
    bool buttonShown(Button button) const { return shown_[button]; }
    void setButtonShown(Button button, bool shown);
    bool smallButtons() const { return smallButtons_; }
    void setSmallButtons(bool small) { if (assign(smallButtons_, small)) changed(); }
    double zoomInOutFactor() const { return zoomInOutFactor_; }
    void setZoomInOutFactor(double factor) { zoomInOutFactor_ = factor; }

private:
    bool shown_[ButtonCount];
    bool smallButtons_ = false;
    double zoomInOutFactor_ = 2;
};

class TiPlotDataView : public TiPlotObject {
    Q_OBJECT
public:
    using TiPlotObject::TiPlotObject;
    QString gridXAxisName() const { return gridXAxisName_; }
    void setGridXAxisName(const QString& name) { if (assign(gridXAxisName_, name)) changed(); }
    QString gridYAxisName() const { return gridYAxisName_; }
    void setGridYAxisName(const QString& name) { if (assign(gridYAxisName_, name)) changed(); }
    QColor gridColor() const { return gridColor_; }
    void setGridColor(const QColor& color) { if (assign(gridColor_, color)) changed(); }
    bool axesControlEnabled() const { return axesControlEnabled_; }
    void setAxesControlEnabled(bool enabled) { axesControlEnabled_ = enabled; }

private:
    QString gridXAxisName_;
    QString gridYAxisName_;
    QColor gridColor_ = colours::Green;
    bool axesControlEnabled_ = true;
};

class TiPlotDataCursor : public TiPlotObject {
    Q_OBJECT
public:
    enum Style { ValueXY, ValueX, ValueY, Period, PeakPeak, Frequency };
    using TiPlotObject::TiPlotObject;
    QString channelName() const { return channelName_; }
    void setChannelName(const QString& name) { if (assign(channelName_, name)) changed(); }
    Style style() const { return style_; }
    void setStyle(Style style) { if (assign(style_, style)) changed(); }
    // Positions in percent of the data view's width.
    double pointer1Position() const { return pointer1_; }
    void setPointer1Position(double percent) { if (assign(pointer1_, std::clamp(percent, 0.0, 100.0))) changed(); }
    double pointer2Position() const { return pointer2_; }
    void setPointer2Position(double percent) { if (assign(pointer2_, std::clamp(percent, 0.0, 100.0))) changed(); }
    bool useChannelColor() const { return useChannelColor_; }
    void setUseChannelColor(bool use) { if (assign(useChannelColor_, use)) changed(); }

private:
    QString channelName_;
    Style style_ = ValueXY;
    double pointer1_ = 50;
    double pointer2_ = 60;
    bool useChannelColor_ = true;
};

// A drawing on the data view in the units of an X axis: a vertical band between two values
// across the data view's height, or a text at one value near the top of the data view. Drawn
// under the traces, clipped to the data view. The chart's ClearData removes them with the
// data they belong to.
class TiPlotAnnotation : public TiPlotObject {
    Q_OBJECT
    Q_PROPERTY(QString Text READ text WRITE setText)
public:
    enum Style { Band, Text };
    explicit TiPlotAnnotation(TiPlot* chart);

    Style style() const { return style_; }
    void setStyle(Style style) { if (assign(style_, style)) changed(); }
    QString xAxisName() const { return xAxisName_; }
    void setXAxisName(const QString& name) { if (assign(xAxisName_, name)) changed(); }
    // Band: from x1 to x2 (either order); text: centred on x1.
    double x1() const { return x1_; }
    void setX1(double x) { if (assign(x1_, x)) changed(); }
    double x2() const { return x2_; }
    void setX2(double x) { if (assign(x2_, x)) changed(); }
    QString text() const { return text_; }
    void setText(const QString& text) { if (assign(text_, text)) changed(); }
    QColor brushColor() const { return brushColor_; }
    void setBrushColor(const QColor& color) { if (assign(brushColor_, color)) changed(); }
    QColor penColor() const { return penColor_; }
    void setPenColor(const QColor& color) { if (assign(penColor_, color)) changed(); }
    QFont font() const { return font_; }
    void setFont(const QFont& font) { if (assign(font_, font)) changed(); }
    QColor fontColor() const { return fontColor_; }
    void setFontColor(const QColor& color) { if (assign(fontColor_, color)) changed(); }

private:
    Style style_ = Band;
    QString xAxisName_;
    double x1_ = 0;
    double x2_ = 0;
    QString text_;
    QColor brushColor_ = colours::White;
    QColor penColor_ = colours::White;
    QFont font_;
    QColor fontColor_ = colours::White;
};

}  // namespace velmar
