#pragma once

#include "platform/named_colours.h"

#include <QColor>
#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <QStringList>

class QPainter;
class QFontMetricsF;

namespace velmar {

// Small painter pieces for the round controls (knob, meter) and the slider switch. Angles are
// in degrees, counter-clockwise from 3 o'clock, on a screen whose y grows downward.

// Point at `radius` from `centre` in direction `degrees`.
QPointF dialPoint(QPointF centre, double radius, double degrees);

// Centre of a text box of `size` whose nearest edge lies `innerRadius` from `centre` in
// direction `degrees`, so labels sit just outside a circle whatever their angle.
QPointF dialLabelCentre(QPointF centre, double innerRadius, double degrees, QSizeF size);

// Radial tick marks and labels of a circular scale.
struct DialScale {
    QPointF centre;
    double startDegrees = 0;   // angle of the scale's minimum
    double sweepDegrees = 0;   // clockwise travel to the maximum
    double tickRadius = 0;     // inner end of the ticks
    int majorCount = 0;        // drawn up to MaxScaleTicks
    int minorCount = 0;        // between two major ticks, drawn up to MaxMinorTicks
    int majorLength = 0;
    int minorLength = 0;
    bool showMajor = true;
    bool showMinor = true;
    bool showLabels = true;
    double labelRadius = 0;    // inner edge of the labels
    QColor majorColor = colours::Black;
    QColor minorColor = colours::Gray;
    QColor labelColor = colours::Black;
    QStringList labels;        // one per major tick

    double angleAt(double fraction) const { return startDegrees - fraction * sweepDegrees; }
    void draw(QPainter& painter) const;
    // Bounding box of the labels (for centring and sizing).
    QRectF labelBounds(const QFontMetricsF& metrics) const;
};

// A needle from the hub outward: a plain line of `width` pixels.
struct DialNeedle {
    QColor color = colours::Black;
    double width = 1.5;
    void draw(QPainter& painter, QPointF centre, double length, double degrees) const;
};

// The round knob: a bevelled rim (`edgeWidth`) around a shaded face; `raised` lights the rim
// from the top left.
struct KnobFace {
    QColor face;
    int edgeWidth = 3;
    bool raised = true;
    void draw(QPainter& painter, QPointF centre, double radius) const;
};

// A rectangle's bevel, `width` pixels: lowered (dark top-left) or raised (light top-left).
void drawBevel(QPainter& painter, const QRectF& rect, int width, bool lowered);

// The keyboard focus around a control's working area: a solid two-pixel frame in the highlight
// colour, inside `rect`, plain to see against the button face and the white track alike.
void drawFocusFrame(QPainter& painter, const QRect& rect);

// Each colour channel raised by `amount`, held at 255.
QColor lighterBy(const QColor& color, int amount);

}  // namespace velmar
