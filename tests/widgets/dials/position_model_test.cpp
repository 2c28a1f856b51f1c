#include "widgets/dials/position_model.h"
#include "widgets/dials/positioncontrol.h"
#include "widgets/dials/tiknob.h"

#include <QImage>
#include <QSignalSpy>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <stdexcept>

using namespace velmar;

namespace {

struct AutoScaleCase {
    double lo, hi;
    int desired, max;
    double min, maxOut;
    int ticks;
};

class AutoScaleTable : public ::testing::TestWithParam<AutoScaleCase> {};

TEST_P(AutoScaleTable, RoundsRangeOutAndPicksTickCount)
{
    const AutoScaleCase c = GetParam();
    const AutoScaleResult r = autoScale(c.lo, c.hi, c.desired, c.max);
    ASSERT_TRUE(r.fitted);
    EXPECT_NEAR(r.min, c.min, 1e-12);
    EXPECT_NEAR(r.max, c.maxOut, 1e-12);
    EXPECT_EQ(r.tickCount, c.ticks);
    EXPECT_LE(r.min, std::min(c.lo, c.hi));
    EXPECT_GE(r.max, std::max(c.lo, c.hi));
}

INSTANTIATE_TEST_SUITE_P(
    Ranges, AutoScaleTable,
    ::testing::Values(
        // The current meter: 0..500 wanted with 7 ticks at most 7 -> six ticks 100 apart.
        AutoScaleCase{0, 500, 7, 7, 0, 500, 6},
        // Crossing zero: the low end steps down from the candidate span in whole steps.
        AutoScaleCase{-30, 70, 5, 6, -50, 100, 4},
        AutoScaleCase{-1, 1, 5, 6, -1, 1, 5},
        // Entirely below zero: the high end may not rise above zero.
        AutoScaleCase{-73, -12, 5, 6, -75, 0, 4},
        // Spans below 1 use a tenth of the decade.
        AutoScaleCase{0, 0.37, 5, 6, 0, 0.4, 5},
        // Bounds given the wrong way round are taken in order.
        AutoScaleCase{500, 0, 7, 7, 0, 500, 6},
        // An empty range stays, with two ticks.
        AutoScaleCase{12, 12, 5, 6, 12, 12, 2}));

TEST(AutoScale, RejectsNonFiniteBounds)
{
    EXPECT_FALSE(autoScale(0, std::numeric_limits<double>::infinity(), 5, 6).fitted);
    EXPECT_FALSE(autoScale(std::nan(""), 1, 5, 6).fitted);
}

TEST(TickLabels, EvenlySpreadWithFixedDecimals)
{
    // The knob's eleven labels over 4..55: 4, 9.1, 14.2 ... printed as whole numbers.
    EXPECT_EQ(formatTickLabel(tickValue(4, 55, 11, 0), 0), "4");
    EXPECT_EQ(formatTickLabel(tickValue(4, 55, 11, 1), 0), "9");
    EXPECT_EQ(formatTickLabel(tickValue(4, 55, 11, 2), 0), "14");
    EXPECT_EQ(formatTickLabel(tickValue(4, 55, 11, 10), 0), "55");
    EXPECT_EQ(formatTickLabel(2.5, 2), "2.50");
    // Rounding noise just below zero is not shown as "-0".
    EXPECT_EQ(formatTickLabel(-1e-15, 0), "0");
    EXPECT_EQ(formatTickLabel(-0.4, 1), "-0.4");
    EXPECT_EQ(formatTickLabel(12345, 0), "12345");
}

TEST(WheelSpacing, ThirtyMillisecondsAcrossTheWrap)
{
    EXPECT_TRUE(wheelEventDue(5, 0, false));
    EXPECT_FALSE(wheelEventDue(1010, 1000, true));
    EXPECT_FALSE(wheelEventDue(1029, 1000, true));
    EXPECT_TRUE(wheelEventDue(1030, 1000, true));
    EXPECT_FALSE(wheelEventDue(5, 0xFFFFFFF0u, true));   // 21 ms across the wrap
    EXPECT_TRUE(wheelEventDue(20, 0xFFFFFFF0u, true));   // 36 ms across the wrap
}

// The model's setter rules, seen through the knob (the smallest concrete control).
TEST(PositionModel, LoadingStoresValuesUnchangedAndQuietly)
{
    TiKnob knob;
    QSignalSpy changes(&knob, &TiKnob::OnPositionChange);
    knob.beginLoading();
    knob.setPositionMin(4);
    knob.setPositionMax(55);
    knob.setPosition(70);   // outside the range, kept as stored until loading ends
    EXPECT_EQ(knob.position(), 70);
    knob.endLoading();
    EXPECT_EQ(changes.count(), 0);
    EXPECT_FALSE(knob.changedMark());
    knob.setPosition(30);
    EXPECT_EQ(knob.position(), 30);
    EXPECT_EQ(changes.count(), 1);
    EXPECT_TRUE(knob.changedMark());
}

TEST(PositionModel, RunningMinMaxFollowUnlessFixed)
{
    TiKnob knob;   // range 0..100, running min/max 0
    QSignalSpy maxChanges(&knob, &TiKnob::OnCurrentMaxChange);
    knob.setPosition(40);
    knob.setPosition(20);
    EXPECT_EQ(knob.currentMax(), 40);
    EXPECT_EQ(knob.currentMin(), 0);
    EXPECT_EQ(maxChanges.count(), 1);
    knob.setMinMaxFixed(true);
    knob.setPosition(90);
    EXPECT_EQ(knob.currentMax(), 40);

    QSignalSpy overMax(&knob, &TiKnob::OnPositionOverMax);
    knob.setCurrentMax(50);   // below the position of 90
    EXPECT_EQ(overMax.count(), 1);
    knob.setCurrentMax(500);  // clamped into the range
    EXPECT_EQ(knob.currentMax(), 100);
}

TEST(PositionModel, NarrowingTheRangePullsPositionAndRunningMax)
{
    TiKnob knob;
    knob.setPosition(80);
    QSignalSpy changes(&knob, &TiKnob::OnPositionChange);
    knob.setPositionMax(50);
    EXPECT_EQ(knob.position(), 50);
    EXPECT_EQ(knob.currentMax(), 50);
    EXPECT_EQ(changes.count(), 1);
}

TEST(PositionModel, NonFiniteValuesNeverPoisonTheModel)
{
    TiKnob knob;
    knob.setPosition(30);
    QSignalSpy changes(&knob, &TiKnob::OnPositionChange);
    knob.setPosition(std::nan(""));
    EXPECT_EQ(knob.position(), 30);
    EXPECT_EQ(changes.count(), 0);
    knob.setPosition(std::numeric_limits<double>::infinity());
    EXPECT_EQ(knob.position(), 100);
    knob.setPosition(-std::numeric_limits<double>::infinity());
    EXPECT_EQ(knob.position(), 0);
    knob.setPositionMax(std::nan(""));
    knob.setPositionMin(-std::numeric_limits<double>::infinity());
    EXPECT_EQ(knob.positionMin(), 0);
    EXPECT_EQ(knob.positionMax(), 100);
}

TEST(PositionModel, AutoScaleRewritesRangeWhenBoundsChange)
{
    TiKnob knob;
    knob.setAutoScaleDesiredTicks(5);
    knob.setAutoScaleMaxTicks(6);
    knob.setAutoScaleEnabled(true);
    knob.setPositionMax(70);
    knob.setPositionMin(-30);
    EXPECT_DOUBLE_EQ(knob.positionMin(), -50);
    EXPECT_DOUBLE_EQ(knob.positionMax(), 100);
    EXPECT_EQ(knob.tickMajorCount(), 4);
    knob.setAutoScaleMaxTicks(1);   // below 2: ignored
    EXPECT_EQ(knob.autoScaleMaxTicks(), 6);
}

}  // namespace

namespace {

// A control whose moving parts fail to paint.
class FailingControl : public PositionControl {
protected:
    void paintStatic(QPainter&) override {}
    void paintDynamic(QPainter&) override { throw std::runtime_error("needle lost"); }
};

TEST(PaintErrors, ShownInsideTheControlAndPaintingGoesOn)
{
    FailingControl control;
    control.resize(120, 40);
    QImage image;
    ASSERT_NO_THROW(image = control.grab().toImage());
    int black = 0;
    int white = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = image.pixel(x, y);
            black += p == qRgb(0, 0, 0);
            white += qGray(p) > 200;
        }
    EXPECT_GT(black, image.width() * image.height() / 2);
    EXPECT_GT(white, 10);   // the message
    ASSERT_NO_THROW(control.grab());
}

}  // namespace
