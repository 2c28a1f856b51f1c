#include "widgets/plot/plot_objects.h"

#include "widgets/plot/tiplot.h"

#include <cmath>

namespace velmar {

// --- TiPlotObject -------------------------------------------------------------------------

TiPlotObject::TiPlotObject(TiPlot* chart) : QObject(chart), chart_(chart) {}

void TiPlotObject::setName(const QString& name)
{
    if (name_ == name)
        return;
    if (auto* axis = qobject_cast<TiPlotAxis*>(this); axis && chart_)
        chart_->axisRenamed(axis, name);
    name_ = name;
    changed();
}

void TiPlotObject::changed()
{
    if (chart_)
        chart_->invalidateStatic();
}

// --- TiPlotAnnotation ---------------------------------------------------------------------

TiPlotAnnotation::TiPlotAnnotation(TiPlot* chart) : TiPlotObject(chart)
{
    font_ = QFont(QStringLiteral("MS Sans Serif"));
    font_.setPixelSize(11);
}

// --- TiPlotAxis ---------------------------------------------------------------------------

TiPlotAxis::TiPlotAxis(TiPlot* chart, bool isX) : TiPlotLayoutObject(chart), isX_(isX)
{
    setHorizontal(isX);
}

void TiPlotAxis::setMin(double min)
{
    min = clampScaleMin(min);
    if (min == min_ || std::isnan(min))
        return;
    const double old = min_;
    min_ = min;
    changed();
    notify(min_, old, span_, span_);
}

void TiPlotAxis::setSpan(double span)
{
    span = clampScaleSpan(span);
    if (span == span_ || std::isnan(span))
        return;
    const double old = span_;
    span_ = span;
    changed();
    notify(min_, min_, span_, old);
}

void TiPlotAxis::SetMinSpan(double min, double span)
{
    if (scaleType_ == ipstLog10) {
        if (!(min > 0))
            min = 1;
        if (!(span > 0))
            span = 1;
    }
    min = clampScaleMin(min);
    span = clampScaleSpan(span);
    if (std::isnan(min) || std::isnan(span) || (min == min_ && span == span_))
        return;
    const double oldMin = min_;
    const double oldSpan = span_;
    min_ = min;
    span_ = span;
    changed();
    notify(min_, oldMin, span_, oldSpan);
}

void TiPlotAxis::notify(double newMin, double oldMin, double newSpan, double oldSpan)
{
    if (!listened_)
        return;
    if (newMin != oldMin)
        emit minChanged(newMin, oldMin);
    if (newSpan != oldSpan)
        emit spanChanged(newSpan, oldSpan);
    emit minSpanChanged();
}

void TiPlotAxis::connectNotify(const QMetaMethod& signal)
{
    Q_UNUSED(signal);
    listened_ = true;
}

void TiPlotAxis::TrackValue(double v)
{
    if (!trackingEnabled_ || !std::isfinite(v))
        return;
    if (rule_.style == iptsExpandCollapseFast) {
        firstValueSeen_ = true;
        FitToData();
        roundToIncrements();
        return;
    }
    if (rule_.style == iptsExpandCollapse) {
        firstValueSeen_ = true;
        expandCollapse();
        roundToIncrements();
        return;
    }
    const TrackingWindow window = trackWindow(rule_, {min_, span_}, v, firstValueSeen_);
    SetMinSpan(window.min, window.span);
    if (rule_.style != iptsScrollSmooth && rule_.style != iptsScrollPage)
        roundToIncrements();
}

void TiPlotAxis::roundToIncrements()
{
    if (incrementStyle_ == iptisMinimum)
        return;
    double step = lastTicks.step > 0 ? lastTicks.step : majorStep(span_, 10);
    if (incrementStyle_ == iptisMinor)
        step /= (minorCount_ + 1);
    const TrackingWindow rounded = roundToIncrement({min_, span_}, step);
    SetMinSpan(rounded.min, rounded.span);
}

// Fits to what is visible: for an X axis the first and last points of its channels, for a Y
// axis the points inside the X range shown.
void TiPlotAxis::expandCollapse()
{
    if (!chart())
        return;
    double lo = 1e300, hi = -1e300;
    for (int i = 0; i < chart()->ChannelCount(); ++i) {
        TiPlotChannel* channel = chart()->ChannelAt(i);
        if (!channel->visible())
            continue;
        const PlotPointStore& points = channel->points();
        if (isX_ && channel->xAxis() == this) {
            for (int index : {0, points.count() - 1}) {
                if (index < 0 || !std::isfinite(points.x(index)))
                    continue;
                lo = std::min(lo, points.x(index));
                hi = std::max(hi, points.x(index));
            }
        } else if (!isX_ && channel->yAxis() == this && channel->xAxis()) {
            const TiPlotAxis* x = channel->xAxis();
            double yl, yh;
            if (points.yRangeWithin(x->min(), x->max(), yl, yh)) {
                lo = std::min(lo, yl);
                hi = std::max(hi, yh);
            }
        }
    }
    if (hi > -1e299 && lo < 1e299 && hi != lo)
        SetMinSpan(lo, hi - lo);
}

void TiPlotAxis::FitToData()
{
    if (!chart())
        return;
    double hi = -1e300, lo = 1e300;
    for (int i = 0; i < chart()->ChannelCount(); ++i) {
        const TiPlotChannel* channel = chart()->ChannelAt(i);
        const QString& axisName = isX_ ? channel->xAxisName() : channel->yAxisName();
        if (axisName.compare(name(), Qt::CaseInsensitive) != 0)
            continue;
        const double channelHi = isX_ ? channel->DataXMax() : channel->DataYMax();
        const double channelLo = isX_ ? channel->DataXMin() : channel->DataYMin();
        if (channelHi > hi)
            hi = channelHi;
        if (channelLo < lo)
            lo = channelLo;
    }
    if (hi > -1e299 && lo < 1e299 && hi != lo)
        SetMinSpan(lo, hi - lo);
}

void TiPlotAxis::Zoom(double factor)
{
    if (!(factor > 0))
        throw TiPlotError("Linear Scale Zoom Factor must be Greater than Zero");
    const double newSpan = span_ * factor;
    SetMinSpan((min_ + max()) / 2 - newSpan / 2, newSpan);
}

void TiPlotAxis::setTrackingEnabled(bool enabled)
{
    if (!assign(trackingEnabled_, enabled))
        return;
    if (!restoreValuesOnResume_)
        return;
    if (!enabled) {
        savedMin_ = min_;
        savedSpan_ = span_;
        savedLabelsMinLength_ = labelsMinLength_;
    } else {
        labelsMinLength_ = savedLabelsMinLength_;
        SetMinSpan(savedMin_, savedSpan_);
    }
}

// --- TiPlotChannel ------------------------------------------------------------------------

TiPlotChannel::TiPlotChannel(TiPlot* chart) : TiPlotObject(chart) {}

int TiPlotChannel::AddPoint(double x, double y)
{
    const int index = points_.add(x, y);
    // A point with a NaN or infinite coordinate is kept but must not drag an axis to it.
    const bool finite = std::isfinite(x) && std::isfinite(y);
    if (finite && xTracking_)
        if (TiPlotAxis* axis = xAxis())
            axis->TrackValue(x);
    if (finite && yTracking_)
        if (TiPlotAxis* axis = yAxis())
            axis->TrackValue(y);
    if (chart())
        chart()->invalidateData();
    return index;
}

void TiPlotChannel::Clear()
{
    points_.clear();
    if (chart())
        chart()->invalidateData();
}

void TiPlotChannel::setRingBufferSize(int size)
{
    points_.setRingSize(size);
    if (chart())
        chart()->invalidateData();
}

void TiPlotChannel::setXAxisName(const QString& name)
{
    if (!assign(xAxisName_, name))
        return;
    xAxis_.clear();
    changed();
}

void TiPlotChannel::setYAxisName(const QString& name)
{
    if (!assign(yAxisName_, name))
        return;
    yAxis_.clear();
    changed();
}

TiPlotAxis* TiPlotChannel::xAxis() const
{
    if (!xAxis_ && chart()) {
        for (int i = 0; i < chart()->XAxisCount() && !xAxis_; ++i)
            if (chart()->XAxisAt(i)->name().compare(xAxisName_, Qt::CaseInsensitive) == 0)
                xAxis_ = chart()->XAxisAt(i);
    }
    return xAxis_;
}

TiPlotAxis* TiPlotChannel::yAxis() const
{
    if (!yAxis_ && chart()) {
        for (int i = 0; i < chart()->YAxisCount() && !yAxis_; ++i)
            if (chart()->YAxisAt(i)->name().compare(yAxisName_, Qt::CaseInsensitive) == 0)
                yAxis_ = chart()->YAxisAt(i);
    }
    return yAxis_;
}

void TiPlotChannel::forgetAxes()
{
    xAxis_.clear();
    yAxis_.clear();
}

void TiPlotChannel::axisRenamed(TiPlotAxis* axis, const QString& newName)
{
    if (xAxis() == axis)
        xAxisName_ = newName;
    if (yAxis() == axis)
        yAxisName_ = newName;
}

// --- TiPlotToolBar ------------------------------------------------------------------------

TiPlotToolBar::TiPlotToolBar(TiPlot* chart) : TiPlotLayoutObject(chart)
{
    for (bool& shown : shown_)
        shown = true;
    shown_[Select] = false;
    shown_[Preview] = false;
}

void TiPlotToolBar::setButtonShown(Button button, bool shown)
{
    if (button >= 0 && button < ButtonCount)
        if (assign(shown_[button], shown))
            changed();
}

}  // namespace velmar
