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

// How many labels fit: the axis length over the label slot, truncated, at least 1.
int tickSlotCount(double lengthPixels, double slotPixels);

// The major step for `span` when at most `slotCount` labels fit (1-2-5 steps, halved when fewer
// than two labels would show, never more labels than slotCount). A non-zero desired increment
// wins when it gives fewer labels than slotCount.
double majorStep(double span, int slotCount, double desiredIncrement = 0);

// Decimals of the labels: with significant digits, precision minus the integer digits of the
// span (one more below 1, never negative); with fixed decimals, the precision itself.
int labelDecimals(double span, int precision, TiPlotPrecisionStyle style = ipsSignificantDigits);

// Fixed-point text with the locale's decimal separator and no group separators.
QString tickLabel(double value, int decimals);

AxisTicks computeTicks(double min, double span, int slotCount, int precision, int minorCount = 1,
                       double desiredIncrement = 0,
                       TiPlotPrecisionStyle style = ipsSignificantDigits);

// Int(Min / Span) x Span + Span: the value whose label width sizes the horizontal slot.
double slotProbeValue(double min, double span);

}  // namespace velmar
