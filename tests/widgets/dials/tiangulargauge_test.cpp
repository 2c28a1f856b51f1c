#include "widgets/dials/tiangulargauge.h"

#include "tests/support/dial_rig.h"

#include <QImage>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>

using namespace velmar;

namespace {

class MeterTest : public ::testing::Test {
protected:
    void SetUp() override { test::currentMeter(meter); }

    // Whether the pixel `radius` from the arc's centre at math angle `degrees` is dark.
    static bool darkAt(const QImage& image, QPointF centre, double radius, double degrees)
    {
        const double a = degrees * std::numbers::pi / 180;
        const QPoint p = QPointF(centre.x() + radius * std::cos(a), centre.y() - radius * std::sin(a)).toPoint();
        return qGray(image.pixel(p)) < 100;
    }

    TiAngularGauge meter;
};

TEST_F(MeterTest, LoadingEndsWithTheAutoScaledRange)
{
    // Stored with five ticks: the auto-scale after loading must produce six by itself.
    TiAngularGauge fresh;
    fresh.beginLoading();
    fresh.setPositionMin(0);
    fresh.setPositionMax(500);
    fresh.setAutoScaleEnabled(true);
    fresh.setAutoScaleDesiredTicks(7);
    fresh.setAutoScaleMaxTicks(7);
    EXPECT_EQ(fresh.tickMajorCount(), 5);
    fresh.endLoading();
    EXPECT_EQ(fresh.positionMin(), 0);
    EXPECT_EQ(fresh.positionMax(), 500);
    EXPECT_EQ(fresh.tickMajorCount(), 6);
    EXPECT_EQ(fresh.tickLabels(), QStringList({"0", "100", "200", "300", "400", "500"}));

}

TEST_F(MeterTest, ClampsOutOfRangeCurrentsAndIgnoresRepeats)
{
    QSignalSpy changes(&meter, &TiAngularGauge::OnPositionChange);
    meter.setPosition(-3);
    EXPECT_EQ(meter.position(), 0);
    EXPECT_EQ(changes.count(), 0);   // already at 0
    meter.setPosition(650);
    EXPECT_EQ(meter.position(), 500);
    EXPECT_DOUBLE_EQ(meter.needleAngle(), 0);
    meter.setPosition(650);
    meter.setPosition(500);
    EXPECT_EQ(changes.count(), 1);
    meter.setPosition(std::nan(""));
    EXPECT_EQ(meter.position(), 500);
    meter.setPosition(250);
    EXPECT_DOUBLE_EQ(meter.needleAngle(), 90);
}

TEST_F(MeterTest, NeedlePointsLeftUpAndRight)
{
    struct Case {
        double value;
        double needleDegrees;
    };
    for (const Case c : {Case{0, 180}, Case{250, 90}, Case{500, 0}}) {
        meter.setPosition(c.value);
        const QImage image = meter.grab().toImage();
        const QPointF centre = meter.arcCentre();
        // Beyond the hub (radius 7) and outside the label above the centre.
        for (double r : {12.0, 20.0, 30.0})
            EXPECT_TRUE(darkAt(image, centre, r, c.needleDegrees)) << c.value << " r " << r;
        // A quarter turn away there is no needle.
        const double away = c.needleDegrees == 90 ? 0 : 90;
        EXPECT_FALSE(darkAt(image, centre, 30, away)) << c.value;
    }
}

TEST_F(MeterTest, ScaleIsCachedAndRebuiltOnlyWhenItChanges)
{
    meter.grab();
    const int builds = meter.staticLayerBuilds();
    const QImage before = meter.grab().toImage();
    meter.setPosition(123);
    meter.grab();
    EXPECT_EQ(meter.staticLayerBuilds(), builds);   // a needle move keeps the scale

    meter.setPosition(0);
    meter.setLabel1Text(QStringLiteral("Current A"));
    const QImage relabelled = meter.grab().toImage();
    EXPECT_EQ(meter.staticLayerBuilds(), builds + 1);
    EXPECT_NE(relabelled, before);
    meter.setLabel1Text(QStringLiteral("mA"));   // the rig's label back
    EXPECT_EQ(meter.grab().toImage(), before);
}

}  // namespace
