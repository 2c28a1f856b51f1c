#include "tests/support/recording_platform.h"
#include "ui/main_window.h"
#include "ui/about_window.h"
#include "widgets/dials/tiangulargauge.h"
#include "widgets/dials/tiknob.h"
#include "widgets/displays/tiledround.h"
#include "widgets/dials/tilineargauge.h"
#include "widgets/plot/tiplot.h"
#include "widgets/displays/tisevensegmentanalog.h"
#include "timers/tithreadtimers.h"

#include <QAction>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

using namespace velmar;

namespace {

struct MainWindow : ::testing::Test {
    test::RecordingPlatform platform;
};

}  // namespace

TEST_F(MainWindow, ChartFollowsTheOuterSizeAndNeverGoesBelowTheMinimum)
{
    TForm1 form;
    form.showNormal();
    // Sizes are outer sizes, frame included; the platform decides how wide the frame is.
    const QSize frame = form.frameGeometry().size() - form.geometry().size();
    form.resize(QSize(1024, 665) - frame);
    EXPECT_EQ(form.frameGeometry().size(), QSize(1024, 665));
    EXPECT_EQ(form.iPlot1->size(), QSize(657, 393));
    EXPECT_EQ(form.iPlot1->pos(), QPoint(8, 0));

    form.resize(800, 500);
    EXPECT_EQ(form.frameGeometry().size(), QSize(1024, 665));

    form.resize(QSize(1280, 800) - frame);
    EXPECT_EQ(form.iPlot1->size(), QSize(1280 - 367, 800 - 272));
    // Right-hand boxes keep their distance to the right edge, lower boxes to the bottom.
    const int clientWidth = form.centralWidget()->width();
    const int clientHeight = form.centralWidget()->height();
    EXPECT_EQ(clientWidth - form.GroupBox2->geometry().right() - 1, 1016 - (856 + 153));
    EXPECT_EQ(clientHeight - form.GroupBox4->geometry().bottom() - 1, 611 - (432 + 177));
    EXPECT_EQ(form.GroupBox4->x(), 8);
    EXPECT_EQ(form.GroupBox2->y(), 0);
}

// Maximising is the window manager's; the normal window is the design's outer 1024 x 665 at
// 323, 229, moved onto the work area where it would not fit.
TEST_F(MainWindow, RestoredItTakesTheDesignsOuterRectangleOnTheWorkArea)
{
    struct Case {
        QRect work;
        QPoint at;
    } cases[] = {{{0, 0, 1600, 1000}, {323, 229}},  {{0, 0, 1280, 800}, {256, 135}},
                 {{0, 0, 800, 600}, {0, 0}},        {{0, 30, 1400, 870}, {323, 229}},
                 {{40, 300, 1400, 600}, {323, 300}}, {{100, 0, 1100, 1000}, {176, 229}}};
    for (const Case& c : cases)
        EXPECT_EQ(TForm1::NormalOuterGeometry(c.work), QRect(c.at, QSize(1024, 665))) << c.work.x() << " " << c.work.y();

    // Created filling the work area (all a desktop without a window manager shows), restored
    // to the design's rectangle, not to that fill.
    TForm1 form;
    EXPECT_EQ(form.geometry(), platform.work);
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    form.showNormal();
    EXPECT_EQ(form.frameGeometry(), QRect(256, 135, 1024, 665));
    EXPECT_EQ(form.iPlot1->size(), QSize(657, 393));
    form.showMaximized();
    form.showNormal();
    EXPECT_EQ(form.frameGeometry(), QRect(256, 135, 1024, 665));
}

TEST_F(MainWindow, CreationMaximisesEnablesTheStartUpTimerAndReadsDebug)
{
    struct Case {
        QStringList args;
        bool debug;
    } cases[] = {{{"DEBUG"}, true},
                 {{"debug"}, false},
                 {{"--simulate", "DEBUG"}, false},
                 {{"--simulate", "--debug"}, true},
                 {{}, false}};
    for (const Case& c : cases) {
        TForm1 form(c.args);
        EXPECT_TRUE(form.windowState() & Qt::WindowMaximized);
        EXPECT_TRUE(form.iThreadTimers1->enabled(1));
        EXPECT_EQ(form.iThreadTimers1->interval(1), 2000);
        EXPECT_EQ(form.iThreadTimers1->interval(8), 10000);
        EXPECT_EQ(form.iThreadTimers1->interval(9), 30);
        EXPECT_EQ(form.state.DebugMode, c.debug);
        EXPECT_EQ(!form.Label6->isHidden(), c.debug);
        EXPECT_EQ(!form.Label12->isHidden(), c.debug);
    }
}

TEST_F(MainWindow, ControlsCarryTheirDesignedNamesCaptionsAndPlaces)
{
    TForm1 form;
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Velmar Software for the Kestrom"));
    struct Case {
        QWidget* widget;
        const char* name;
        QRect rect;
    } cases[] = {
        {form.Button1, "Button1", {8, 24, 65, 41}},       {form.Button3, "Button3", {8, 400, 65, 41}},
        {form.iLinearGauge1, "iLinearGauge1", {80, 24, 57, 545}},
        {form.iKnob1, "iKnob1", {8, 16, 137, 105}},       {form.Button6, "Button6", {24, 128, 169, 41}},
        {form.iSevenSegmentAnalog1, "iSevenSegmentAnalog1", {16, 120, 140, 36}},
        {form.Edit4, "Edit4", {128, 16, 41, 21}},         {form.BitBtn1, "BitBtn1", {48, 112, 97, 57}},
        {form.iLedRound1, "iLedRound1", {112, 40, 33, 33}}, {form.Button10, "Button10", {48, 56, 73, 25}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.widget->objectName(), QString::fromLatin1(c.name));
        EXPECT_EQ(c.widget->geometry(), c.rect) << c.name;
    }
    EXPECT_EQ(form.BitBtn1->text(), QStringLiteral("Run"));
    EXPECT_EQ(form.Button6->text(), QStringLiteral("Set Power and Zero Current"));
    EXPECT_EQ(form.Edit4->text(), QStringLiteral("10"));
    EXPECT_EQ(form.Edit5->text(), QStringLiteral("Title"));
    EXPECT_EQ(form.Edit6->text(), QStringLiteral("4"));
    EXPECT_EQ(form.Edit7->text(), QStringLiteral("55"));
    EXPECT_EQ(form.GroupBox8->title(), QStringLiteral("Volt vs Current Test"));
    EXPECT_EQ(form.Button1->property("hint").toString(), QStringLiteral("Move to the Top and rezero"));
    EXPECT_TRUE(form.Button1->toolTip().isEmpty());
    EXPECT_TRUE(form.Button5->isHidden());
    EXPECT_TRUE(form.CheckBox1->isHidden());
    EXPECT_EQ(form.Label5->text(), QStringLiteral("0.00"));
    // Button4 lies beyond its box's right edge: there, but clipped away.
    EXPECT_GE(form.Button4->x(), form.GroupBox6->width());
    // Menu texts as drawn; '&' marks the mnemonic letter, which is underlined, not drawn.
    EXPECT_EQ(form.menuBar()->actions().size(), 2);
    EXPECT_EQ(form.File1->title(), QStringLiteral("&File"));
    QStringList entries;
    for (const QAction* action : form.File1->actions())
        entries << (action->isSeparator() ? QStringLiteral("-") : action->text());
    EXPECT_EQ(entries, QStringList({"&Export Chart Data...", "&Open Records Folder", "-", "E&xit"}));
    EXPECT_EQ(form.File1->actions().last(), form.Exit1);
    EXPECT_EQ(form.About1->text(), QStringLiteral("&About"));
}

TEST_F(MainWindow, NumberFieldsEmptyThemselvesOnBadTextAndTheTitleFieldDoesNot)
{
    TForm1 form;
    form.Edit1->setText(QStringLiteral("12.5"));
    EXPECT_EQ(form.Edit1->text(), QStringLiteral("12.5"));
    EXPECT_TRUE(platform.dialogs.isEmpty());

    QTest::keyClicks(form.Edit1, QStringLiteral("a"));
    EXPECT_EQ(form.Edit1->text(), QString());
    EXPECT_EQ(platform.dialogs, QStringList{QStringLiteral("Info: 12.5a not a valid number")});
    EXPECT_EQ(platform.beepTicks.size(), 1);

    platform.dialogs.clear();
    form.Edit7->setText(QStringLiteral("-"));
    EXPECT_EQ(form.Edit7->text(), QString());
    EXPECT_EQ(platform.dialogs, QStringList{QStringLiteral("Info: - not a valid number")});

    platform.dialogs.clear();
    form.Edit5->setText(QStringLiteral("any text at all"));
    EXPECT_TRUE(platform.dialogs.isEmpty());
}

TEST_F(MainWindow, ReadoutDoubleClickTogglesTheDiagnosticLabel)
{
    TForm1 form;
    form.iSevenSegmentAnalog1DblClick();
    EXPECT_FALSE(form.Label6->isHidden());
    form.iSevenSegmentAnalog1DblClick();
    EXPECT_TRUE(form.Label6->isHidden());
}

TEST_F(MainWindow, AboutShowsOneWindowAndExitLeavesWithoutClosing)
{
    TForm1 form;
    TForm2 about(&form);
    form.setAboutWindow(&about);
    form.show();
    form.About1->trigger();
    form.About1->trigger();
    EXPECT_TRUE(about.isVisible());
    about.Button1->click();
    EXPECT_FALSE(about.isVisible());
}
