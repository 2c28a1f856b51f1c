#include "tests/support/recording_platform.h"
#include "ui/form_layout.h"
#include "ui/main_window.h"
#include "widgets/plot/tiplot.h"

#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

#include <gtest/gtest.h>

using namespace velmar;

namespace {

QRect inClient(const QWidget* widget, const QWidget* client)
{
    return QRect(widget->mapTo(client, QPoint(0, 0)), widget->size());
}

bool within(const QWidget* widget, const QWidget* ancestor)
{
    for (const QWidget* w = widget; w; w = w->parentWidget())
        if (w == ancestor)
            return true;
    return false;
}

}  // namespace

// At the smallest window and a maximised one, with the diagnostic labels hidden and shown and
// the suggestion button shown: the status band is on screen, tall enough for its line, under
// the chart and above the lower groups, and overlaps no other control.
TEST(StatusBand, VisibleBetweenTheChartAndTheLowerGroupsOverlappingNoControl)
{
    test::RecordingPlatform platform;
    for (const QStringList& arguments : {QStringList{}, QStringList{QStringLiteral("DEBUG")}}) {
        for (const QSize outer : {QSize(1024, 665), QSize(1920, 1040)}) {
            SCOPED_TRACE(qPrintable(arguments.join(' ') + QStringLiteral(" %1x%2").arg(outer.width()).arg(outer.height())));
            TForm1 form(arguments);
            form.showNormal();
            const QSize frame = form.frameGeometry().size() - form.geometry().size();
            form.resize(outer - frame);
            form.useSuggestedVoltage->setVisible(true);
            QApplication::processEvents();

            const QWidget* client = form.centralWidget();
            const QRect band = inClient(form.statusBand, client);
            EXPECT_TRUE(form.statusLine->isVisible());
            EXPECT_TRUE(QRect(QPoint(0, 0), client->size()).contains(band));
            EXPECT_GE(form.statusLine->height(), form.statusLine->fontMetrics().height());
            EXPECT_GE(form.statusLine->width(), 400);
            EXPECT_TRUE(band.contains(inClient(form.useSuggestedVoltage, client)));
            EXPECT_FALSE(inClient(form.statusLine, client).intersects(inClient(form.useSuggestedVoltage, client)));
            EXPECT_GT(band.top(), form.iPlot1->geometry().bottom());
            EXPECT_LT(band.bottom(), form.GroupBox4->geometry().top());

            for (const QWidget* control : client->findChildren<QWidget*>()) {
                if (within(control, form.statusBand) || !control->isVisible())
                    continue;
                EXPECT_FALSE(band.intersects(inClient(control, client)))
                    << qPrintable(control->objectName()) << " at " << inClient(control, client).y();
            }
        }
    }
}

// The chart resized without the window (as when the window manager's frame changes after a
// restore or a maximise): the band keeps to the chart's columns and stays under it.
TEST(StatusBand, FollowsTheChartWhenOnlyTheChartChanges)
{
    test::RecordingPlatform platform;
    TForm1 form(QStringList{});
    form.showNormal();
    form.resize(1600, 900);
    QApplication::processEvents();
    const QRect before = form.statusBand->geometry();
    const QRect chart = form.iPlot1->geometry();
    form.iPlot1->setGeometry(chart.x(), chart.y(), chart.width() - 300, chart.height() - 40);
    const QRect after = form.statusBand->geometry();
    EXPECT_NE(after, before);
    EXPECT_EQ(after.width(), form.iPlot1->width());
    EXPECT_GT(after.top(), form.iPlot1->geometry().bottom());
    EXPECT_LE(after.top(), form.iPlot1->geometry().bottom() + 8);
}

TEST(StatusBand, ShrinksToTheRoomLeftAndKeepsTheChartsColumns)
{
    const QRect chart(8, 0, 657, 393);
    struct Case {
        QVector<QRect> below;
        QRect band;
    } cases[] = {
        {{{8, 432, 193, 177}}, {8, 394, 657, 20}},                 // room to spare: one line tall
        {{{160, 408, 89, 13}, {8, 432, 193, 177}}, {8, 394, 657, 13}},  // a label close under the chart
        {{{700, 396, 100, 20}}, {8, 394, 657, 20}},                // beside the chart: not in the way
    };
    for (const auto& c : cases)
        EXPECT_EQ(AnchorLayout::statusBand(chart, c.below, 20), c.band);
}
