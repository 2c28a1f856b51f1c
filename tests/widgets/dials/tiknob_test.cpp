#include "widgets/dials/tiknob.h"

#include "tests/support/dial_rig.h"
#include "tests/support/recording_platform.h"

#include <QImage>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

using namespace velmar;

namespace {

class KnobTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        test::voltageKnob(knob);
        knob.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&knob));
    }

    // A point `radius` pixels from the knob's centre at screen angle `degrees`
    // (clockwise from 3 o'clock, as the mouse sees it).
    QPoint at(double radius, double degrees) const
    {
        const double a = degrees * std::numbers::pi / 180;
        const QPointF c = knob.knobCentre();
        return QPointF(c.x() + radius * std::cos(a), c.y() + radius * std::sin(a)).toPoint();
    }

    void setTick(std::uint32_t tick) { platform.tickOffset += tick - platform.tickCount(); }

    void wheel(int delta) { test::turnWheel(knob, knob.knobCentre(), delta); }

    test::RecordingPlatform platform;
    TiKnob knob;
};

TEST_F(KnobTest, ClampsAndStaysQuietOnUnchangedValue)
{
    QSignalSpy changes(&knob, &TiKnob::OnPositionChange);
    QSignalSpy user(&knob, &TiKnob::OnPositionChangeUser);
    knob.setPosition(3.9);   // clamps to 4, which it already is
    EXPECT_EQ(knob.position(), 4);
    EXPECT_EQ(changes.count(), 0);
    knob.setPosition(60);
    EXPECT_EQ(knob.position(), 55);
    EXPECT_EQ(knob.positionDisplayText(), "55.0V");
    knob.setPosition(55);
    EXPECT_EQ(changes.count(), 1);
    EXPECT_EQ(user.count(), 0);   // set by code, not by the operator
    knob.setPosition(12.5);
    EXPECT_EQ(knob.positionDisplayText(), "12.5V");
}

TEST_F(KnobTest, KeysStepAndFinishOnRelease)
{
    QSignalSpy user(&knob, &TiKnob::OnPositionChangeUser);
    QSignalSpy finished(&knob, &TiKnob::OnPositionChangeFinished);
    knob.setFocus();
    QTest::keyClick(&knob, Qt::Key_End);
    EXPECT_EQ(knob.position(), 55);
    QTest::keyClick(&knob, Qt::Key_Home);
    EXPECT_EQ(knob.position(), 4);
    QTest::keyClick(&knob, Qt::Key_Up);
    EXPECT_NEAR(knob.position(), 4.1, 1e-9);
    QTest::keyClick(&knob, Qt::Key_PageUp);
    EXPECT_NEAR(knob.position(), 5.1, 1e-9);
    QTest::keyClick(&knob, Qt::Key_Left);
    EXPECT_NEAR(knob.position(), 5.0, 1e-9);
    EXPECT_EQ(user.count(), 5);
    EXPECT_EQ(finished.count(), 5);
    // Home goes back to 4 (one notice); a second Home changes nothing and raises none.
    QTest::keyClick(&knob, Qt::Key_Home);
    QTest::keyClick(&knob, Qt::Key_Home);
    EXPECT_EQ(finished.count(), 6);
}

TEST_F(KnobTest, DragTurnsClockwiseUpAndStopsAtTheGap)
{
    QSignalSpy finished(&knob, &TiKnob::OnPositionChangeFinished);
    knob.setPosition(50);
    // Press at 12 o'clock and sweep clockwise once round and a bit, through the gap at the
    // bottom; the value climbs to 55 and stays there, never wrapping to 4.
    const double r = knob.knobRadius() / 2.0;
    QTest::mousePress(&knob, Qt::LeftButton, Qt::NoModifier, at(r, -90));
    double previous = knob.position();
    for (int deg = -80; deg <= 300; deg += 10) {
        QTest::mouseMove(&knob, at(r, deg));
        EXPECT_GE(knob.position(), previous) << "at " << deg;
        previous = knob.position();
    }
    EXPECT_EQ(knob.position(), 55);
    QTest::mouseRelease(&knob, Qt::LeftButton, Qt::NoModifier, at(r, 300));
    EXPECT_EQ(finished.count(), 1);

    // And back counter-clockwise through the gap from the low end: stays at 4.
    knob.setPosition(6);
    QTest::mousePress(&knob, Qt::LeftButton, Qt::NoModifier, at(r, 150));
    for (int deg = 140; deg >= -200; deg -= 10) {
        QTest::mouseMove(&knob, at(r, deg));
        EXPECT_LT(knob.position(), 30) << "at " << deg;
    }
    EXPECT_EQ(knob.position(), 4);
    QTest::mouseRelease(&knob, Qt::LeftButton, Qt::NoModifier, at(r, -200));
}

TEST_F(KnobTest, DragStepFollowsTheAngle)
{
    // 300 degrees of travel over 51 V: a 30-degree clockwise turn adds 5.1 V.
    EXPECT_NEAR(knobDragPosition(10, 4, 55, 300, -90, -60), 15.1, 1e-9);
    EXPECT_NEAR(knobDragPosition(10, 4, 55, 300, -60, -90), 4.9, 1e-9);
    // Crossing the +/-180 seam of atan2 is a small step, not a full turn.
    EXPECT_NEAR(knobDragPosition(10, 4, 55, 300, 175, -175), 11.7, 1e-9);
}

TEST_F(KnobTest, PressOutsideTheCircleStartsNoDrag)
{
    const double outside = knob.knobRadius() + 2;
    QTest::mousePress(&knob, Qt::LeftButton, Qt::NoModifier, at(outside, -90));
    QTest::mouseMove(&knob, at(outside, 0));
    EXPECT_EQ(knob.position(), 4);
    EXPECT_FALSE(knob.isAdjusting());
    QTest::mouseRelease(&knob, Qt::LeftButton, Qt::NoModifier, at(outside, 0));
}

TEST_F(KnobTest, HighlightWhileDragging)
{
    // The indicator stands at 240 degrees (screen angle 120) for 4 V.
    const QPoint indicator = at(knob.knobRadius() - 5 - 6, 120);
    auto indicatorColour = [&] { return knob.grab().toImage().pixelColor(indicator); };
    const QColor idle = indicatorColour();
    EXPECT_GT(idle.red(), 200);
    EXPECT_LT(idle.green(), 80);
    QTest::mousePress(&knob, Qt::LeftButton, Qt::NoModifier, knob.knobCentre().toPoint());
    EXPECT_TRUE(knob.isAdjusting());
    const QColor active = indicatorColour();
    EXPECT_LT(active.red(), 80);
    EXPECT_GT(active.green(), 200);
    EXPECT_GT(active.blue(), 200);
    QTest::mouseRelease(&knob, Qt::LeftButton, Qt::NoModifier, knob.knobCentre().toPoint());
    EXPECT_EQ(indicatorColour(), idle);
}

TEST_F(KnobTest, LosingFocusEndsTheDragWithoutNotice)
{
    QSignalSpy finished(&knob, &TiKnob::OnPositionChangeFinished);
    const double r = knob.knobRadius() / 2.0;
    QTest::mousePress(&knob, Qt::LeftButton, Qt::NoModifier, at(r, -90));
    QTest::mouseMove(&knob, at(r, -60));
    EXPECT_GT(knob.position(), 4);
    knob.clearFocus();
    EXPECT_FALSE(knob.isAdjusting());
    QTest::mouseMove(&knob, at(r, 0));
    QTest::mouseRelease(&knob, Qt::LeftButton, Qt::NoModifier, at(r, 0));
    EXPECT_EQ(finished.count(), 0);
}

TEST_F(KnobTest, WheelActsAtMostOncePer30Ms)
{
    QSignalSpy finished(&knob, &TiKnob::OnPositionChangeFinished);
    setTick(1000);
    wheel(120);
    setTick(1010);
    wheel(120);
    EXPECT_EQ(knob.position(), 5);
    setTick(1031);
    wheel(-480);   // one step whatever the delta's size
    EXPECT_EQ(knob.position(), 4);
    EXPECT_EQ(finished.count(), 2);
}

TEST_F(KnobTest, DisabledKnobIgnoresInputAndLooksTheSame)
{
    knob.clearFocus();   // a disabled control cannot keep the focus, so compare without it
    const QImage enabled = knob.grab().toImage();
    knob.setEnabled(false);
    EXPECT_EQ(knob.grab().toImage(), enabled);
    QTest::mousePress(&knob, Qt::LeftButton, Qt::NoModifier, knob.knobCentre().toPoint());
    QTest::mouseMove(&knob, at(10, 0));
    QTest::keyClick(&knob, Qt::Key_End);
    setTick(5000);
    wheel(120);
    EXPECT_EQ(knob.position(), 4);
}

}  // namespace
