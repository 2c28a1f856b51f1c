// labels: snapshot
// The main window's current meter as its stored configuration sets it up; how any meter
// behaves is tested in tests/widgets/dials/.
#include "ui/form1_configuration.h"
#include "widgets/dials/tiangulargauge.h"

#include <gtest/gtest.h>

using namespace velmar;

namespace {

// 0 .. 500 with the six labelled ticks its auto-scale gives after loading.
TEST(MeterConfiguration, TheWindowsCurrentMeter)
{
    TiAngularGauge meter;
    configureAngularGauge1(meter);
    EXPECT_EQ(meter.tickLabels(), QStringList({"0", "100", "200", "300", "400", "500"}));
    EXPECT_EQ(meter.tickMinorCount(), 1);
    EXPECT_EQ(meter.currentMin(), 60);
}

}  // namespace
