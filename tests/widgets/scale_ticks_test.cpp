#include "widgets/scale_ticks.h"

#include <gtest/gtest.h>

using namespace velmar;

namespace {

QStringList labels(const AxisTicks& ticks)
{
    QStringList out;
    for (double v : ticks.majors)
        out << tickLabel(v, ticks.decimals);
    return out;
}

TEST(PlotTicks, LabelsForTheSpansTheControllerUses)
{
    struct Case {
        double min, span;
        int fit;
        const char* expected;
    };
    const Case cases[] = {
        {0, 5, 10, "0.00 0.50 1.00 1.50 2.00 2.50 3.00 3.50 4.00 4.50 5.00"},
        {0, 50, 10, "0.0 5.0 10.0 15.0 20.0 25.0 30.0 35.0 40.0 45.0 50.0"},
        {0, 50, 8, "0.0 10.0 20.0 30.0 40.0 50.0"},
        {0, 100, 10, "0 10 20 30 40 50 60 70 80 90 100"},
        {0, 400, 8, "0 50 100 150 200 250 300 350 400"},
        {10, 50, 6, "10.0 20.0 30.0 40.0 50.0 60.0"},
        {-10, 150, 8, "0 20 40 60 80 100 120 140"},
        {0.5, 0.5, 5, "0.500 0.600 0.700 0.800 0.900 1.000"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(QString("%1 / %2 / %3").arg(c.min).arg(c.span).arg(c.fit).toStdString());
        EXPECT_EQ(labels(computeTicks(c.min, c.span, c.fit, 3)).join(' ').toStdString(), c.expected);
    }
}

TEST(PlotTicks, StepRulesHalvingAndLimits)
{
    EXPECT_EQ(majorStep(100, 1), 100);   // one slot: one step over the span
    EXPECT_EQ(majorStep(100, 3), 50);    // 10, 20 give too many labels; 50 gives 2
    EXPECT_EQ(majorStep(7, 3), 5 / 2.0);  // 5 gives 1 label: halved
    EXPECT_EQ(majorStep(100, 5, 25), 25);  // a desired increment giving fewer labels than slots wins
    EXPECT_EQ(majorStep(100, 4, 25), 50);  // one giving as many is ignored
    EXPECT_EQ(tickSlotCount(500, 40), 12);
    EXPECT_EQ(tickSlotCount(10, 40), 1);
    EXPECT_EQ(tickSlotCount(10, 0), 10);
    EXPECT_EQ(labelDecimals(5, 3), 2);
    EXPECT_EQ(labelDecimals(50, 3), 1);
    EXPECT_EQ(labelDecimals(100, 3), 0);
    EXPECT_EQ(labelDecimals(400, 3), 0);
    EXPECT_EQ(labelDecimals(4000, 3), 0);
    EXPECT_EQ(labelDecimals(50, 2, ipsFixedDecimalPoints), 2);
}

TEST(PlotTicks, LongRunsKeepExactTicksAndNoNegativeZero)
{
    const AxisTicks ticks = computeTicks(2879950.3, 50, 10, 3);
    EXPECT_EQ(labels(ticks).first(), "2879955.0");
    EXPECT_EQ(tickLabel(-1e-17, 1), "0.0");
    EXPECT_EQ(tickLabel(12345.5, 1), "12345.5");  // no group separators
    EXPECT_EQ(tickLabel(1e300, 0), "1E+300");      // not 301 digits of noise
    const AxisTicks minors = computeTicks(0, 10, 5, 3, 1);
    EXPECT_EQ(minors.minors.size(), minors.majors.size() - 1);
}

}  // namespace
