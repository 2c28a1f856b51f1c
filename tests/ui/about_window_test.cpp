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

// Centred by its outer size, which exists only once the window is shown; shown again, it stays
// where it was.
TEST(AboutWindow, FirstShowingCentresItByItsFrame)
{
    test::RecordingPlatform platform;
    TForm2 about;
    about.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&about));
    const QRect outer = about.frameGeometry();
    EXPECT_EQ(outer.topLeft(), TForm2::CentredPosition(platform.work.size(), outer.size()));
    about.hide();
    about.move(10, 20);
    about.show();
    EXPECT_EQ(about.frameGeometry().topLeft(), QPoint(10, 20));
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

// Our fonts are a little wider than the ones the window was drawn with: every text label has
// room for its whole text (the copyright line used to lose its last characters), inside the
// window.
TEST(AboutWindow, LabelsShowTheirWholeText)
{
    TForm2 about;
    for (QLabel* label : {about.StaticText1, about.StaticText2, about.Label1}) {
        SCOPED_TRACE(label->text().toStdString());
        EXPECT_GE(label->width(), label->sizeHint().width());
        EXPECT_TRUE(about.rect().contains(label->geometry()));
    }
    EXPECT_EQ(about.Label1->text(), QStringLiteral("Copyright Kestrom Instruments 2009-2026"));
}
