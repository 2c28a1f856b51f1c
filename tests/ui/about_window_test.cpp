#include "tests/support/recording_platform.h"
#include "ui/about_window.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

using namespace velmar;

TEST(AboutWindow, CentresOnTheWorkAreaButNeverBelowZero)
{
    struct Case {
        QSize work, outer;
        QPoint at;
    } cases[] = {{{1280, 800}, {484, 214}, {398, 293}},
                 {{1281, 801}, {484, 214}, {398, 293}},
                 {{400, 800}, {484, 214}, {0, 293}},
                 {{1280, 100}, {484, 214}, {398, 0}},
                 {{300, 100}, {484, 214}, {0, 0}}};
    for (const Case& c : cases)
        EXPECT_EQ(TForm2::CentredPosition(c.work, c.outer), c.at);
}

TEST(AboutWindow, ShowsTheDecodedLogoAndOpensTheWebSite)
{
    test::RecordingPlatform platform;
    TForm2 about;
    EXPECT_EQ(about.windowTitle(), QStringLiteral("About"));
    EXPECT_EQ(about.size(), QSize(484, 214));
    EXPECT_FALSE(about.isVisible());
    EXPECT_EQ(about.Image1->pixmap().size(), QSize(133, 71));
    EXPECT_EQ(about.StaticText1->text(), QStringLiteral("Velmar Software"));
    EXPECT_EQ(about.StaticText2->text(), QStringLiteral("Version 2.2.1"));

    about.Button2->click();
    QTest::mouseClick(about.Image1, Qt::LeftButton);
    EXPECT_EQ(platform.opened, QStringList({TForm2::WebSite, TForm2::WebSite}));
}

TEST(AboutWindow, SplashHidesTheButtonsOnlyWhileItIsShown)
{
    TForm2 about;
    about.showSplash();
    EXPECT_TRUE(about.isVisible());
    EXPECT_TRUE(about.Button1->isHidden());
    EXPECT_TRUE(about.Button2->isHidden());
    about.hideSplash();
    EXPECT_FALSE(about.isVisible());
    about.show();
    EXPECT_TRUE(about.Button1->isVisible());
    EXPECT_TRUE(about.Button2->isVisible());
    about.close();
    EXPECT_FALSE(about.isVisible());
}
