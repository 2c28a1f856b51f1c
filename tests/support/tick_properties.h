#pragma once

// What every tick and label function of the chart's axes and of the dial scales must keep for
// any input at all: it ends, it returns a bounded number of ticks, in order, on the scale, with
// labels of bounded length. Header-only so that the fuzz targets use it without a build change.

#include "widgets/dials/position_model.h"
#include "widgets/scale_ticks.h"

#include <QByteArray>
#include <QString>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace velmar::test {

// What the checks have seen, for the test's closing figures.
struct TickFigures {
    long long inputs = 0;
    qsizetype largestMajors = 0;
    qsizetype largestMinors = 0;
    qsizetype longestLabel = 0;
    int largestDialCount = 0;
};

// No label needs more: a sign, 15 integer digits, the separator and 15 decimals, or a
// 15-digit mantissa with its exponent.
constexpr qsizetype MaxLabelLength = 40;

inline QString checkLabel(const QString& label, const char* what, TickFigures& figures)
{
    figures.longestLabel = std::max(figures.longestLabel, label.size());
    if (label.isEmpty() || label.size() > MaxLabelLength)
        return QStringLiteral("%1: label '%2' has %3 characters").arg(QLatin1String(what), label).arg(label.size());
    return {};
}

// computeTicks and the functions it is made of, for one set of inputs.
inline QString CheckAxisTicks(double min, double span, int slotCount, int precision, int minorCount,
                              double desiredIncrement, TiPlotPrecisionStyle style, TickFigures& figures)
{
    ++figures.inputs;
    const QString inputs = QStringLiteral(" (min %1, span %2, slot count %3, precision %4, minors %5, increment %6)")
                               .arg(min, 0, 'g', 17).arg(span, 0, 'g', 17).arg(slotCount).arg(precision)
                               .arg(minorCount).arg(desiredIncrement, 0, 'g', 17);
    const AxisTicks ticks = computeTicks(min, span, slotCount, precision, minorCount, desiredIncrement, style);
    figures.largestMajors = std::max(figures.largestMajors, ticks.majors.size());
    figures.largestMinors = std::max(figures.largestMinors, ticks.minors.size());

    const int fit = std::clamp(slotCount, 1, MaxScaleTicks);
    if (!(ticks.step > 0) || !std::isfinite(ticks.step))
        return QStringLiteral("step %1").arg(ticks.step) + inputs;
    if (ticks.majors.size() > fit + 1)
        return QStringLiteral("%1 majors for %2 slots").arg(ticks.majors.size()).arg(fit) + inputs;
    if (ticks.minors.size() > qsizetype(fit + 4) * std::clamp(minorCount, 0, MaxMinorTicks))
        return QStringLiteral("%1 minors").arg(ticks.minors.size()) + inputs;
    if (ticks.decimals < 0 || ticks.decimals > MaxLabelDecimals)
        return QStringLiteral("%1 decimals").arg(ticks.decimals) + inputs;

    // The range the axis itself would hold for these inputs.
    const double axisMin = std::isnan(min) ? 0.0 : std::clamp(min, -1e300, 1e300);
    const double axisSpan = std::isnan(span) ? 1e-300 : std::clamp(span, 1e-300, 1e300);
    const double slack = ticks.step * 1e-6;
    for (qsizetype i = 0; i < ticks.majors.size(); ++i) {
        const double v = ticks.majors[i];
        if (!std::isfinite(v) || v < axisMin - slack || v > axisMin + axisSpan + slack)
            return QStringLiteral("major %1 off the axis").arg(v, 0, 'g', 17) + inputs;
        if (i > 0 && !(v > ticks.majors[i - 1]))
            return QStringLiteral("majors not ascending at %1").arg(v, 0, 'g', 17) + inputs;
        if (QString broken = checkLabel(tickLabel(v, ticks.decimals), "tick", figures); !broken.isEmpty())
            return broken + inputs;
    }
    for (double v : ticks.minors)
        if (!std::isfinite(v) || v < axisMin - slack || v > axisMin + axisSpan + slack)
            return QStringLiteral("minor %1 off the axis").arg(v, 0, 'g', 17) + inputs;

    if (!std::isfinite(slotProbeValue(axisMin, axisSpan)))
        return QStringLiteral("slot probe not finite") + inputs;
    const int decimals = labelDecimals(span, precision, style);
    if (decimals < 0 || decimals > MaxLabelDecimals)
        return QStringLiteral("labelDecimals %1").arg(decimals) + inputs;
    if (QString broken = checkLabel(tickLabel(min, precision), "raw", figures); !broken.isEmpty())
        return broken + inputs;
    const int fitted = tickSlotCount(span, min);  // any two doubles as pixel lengths
    if (fitted < 1 || fitted > MaxScaleTicks)
        return QStringLiteral("tickSlotCount %1").arg(fitted) + inputs;
    return {};
}

// The dial scale's functions (auto-scale, tick values, tick labels) for one set of inputs.
inline QString CheckDialScale(double lo, double hi, int desiredTicks, int maxTicks, int precision,
                              TickFigures& figures)
{
    ++figures.inputs;
    const QString inputs = QStringLiteral(" (lo %1, hi %2, desired %3, max %4, precision %5)")
                               .arg(lo, 0, 'g', 17).arg(hi, 0, 'g', 17).arg(desiredTicks).arg(maxTicks)
                               .arg(precision);
    const AutoScaleResult scaled = autoScale(lo, hi, desiredTicks, maxTicks);
    figures.largestDialCount = std::max(figures.largestDialCount, scaled.tickCount);
    if (scaled.fitted) {
        const double low = std::min(lo, hi);
        const double high = std::max(lo, hi);
        const double slack = (high - low) * 1e-6;
        if (scaled.tickCount < 2 || scaled.tickCount > std::max(2, std::min(maxTicks, MaxScaleTicks)))
            return QStringLiteral("auto-scale count %1").arg(scaled.tickCount) + inputs;
        if (!std::isfinite(scaled.min) || !std::isfinite(scaled.max) || scaled.min > low + slack
            || scaled.max < high - slack)
            return QStringLiteral("auto-scale %1..%2 does not cover").arg(scaled.min).arg(scaled.max) + inputs;
    }
    const int count = std::clamp(maxTicks, 0, MaxScaleTicks);
    for (int index : {0, count / 2, count - 1}) {
        const double v = tickValue(lo, hi, count, index);
        if (std::isfinite(lo) && std::isfinite(hi) && !std::isfinite(v))
            return QStringLiteral("tick %1 of %2 is %3").arg(index).arg(count).arg(v) + inputs;
        for (bool significant : {false, true})
            if (QString broken = checkLabel(formatTickLabel(v, precision, significant), "dial", figures);
                !broken.isEmpty())
                return broken + inputs;
    }
    const double fraction = positionFraction(lo / 2 + hi / 2, lo, hi);
    if (std::isfinite(lo) && std::isfinite(hi) && lo != hi && !(fraction >= -1e-9 && fraction <= 1 + 1e-9))
        return QStringLiteral("midpoint at fraction %1").arg(fraction) + inputs;
    return {};
}

// Reads fuzzer bytes as the inputs of both checks: doubles and ints taken whole from the
// bytes (every bit pattern, NaNs and infinities included), zeros where the bytes run out.
class TickInputReader {
public:
    explicit TickInputReader(const QByteArray& bytes) : bytes_(bytes) {}
    template <typename T>
    T next()
    {
        T value{};
        const qsizetype n = std::min<qsizetype>(sizeof(T), bytes_.size() - at_);
        if (n > 0)
            std::memcpy(&value, bytes_.constData() + at_, size_t(n));
        at_ += qsizetype(sizeof(T));
        return value;
    }

private:
    QByteArray bytes_;
    qsizetype at_ = 0;
};

inline QString CheckTickProperties(const QByteArray& bytes, TickFigures& figures)
{
    TickInputReader in(bytes);
    const double min = in.next<double>();
    const double span = in.next<double>();
    const double increment = in.next<double>();
    const int slotCount = in.next<int>();
    const int precision = in.next<int>();
    const int minors = in.next<int>();
    const auto style = (in.next<unsigned char>() & 1) ? ipsFixedDecimalPoints : ipsSignificantDigits;
    if (QString broken = CheckAxisTicks(min, span, slotCount, precision, minors, increment, style, figures);
        !broken.isEmpty())
        return broken;
    return CheckDialScale(min, span, slotCount, minors, precision, figures);
}

inline QString CheckTickProperties(const QByteArray& bytes)
{
    TickFigures figures;
    return CheckTickProperties(bytes, figures);
}

}  // namespace velmar::test
