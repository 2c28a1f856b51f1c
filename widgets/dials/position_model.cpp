#include "widgets/dials/position_model.h"

#include "widgets/property_assign.h"
#include "widgets/scale_ticks.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>

namespace velmar {

namespace {

// Tolerance for "is a multiple of" and "covers" on doubles: 10 * 0.1 is not exactly 1.
constexpr double RelativeSlack = 1e-9;

double truncatedDecade(double x) { return std::pow(10.0, std::trunc(std::log10(x))); }

// Among c = 2 .. maxTicks the simple count nearest `desired` (larger on a tie), or 0.
int chooseTickCount(double span, int desired, int maxTicks)
{
    maxTicks = std::min(maxTicks, MaxScaleTicks);
    desired = std::clamp(desired, 0, 2 * MaxScaleTicks);
    int best = 0;
    for (int c = 2; c <= maxTicks; ++c) {
        if (!isSimpleTickStep(span / (c - 1)))
            continue;
        if (best == 0 || std::abs(c - desired) <= std::abs(best - desired))
            best = c;
    }
    return best;
}

}  // namespace

bool isSimpleTickStep(double step)
{
    if (!(step > 0) || !std::isfinite(step))
        return false;
    const double scaled = step / truncatedDecade(step) * 1000.0;
    if (!std::isfinite(scaled))  // a step so small that its decade is no longer a normal double
        return false;
    const long mantissa = std::lround(scaled);
    static constexpr std::array<long, 10> simple{100, 200, 250, 500, 750, 1000, 2000, 2500, 5000, 7500};
    return std::find(simple.begin(), simple.end(), mantissa) != simple.end();
}

AutoScaleResult autoScale(double lo, double hi, int desiredTicks, int maxTicks)
{
    if (lo > hi)
        std::swap(lo, hi);
    AutoScaleResult result{lo, hi, 0, false};
    if (!std::isfinite(lo) || !std::isfinite(hi))
        return result;
    if (lo == hi) {
        result.tickCount = 2;
        result.fitted = true;
        return result;
    }
    const double span = hi - lo;
    if (!std::isfinite(span))
        return result;
    double unit = truncatedDecade(span);
    if (span < 1)
        unit /= 10;

    for (int i = 2; i <= 40; ++i) {
        const double s = unit * 0.5 * i;
        const double slack = s * RelativeSlack;
        if (s < span - slack)
            continue;
        const int count = chooseTickCount(s, desiredTicks, maxTicks);
        if (count == 0)
            continue;
        const double h = s / (count - 1);
        double newLow = 0;
        double newHigh = 0;
        if (lo < 0 && 0 < hi) {
            // From s downward in steps of h until at or below lo.
            newLow = s - std::ceil((s - lo) / h - RelativeSlack) * h;
            newHigh = newLow + s;
        } else if (hi > 0) {
            newHigh = std::ceil(hi / h - RelativeSlack) * h;
            newLow = newHigh - s;
            // newHigh lies at or above hi, so the low end is at most count - 1 steps below 0.
            for (int k = 1; k < count && lo >= 0 && newLow < -slack; ++k) {
                newLow += h;
                newHigh += h;
            }
        } else {
            newLow = std::floor(lo / h + RelativeSlack) * h;
            newHigh = newLow + s;
            if (newHigh > slack) {
                newLow -= h;
                newHigh -= h;
            }
        }
        if (newLow <= lo + slack && newHigh >= hi - slack) {
            // Snap values that are zero up to rounding noise, so labels never read "-0".
            if (std::abs(newLow) < slack)
                newLow = 0;
            if (std::abs(newHigh) < slack)
                newHigh = 0;
            return AutoScaleResult{newLow, newHigh, count, true};
        }
    }
    return result;
}

double tickValue(double min, double max, int majorCount, int index)
{
    if (majorCount < 2)
        return min;
    const double value = min + index * (max - min) / (majorCount - 1);
    if (std::isfinite(value) || !std::isfinite(min) || !std::isfinite(max))
        return value;
    // Near the largest double the product overflows; weighting the ends stays within them.
    const double t = double(index) / (majorCount - 1);
    return min * (1 - t) + max * t;
}

double positionFraction(double value, double min, double max)
{
    if (max == min)
        return 0;
    const double fraction = (value - min) / (max - min);
    if (!std::isnan(fraction) || std::isnan(value) || !std::isfinite(min) || !std::isfinite(max))
        return fraction;
    return (value / 2 - min / 2) / (max / 2 - min / 2);  // a range wider than the largest double
}

double clampPosition(double value, double min, double max)
{
    if (value > max)
        value = max;
    if (value < min)
        value = min;
    return value;
}

QString formatTickLabel(double value, int precision, bool significantDigits)
{
    return scaleLabel(value, significantDigits ? 'g' : 'f', precision);
}

// ---- TiPositionComponent --------------------------------------------------------------------

TiPositionComponent::TiPositionComponent(QWidget* parent) : PositionControl(parent) {}
TiPositionComponent::~TiPositionComponent() = default;

void TiPositionComponent::beginLoading() { ++loading_; }

void TiPositionComponent::endLoading()
{
    if (loading_ == 0)
        return;
    if (--loading_ == 0)
        loadingFinished();
}

void TiPositionComponent::loadingFinished()
{
    if (autoScaleEnabled_)
        runAutoScale();
    invalidateStaticLayer();
}

bool TiPositionComponent::changePosition(double value, bool byOperator)
{
    if (std::isnan(value))
        return false;
    if (isLoading()) {
        position_ = value;
        return false;
    }
    value = clampPosition(value, positionMin_, positionMax_);
    if (!assign(position_, value))
        return false;
    markChanged();
    if (!minMaxFixed_) {
        if (value > currentMax_) {
            currentMax_ = value;
            emit OnCurrentMaxChange();
        }
        if (value < currentMin_) {
            currentMin_ = value;
            emit OnCurrentMinChange();
        }
    }
    update();
    positionStored(byOperator);
    emit OnPositionChange();
    if (byOperator)
        emit OnPositionChangeUser();
    return true;
}

void TiPositionComponent::positionStored(bool) {}

void TiPositionComponent::pullIntoRange() { changePosition(position_, false); }

void TiPositionComponent::holdRunningMinMax()
{
    if (minMaxFixed_)
        return;
    const double min = clampPosition(currentMin_, positionMin_, positionMax_);
    const double max = clampPosition(currentMax_, positionMin_, positionMax_);
    if (assign(currentMin_, min))
        emit OnCurrentMinChange();
    if (assign(currentMax_, max))
        emit OnCurrentMaxChange();
}

void TiPositionComponent::applyRange(double lo, double hi)
{
    if (autoScaleEnabled_ && autoScaleStyle_ == iassAutoMinMax) {
        const AutoScaleResult scaled = autoScale(lo, hi, autoScaleDesiredTicks_, autoScaleMaxTicks_);
        lo = scaled.min;
        hi = scaled.max;
        if (scaled.fitted)
            tickMajorCount_ = scaled.tickCount;
    }
    positionMin_ = lo;
    positionMax_ = hi;
    invalidateStaticLayer();
    holdRunningMinMax();
    pullIntoRange();
}

void TiPositionComponent::runAutoScale()
{
    if (isLoading())
        return;
    applyRange(positionMin_, positionMax_);
}

void TiPositionComponent::setPositionMin(double value)
{
    if (!std::isfinite(value))
        return;
    if (isLoading()) {
        positionMin_ = value;
        return;
    }
    if (value == positionMin_)
        return;
    applyRange(value, positionMax_);
}

void TiPositionComponent::setPositionMax(double value)
{
    if (!std::isfinite(value))
        return;
    if (isLoading()) {
        positionMax_ = value;
        return;
    }
    if (value == positionMax_)
        return;
    applyRange(positionMin_, value);
}

void TiPositionComponent::setRange(double min, double max)
{
    if (!std::isfinite(min) || !std::isfinite(max))
        return;
    if (isLoading()) {
        positionMin_ = min;
        positionMax_ = max;
        return;
    }
    if (min == positionMin_ && max == positionMax_)
        return;
    applyRange(min, max);
}

void TiPositionComponent::setCurrentMin(double value)
{
    if (std::isnan(value))
        return;
    if (isLoading()) {
        currentMin_ = value;
        return;
    }
    value = clampPosition(value, positionMin_, positionMax_);
    if (!assign(currentMin_, value))
        return;
    if (showMinPointer_)
        update();
    emit OnCurrentMinChange();
    if (currentMin_ > position_)
        emit OnPositionUnderMin();
}

void TiPositionComponent::setCurrentMax(double value)
{
    if (std::isnan(value))
        return;
    if (isLoading()) {
        currentMax_ = value;
        return;
    }
    value = clampPosition(value, positionMin_, positionMax_);
    if (!assign(currentMax_, value))
        return;
    if (showMaxPointer_)
        update();
    emit OnCurrentMaxChange();
    if (currentMax_ < position_)
        emit OnPositionOverMax();
}

void TiPositionComponent::setShowMinPointer(bool value)
{
    if (assign(showMinPointer_, value))
        update();
}

void TiPositionComponent::setShowMaxPointer(bool value)
{
    if (assign(showMaxPointer_, value))
        update();
}

// Scale properties: store and rebuild the cached scale; nothing when unchanged.
void TiPositionComponent::setTickMajorLength(int value) { if (assign(tickMajorLength_, value)) invalidateStaticLayer(); }
void TiPositionComponent::setTickMinorLength(int value) { if (assign(tickMinorLength_, value)) invalidateStaticLayer(); }
void TiPositionComponent::setTickMargin(int value) { if (assign(tickMargin_, value)) invalidateStaticLayer(); }
void TiPositionComponent::setTickLabelMargin(int value) { if (assign(tickLabelMargin_, value)) invalidateStaticLayer(); }
void TiPositionComponent::setTickLabelPrecision(int value) { if (assign(tickLabelPrecision_, value)) invalidateStaticLayer(); }
void TiPositionComponent::setPrecisionStyle(TPrecisionStyle value) { if (assign(precisionStyle_, value)) invalidateStaticLayer(); }
void TiPositionComponent::setShowTickLabels(bool value) { if (assign(showTickLabels_, value)) invalidateStaticLayer(); }
void TiPositionComponent::setShowTicksMajor(bool value) { if (assign(showTicksMajor_, value)) invalidateStaticLayer(); }
void TiPositionComponent::setShowTicksMinor(bool value) { if (assign(showTicksMinor_, value)) invalidateStaticLayer(); }

void TiPositionComponent::setTickMajorCount(int value)
{
    // Every tick is drawn and labelled: the count stays within what a scale can hold.
    value = std::clamp(value, 0, MaxScaleTicks);
    if (assign(tickMajorCount_, value))
        invalidateStaticLayer();
}

void TiPositionComponent::setTickMinorCount(int value)
{
    value = std::clamp(value, 0, MaxMinorTicks);
    if (assign(tickMinorCount_, value))
        invalidateStaticLayer();
}

void TiPositionComponent::setTickMajorColor(const QColor& value)
{
    if (assign(tickMajorColor_, value))
        invalidateStaticLayer();
}

void TiPositionComponent::setTickMinorColor(const QColor& value)
{
    if (assign(tickMinorColor_, value))
        invalidateStaticLayer();
}

void TiPositionComponent::setAutoScaleEnabled(bool value)
{
    if (!assign(autoScaleEnabled_, value))
        return;
    if (value)
        runAutoScale();
}

void TiPositionComponent::setAutoScaleDesiredTicks(int value)
{
    value = std::min(value, MaxScaleTicks);
    if (value < 2 || !assign(autoScaleDesiredTicks_, value))
        return;
    if (autoScaleEnabled_)
        runAutoScale();
}

void TiPositionComponent::setAutoScaleMaxTicks(int value)
{
    value = std::min(value, MaxScaleTicks);
    if (value < 2 || !assign(autoScaleMaxTicks_, value))
        return;
    if (autoScaleEnabled_)
        runAutoScale();
}

void TiPositionComponent::setAutoScaleStyle(TAutoScaleStyle value)
{
    if (!assign(autoScaleStyle_, value))
        return;
    if (autoScaleEnabled_)
        runAutoScale();
}

QString TiPositionComponent::tickLabel(int index) const
{
    return formatTickLabel(tickValue(positionMin_, positionMax_, tickMajorCount_, index),
                           tickLabelPrecision_, precisionStyle_ == ipsSignificantDigits);
}

QStringList TiPositionComponent::tickLabels() const
{
    QStringList labels;
    for (int i = 0; i < tickMajorCount_; ++i)
        labels << tickLabel(i);
    return labels;
}

bool TiPositionComponent::stepPositionByKey(int key, double arrowStep, double pageStep)
{
    const std::optional<double> target = keyStepTarget(key, position_, arrowStep, pageStep, positionMin_, positionMax_);
    if (target)
        changePosition(*target, true);
    return target.has_value();
}

}  // namespace velmar
