#include "widgets/displays/tisevensegmentanalog.h"

#include "tests/support/display_rig.h"

#include <QImage>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace velmar;

namespace {

struct CellsCase {
    double value;
    char sign;
    const char* digits;
    int pointAfter;
};

// The main window's readout: six digits, two decimals, a sign cell, blank leading digits.
SevenSegmentCells cellsOf(double value)
{
    return sevenSegmentCells(value, 6, 2, true, TiSevenSegmentAnalog::ilsSpaces, QLatin1Char('.'));
}

int countPixels(const QImage& image, QRgb colour)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += (image.pixel(x, y) & 0xffffff) == (colour & 0xffffff);
    return count;
}

}  // namespace

TEST(SevenSegmentCells, MainWindowReadout)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    const CellsCase cases[] = {
        {12.34, '+', "  1234", 3},
        {-0.5, '-', "   050", 3},
        {0.0, '+', "   000", 3},
        {9999.99, '+', "999999", 3},   // the largest magnitude that fits
        {9999.996, '+', "<<<<<<", -1}, // rounds up to 10000.00
        {10000, '+', "<<<<<<", -1},
        {1e20, '+', "<<<<<<", -1},
        {-10000, '-', ">>>>>>", -1},
        {nan, '+', "<<<<<<", -1},
        {inf, '+', "<<<<<<", -1},
        {-inf, '-', ">>>>>>", -1},
    };
    for (const CellsCase& c : cases) {
        const SevenSegmentCells cells = cellsOf(c.value);
        SCOPED_TRACE(c.value);
        EXPECT_EQ(cells.sign, QLatin1Char(c.sign));
        EXPECT_EQ(cells.digits, QString::fromLatin1(c.digits));
        EXPECT_EQ(cells.pointAfter, c.pointAfter);
    }
}

TEST(SevenSegmentCells, OtherFormats)
{
    // Zero padding, no decimals, no sign cell, and a comma as the separator.
    auto zeros = sevenSegmentCells(7.5, 4, 1, false, TiSevenSegmentAnalog::ilsZeros, QLatin1Char(','));
    EXPECT_TRUE(zeros.sign.isNull());
    EXPECT_EQ(zeros.digits, QStringLiteral("0075"));
    EXPECT_EQ(zeros.pointAfter, 2);
    EXPECT_EQ(zeros.point, QLatin1Char(','));

    auto whole = sevenSegmentCells(1234, 4, 0, true, TiSevenSegmentAnalog::ilsSpaces, QLatin1Char('.'));
    EXPECT_EQ(whole.digits, QStringLiteral("1234"));
    EXPECT_EQ(whole.pointAfter, -1);
    EXPECT_EQ(sevenSegmentCells(12345, 4, 0, true, TiSevenSegmentAnalog::ilsSpaces, QLatin1Char('.')).digits,
              QStringLiteral("<<<<"));
}

TEST(TiSevenSegmentAnalog, DoubleClickRaisesOnDblClick)
{
    TiSevenSegmentAnalog readout;
    QSignalSpy clicks(&readout, &TiSevenSegmentAnalog::OnDblClick);
    QTest::mouseDClick(&readout, Qt::LeftButton, {}, QPoint(20, 18));
    EXPECT_EQ(clicks.count(), 1);
}

TEST(TiSevenSegmentAnalog, ValueChangesOnlyWhenDifferentAndNeverStoresNaN)
{
    TiSevenSegmentAnalog readout;
    test::limeReadout(readout);
    QSignalSpy changes(&readout, &TiSevenSegmentAnalog::OnValueChange);

    readout.setValue(12.34);
    readout.setValue(12.34);
    EXPECT_EQ(changes.count(), 1);

    readout.setValue(std::numeric_limits<double>::quiet_NaN());
    EXPECT_EQ(readout.value(), 1e15);
    readout.setValue(2e15);  // the same stored value: nothing happens
    EXPECT_EQ(changes.count(), 2);

    readout.setDigitCount(40);
    readout.setPrecision(-1);
    EXPECT_EQ(readout.digitCount(), 32);
    EXPECT_EQ(readout.precision(), 0);
}

TEST(TiSevenSegmentAnalog, SegmentColoursOnScreen)
{
    TiSevenSegmentAnalog readout;
    test::limeReadout(readout);
    readout.setValue(12.34);

    QImage image = readout.grab().toImage();
    ASSERT_EQ(image.size(), QSize(140, 36));
    EXPECT_GT(countPixels(image, qRgb(0, 255, 0)), 50);  // lit segments
    EXPECT_GT(countPixels(image, qRgb(0, 85, 0)), 50);   // unlit ones, a third of lime
    EXPECT_EQ(countPixels(image, qRgb(0, 128, 0)), 0);   // never the stored off colour
    EXPECT_EQ(image.pixel(1, 1) & 0xffffff, 0u);         // black background

    // The unlit segments are cached; a new segment colour must reach them.
    readout.setSegmentColor(QColor(255, 0, 0));
    image = readout.grab().toImage();
    EXPECT_GT(countPixels(image, qRgb(85, 0, 0)), 50);
    EXPECT_EQ(countPixels(image, qRgb(0, 85, 0)), 0);
}
