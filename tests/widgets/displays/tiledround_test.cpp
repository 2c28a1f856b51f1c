#include "widgets/displays/tiledround.h"

#include "tests/support/display_rig.h"

#include <QImage>
#include <QPalette>
#include <QSignalSpy>

#include <gtest/gtest.h>

#include <stdexcept>

using namespace velmar;

namespace {

class FailingLamp : public TiLedRound {
protected:
    void paintContent(QPainter&) override { throw std::runtime_error("lamp broke"); }
};

QRgb centrePixel(QWidget& widget)
{
    const QImage image = widget.grab().toImage();
    return image.pixel(image.width() / 2, image.height() / 2) & 0xffffff;
}

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

TEST(TiLedRound, RedWhenActiveDarkRedWhenNotOverItsParent)
{
    QWidget parent;
    parent.resize(60, 60);
    parent.setAutoFillBackground(true);
    QPalette palette = parent.palette();
    palette.setColor(QPalette::Window, QColor(0, 0, 255));
    parent.setPalette(palette);
    auto* lamp = new TiLedRound(&parent);
    test::redLamp(*lamp);
    QSignalSpy changes(lamp, &TiLedRound::OnChange);

    EXPECT_EQ(centrePixel(*lamp), qRgb(85, 0, 0) & 0xffffff);
    lamp->setActive(true);
    lamp->setActive(true);
    EXPECT_EQ(changes.count(), 1);
    EXPECT_EQ(centrePixel(*lamp), qRgb(255, 0, 0) & 0xffffff);

    // Transparent: the parent shows in the corners outside the circle.
    const QImage window = parent.grab().toImage();
    EXPECT_EQ(window.pixel(1, 1) & 0xffffff, qRgb(0, 0, 255) & 0xffffff);
}
