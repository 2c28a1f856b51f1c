#include "widgets/displays/tisevensegmentanalog.h"

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
