// labels: snapshot
// The main window's supply-voltage knob as its stored configuration sets it up; how any knob
// behaves is tested in tests/widgets/dials/.
#include "ui/form1_configuration.h"
#include "widgets/dials/tiknob.h"

#include <gtest/gtest.h>

using namespace velmar;

namespace {

TEST(KnobConfiguration, TheWindowsSupplyVoltageKnob)
{
    TiKnob knob;
    configureKnob1(knob);
    EXPECT_EQ(knob.size(), QSize(137, 105));
    EXPECT_EQ(knob.position(), 4);
    EXPECT_EQ(knob.positionMin(), 4);
    EXPECT_EQ(knob.positionMax(), 55);
    EXPECT_EQ(knob.tickLabels().size(), 11);
    EXPECT_EQ(knob.positionDisplayText(), "4.0V");
    // The auto-size leaves room for the labels; with an 8-point font this is about 33.
    EXPECT_NEAR(knob.knobRadius(), 33, 4);
}

}  // namespace
