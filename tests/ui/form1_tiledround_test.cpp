#include "ui/form1_configuration.h"
#include "widgets/displays/tiledround.h"

#include <QImage>
#include <QPalette>
#include <QSignalSpy>

#include <gtest/gtest.h>

using namespace velmar;

namespace {

QRgb centrePixel(QWidget& widget)
{
    const QImage image = widget.grab().toImage();
    return image.pixel(image.width() / 2, image.height() / 2) & 0xffffff;
}

}  // namespace

TEST(TiLedRound, RedWhenActiveDarkRedWhenNotOverItsParent)
{
    QWidget parent;
    parent.resize(60, 60);
    parent.setAutoFillBackground(true);
    QPalette palette = parent.palette();
    palette.setColor(QPalette::Window, QColor(0, 0, 255));
    parent.setPalette(palette);
    auto* lamp = new TiLedRound(&parent);
    configureLedRound1(*lamp);
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

