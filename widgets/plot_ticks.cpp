#include "widgets/plot_ticks.h"

#include <QLocale>

#include <algorithm>
#include <cmath>

namespace velmar {

int tickSlotCount(double lengthPixels, double slotPixels)
{
    const double slot = std::max(slotPixels, 1.0);
    const double n = std::trunc(lengthPixels / slot);
    return n < 1 ? 1 : static_cast<int>(std::min(n, 1e6));
}

double majorStep(double span, int slotCount, double desiredIncrement)
{
    const double n = std::max(slotCount, 1);
    if (desiredIncrement != 0 && span / desiredIncrement < n)
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
        return std::max(precision, 0);
    int decimals = precision - (static_cast<int>(std::trunc(std::log10(span))) + 1);
    if (span < 1)
        ++decimals;
    return std::clamp(decimals, 0, 15);
}

QString tickLabel(double value, int decimals)
{
    QLocale locale;
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    QString text = locale.toString(value, 'f', decimals).trimmed();
    // A tick a rounding error below zero must not read "-0.0".
    const QString zero = locale.toString(0.0, 'f', decimals);
    if (text == QLatin1Char('-') + zero)
        text = zero;
    return text;
}

AxisTicks computeTicks(double min, double span, int slotCount, int precision, int minorCount,
                       double desiredIncrement, TiPlotPrecisionStyle style)
{
    AxisTicks ticks;
    ticks.step = majorStep(span, slotCount, desiredIncrement);
    ticks.decimals = labelDecimals(span, precision, style);
    const double step = ticks.step;
    const double max = min + span;
    // Ticks are k x step with whole k so that long runs do not accumulate rounding errors;
    // the tolerance keeps a tick that sits on an end by arithmetic noise.
    const double tolerance = step * 1e-9;
    const double first = std::trunc(min / step) - 1;
    const double last = std::floor((max + step) / step) + 1;
    if (!(last - first < 100000))
        return ticks;
    double previous = 0;
    bool havePrevious = false;
    for (double k = first; k <= last; ++k) {
        double v = k * step;
        if (v > max + step + tolerance)
            break;
        if (std::abs(v) < tolerance)
            v = 0;
        if (havePrevious && minorCount > 0) {
            for (int i = 1; i <= minorCount; ++i) {
                const double minor = previous + (v - previous) * i / (minorCount + 1);
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
    return std::trunc(min / span) * span + span;
}

}  // namespace velmar
