// labels: snapshot
// The main window's position gauge as its stored configuration sets it up; how any gauge
// behaves is tested in tests/widgets/dials/.
#include "ui/form1_configuration.h"
#include "widgets/dials/tilineargauge.h"

#include <gtest/gtest.h>

using namespace velmar;

namespace {

// 0 .. 20 mm, a label per millimetre, and the stored pointers: the present position, Home,
// End Polish and Electrolyte, with two unused markers hidden.
TEST(GaugeConfiguration, TheWindowsPositionGauge)
{
    TiLinearGauge gauge;
    configureLinearGauge1(gauge);
    QStringList millimetres;
    for (int mm = 0; mm <= 20; ++mm)
        millimetres << QString::number(mm);
    EXPECT_EQ(gauge.tickLabels(), millimetres);
    ASSERT_EQ(gauge.pointerCount(), 6);
    const double stored[] = {5, 5, 7, 17, 19, 27};
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(gauge.pointerPosition(i), stored[i]);
    EXPECT_EQ(gauge.position(), 5);
    EXPECT_FALSE(gauge.pointerVisible(1));
    EXPECT_FALSE(gauge.pointerVisible(4));
}

}  // namespace
