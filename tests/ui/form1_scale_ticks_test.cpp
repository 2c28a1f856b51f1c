#include "ui/form1_configuration.h"
#include "widgets/scale_ticks.h"
#include "widgets/dials/tiangulargauge.h"
#include "widgets/dials/tiknob.h"
#include "widgets/dials/tilineargauge.h"

#include <cfloat>
#include <climits>
#include <initializer_list>

#include <gtest/gtest.h>

using namespace velmar;

namespace {

// The dials hold any tick count a caller sets to what a scale can show, and draw any range.
TEST(ScaleTickProperties, DialsDrawTheWidestScalesTheyCanBeGiven)
{
    TiKnob knob;
    configureKnob1(knob);
    knob.resize(137, 105);
    TiAngularGauge meter;
    configureAngularGauge1(meter);
    meter.resize(161, 97);
    TiLinearGauge gauge;
    configureLinearGauge1(gauge);
    gauge.resize(57, 545);
    for (TiPositionComponent* dial : std::initializer_list<TiPositionComponent*>{&knob, &meter, &gauge}) {
        SCOPED_TRACE(dial->metaObject()->className());
        dial->setAutoScaleMaxTicks(INT_MAX);
        dial->setAutoScaleDesiredTicks(INT_MAX);
        dial->setRange(-DBL_MAX, DBL_MAX);
        dial->setTickMajorCount(INT_MAX);
        dial->setTickMinorCount(INT_MAX);
        EXPECT_EQ(dial->tickMajorCount(), MaxScaleTicks);
        EXPECT_EQ(dial->tickMinorCount(), MaxMinorTicks);
        const QStringList labels = dial->tickLabels();
        EXPECT_EQ(labels.size(), MaxScaleTicks);
        EXPECT_EQ(labels.first(), QStringLiteral("-1.79769313486232E+308"));
        EXPECT_FALSE(dial->grab().isNull());
        dial->setTickMinorCount(-5);
        EXPECT_EQ(dial->tickMinorCount(), 0);
    }
}


}  // namespace
