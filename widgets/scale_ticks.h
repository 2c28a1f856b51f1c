#pragma once

#include <QString>
#include <QVector>

namespace velmar {

// Tick positions and labels of a linear axis with numeric labels.
struct AxisTicks {
    double step = 0;          // major increment
    QVector<double> majors;   // values of the major ticks on the axis, ascending
    QVector<double> minors;   // values of the minor ticks on the axis, ascending
    int decimals = 0;         // decimals of every label
};

enum TiPlotPrecisionStyle { ipsSignificantDigits, ipsFixedDecimalPoints };

// Limits every scale (the chart's axes and the dials) keeps whatever it is asked for: far more
// ticks than any screen can show, few enough that no setting can fill memory or hold the window.
constexpr int MaxScaleTicks = 1000;       // major ticks of one scale
constexpr int MaxMinorTicks = 100;        // minor ticks between two majors
constexpr int MaxLabelDecimals = 15;      // what a double holds
// The ends and span a scale holds: Min within +-1e300, Span within 1e-300 .. 1e300. A NaN stays
// NaN (the chart's Min and Span setters ignore it; the tick maths reads it as 0 and the least span).
double clampScaleMin(double min);
double clampScaleSpan(double span);

// How many labels fit: the axis length over the label slot, truncated, at least 1 (and at most
// MaxScaleTicks).
int tickSlotCount(double lengthPixels, double slotPixels);

// The major step for `span` when at most `slotCount` labels fit (1-2-5 steps, halved when fewer
// than two labels would show, never more labels than slotCount). A non-zero desired increment
// wins when it gives fewer labels than slotCount. Always positive and finite.
double majorStep(double span, int slotCount, double desiredIncrement = 0);

// Decimals of the labels: with significant digits, precision minus the integer digits of the
// span (one more below 1); with fixed decimals, the precision itself; within 0..15.
int labelDecimals(double span, int precision, TiPlotPrecisionStyle style = ipsSignificantDigits);

// The text of a scale label: `value` with `precision` decimals (format 'f') or significant digits
// ('g'), precision held within 0..15, the locale's decimal separator, no group separators,
// trimmed, never "-0". Magnitudes of 1e15 and more, whose fixed-point digits would be noise,
// are written with 15 significant digits.
QString scaleLabel(double value, char format, int precision);

// An axis label: scaleLabel in fixed-point with `decimals`.
QString tickLabel(double value, int decimals);

// The ticks of an axis from `min` over `span`. Terminates for every input with at most
// slotCount + 1 majors (slotCount held within 1..MaxScaleTicks) and at most MaxMinorTicks
// minors between two majors. A min or span that no axis can hold is first brought into the
// axis's own limits (NaN min as 0, a span not above 0 as the smallest span); a span too small
// to tell ticks apart at min's magnitude gives one tick, at min.
AxisTicks computeTicks(double min, double span, int slotCount, int precision, int minorCount = 1,
                       double desiredIncrement = 0,
                       TiPlotPrecisionStyle style = ipsSignificantDigits);

// Int(Min / Span) x Span + Span: the value whose label width sizes the horizontal slot
// (Min itself when that is not a finite number).
double slotProbeValue(double min, double span);

}  // namespace velmar
