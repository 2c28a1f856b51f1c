// labels: snapshot
// The main window's chart as its stored configuration sets it up: its objects, their places,
// its colours and its toolbar's buttons. How any chart behaves is tested in
// tests/widgets/plot/.
#include "ui/form1_configuration.h"
#include "widgets/plot/plot_toolbar.h"
#include "widgets/plot/tiplot.h"

#include <QImage>

#include <gtest/gtest.h>

#include <cmath>

using namespace velmar;

namespace {

struct Plot1Configuration : ::testing::Test {
    TiPlot plot;
    void SetUp() override
    {
        configurePlot1(plot);
        plot.resize(657, 401);
    }
    TiPlotAxis* x() { return plot.XAxisAt(0); }
    TiPlotAxis* y1() { return plot.YAxisAt(0); }
    TiPlotAxis* y2() { return plot.YAxisAt(1); }
};

TEST_F(Plot1Configuration, ObjectModelAndLayoutOfTheMainChart)
{
    EXPECT_EQ(plot.ToolBarAt(0)->name(), "Toolbar 1");
    EXPECT_EQ(plot.LegendAt(0)->name(), "Legend 1");
    EXPECT_EQ(x()->name(), "X-Axis 1");
    EXPECT_EQ(y1()->name(), "Y-Axis 1");
    EXPECT_EQ(y2()->name(), "Y-Axis 2");
    EXPECT_EQ(plot.ChannelAt(0)->titleText(), "Current");
    EXPECT_EQ(plot.ChannelAt(1)->titleText(), "Total Current");
    EXPECT_EQ(plot.ChannelAt(1)->yAxis(), y2());
    EXPECT_EQ(plot.DataCursorAt(0)->visible(), false);
    EXPECT_EQ(plot.LabelCount(), 4);
    EXPECT_EQ(plot.LabelAt(1)->caption(), "Power=  XX Volts DC   Cycle = ");
    EXPECT_EQ(x()->title(), "Cycle");
    EXPECT_EQ(x()->span(), 50);
    EXPECT_EQ(y2()->labelsColor(), QColor(Qt::blue));

    // Top to bottom: toolbar; title beside legend; Y1 | view | Y2; X axis; label 1; labels 2 and 3.
    const QRect view = plot.dataViewRect();
    auto r = [&](const TiPlotObject* o) { return plot.objectRect(o); };
    EXPECT_LT(r(plot.ToolBarAt(0)).bottom(), r(plot.LabelAt(0)).top());
    EXPECT_EQ(r(plot.LabelAt(0)).top(), r(plot.LegendAt(0)).top());
    EXPECT_LT(r(plot.LabelAt(0)).right(), r(plot.LegendAt(0)).left() + 1);
    EXPECT_LT(r(plot.LegendAt(0)).bottom(), view.top());
    EXPECT_LT(r(y1()).right(), view.left());
    EXPECT_GT(r(y2()).left(), view.right());
    EXPECT_GT(r(x()).top(), view.bottom());
    EXPECT_GT(r(plot.LabelAt(1)).top(), r(x()).bottom());
    EXPECT_GT(r(plot.LabelAt(2)).top(), r(plot.LabelAt(1)).bottom());
    EXPECT_EQ(r(plot.LabelAt(2)).top(), r(plot.LabelAt(3)).top());
    EXPECT_LT(r(plot.LabelAt(2)).right(), r(plot.LabelAt(3)).left() + 1);
    EXPECT_GT(view.width(), 400);
    EXPECT_GT(view.height(), 200);
}

// The palette's green (0, 128, 0) and gray (128, 128, 128), not Qt's (0, 255, 0) and
// (160, 160, 164).
TEST_F(Plot1Configuration, GridIsGreenAndScaleLinesGrayOfThePalette)
{
    const QImage image = plot.renderImage();
    const QRect view = plot.dataViewRect();
    const double tick = x()->lastTicks.majors.at(1);
    const int gridX = view.left() + static_cast<int>(std::floor((tick - x()->min()) / x()->span() * view.width()));
    EXPECT_EQ(QColor(image.pixel(gridX, view.center().y())), QColor(0, 128, 0));
    const QRect axis = plot.objectRect(x());  // below the view: its line along the top
    EXPECT_EQ(QColor(image.pixel(view.center().x() + 3, axis.top())), QColor(128, 128, 128));
}

TEST_F(Plot1Configuration, ToolbarShowsTheConfiguredButtons)
{
    plot.show();
    TiPlotToolBarWidget* bar = plot.toolBarWidget();
    ASSERT_NE(bar, nullptr);
    using B = TiPlotToolBar;
    for (B::Button hidden : {B::Resume, B::Pause, B::Select, B::Edit})
        EXPECT_FALSE(bar->action(hidden)->isVisible()) << hidden;
    for (B::Button shown : {B::Scroll, B::Zoom, B::ZoomOut, B::ZoomIn, B::ZoomBox, B::Cursor, B::Copy, B::Save, B::Print, B::Preview})
        EXPECT_TRUE(bar->action(shown)->isVisible()) << shown;
}

}  // namespace
