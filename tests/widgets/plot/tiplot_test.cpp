#include "widgets/plot/plot_toolbar.h"
#include "widgets/plot/tiplot.h"

#include "tests/support/chart_rig.h"

#include <QElapsedTimer>
#include <QEnterEvent>
#include <QFont>
#include <QHelpEvent>
#include <QLabel>
#include <QSignalSpy>
#include <QTest>
#include <QToolTip>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace velmar;

namespace {

struct TwoChannelChart : ::testing::Test {
    TiPlot plot;
    void SetUp() override
    {
        test::twoChannelChart(plot);
        plot.resize(657, 401);
    }
    TiPlotAxis* x() { return plot.XAxisAt(0); }
    TiPlotAxis* y1() { return plot.YAxisAt(0); }
    TiPlotAxis* y2() { return plot.YAxisAt(1); }
};

// Each row: clear first?, the X window set before, the points, the X window after.
struct XCase {
    const char* what;
    double min, span;
    std::vector<double> xs;
    double expectMin, expectSpan;
};

TEST_F(TwoChannelChart, XAxisScrollsSmoothlyAndAlignsTheFirstValue)
{
    const XCase cases[] = {
        {"inside the window", 0, 50, {1, 2, 25, 50}, 0, 50},
        {"one beyond the right edge", 0, 50, {1, 50, 51}, 1, 51 - 1},
        {"newest at the right edge", 0, 50, {1, 51, 60}, 10, 50},
        {"first value aligns to the left edge", 0, 50, {200}, 200, 50},
        {"below the window jumps to the left edge", 0, 50, {10, 60, 5}, 5, 50},
        {"manual-mode seconds span", 0, 60, {0.03, 59.9, 61}, 1, 60},
    };
    for (const XCase& c : cases) {
        SCOPED_TRACE(c.what);
        plot.ClearData();
        x()->setMin(c.min);
        x()->setSpan(c.span);
        for (double v : c.xs)
            plot.ChannelAt(0)->AddPoint(v, 1);
        EXPECT_DOUBLE_EQ(x()->min(), c.expectMin);
        EXPECT_DOUBLE_EQ(x()->span(), c.expectSpan);
    }
}

TEST_F(TwoChannelChart, YAxesScaleUpNeverShrinkAndFollowOnlyTheirChannel)
{
    plot.ChannelAt(0)->AddPoint(1, 150);
    EXPECT_EQ(std::pair(y1()->min(), y1()->span()), std::pair(0.0, 150.0));
    plot.ChannelAt(0)->AddPoint(2, -10);
    EXPECT_EQ(std::pair(y1()->min(), y1()->span()), std::pair(-10.0, 150.0));
    EXPECT_EQ(std::pair(y2()->min(), y2()->span()), std::pair(0.0, 100.0));  // channel 1 never fed it

    y1()->SetMinSpan(0, 100);
    plot.ChannelAt(0)->AddPoint(3, 400);
    plot.ClearData();  // the run's range stays until a larger value arrives
    plot.ChannelAt(0)->AddPoint(1, 20);
    EXPECT_EQ(std::pair(y1()->min(), y1()->span()), std::pair(0.0, 400.0));
    plot.ChannelAt(1)->AddPoint(1, 250);
    EXPECT_EQ(std::pair(y2()->min(), y2()->span()), std::pair(0.0, 250.0));
    EXPECT_EQ(y1()->span(), 400.0);
}

TEST_F(TwoChannelChart, FitToDataUsesTheRunningExtremesOfItsOwnChannels)
{
    // No data, and all values equal: nothing changes.
    y1()->FitToData();
    x()->FitToData();
    EXPECT_EQ(std::pair(y1()->min(), y1()->span()), std::pair(0.0, 100.0));
    plot.ChannelAt(0)->AddPoint(5, 7);
    plot.ChannelAt(0)->AddPoint(5, 7);
    y1()->FitToData();
    x()->FitToData();
    EXPECT_EQ(std::pair(y1()->min(), y1()->span()), std::pair(0.0, 100.0));
    EXPECT_EQ(x()->span(), 50.0);

    plot.ChannelAt(0)->AddPoint(9, 30);
    plot.ChannelAt(1)->AddPoint(12, 900);  // other Y axis: ignored by Y-Axis 1, counted by X
    y1()->FitToData();
    x()->FitToData();
    EXPECT_EQ(std::pair(y1()->min(), y1()->span()), std::pair(7.0, 23.0));
    EXPECT_EQ(std::pair(x()->min(), x()->span()), std::pair(5.0, 7.0));
}

TEST_F(TwoChannelChart, PausedAxesStoreButDoNotMoveAndResumeToTheSavedWindow)
{
    plot.ChannelAt(0)->AddPoint(10, 1);
    x()->setTrackingEnabled(false);
    x()->setMin(100);  // e.g. the operator scrolled
    plot.ChannelAt(0)->AddPoint(500, 1);
    EXPECT_EQ(x()->min(), 100.0);
    EXPECT_EQ(plot.ChannelAt(0)->Count(), 2);
    x()->setTrackingEnabled(true);
    EXPECT_EQ(std::pair(x()->min(), x()->span()), std::pair(0.0, 50.0));
    plot.ChannelAt(0)->AddPoint(70, 1);
    EXPECT_EQ(x()->min(), 20.0);

    // Toolbar zoom pauses every axis and zooms about the centre.
    plot.ZoomInAll();
    EXPECT_FALSE(x()->trackingEnabled());
    EXPECT_EQ(std::pair(x()->min(), x()->span()), std::pair(32.5, 25.0));
    plot.ZoomOutAll();
    EXPECT_EQ(std::pair(x()->min(), x()->span()), std::pair(20.0, 50.0));
    plot.ChannelAt(0)->AddPoint(1000, 1);
    EXPECT_EQ(x()->min(), 20.0);
    plot.ToolBarAt(0)->setZoomInOutFactor(0);
    try {
        plot.ZoomInAll();
        FAIL();
    } catch (const TiPlotError& e) {
        EXPECT_STREQ(e.what(), "Linear Scale Zoom Factor must be Greater than Zero");
    }
}

TEST_F(TwoChannelChart, NonFinitePointsAreStoredButMoveNothing)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    TiPlotChannel* c = plot.ChannelAt(0);
    plot.ClearData();
    EXPECT_EQ(c->AddPoint(nan, 5), 0);
    EXPECT_EQ(c->AddPoint(3, inf), 1);
    EXPECT_EQ(c->AddPoint(-inf, 1), 2);
    EXPECT_EQ(c->Count(), 3);
    EXPECT_EQ(std::pair(x()->min(), x()->span()), std::pair(0.0, 50.0));
    EXPECT_EQ(std::pair(y1()->min(), y1()->span()), std::pair(0.0, 100.0));
    EXPECT_EQ(c->DataXMax(), -1e300);
    EXPECT_FALSE(x()->firstValueSeen());  // the first real point still aligns
    c->AddPoint(200, 1);
    EXPECT_EQ(x()->min(), 200.0);
    // And they paint without trouble.
    EXPECT_FALSE(plot.renderImage().isNull());
}

// Every window a caller can give an axis draws a scale that ends: Min = Max in the V-I test
// (span 0, clamped to 1e-300) once hung the window in the tick loop.
TEST_F(TwoChannelChart, AxesDrawASaneScaleInEveryStateACallerCanSet)
{
    struct Case {
        double min, span;
        int expectMajors;  // 0: any number within the slots
    };
    const Case cases[] = {
        {4, 0, 1}, {4, -3, 1}, {0.5, 1e-300, 1}, {-1e300, 1e-300, 1}, {1e300, 1e300, 0},
        {-1e300, 1e300, 0}, {-1e308, std::numeric_limits<double>::infinity(), 0}, {0, 1e-300, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(QString("%1 / %2").arg(c.min).arg(c.span).toStdString());
        for (TiPlotAxis* axis : {x(), y1()}) {
            axis->setMin(c.min);
            axis->setSpan(c.span);
        }
        plot.ChannelAt(0)->AddPoint(c.min, c.min);  // tracking from the degenerate window
        const QImage image = plot.renderImage();
        ASSERT_FALSE(image.isNull());
        for (TiPlotAxis* axis : {x(), y1()}) {
            const AxisTicks& ticks = axis->lastTicks;
            if (c.expectMajors) {
                EXPECT_EQ(ticks.majors.size(), c.expectMajors);
            }
            EXPECT_GE(ticks.majors.size(), 1);
            EXPECT_LE(ticks.majors.size(), 50);
            for (double v : ticks.majors)
                EXPECT_TRUE(v >= axis->min() - ticks.step && v <= axis->max() + ticks.step) << v;
        }
        if (c.expectMajors == 1) {
            EXPECT_EQ(x()->lastTicks.majors.first(), x()->min());
        }
    }
}

TEST_F(TwoChannelChart, ErrorsCarryTheirTexts)
{
    auto message = [](auto&& f) {
        try {
            f();
        } catch (const TiPlotError& e) {
            return std::string(e.what());
        }
        return std::string("no error");
    };
    plot.ChannelAt(0)->AddPoint(1, 2);
    EXPECT_EQ(message([&] { plot.ChannelAt(0)->DataX(1); }), "Index out of Bounds");
    EXPECT_EQ(message([&] { plot.ChannelAt(0)->DataY(-1); }), "Index out of Bounds");
    EXPECT_EQ(message([&] { plot.DeleteLabel(0); }), "Label Index 0 can not be Deleted (Resevered for Title)");
    EXPECT_EQ(message([&] { plot.ChannelAt(7); }), "Index out of Bounds");
    plot.DeleteLabel(3);
    EXPECT_EQ(plot.LabelCount(), 3);

    PlotPointStore small(10);
    for (int i = 0; i < 10; ++i)
        small.add(i, i);
    EXPECT_EQ(message([&] { small.add(10, 10); }), "Exceed Maximum List Size");
    EXPECT_EQ(small.count(), 10);
}

TEST_F(TwoChannelChart, TitleTextIsLabelZerosCaptionOnly)
{
    plot.setTitleText("Manual Mode");
    EXPECT_EQ(plot.LabelAt(0)->caption(), "Manual Mode");
    EXPECT_EQ(plot.LabelAt(1)->caption(), "First line");
    EXPECT_EQ(plot.titleText(), "Manual Mode");
    TiPlot empty;
    empty.setTitleText("x");  // no label: nothing happens
    EXPECT_EQ(empty.titleText(), "");
}

TEST_F(TwoChannelChart, SetMinSpanNotifiesOnceAndSettersClamp)
{
    QSignalSpy mins(x(), &TiPlotAxis::minChanged);
    QSignalSpy combined(x(), &TiPlotAxis::minSpanChanged);
    x()->SetMinSpan(0, 50);  // unchanged
    EXPECT_EQ(combined.count(), 0);
    x()->SetMinSpan(3, 9);
    EXPECT_EQ(mins.count(), 1);
    EXPECT_EQ(combined.count(), 1);
    x()->setSpan(0);
    EXPECT_EQ(x()->span(), 1e-300);
    x()->setMin(-1e305);
    EXPECT_EQ(x()->min(), -1e300);
}

TEST_F(TwoChannelChart, RenamingAnAxisKeepsTheChannelsOnIt)
{
    plot.ChannelAt(0)->yAxis();
    y1()->setName("Current axis");
    EXPECT_EQ(plot.ChannelAt(0)->yAxisName(), "Current axis");
    plot.ChannelAt(0)->AddPoint(1, 300);
    EXPECT_EQ(y1()->span(), 300.0);
}

TEST_F(TwoChannelChart, DoubleClickInTheDataViewOnlyRaisesTheEvent)
{
    plot.show();
    QSignalSpy spy(&plot, &TiPlot::OnDblClickDataView);
    const QPoint inside = plot.dataViewRect().center();
    QTest::mouseDClick(&plot, Qt::LeftButton, {}, inside);
    QTest::mouseDClick(&plot, Qt::LeftButton, {}, plot.objectRect(plot.LabelAt(1)).center());
    ASSERT_EQ(spy.count(), 1);
    EXPECT_EQ(spy.at(0).at(0).toInt(), 0);
}

// The toolbar's hints come after the chart's 500 ms and go after its 2500 ms, in its hint
// font; Qt's own tool tips (700 ms, ten seconds, the application's font) stay away.
TEST_F(TwoChannelChart, ToolbarHintsFollowTheChartsPausesAndFont)
{
    plot.setHintsPause(500);
    plot.setHintsHidePause(2500);
    QFont hintFont(QStringLiteral("DejaVu Sans"));
    hintFont.setPixelSize(13);
    plot.setHintsFont(hintFont);
    plot.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&plot));
    TiPlotToolBarWidget* bar = plot.toolBarWidget();
    QWidget* button = bar->widgetForAction(bar->action(TiPlotToolBar::ZoomIn));
    QLabel* hint = bar->hints().label();
    const QPoint centre = button->rect().center();

    QHelpEvent tip(QEvent::ToolTip, centre, button->mapToGlobal(centre));
    QCoreApplication::sendEvent(button, &tip);
    EXPECT_FALSE(QToolTip::isVisible());

    QElapsedTimer clock;
    QEnterEvent enter(centre, button->mapTo(&plot, centre), button->mapToGlobal(centre));
    clock.start();
    QCoreApplication::sendEvent(button, &enter);
    while (!hint->isVisible() && clock.elapsed() < 10000)
        QTest::qWait(5);
    const qint64 shownAt = clock.elapsed();
    ASSERT_TRUE(hint->isVisible());
    EXPECT_GE(shownAt, 500);
    EXPECT_EQ(hint->text(), "Zoom In All Axes");
    EXPECT_EQ(hint->font().family(), "DejaVu Sans");
    EXPECT_EQ(hint->font().pixelSize(), 13);
    while (hint->isVisible() && clock.elapsed() < shownAt + 20000)
        QTest::qWait(5);
    EXPECT_FALSE(hint->isVisible());
    EXPECT_GE(clock.elapsed() - shownAt, 2500);

    // Leaving the button before the pause is up shows nothing.
    QCoreApplication::sendEvent(button, &enter);
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(button, &leave);
    QTest::qWait(700);
    EXPECT_FALSE(hint->isVisible());
}

TEST_F(TwoChannelChart, ToolbarDrivesTheAxes)
{
    plot.show();
    TiPlotToolBarWidget* bar = plot.toolBarWidget();
    ASSERT_NE(bar, nullptr);
    using B = TiPlotToolBar;
    EXPECT_EQ(bar->action(B::ZoomOut)->toolTip(), "Zoom Out All Axes");
    EXPECT_TRUE(bar->action(B::Scroll)->isChecked());

    // Scroll mode: dragging the X axis to the right moves the window left and pauses it.
    const QRect axis = plot.objectRect(x());
    const double perPixel = x()->span() / axis.width();
    QTest::mousePress(&plot, Qt::LeftButton, {}, axis.center());
    QTest::mouseMove(&plot, axis.center() + QPoint(40, 0));
    QTest::mouseRelease(&plot, Qt::LeftButton, {}, axis.center() + QPoint(40, 0));
    EXPECT_NEAR(x()->min(), -40 * perPixel, 1e-9);
    EXPECT_EQ(x()->span(), 50.0);
    EXPECT_FALSE(x()->trackingEnabled());
    EXPECT_TRUE(y1()->trackingEnabled());

    // Zoom mode: dragging up on a Y axis narrows it about its centre.
    bar->action(B::Zoom)->trigger();
    EXPECT_FALSE(bar->action(B::Scroll)->isChecked());
    const QRect left = plot.objectRect(y1());
    QTest::mousePress(&plot, Qt::LeftButton, {}, left.center());
    QTest::mouseMove(&plot, left.center() - QPoint(0, 100));
    QTest::mouseRelease(&plot, Qt::LeftButton, {}, left.center() - QPoint(0, 100));
    EXPECT_DOUBLE_EQ(y1()->span(), 50.0);
    EXPECT_DOUBLE_EQ(y1()->min() + y1()->span() / 2, 50.0);

    // Zoom Box and Cursor are toggles; the cursor pauses every axis.
    bar->action(B::ZoomBox)->trigger();
    EXPECT_TRUE(plot.zoomBoxMode());
    bar->action(B::Cursor)->trigger();
    EXPECT_TRUE(plot.cursorsShown());
    EXPECT_FALSE(y2()->trackingEnabled());
}

TEST_F(TwoChannelChart, ZoomBoxFromUpperLeftToLowerRightOnly)
{
    const QRect v(100, 50, 500, 200);
    plot.ZoomBoxPixels(v, {350, 150}, {300, 200});  // wrong direction
    plot.ZoomBoxPixels(v, {300, 150}, {300, 200});  // zero width
    EXPECT_EQ(std::pair(x()->min(), x()->span()), std::pair(0.0, 50.0));
    plot.ZoomBoxPixels(v, {100, 50}, {350, 150});  // left half, upper half
    EXPECT_EQ(std::pair(x()->min(), x()->span()), std::pair(0.0, 25.0));
    EXPECT_EQ(std::pair(y1()->min(), y1()->span()), std::pair(50.0, 50.0));
    EXPECT_TRUE(x()->trackingEnabled());
}

TEST_F(TwoChannelChart, CursorShowsItsReadoutAndPausesTracking)
{
    for (int i = 0; i <= 50; ++i)
        plot.ChannelAt(0)->AddPoint(i, i * 2);
    plot.setCursorsShown(true);
    EXPECT_TRUE(plot.DataCursorAt(0)->visible());
    EXPECT_FALSE(x()->trackingEnabled());
    EXPECT_EQ(plot.cursorReadout(0), "X: 25  Y: 50");
    plot.setCursorsShown(false);
    EXPECT_FALSE(plot.DataCursorAt(0)->visible());
    EXPECT_FALSE(x()->trackingEnabled());
}

// A band between two X values across the data view, a text near its top, the traces over
// both; ClearData takes them away with the data.
TEST_F(TwoChannelChart, AnnotationsDrawOnTheDataViewUnderTheTracesUntilTheDataIsCleared)
{
    TiPlotAnnotation* band = plot.AddAnnotation();
    band->setXAxisName(QStringLiteral("x-axis 1"));
    band->setX1(30);
    band->setX2(20);
    band->setBrushColor(Qt::blue);
    band->setPenColor(Qt::blue);
    TiPlotAnnotation* text = plot.AddAnnotation();
    text->setStyle(TiPlotAnnotation::Text);
    text->setXAxisName(QStringLiteral("X-Axis 1"));
    text->setX1(49.5);  // near the right edge: moved inside
    text->setText(QStringLiteral("plateau"));
    text->setBrushColor(Qt::yellow);
    for (int i = 0; i <= 50; ++i)
        plot.ChannelAt(0)->AddPoint(i, 50);
    EXPECT_EQ(plot.AnnotationCount(), 2);

    const QRect v = plot.dataViewRect();
    const auto column = [&](double x) { return v.left() + static_cast<int>(std::lround(x / 50.0 * v.width())); };
    const int quarter = v.top() + v.height() / 4;
    QImage image = plot.grab().toImage();
    EXPECT_EQ(image.pixelColor(column(25), quarter), QColor(Qt::blue));
    EXPECT_NE(image.pixelColor(column(15), quarter), QColor(Qt::blue));
    EXPECT_NE(image.pixelColor(column(35), quarter), QColor(Qt::blue));
    EXPECT_EQ(image.pixelColor(column(25), v.top() + v.height() / 2), QColor(Qt::red));  // the trace
    EXPECT_EQ(image.pixelColor(v.right() - 4, v.top() + 4), QColor(Qt::yellow));
    EXPECT_NE(image.pixelColor(v.right() + 4, v.top() + 4), QColor(Qt::yellow));  // clipped

    plot.ClearData();
    EXPECT_EQ(plot.AnnotationCount(), 0);
    image = plot.grab().toImage();
    EXPECT_NE(image.pixelColor(column(25), quarter), QColor(Qt::blue));
    EXPECT_THROW(plot.AnnotationAt(0), TiPlotError);
}

}  // namespace
