#pragma once

#include "platform/named_colours.h"
#include "widgets/dials/tiangulargauge.h"
#include "widgets/dials/tiknob.h"
#include "widgets/dials/tilineargauge.h"
#include "widgets/dials/tiswitchslider.h"

#include <QApplication>
#include <QFont>
#include <QWheelEvent>

namespace velmar::test {

// Dials set up in the test itself, as the dials' tests need them: a voltage knob, a current
// meter, a position gauge with six pointers and a three-way switch. They are the tests' own
// widgets: the window's configuration of its dials may change without moving what these
// tests check (the window's own configuration has its snapshot tests in tests/ui/).

// 4 .. 55 V, turning clockwise through 300 degrees from 240, eleven labels, a radial-line
// indicator (red, aqua while adjusting) and a "4.0V" display; 137 x 105.
inline void voltageKnob(TiKnob& knob)
{
    knob.beginLoading();
    knob.resize(137, 105);
    knob.setFont(QFont(QStringLiteral("Sans Serif"), 8));
    knob.setPositionMin(4);
    knob.setPositionMax(55);
    knob.setPosition(4);
    knob.setRotationStartDegrees(240);
    knob.setRotationMaxDegrees(300);
    knob.setKnobRadius(33);
    knob.setAutoSize(true);
    knob.setKnobStyle(TiKnob::iksRaised);
    knob.setKnobEdgeWidth(3);
    knob.setIndicatorStyle(TiKnob::ikisLineCustom);
    knob.setIndicatorSize(12);
    knob.setIndicatorMargin(5);
    knob.setIndicatorActiveColor(colours::Aqua);
    knob.setIndicatorInactiveColor(colours::Red);
    knob.setKeyArrowStepSize(0.1);
    knob.setKeyPageStepSize(1);
    knob.setMouseWheelStepSize(1);
    knob.setUseKeyboard(true);
    knob.setShowFocusRect(true);
    knob.setShowPositionDisplay(true);
    knob.setPositionDisplayPrecision(1);
    knob.setPositionDisplayUnits(QStringLiteral("V"));
    knob.setOuterMargin(5);
    knob.setTickMajorCount(11);
    knob.setTickMinorCount(3);
    knob.setShowTicksMajor(false);
    knob.setShowTicksMinor(true);
    knob.setShowTickLabels(true);
    knob.setTickMargin(6);
    knob.setTickLabelMargin(-9);
    knob.setTickMajorLength(7);
    knob.setTickMinorColor(colours::Gray);
    knob.setCurrentMin(4);
    knob.setCurrentMax(4);
    knob.setMinMaxFixed(false);
    knob.endLoading();
}

// 0 .. 500 by the auto-scale (six labelled ticks), a half circle over the top, a black line
// needle with its hub and the " Current Ma" label; 161 x 97.
inline void currentMeter(TiAngularGauge& gauge)
{
    gauge.beginLoading();
    gauge.resize(161, 97);
    gauge.setFont(QFont(QStringLiteral("Sans Serif"), 8));
    gauge.setPositionMin(0);
    gauge.setPositionMax(500);
    gauge.setAutoScaleEnabled(true);
    gauge.setAutoScaleDesiredTicks(7);
    gauge.setAutoScaleMaxTicks(7);
    gauge.setTickMajorCount(6);
    gauge.setTickMinorCount(1);
    gauge.setTickMajorLength(9);
    gauge.setTickMinorLength(6);
    gauge.setTickMargin(2);
    gauge.setTickLabelMargin(10);
    gauge.setTickLabelPrecision(0);
    gauge.setArcStartDegrees(180);
    gauge.setArcRangeDegrees(180);
    gauge.setArcRadius(35);
    gauge.setReverseScale(false);
    gauge.setAutoSize(false);
    gauge.setAutoCenter(true);
    gauge.setPointerStyle(TiAngularGauge::iagpsLine);
    gauge.setPointerSize(10);
    gauge.setPointerColor(colours::Black);
    gauge.setShowHub(true);
    gauge.setHubSize(14);
    gauge.setHubColor(colours::Black);
    gauge.setShowFace(false);
    gauge.setShowLabel1(true);
    gauge.setLabel1Text(QStringLiteral(" Current Ma"));
    gauge.setLabel1OffsetX(0);
    gauge.setLabel1OffsetY(-16);
    gauge.setShowLabel2(false);
    gauge.setLabel2Text(QStringLiteral(" "));
    gauge.setLabel2OffsetX(0);
    gauge.setLabel2OffsetY(30);
    gauge.setSectionCount(0);
    gauge.setSectionEnd(1, 50);
    gauge.setSectionEnd(2, 75);
    gauge.setShowMinPointer(false);
    gauge.setShowMaxPointer(false);
    gauge.setMinMaxFixed(false);
    gauge.setCurrentMin(60);
    gauge.setCurrentMax(60);
    gauge.endLoading();
}

// 0 .. 20 mm downwards over 545 rows, a major tick per millimetre; pointers at 5 (fixed), 5
// (hidden), 7, 17 (movable), 19 (hidden) and 27 (movable, beyond the scale).
inline void positionGauge(TiLinearGauge& gauge)
{
    gauge.beginLoading();
    gauge.resize(57, 545);
    gauge.setOrientation(TiLinearGauge::ioVertical);
    gauge.setOrientationTickMarks(TiLinearGauge::iosBottomRight);
    gauge.setReverseScale(true);
    gauge.setPositionMin(0);
    gauge.setPositionMax(20);
    gauge.setEndsMargin(10);
    // 21 major ticks over 0 to 20 mm: one per millimetre, each label at its own millimetre.
    gauge.setTickMajorCount(21);
    gauge.setTickMajorLength(30);
    gauge.setTickMinorCount(3);
    gauge.setTickMinorLength(7);
    gauge.setTickMargin(0);
    gauge.setTickLabelMargin(5);
    gauge.setTickLabelPrecision(0);
    gauge.setAutoScaleEnabled(false);
    gauge.setAutoCenter(false);
    gauge.setAllowFocus(false);
    gauge.setKeyArrowStepSize(0.1);
    gauge.setKeyPageStepSize(1);
    gauge.setMouseWheelStepSize(1);
    gauge.setBorderStyle(TiLinearGauge::ibsLowered);
    gauge.setMinMaxFixed(true);
    gauge.setCurrentMin(20);
    gauge.setCurrentMax(10);
    gauge.setShowMinPointer(false);
    gauge.setShowMaxPointer(false);
    gauge.setMinMaxUserCanMove(true);
    gauge.setMinPointerColor(colours::Red);
    gauge.setMaxPointerColor(colours::Red);
    gauge.setMinMaxStyle3D(true);
    gauge.setSectionCount(0);
    // Present position, an unused marker, Home, End Polish, another unused marker, Electrolyte.
    gauge.setPointers({
        {5, true, 10, colours::Blue, true, false},
        {5, false, 5, colours::Black, false, false},
        {7, true, 15, colours::Red, false, true},
        {17, true, 15, colours::Red, false, true},
        {19, false, 5, colours::Black, false, false},
        {27, true, 15, colours::Lime, false, true},
    });
    gauge.endLoading();
}

inline void switchCommon(TiSwitchSlider& slider)
{
    const QFont windowFont(QStringLiteral("Sans Serif"), 8);
    slider.setFont(windowFont);
    slider.setAutoCenter(true);
    slider.setEndsMargin(5);
    slider.setPointerStyle(TiSwitchSlider::ispsPointer);
    slider.setPointerHeight(8);
    slider.setPointerWidth(13);
    slider.setPointerIndicatorActiveColor(colours::Red);
    slider.setPointerIndicatorInactiveColor(colours::Black);
    slider.setTrackColor(colours::White);
    slider.setShowPositionLabels(true);
    slider.setShowPositionIndicators(true);
    slider.setShowFocusRect(true);
    slider.setPositionLabelMargin(5);
    slider.setPositionIndicatorSize(3);
    slider.setPositionIndicatorMargin(10);
    slider.setPositionIndicatorColor(colours::Aqua);
    slider.setKeyArrowStepSize(1);
    slider.setKeyPageStepSize(2);
    slider.setPositionLabelActiveFont(windowFont);
    slider.setPositionLabelInactiveFont(windowFont);
}

// "Low, Medium, Normal", at 2, lowered border, 105 x 145.
inline void speedSwitch(TiSwitchSlider& slider)
{
    slider.beginLoading();
    slider.resize(105, 145);
    switchCommon(slider);
    slider.setPositionLabels(QStringLiteral("Low, Medium, Normal"));
    slider.setPosition(2);
    slider.setBorderStyle(TiSwitchSlider::ibsLowered);
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
