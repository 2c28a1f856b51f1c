#include "ui/form1_configuration.h"
#include "widgets/displays/tisevensegmentanalog.h"

#include <QImage>
#include <QSignalSpy>

#include <gtest/gtest.h>

#include <limits>

using namespace velmar;

namespace {

int countPixels(const QImage& image, QRgb colour)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += (image.pixel(x, y) & 0xffffff) == (colour & 0xffffff);
    return count;
}

}  // namespace

TEST(TiSevenSegmentAnalog, ValueChangesOnlyWhenDifferentAndNeverStoresNaN)
{
    TiSevenSegmentAnalog readout;
    configureSevenSegmentAnalog1(readout);
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
    configureSevenSegmentAnalog1(readout);
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

