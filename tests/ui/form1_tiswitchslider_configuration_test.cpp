// labels: snapshot
// The main window's two switches as its stored configuration sets them up; how any switch
// behaves is tested in tests/widgets/dials/.
#include "ui/form1_configuration.h"
#include "widgets/dials/tiswitchslider.h"

#include <gtest/gtest.h>

using namespace velmar;

namespace {

TEST(SwitchConfiguration, TheWindowsSwitchesAndTheirGeometry)
{
    TiSwitchSlider speed;
    configureSwitchSlider1(speed);
    EXPECT_EQ(speed.size(), QSize(105, 145));
    EXPECT_EQ(speed.labels(), QStringList({"Low", "Medium", "Normal"}));
    EXPECT_EQ(speed.position(), 2);
    // Travel 145 - 8 - 10 = 127: position 0 at the bottom, 2 at the top, 1 half way (63.5 -> 64).
    EXPECT_EQ(speed.pointerCentreY(0), 145 - 5 - 4);
    EXPECT_EQ(speed.pointerCentreY(1), 136 - 64);
    EXPECT_EQ(speed.pointerCentreY(2), 136 - 127);

    TiSwitchSlider mode;
    configureSwitchSlider2(mode);
    EXPECT_EQ(mode.size(), QSize(65, 89));
    EXPECT_EQ(mode.labels(), QStringList({"AC", "DC"}));
    EXPECT_EQ(mode.position(), 1);
}

}  // namespace
