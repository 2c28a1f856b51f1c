// labels: snapshot
// The main window's lamp and current readout as its stored configuration sets them up; how
// any lamp or readout paints is tested in tests/widgets/displays/.
#include "platform/named_colours.h"
#include "ui/form1_configuration.h"
#include "widgets/displays/tiledround.h"
#include "widgets/displays/tisevensegmentanalog.h"

#include <gtest/gtest.h>

using namespace velmar;

namespace {

TEST(DisplaysConfiguration, TheWindowsLampIsATransparentRedOne)
{
    TiLedRound lamp;
    configureLedRound1(lamp);
    EXPECT_EQ(lamp.size(), QSize(33, 33));
    EXPECT_EQ(lamp.activeColor(), colours::Red);
    EXPECT_TRUE(lamp.transparent());
    EXPECT_FALSE(lamp.active());
}

TEST(DisplaysConfiguration, TheWindowsReadoutHasSixLimeDigitsWithTwoDecimals)
{
    TiSevenSegmentAnalog readout;
    configureSevenSegmentAnalog1(readout);
    EXPECT_EQ(readout.size(), QSize(140, 36));
    EXPECT_EQ(readout.segmentColor(), colours::Lime);
    EXPECT_EQ(readout.digitCount(), 6);
    EXPECT_EQ(readout.precision(), 2);
}

}  // namespace
