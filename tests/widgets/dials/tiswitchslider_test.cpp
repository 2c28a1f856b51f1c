#include "widgets/dials/tiswitchslider.h"

#include "tests/support/dial_rig.h"
#include "tests/support/recording_platform.h"

#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

using namespace velmar;

namespace {

TEST(PositionLabels, SplitTrimAndPlaceholders)
{
    struct Case {
        QString text;
        QStringList labels;
    };
    const Case cases[] = {
        {"AC, DC", {"AC", "DC"}},
        {"Low, Medium, Normal", {"Low", "Medium", "Normal"}},
        // An empty piece inside becomes "???"; an empty piece after the last comma is dropped.
        {"Low,, High,", {"Low", "???", "High"}},
        {" , x", {"???", "x"}},
        {"", {}},
        {"   ", {}},
        {",", {"???"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(parsePositionLabels(c.text), c.labels) << c.text.toStdString();
}

TEST(PositionLabels, RefusesTextOf256CharactersAndKeepsTheOldLabels)
{
    TiSwitchSlider slider;
    slider.setPositionLabels("A, B");
    const QString longest = QString("x,").repeated(127) + "y";   // 255 characters
    ASSERT_EQ(longest.size(), 255);
    slider.setPositionLabels(longest);
    EXPECT_EQ(slider.positionCount(), 128);
    slider.setPositionLabels("A, B");
    try {
        slider.setPositionLabels(longest + "z");
        FAIL() << "256 characters were accepted";
    } catch (const PositionLabelError& error) {
        EXPECT_EQ(error.message(), "Position Label String Must be < 256 Characters");
    }
    EXPECT_EQ(slider.labels(), QStringList({"A", "B"}));
}

TEST(PositionLabels, FewerLabelsPullThePositionDown)
{
    TiSwitchSlider slider;   // "Low, Medium, High"
    slider.setPosition(2);
    QSignalSpy changes(&slider, &TiSwitchSlider::OnPositionChange);
    slider.setPositionLabels("On, Off");
    EXPECT_EQ(slider.position(), 1);
    slider.setPositionLabels("");
    EXPECT_EQ(slider.position(), 0);
    EXPECT_EQ(changes.count(), 2);
}

// A three-way switch, shown, on a platform whose tick the test sets.
class SwitchTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        test::speedSwitch(speed);
        speed.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&speed));
    }
    void setTick(std::uint32_t tick) { platform.tickOffset += tick - platform.tickCount(); }
    void wheel(int delta) { test::turnWheel(speed, QPointF(speed.width() / 2.0, speed.height() / 2.0), delta); }

    test::RecordingPlatform platform;
    TiSwitchSlider speed;
};

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
