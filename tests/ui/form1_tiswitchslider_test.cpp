#include "ui/form1_configuration.h"
#include "widgets/dials/tiswitchslider.h"

#include "tests/support/recording_platform.h"

#include <QApplication>
#include <QSignalSpy>
#include <QTest>
#include <QWheelEvent>

#include <gtest/gtest.h>

using namespace velmar;

namespace {

class SwitchTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        configureSwitchSlider1(speed);
        speed.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&speed));
    }
    void setTick(std::uint32_t tick) { platform.tickOffset += tick - platform.tickCount(); }
    void wheel(int delta)
    {
        const QPointF pos(speed.width() / 2.0, speed.height() / 2.0);
        QWheelEvent event(pos, speed.mapToGlobal(pos), QPoint(), QPoint(0, delta), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(&speed, &event);
    }

    test::RecordingPlatform platform;
    TiSwitchSlider speed;
};

TEST_F(SwitchTest, ConfiguredSwitchesAndTheirGeometry)
{
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

TEST_F(SwitchTest, MousePressJumpsToNearestPositionAndFinishesOnRelease)
{
    QSignalSpy user(&speed, &TiSwitchSlider::OnPositionChangeUser);
    QSignalSpy finished(&speed, &TiSwitchSlider::OnPositionChangeFinished);
    QTest::mousePress(&speed, Qt::LeftButton, Qt::NoModifier, QPoint(60, 140));
    EXPECT_EQ(speed.position(), 0);
    EXPECT_TRUE(speed.hasFocus());
    QTest::mouseMove(&speed, QPoint(60, speed.pointerCentreY(1) + 20));
    EXPECT_EQ(speed.position(), 1);
    // Dragging above the control pins the switch at the top.
    QTest::mouseMove(&speed, QPoint(60, -50));
    EXPECT_EQ(speed.position(), 2);
    EXPECT_EQ(finished.count(), 0);
    QTest::mouseRelease(&speed, Qt::LeftButton, Qt::NoModifier, QPoint(60, -50));
    EXPECT_EQ(user.count(), 3);
    EXPECT_EQ(finished.count(), 1);
}

TEST_F(SwitchTest, KeysStepWithinTheEnds)
{
    QSignalSpy changes(&speed, &TiSwitchSlider::OnPositionChange);
    QSignalSpy finished(&speed, &TiSwitchSlider::OnPositionChangeFinished);
    speed.setFocus();
    QTest::keyClick(&speed, Qt::Key_Right);   // already at the top
    EXPECT_EQ(speed.position(), 2);
    EXPECT_EQ(changes.count(), 0);
    EXPECT_EQ(finished.count(), 0);
    QTest::keyClick(&speed, Qt::Key_Down);
    EXPECT_EQ(speed.position(), 1);
    EXPECT_EQ(finished.count(), 1);
    QTest::keyClick(&speed, Qt::Key_PageDown);
    EXPECT_EQ(speed.position(), 0);
    QTest::keyClick(&speed, Qt::Key_End);
    EXPECT_EQ(speed.position(), 2);
    EXPECT_EQ(changes.count(), 3);
}

TEST_F(SwitchTest, WheelActsAtMostOncePer30MsAndDefersTheFinishedNotice)
{
    QSignalSpy finished(&speed, &TiSwitchSlider::OnPositionChangeFinished);
    setTick(2000);
    wheel(-120);
    setTick(2010);
    wheel(-120);
    EXPECT_EQ(speed.position(), 1);
    setTick(2040);
    wheel(-120);
    EXPECT_EQ(speed.position(), 0);
    EXPECT_EQ(finished.count(), 0);
    // The pending notice comes at the end of the next key interaction.
    speed.setFocus();
    QTest::keyClick(&speed, Qt::Key_Home);
    EXPECT_EQ(finished.count(), 1);
}

TEST_F(SwitchTest, DisabledSwitchIgnoresInput)
{
    speed.setEnabled(false);
    QTest::mousePress(&speed, Qt::LeftButton, Qt::NoModifier, QPoint(60, 140));
    QTest::keyClick(&speed, Qt::Key_Home);
    setTick(9000);
    wheel(-120);
    EXPECT_EQ(speed.position(), 2);
}


}  // namespace
