#pragma once

#include "widgets/dials/tiangulargauge.h"
#include "widgets/dials/tiknob.h"
#include "widgets/dials/tilineargauge.h"
#include "widgets/dials/tiswitchslider.h"

#include <QApplication>
#include <QWheelEvent>

namespace velmar::test {

// Dials set up in the test itself with only what the dials' tests rely on (ranges, sizes,
// the colours and marks a pixel check reads); everything else is the widgets' own defaults.

// 4 .. 55 V at 4, the low end at 240 degrees; a knob of the default radius (35, not sized to
// its labels), so that the highlight test's probe, 11 pixels in from the rim, falls on the
// 12-pixel indicator; the position reads in "V"; 137 x 105.
inline void voltageKnob(TiKnob& knob)
{
    knob.beginLoading();
    knob.resize(137, 105);
    knob.setPositionMin(4);
    knob.setPositionMax(55);
    knob.setPosition(4);
    knob.setRotationStartDegrees(240);
    knob.setAutoSize(false);
    knob.setIndicatorSize(12);
    knob.setPositionDisplayUnits(QStringLiteral("V"));
    knob.endLoading();
}

// 0 .. 500 over a half circle from the left (the default start), the default black needle
// and hub, and a label ("mA").
inline void currentMeter(TiAngularGauge& gauge)
{
    gauge.beginLoading();
    gauge.setPositionMax(500);
    gauge.setArcRangeDegrees(180);
    gauge.setShowLabel1(true);
    gauge.setLabel1Text(QStringLiteral("mA"));
    gauge.endLoading();
}

// 0 .. 20 mm downwards over 545 rows, a major tick and label per millimetre with three minor
// ticks between; pointers at 5 (fixed, size 10), 5 (hidden), 7, 17 (movable, size 15), 19
// (hidden) and 27 (movable, beyond the scale).
inline void positionGauge(TiLinearGauge& gauge)
{
    gauge.beginLoading();
    gauge.resize(57, 545);
    gauge.setReverseScale(true);
    gauge.setPositionMax(20);
    gauge.setTickMajorCount(21);
    gauge.setTickMajorLength(30);
    gauge.setTickMinorCount(3);
    gauge.setPointers({
        {.position = 5},
        {.position = 5, .visible = false},
        {.position = 7, .size = 15, .userCanMove = true},
        {.position = 17, .size = 15, .userCanMove = true},
        {.position = 19, .visible = false},
        {.position = 27, .size = 15, .userCanMove = true},
    });
    gauge.endLoading();
}

// The default three positions, at the top (2); 105 x 145.
inline void speedSwitch(TiSwitchSlider& slider)
{
    slider.beginLoading();
    slider.resize(105, 145);
    slider.setPosition(2);
    slider.endLoading();
}

// A turn of the mouse wheel by `delta` (120 a notch) with the pointer at `pos`.
inline void turnWheel(QWidget& widget, QPointF pos, int delta)
{
    QWheelEvent event(pos, widget.mapToGlobal(pos), QPoint(), QPoint(0, delta), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(&widget, &event);
}

}  // namespace velmar::test
