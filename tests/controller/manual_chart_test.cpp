#include "tests/support/window_fixture.h"
#include "widgets/plot/tiplot.h"
#include "timers/tithreadtimers.h"

#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using namespace velmar;

namespace {

class ManualChartMode : public test::WindowTest {
protected:
    TiPlot& plot() const { return *form->iPlot1; }
    TiPlotChannel& current() const { return *form->iPlot1->ChannelAt(0); }
};

}  // namespace

// Chart On records one point per poll cycle against seconds since the click; Chart Off stops
// the recording and keeps what was drawn.
TEST_F(ManualChartMode, RecordsCurrentAgainstSecondsWhileOn)
{
    current().AddPoint(100.0, 5.0);  // a run's point: a fresh chart starts empty
    state().TotalCharge = 42.0;
    plot().XAxisAt(0)->setMin(3.0);
    form->iThreadTimers1->setEnabled(9, true);  // the poll cycle, as after start-up

    form->Button8->click();
    EXPECT_EQ(form->Button8->text(), QStringLiteral("Chart Off"));
    EXPECT_TRUE(state().ChartOn);
    EXPECT_EQ(state().TotalCharge, 0.0);
    EXPECT_EQ(plot().titleText(), QStringLiteral("Manual Mode"));
    EXPECT_EQ(plot().XAxisAt(0)->title(), QStringLiteral("Time (Seconds)"));
    EXPECT_EQ(plot().XAxisAt(0)->span(), 60.0);
    EXPECT_EQ(plot().XAxisAt(0)->min(), 3.0);
    EXPECT_EQ(current().Count(), 0);

    QElapsedTimer pumped;
    pumped.start();
    pump(1000);
    form->Button8->click();
    const qint64 elapsedMs = pumped.elapsed();
    const int points = current().Count();
    // About 33 at one per 30 ms. A loaded machine polls less often, and a pump that overran
    // its second has had more time: never more than one point per 30 ms of what it took.
    EXPECT_GE(points, 15);
    EXPECT_LE(points, elapsedMs / 30 + 3);
    ASSERT_GT(points, 0);
    EXPECT_GT(current().DataX(0), 0.0);
    EXPECT_LT(current().DataX(0), 0.3);
    EXPECT_GT(current().DataX(points - 1), 0.85);
    EXPECT_LT(current().DataX(points - 1), elapsedMs / 1000.0 + 0.3);
    // Seconds on a millisecond clock: cycles that bunched up may share a time, never go back.
    for (int i = 1; i < points; ++i)
        EXPECT_GE(current().DataX(i), current().DataX(i - 1));

    EXPECT_EQ(form->Button8->text(), QStringLiteral("Chart On"));
    EXPECT_FALSE(state().ChartOn);
    pump(150);
    EXPECT_EQ(current().Count(), points);
}

TEST_F(ManualChartMode, ClearChartRestartsTheRunCountAndTheCycleAxis)
{
    current().AddPoint(3.5, 10.0);
    plot().ChannelAt(1)->AddPoint(3.5, 30.0);
    plot().XAxisAt(0)->setMin(2.0);
    plot().XAxisAt(0)->setSpan(10.0);
    plot().XAxisAt(0)->setTitle(QStringLiteral("Cycles"));
    state().CycleNumber = 3.5;
    state().TotalCharge = 30.0;

    form->Button13->click();

    EXPECT_EQ(current().Count(), 0);
    EXPECT_EQ(plot().ChannelAt(1)->Count(), 0);
    EXPECT_EQ(state().CycleNumber, 1.0);
    EXPECT_EQ(state().TotalCharge, 0.0);
    EXPECT_EQ(plot().XAxisAt(0)->min(), 0.0);
    EXPECT_EQ(plot().XAxisAt(0)->span(), 50.0);
    EXPECT_EQ(plot().XAxisAt(0)->title(), QStringLiteral("Cycles"));
}

TEST_F(ManualChartMode, DoubleClickFitsBothMainAxesToTheDataAndLeavesThemWithoutData)
{
    TiPlotAxis& x = *plot().XAxisAt(0);
    TiPlotAxis& y = *plot().YAxisAt(0);
    x.SetMinSpan(0.0, 50.0);
    y.SetMinSpan(0.0, 100.0);
    emit plot().OnDblClickDataView(0);  // no data yet: nothing to fit to
    EXPECT_EQ(x.min(), 0.0);
    EXPECT_EQ(x.span(), 50.0);
    EXPECT_EQ(y.span(), 100.0);

    x.setTrackingEnabled(false);  // keep the points from moving the axes themselves
    y.setTrackingEnabled(false);
    current().AddPoint(2.0, 10.0);
    current().AddPoint(4.0, 30.0);
    emit plot().OnDblClickDataView(0);
    EXPECT_NEAR(x.min(), 2.0, 1e-9);
    EXPECT_NEAR(x.max(), 4.0, 1e-9);
    EXPECT_NEAR(y.min(), 10.0, 1e-9);
    EXPECT_NEAR(y.max(), 30.0, 1e-9);
}

TEST_F(ManualChartMode, TitleFollowsEveryChangeOfTheTitleField)
{
    form->Edit5->clear();
    EXPECT_EQ(plot().titleText(), QString());
    QTest::keyClicks(form->Edit5, QStringLiteral("Run 7"));
    EXPECT_EQ(plot().titleText(), QStringLiteral("Run 7"));
}
