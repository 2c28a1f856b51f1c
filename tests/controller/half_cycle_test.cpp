#include "tests/support/window_fixture.h"

#include "widgets/dials/tiknob.h"
#include "widgets/dials/tiswitchslider.h"
#include "widgets/plot/tiplot.h"

#include <QLabel>
#include <QPushButton>

#include <array>
#include <vector>

using namespace velmar;

namespace {

// EvaluateHalfCycle driven directly, with the samples and limits a run would have left.
class HalfCycleTest : public test::WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        setTwelveVoltsDc();
        form->BitBtn1->setText("STOP");
        // Limits far away, as with the run's fields left empty.
        state().CycleLimit = 1000000;
        state().MinCurrentLimit = -1000000.0;
        state().TotalLimit = 1000000.0;
        // The status line as it stands when each dialog opens.
        platform.onDialog = [this](const QString&) { statusAtDialog << statusLine(); };
    }
    void setReadings(double a, double b, double c)
    {
        state().CurrentSamples[1] = a;
        state().CurrentSamples[2] = b;
        state().CurrentSamples[3] = c;
    }
    bool evaluate() { return test::finish(controller().halfCycle.EvaluateHalfCycle()); }
    QString statusLine() const { return form->iPlot1->LabelAt(1)->caption(); }
    TiPlotChannel* channel(int i) const { return form->iPlot1->ChannelAt(i); }

    QStringList statusAtDialog;
};

TEST_F(HalfCycleTest, FinishCriteria)
{
    struct Case {
        const char* name;
        std::int32_t cycleLimit;
        double minCurrent;
        double totalLimit;
        double totalBefore;
        std::array<double, 3> readings;
        int calls;                  // evaluations made; the last one is the one checked
        int passingCalls;           // how many of them return true, first ones first
        QStringList dialogs;
        QStringList commands;
    };
    const Case cases[] = {
        {"one cycle: the third call stops", 1, -1e6, 1e6, 0, {5, 5, 5}, 3, 2,
         {"Info: Run Stopped: Number Cycles"}, {}},
        {"two cycles: four pass", 2, -1e6, 1e6, 0, {5, 5, 5}, 5, 4, {"Info: Run Stopped: Number Cycles"}, {}},
        {"three cycles: six pass", 3, -1e6, 1e6, 0, {5, 5, 5}, 7, 6, {"Info: Run Stopped: Number Cycles"}, {}},
        {"average below the minimum", 1000000, 12, 1e6, 0, {10, 11, 12}, 1, 0,
         {"Info: Run Stopped:  Minimum Current=11.00"}, {"RY 0"}},
        {"average equal to the minimum", 1000000, 11, 1e6, 0, {10, 11, 12}, 1, 1, {}, {}},
        {"total past its limit", 1000000, -1e6, 10000, 12345.6, {0, 0, 0}, 1, 0,
         {"Info: Run Stopped:  Total Current=1.235E4"}, {}},
        {"total equal to its limit", 1000000, -1e6, 100, 89, {10, 11, 12}, 1, 0,
         {"Info: Run Stopped:  Total Current=100"}, {}},
        {"cycles and total at once: two dialogs in order", 0, -1e6, 10, 0, {10, 11, 12}, 1, 0,
         {"Info: Run Stopped: Number Cycles", "Info: Run Stopped:  Total Current=11"}, {}},
        {"all three at once", 0, 50, 10, 0, {10, 11, 12}, 1, 0,
         {"Info: Run Stopped: Number Cycles", "Info: Run Stopped:  Minimum Current=11.00",
          "Info: Run Stopped:  Total Current=11"},
         {"RY 0"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        platform.dialogs.clear();
        platform.beepTicks.clear();
        const int commandsBefore = int(commands().size());
        form->BitBtn1->setText("STOP");
        state().CycleLimit = c.cycleLimit;
        state().CyclesDone = 0.0;
        state().MinCurrentLimit = c.minCurrent;
        state().TotalLimit = c.totalLimit;
        state().TotalCharge = c.totalBefore;
        setReadings(c.readings[0], c.readings[1], c.readings[2]);

        std::vector<bool> results;
        for (int i = 0; i < c.calls; ++i)
            results.push_back(evaluate());

        for (int i = 0; i < c.calls; ++i)
            EXPECT_EQ(results[i], i < c.passingCalls) << "call " << i + 1;
        EXPECT_EQ(platform.dialogs, c.dialogs);
        EXPECT_EQ(commands().mid(commandsBefore), c.commands);
        EXPECT_EQ(form->BitBtn1->text(), c.dialogs.isEmpty() ? "STOP" : "Run");
        // Two beeps before every message, 250 ms apart.
        ASSERT_EQ(platform.beepTicks.size(), 2 * c.dialogs.size());
        for (int i = 0; i + 1 < platform.beepTicks.size(); i += 2)
            EXPECT_GE(platform.beepTicks[i + 1] - platform.beepTicks[i], 240u);
        if (c.dialogs.contains("Info: Run Stopped: Number Cycles")) {
            EXPECT_EQ(state().CyclesDone, 0.0);
        }
    }
}

TEST_F(HalfCycleTest, CountsAveragesChartsAndWritesTheStatusLine)
{
    state().CycleNumber = 1.5;
    state().TotalCharge = 2.0;
    state().CycleLimit = 0;  // a finish, to see the first form of the status line in its dialog
    setReadings(10, 11, 12);

    EXPECT_FALSE(evaluate());

    EXPECT_EQ(statusAtDialog, QStringList{"Power = 12.0Volts DC Cycle=1.5"});
    EXPECT_EQ(state().CycleNumber, 2.0);
    EXPECT_EQ(state().TotalCharge, 13.0);
    EXPECT_EQ(form->Label10->text(), "11");
    ASSERT_EQ(channel(0)->Count(), 1);
    ASSERT_EQ(channel(1)->Count(), 1);
    EXPECT_EQ(channel(0)->DataX(0), 2.0);
    EXPECT_EQ(channel(0)->DataY(0), 11.0);
    EXPECT_EQ(channel(1)->DataX(0), 2.0);
    EXPECT_EQ(channel(1)->DataY(0), 13.0);
    EXPECT_EQ(statusLine(), "Power = 12.0 Volts  DC        Total Current= 13       Cycle=2");

    // AC, and a total big enough for its thousands separator.
    form->iSwitchSlider2->setPosition(0);
    state().CycleLimit = 1000000;
    state().TotalCharge = 1234.0;
    EXPECT_TRUE(evaluate());
    EXPECT_EQ(statusLine(), "Power = 12.0 Volts  AC        Total Current= 1,245       Cycle=2.5");
}

TEST_F(HalfCycleTest, SentinelAveragesTheLatestCurrentInstead)
{
    // No flagged reading since start-up: slot 1 holds -1, and the average is the latest current.
    state().CurrentSamples = {7.5, -1.0, 0.0, 0.0, 0.0, 0.0};
    EXPECT_TRUE(evaluate());
    EXPECT_EQ(state().CurrentSamples, (std::array<double, 6>{7.5, 7.5, 7.5, 7.5, 7.5, 7.5}));
    EXPECT_EQ(form->Label10->text(), "7.5");
    EXPECT_EQ(channel(0)->DataY(0), 7.5);
}

}  // namespace
