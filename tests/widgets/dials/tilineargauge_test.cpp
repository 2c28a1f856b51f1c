#include "widgets/dials/tilineargauge.h"

#include "tests/support/dial_rig.h"

#include <QImage>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

using namespace velmar;

namespace {

// The position gauge, shown so that it receives mouse input like the window's, with a
// log of its pointer and mouse-up events in the order they were raised.
struct Gauge {
    TiLinearGauge gauge;
    std::vector<std::string> log;

    Gauge()
    {
        QObject::connect(&gauge, &TiLinearGauge::OnPointerPositionChanged,
                         [this](int index) { log.push_back("pointer " + std::to_string(index)); });
        QObject::connect(&gauge, &TiLinearGauge::OnMouseUp,
                         [this](Qt::MouseButton, Qt::KeyboardModifiers, int, int) { log.push_back("up"); });
        test::positionGauge(gauge);
        gauge.show();
        log.clear();
    }

    int rowOf(double mm) const { return gauge.scaleRows().rowOf(mm); }

    void drag(QPoint from, int dy, int steps)
    {
        QTest::mousePress(&gauge, Qt::LeftButton, {}, from);
        for (int i = 1; i <= steps; ++i)
            QTest::mouseMove(&gauge, from + QPoint(0, dy * i / steps));
        QTest::mouseRelease(&gauge, Qt::LeftButton, {}, from + QPoint(0, dy));
    }
};

}  // namespace

TEST(TiLinearGauge, LoadingRaisesOneEventPerStoredPosition)
{
    TiLinearGauge gauge;
    QSignalSpy pointerEvents(&gauge, &TiLinearGauge::OnPointerPositionChanged);
    QSignalSpy positionEvents(&gauge, &TiLinearGauge::OnPositionChange);
    test::positionGauge(gauge);

    ASSERT_EQ(gauge.pointerCount(), 6);
    const double stored[] = {5, 5, 7, 17, 19, 27};
    ASSERT_EQ(pointerEvents.count(), 6);
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(pointerEvents.at(i).at(0).toInt(), i);
        EXPECT_EQ(gauge.pointerPosition(i), stored[i]);
    }
    EXPECT_EQ(positionEvents.count(), 0);
    EXPECT_EQ(gauge.position(), 5);
    EXPECT_FALSE(gauge.pointerVisible(1));
    EXPECT_FALSE(gauge.pointerVisible(4));
    EXPECT_THROW(gauge.pointer(6), std::out_of_range);
}

TEST(TiLinearGauge, PositionSettersRaiseEventsOnlyOnChange)
{
    Gauge g;
    QSignalSpy positionEvents(&g.gauge, &TiLinearGauge::OnPositionChange);

    g.gauge.setPosition(6.0);
    g.gauge.setPosition(6.0);
    g.gauge.setPosition(25);  // clamped into the range
    EXPECT_EQ(g.gauge.position(), 20);
    EXPECT_EQ(g.gauge.pointerPosition(0), 20);

    g.gauge.setPointerPosition(3, 12.5);
    g.gauge.setPointerPosition(3, 12.5);
    g.gauge.setPointerPosition(5, 31);  // a pointer keeps a value beyond the scale
    EXPECT_EQ(g.gauge.pointerPosition(5), 31);

    // Non-finite values never reach the pointers (or the step conversion behind them).
    g.gauge.setPointerPosition(2, std::numeric_limits<double>::quiet_NaN());
    g.gauge.setPointerPosition(2, std::numeric_limits<double>::infinity());
    g.gauge.setPosition(std::numeric_limits<double>::quiet_NaN());
    EXPECT_EQ(g.gauge.pointerPosition(2), 7);
    EXPECT_EQ(g.gauge.position(), 20);

    EXPECT_EQ(g.log, (std::vector<std::string>{"pointer 0", "pointer 0", "pointer 3", "pointer 5"}));
    EXPECT_EQ(positionEvents.count(), 4);
}

TEST(TiLinearGauge, DragMovesTheLowestMovablePointerByTheScaleDifference)
{
    struct Case {
        const char* what;
        int pointer;
        double start;
        int x;
        int dy;
        double expected;
    };
    // 524 rows span 20 mm, so 52 rows are 1.985 mm.
    const Case cases[] = {
        {"Home down 52 rows", 2, 7, 8, 52, 7 + 52 * 20.0 / 524},
        {"End Polish up 52 rows", 3, 17, 8, -52, 17 - 52 * 20.0 / 524},
        // Beyond the bottom the value goes on past 20 while the pointer is drawn at 20.
        {"Electrolyte past the bottom", 5, 19, 8, 100, 19 + 100 * 20.0 / 524},
        // Home over the present position, pressed where both are: Home moves, from its own
        // value.
        {"Home over pointer 0", 2, 5.02, 24, 26, 5.02 + 26 * 20.0 / 524},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Gauge g;
        g.gauge.setPointerPosition(c.pointer, c.start);
        g.log.clear();
        g.drag(QPoint(c.x, g.rowOf(c.start)), c.dy, 4);

        EXPECT_NEAR(g.gauge.pointerPosition(c.pointer), c.expected, 0.03);
        ASSERT_EQ(g.log.size(), 5u);  // one event per move, each to a new row, then the release
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(g.log[i], "pointer " + std::to_string(c.pointer));
        EXPECT_EQ(g.log.back(), "up");
        EXPECT_EQ(g.gauge.pointerPosition(0), 5);
    }
}

TEST(TiLinearGauge, PressesThatMoveNothing)
{
    struct Case {
        const char* what;
        int x;
        double mm;
    };
    const Case cases[] = {
        {"invisible pointer 1 (under pointer 0's row, left of it)", 4, 5},
        {"invisible pointer 4", 4, 19},
        {"empty scale", 8, 12},
        {"pointer 0, which cannot be moved", 28, 5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Gauge g;
        g.drag(QPoint(c.x, g.rowOf(c.mm)), 40, 2);
        EXPECT_EQ(g.log, std::vector<std::string>{"up"});
        const double stored[] = {5, 5, 7, 17, 19, 27};
        for (int i = 0; i < 6; ++i)
            EXPECT_EQ(g.gauge.pointerPosition(i), stored[i]);
    }
}

TEST(TiLinearGauge, KeysAndWheelAreInert)
{
    Gauge g;
    g.drag(QPoint(8, g.rowOf(7)), 0, 1);  // selects Home
    g.log.clear();
    QTest::keyClick(&g.gauge, Qt::Key_Down);
    QTest::keyClick(&g.gauge, Qt::Key_End);
    QWheelEvent wheel(QPointF(8, g.rowOf(7)), g.gauge.mapToGlobal(QPointF(8, g.rowOf(7))), {},
                      QPoint(0, 120), Qt::NoButton, {}, Qt::NoScrollPhase, false);
    QApplication::sendEvent(&g.gauge, &wheel);
    EXPECT_TRUE(g.log.empty());
    EXPECT_EQ(g.gauge.pointerPosition(2), 7);
}

// The millimetre scale as drawn: a major tick and its label at every whole millimetre from 0 at
// the top to 20 at the bottom, each on the row of its value (the scale runs from row 10 to row
// 534 of the 545-pixel control), with three minor ticks between neighbours.
TEST(TiLinearGauge, EachLabelStandsAtItsMillimetre)
{
    TiLinearGauge gauge;
    test::positionGauge(gauge);
    for (int i = 0; i < gauge.pointerCount(); ++i)
        gauge.pointer(i).setVisible(false);  // nothing over the ticks
    const QImage image = gauge.grab().toImage();
    const auto rowOfMm = [](int mm) { return static_cast<int>(std::lround(10 + mm * 524.0 / 20)); };

    QStringList expectedLabels;
    for (int mm = 0; mm <= 20; ++mm)
        expectedLabels << QString::number(mm);
    EXPECT_EQ(gauge.tickLabels(), expectedLabels);

    // Major ticks reach across the band (black), minor ones a few pixels (grey); the labels
    // are the ink right of the band.
    const int band = gauge.bandLeft();
    std::vector<int> majorRows, minorRows;
    std::vector<std::pair<int, int>> labelBands;  // first and last ink row of each label
    const int border = 2;  // clear of a frame, if the gauge has one
    for (int y = border; y < image.height() - border; ++y) {
        if (qGray(image.pixel(band + 20, y)) < 64)
            majorRows.push_back(y);
        else if (qGray(image.pixel(band + 3, y)) < 200)
            minorRows.push_back(y);
        bool ink = false;
        for (int x = gauge.bandRight() + 3; x < image.width() - border && !ink; ++x)
            ink = qGray(image.pixel(x, y)) < 160;
        if (ink && !labelBands.empty() && labelBands.back().second == y - 1)
            labelBands.back().second = y;
        else if (ink)
            labelBands.emplace_back(y, y);
    }

    ASSERT_EQ(majorRows.size(), 21u);
    ASSERT_EQ(labelBands.size(), 21u);
    for (int mm = 0; mm <= 20; ++mm) {
        SCOPED_TRACE(mm);
        EXPECT_NEAR(majorRows[size_t(mm)], rowOfMm(mm), 1);
        const auto [first, last] = labelBands[size_t(mm)];
        EXPECT_NEAR((first + last) / 2.0, rowOfMm(mm), 1.0);
    }
    ASSERT_EQ(minorRows.size(), 60u);
    for (int mm = 0; mm < 20; ++mm) {
        const auto between = std::count_if(minorRows.begin(), minorRows.end(), [&](int y) {
            return y > majorRows[size_t(mm)] && y < majorRows[size_t(mm) + 1];
        });
        EXPECT_EQ(between, 3) << "between " << mm << " and " << mm + 1 << " mm";
    }
}
