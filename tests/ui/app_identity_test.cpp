#include "ui/app_identity.h"

#include <QGuiApplication>
#include <QImage>
#include <QPixmap>

#include <gtest/gtest.h>

using namespace velmar;

TEST(ApplicationIdentity, DesktopIdAndADrawnIconAtEverySize)
{
    ApplyApplicationIdentity();
    EXPECT_EQ(QGuiApplication::desktopFileName(), ApplicationId());
    EXPECT_TRUE(ApplicationId().count(u'.') >= 2) << "a reverse-DNS id";

    const QIcon icon = QGuiApplication::windowIcon();
    for (const int size : {16, 32, 48, 256}) {
        SCOPED_TRACE(size);
        const QImage image = icon.pixmap(size, size).toImage();
        ASSERT_EQ(image.size(), QSize(size, size));
        // Drawn, not blank: opaque in the middle, transparent in the rounded corner.
        EXPECT_EQ(qAlpha(image.pixel(size / 2, size / 2)), 255);
        EXPECT_EQ(qAlpha(image.pixel(0, 0)), 0);
    }
}
