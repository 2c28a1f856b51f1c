#include "widgets/displays/tiledround.h"

#include <QImage>
#include <QSignalSpy>

#include <gtest/gtest.h>

#include <stdexcept>

using namespace velmar;

namespace {

class FailingLamp : public TiLedRound {
protected:
    void paintContent(QPainter&) override { throw std::runtime_error("lamp broke"); }
};

}  // namespace

TEST(TiLedRound, StaysSquare)
{
    TiLedRound lamp;
    lamp.resize(33, 33);
    lamp.show();  // a hidden widget gets its resize events only when shown
    lamp.resize(40, 33);
    EXPECT_EQ(lamp.size(), QSize(40, 40));
    lamp.resize(40, 25);
    EXPECT_EQ(lamp.size(), QSize(25, 25));
}

TEST(TiLedRound, PaintingErrorShowsBlackPanelWithMessage)
{
    FailingLamp lamp;
    lamp.resize(120, 40);
    const QImage image = lamp.grab().toImage();
    int black = 0, light = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = image.pixel(x, y) & 0xffffff;
            black += p == 0;
            light += qGray(p) > 160;
        }
    EXPECT_GT(black, image.width() * image.height() / 2);
    EXPECT_GT(light, 10);  // the message's text
}
