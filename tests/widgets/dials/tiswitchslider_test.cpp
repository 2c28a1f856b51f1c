#include "widgets/dials/tiswitchslider.h"

#include <QSignalSpy>

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

}  // namespace
