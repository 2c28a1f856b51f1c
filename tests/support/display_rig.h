#pragma once

#include "platform/named_colours.h"
#include "widgets/displays/tiledround.h"
#include "widgets/displays/tisevensegmentanalog.h"

namespace velmar::test {

// Displays set up in the test itself with only what the displays' tests look at; the rest
// is the widgets' own defaults.

// Lime digits at the default size (140 x 36). A green off colour is stored, but the unlit
// segments are derived from lime, so green must never show.
inline void limeReadout(TiSevenSegmentAnalog& readout)
{
    readout.setSegmentColor(colours::Lime);
    readout.setSegmentOffColor(colours::Green);
}

// A transparent red lamp, off; its inactive colour is derived from red.
inline void redLamp(TiLedRound& lamp)
{
    lamp.setActiveColor(colours::Red);
    lamp.setTransparent(true);
}

}  // namespace velmar::test
