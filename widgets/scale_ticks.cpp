#include "widgets/scale_ticks.h"

#include <QLocale>

#include <algorithm>
#include <cmath>

namespace velmar {

namespace {

// Below this many steps from zero, whole multiples k x step are exact and distinct in a double
// (2^53 is about 9e15; the margin covers the extra ticks beyond each end).
constexpr double ExactMultiples = 1e15;

// Beyond this magnitude fixed-point digits are noise: 15 significant digits is what a double holds.
constexpr double FixedPointLimit = 1e15;

constexpr double MaxScaleMagnitude = 1e300;
constexpr double MinScaleSpan = 1e-300;

// What a scale can hold, with NaN read as 0 and the least span.
double axisMin(double min) { return std::isnan(min) ? 0.0 : clampScaleMin(min); }
double axisSpan(double span) { return std::isnan(span) ? MinScaleSpan : clampScaleSpan(span); }

}  // namespace

double clampScaleMin(double min) { return std::clamp(min, -MaxScaleMagnitude, MaxScaleMagnitude); }

double clampScaleSpan(double span) { return std::clamp(span, MinScaleSpan, MaxScaleMagnitude); }

QString scaleLabel(double value, char format, int precision)
{
    QLocale locale;
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    if (!(std::abs(value) < FixedPointLimit)) {
        format = 'g';
        precision = MaxLabelDecimals;
    }
    precision = std::clamp(precision, 0, MaxLabelDecimals);
    if (format == 'g')
        precision = std::max(precision, 1);
    QString text = locale.toString(value, format, precision).trimmed();
    // A value a rounding error below zero must not read "-0" or "-0.0".
    const QString minus = locale.negativeSign();
    if (text.startsWith(minus)) {
        const QString digits = text.mid(minus.size());
        if (std::none_of(digits.begin(), digits.end(), [](QChar c) { return c.isDigit() && c != QLatin1Char('0'); }))
            text = digits;
    }
    return text;
}

int tickSlotCount(double lengthPixels, double slotPixels)
{
    const double slot = slotPixels > 1.0 ? slotPixels : 1.0;
    const double n = std::trunc(lengthPixels / slot);
    if (!(n >= 1))
        return 1;
    return n < MaxScaleTicks ? static_cast<int>(n) : MaxScaleTicks;
}

double majorStep(double span, int slotCount, double desiredIncrement)
{
    span = axisSpan(span);
    const int n = std::clamp(slotCount, 1, MaxScaleTicks);
    if (std::isfinite(desiredIncrement) && desiredIncrement != 0 && span / std::abs(desiredIncrement) < n)
        return std::abs(desiredIncrement);
    int d = static_cast<int>(std::trunc(std::log10(span) - 1 - std::log10(n)));
    double step = 0;
    for (int guard = 0; guard < 64 && step == 0; ++guard, ++d) {
        const double base = std::pow(10.0, d);
        for (double mult : {1.0, 2.0, 5.0}) {
            if (span / (mult * base) <= n) {
                step = mult * base;
                break;
            }
        }
    }
    if (step == 0)
        step = span / n;
    const double count = std::round(span / step);
    if (count < 2 && n > 1)
        step /= 2;
    if (std::round(span / step) > n)
        step = span / n;
    return step;
}

int labelDecimals(double span, int precision, TiPlotPrecisionStyle style)
{
    if (style == ipsFixedDecimalPoints)
        return std::clamp(precision, 0, MaxLabelDecimals);
    span = axisSpan(span);
    // The span's integer digits lie within -300..301, so a precision beyond +-1000 decides
    // nothing more and cannot overflow.
    int decimals = std::clamp(precision, -1000, 1000) - (static_cast<int>(std::trunc(std::log10(span))) + 1);
    if (span < 1)
        ++decimals;
    return std::clamp(decimals, 0, MaxLabelDecimals);
}

QString tickLabel(double value, int decimals) { return scaleLabel(value, 'f', decimals); }

AxisTicks computeTicks(double min, double span, int slotCount, int precision, int minorCount,
                       double desiredIncrement, TiPlotPrecisionStyle style)
{
    AxisTicks ticks;
    min = axisMin(min);
    span = axisSpan(span);
    const int n = std::clamp(slotCount, 1, MaxScaleTicks);
    minorCount = std::clamp(minorCount, 0, MaxMinorTicks);
    ticks.step = majorStep(span, n, desiredIncrement);
    ticks.decimals = labelDecimals(span, precision, style);
    const double step = ticks.step;
    const double max = min + span;
    // A span below what doubles resolve at min's magnitude (Min = Max clamps the span to
    // 1e-300) would put every tick on the same value: the axis shows min alone.
    if (!(std::max(std::abs(min), std::abs(max)) / step < ExactMultiples)) {
        ticks.majors.append(min);
        return ticks;
    }
    // Ticks are k x step with whole k so that long runs do not accumulate rounding errors;
    // the tolerance keeps a tick that sits on an end by arithmetic noise.
    const double tolerance = step * 1e-9;
    const double first = std::trunc(min / step) - 1;
    const double last = std::floor((max + step) / step) + 1;
    // The step fits the span at most n times, so n + 4 covers the one before min and the
    // ones past max; the count is an integer so the loop ends whatever the doubles do.
    const int count = static_cast<int>(std::clamp(last - first, 0.0, double(n + 4))) + 1;
    double previous = 0;
    bool havePrevious = false;
    for (int i = 0; i < count; ++i) {
        double v = (first + i) * step;
        if (v > max + step + tolerance)
            break;
        if (std::abs(v) < tolerance)
            v = 0;
        if (havePrevious && minorCount > 0) {
            for (int j = 1; j <= minorCount; ++j) {
                const double minor = previous + (v - previous) * j / (minorCount + 1);
                if (minor >= min - tolerance && minor <= max + tolerance)
                    ticks.minors.append(minor);
            }
        }
        if (v >= min - tolerance && v <= max + tolerance)
            ticks.majors.append(v);
        previous = v;
        havePrevious = true;
    }
    return ticks;
}

double slotProbeValue(double min, double span)
{
    const double probe = std::trunc(min / span) * span + span;
    return std::isfinite(probe) ? probe : min;
}

}  // namespace velmar
