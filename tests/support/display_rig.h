#pragma once

#include "platform/named_colours.h"
#include "widgets/displays/tiledround.h"
#include "widgets/displays/tisevensegmentanalog.h"

namespace velmar::test {

// Displays set up in the test itself, as the displays' tests need them (the window's own
// configuration has its snapshot tests in tests/ui/).

// Six lime digits with two decimals and a sign on black, auto-sized to 140 x 36.
inline void limeReadout(TiSevenSegmentAnalog& readout)
{
    readout.beginLoading();
    readout.resize(140, 36);
    readout.setDigitCount(6);
    readout.setPrecision(2);
    readout.setShowSign(true);
    readout.setLeadingStyle(TiSevenSegmentAnalog::ilsSpaces);
    readout.setSegmentColor(colours::Lime);
    readout.setAutoSegmentOffColor(true);
    readout.setSegmentOffColor(colours::Green);
    readout.setShowOffSegments(true);
    readout.setPowerOff(false);
    readout.setDigitSpacing(6);
    readout.setSegmentMargin(5);
    readout.setSegmentSize(1);
    readout.setSegmentSeperation(1);
    readout.setBackGroundColor(colours::Black);
    readout.setAutoSize(true);
    readout.endLoading();
}

// A transparent red lamp, 33 x 33, off, its inactive colour derived from the active one.
inline void redLamp(TiLedRound& lamp)
{
    lamp.beginLoading();
    lamp.resize(33, 33);
    lamp.setActive(false);
    lamp.setActiveColor(colours::Red);
    lamp.setAutoInactiveColor(true);
    lamp.setInactiveColor(colours::Gray);
    lamp.setBevelStyle(TiLedRound::ibsLowered);
    lamp.setShowReflection(true);
    lamp.setTransparent(true);
    lamp.endLoading();
}

}  // namespace velmar::test
