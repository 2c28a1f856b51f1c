// labels: slow
#include "tests/controller/wire_watch.h"
#include "tests/support/hang_guard.h"
#include "tests/support/window_fixture.h"
#include "widgets/dials/tiknob.h"
#include "widgets/dials/tiswitchslider.h"
#include "widgets/plot/tiplot.h"

#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using namespace velmar;
using test::clickFromEventLoop;
using test::list;
using test::OnCommand;

namespace {

// One step at `count` = volts x 16, starting in the electrolyte: zero at this voltage with the
// relay off, measure at Home with output and relay on, back into the electrolyte.
QStringList stepAt(const char* count)
{
    return list({"RY 0"}) + QStringList{QStringLiteral("SP 1024 ") + QString::fromLatin1(count)}
           + list({"DC", "PO 1", "PO 0", "GT 2187", "PO 1", "RY 1", "GT -2187"});
}

const QStringList EndOfTest = list({"RY 0", "PO 0", "SP 1024 0"});

class VoltCurrentSweep : public test::WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        startUpAt12VoltsDc();  // at Home (156) with the default positions
        mark_ = commands().size();
        platform.dialogs.clear();
    }
    QStringList sent() const { return commands().mid(mark_); }
    TiPlotChannel& current() const { return *form->iPlot1->ChannelAt(0); }

private:
    int mark_ = 0;
};

}  // namespace

TEST_F(VoltCurrentSweep, StepsEachWholeVoltBelowMaxThenSwitchesTheSupplyOff)
{
    form->iPlot1->ChannelAt(1)->AddPoint(1.0, 1.0);  // an earlier run's total, cleared by the test
    form->Edit6->setText(QStringLiteral("4"));
    form->Edit7->setText(QStringLiteral("6"));

    clickFromEventLoop(form->Button10);

    EXPECT_EQ(sent(), list({"GT -2187"}) + stepAt("64") + stepAt("80") + EndOfTest);
    EXPECT_EQ(form->Button10->text(), QStringLiteral("Start Test"));
    EXPECT_EQ(form->iKnob1->position(), 4.0);
    EXPECT_TRUE(platform.dialogs.isEmpty());

    // The zero pulse lasts 500 ms and the current settles 2000 ms before the point is taken.
    // The instrument stamps its wire on a clock of its own, in whole milliseconds, so its
    // difference may read 1 ms short of what the program waited on its tick count.
    const QList<sim::WireCommand> wire = instrument->commands();
    const int firstPulse = static_cast<int>(wire.size() - sent().size() + sent().indexOf(QStringLiteral("PO 1")));
    ASSERT_EQ(wire[firstPulse].text, QByteArray("PO 1"));
    EXPECT_GE(wire[firstPulse + 1].atMs - wire[firstPulse].atMs, 500 - 1);
    EXPECT_GE(wire[firstPulse + 5].atMs - wire[firstPulse + 4].atMs, 2000 - 1);  // "RY 1" to the dip

    TiPlot& plot = *form->iPlot1;
    EXPECT_EQ(plot.ChannelAt(1)->Count(), 0);
    ASSERT_EQ(current().Count(), 2);
    EXPECT_EQ(current().DataX(0), 4.0);
    EXPECT_EQ(current().DataX(1), 5.0);
    // Each point is measured against the zero taken at its own voltage.
    EXPECT_GT(current().DataY(0), 0.0);
    EXPECT_GT(current().DataY(1), 0.0);
    EXPECT_EQ(form->Label2->text(), QString::number(state().ZeroOffset));
    EXPECT_EQ(plot.XAxisAt(0)->title(), QStringLiteral("Volts"));
    EXPECT_EQ(plot.YAxisAt(0)->title(), QStringLiteral("Current (mA)"));
    EXPECT_EQ(plot.LabelAt(1)->caption(), QStringLiteral("Current = DC"));
}

// Min equal to or above Max leaves the chart's X axis at Min with no span (clamped to
// 1e-300), which once hung the window's next paint in the tick loop with the supply on.
TEST_F(VoltCurrentSweep, MinNotBelowMaxRunsOnlyTheEndOfTestAndTheWindowGoesOn)
{
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    for (const auto& [min, max] : {std::pair{"4", "4"}, {"6", "6"}, {"7", "6"}}) {
        SCOPED_TRACE(std::string(min) + " to " + max);
        const int before = commands().size();
        form->Edit6->setText(QString::fromLatin1(min));
        form->Edit7->setText(QString::fromLatin1(max));
        {
            test::HangGuard guard("the V-I test with Min not below Max");
            clickFromEventLoop(form->Button10);
            form->iPlot1->repaint();
            bool answered = false;
            QTimer::singleShot(0, form.get(), [&] { answered = true; });
            pump(50);
            EXPECT_TRUE(answered);
        }
        EXPECT_EQ(commands().mid(before), EndOfTest);
        EXPECT_EQ(form->Button10->text(), QStringLiteral("Start Test"));
        EXPECT_EQ(form->iKnob1->position(), 4.0);
        EXPECT_EQ(form->iPlot1->XAxisAt(0)->min(), QString::fromLatin1(min).toDouble());
        EXPECT_EQ(form->iPlot1->XAxisAt(0)->span(), 1e-300);
        // The axis shows Min alone.
        EXPECT_EQ(form->iPlot1->XAxisAt(0)->lastTicks.majors, QVector<double>{QString::fromLatin1(min).toDouble()});
        EXPECT_EQ(current().Count(), 0);
    }
}

// The next polish run starts its X axis at the first half cycle with that span still in place
// (Min 0.5, span 1e-300); it once hung there with the relay on.
TEST_F(VoltCurrentSweep, APolishRunAfterAZeroWideTestRunsItsFirstCycle)
{
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    form->Edit6->setText(QStringLiteral("0"));
    form->Edit7->setText(QStringLiteral("0"));
    form->Edit1->setText(QStringLiteral("1"));  // one cycle
    form->Edit4->setText(QStringLiteral("1"));  // one stroke per dip
    {
        test::HangGuard guard("a polish run after a V-I test from 0 to 0");
        clickFromEventLoop(form->Button10);
        clickFromEventLoop(form->BitBtn1);
    }

    EXPECT_EQ(sent(), EndOfTest + list({"RY 0", "SP 1024 64", "DC", "RY 1", "SS 2", "GT -2187", "GT 2187", "SS 2",
                                        "GP -154 2", "GP 154 2", "SS 2", "GT -2187", "GT 2187", "SS 2", "GP -2 2",
                                        "RY 0"}));
    EXPECT_EQ(platform.dialogs, QStringList{QStringLiteral("Info: Run Stopped: Number Cycles")});
    EXPECT_EQ(form->BitBtn1->text(), QStringLiteral("Run"));
    EXPECT_FALSE(form->iPlot1->XAxisAt(0)->lastTicks.majors.isEmpty());  // painted while it ran
}

// A stop click during a step's settling wait: the step still takes its point and returns to
// the electrolyte; the next step never starts.
TEST_F(VoltCurrentSweep, StopTakesEffectAtTheTopOfTheNextStep)
{
    form->Edit6->setText(QStringLiteral("4"));
    form->Edit7->setText(QStringLiteral("55"));
    OnCommand stopWhileSettling(instrument, QStringLiteral("RY 1"), [&] { form->Button10->click(); });

    clickFromEventLoop(form->Button10);

    EXPECT_EQ(sent(), list({"GT -2187"}) + stepAt("64") + EndOfTest);
    EXPECT_EQ(current().Count(), 1);
    EXPECT_TRUE(platform.beepTicks.isEmpty());
}

// Max is read first, so it is the one named; the test never starts, nothing is sent, and the
// button offers the start again.
TEST_F(VoltCurrentSweep, BadRangeEndsTheClickBeforeTheFirstStep)
{
    // Both pass the fields' number check; neither is an integer.
    form->Edit6->setText(QStringLiteral("4.5"));
    form->Edit7->setText(QStringLiteral("5.5"));

    clickFromEventLoop(form->Button10);
    pump(100);

    EXPECT_EQ(platform.dialogs, QStringList{QStringLiteral("AppError: '5.5' is not a valid integer value")});
    EXPECT_TRUE(sent().isEmpty());
    EXPECT_EQ(form->Button10->text(), QStringLiteral("Start Test"));
    EXPECT_TRUE(form->Button10->isEnabled());
    EXPECT_TRUE(form->BitBtn1->isEnabled());
    EXPECT_EQ(form->iPlot1->XAxisAt(0)->title(), QStringLiteral("Volts"));
}

// The end of the test switches relay and output off: the Power and Relay buttons say so, and
// set-point and mode are free again, whatever they showed before the test.
TEST_F(VoltCurrentSweep, EndOfTestShowsTheSupplyOff)
{
    click(form->Button11);  // "Power On": the output on, set-point and mode locked
    click(form->Button9);   // "Relay On"
    ASSERT_EQ(form->Button11->text(), QStringLiteral("Power Off"));
    ASSERT_EQ(form->Button9->text(), QStringLiteral("Relay Off"));
    ASSERT_FALSE(form->iKnob1->isEnabled());
    form->Edit6->setText(QStringLiteral("6"));
    form->Edit7->setText(QStringLiteral("6"));

    clickFromEventLoop(form->Button10);

    EXPECT_EQ(sent().mid(sent().size() - EndOfTest.size()), EndOfTest);
    EXPECT_EQ(form->Button11->text(), QStringLiteral("Power On"));
    EXPECT_EQ(form->Button9->text(), QStringLiteral("Relay On"));
    EXPECT_TRUE(form->iKnob1->isEnabled());
    EXPECT_TRUE(form->iSwitchSlider2->isEnabled());

    // So the next click on the Power button switches the output on, not off again.
    const qsizetype mark = commands().size();
    click(form->Button11);
    EXPECT_EQ(commands().mid(mark).last(), QStringLiteral("PO 1"));
}

// One loop drives the relay and the supply at a time: while the test runs, and while it winds
// down after its stop, "Run" is disabled and a click on it (or on its handler) sends nothing;
// "Stop Test" stays usable while it offers the stop.
TEST_F(VoltCurrentSweep, NoRunStartsDuringTheTest)
{
    form->Edit6->setText(QStringLiteral("4"));
    form->Edit7->setText(QStringLiteral("55"));
    const auto clickRun = [&] {
        const qsizetype before = commands().size();
        form->BitBtn1->click();
        controller().polishRun.BitBtn1Click();
        return commands().size() - before;
    };
    bool runDisabled = false;
    bool stopTestEnabled = false;
    qsizetype sentBySettlingClicks = -1;
    OnCommand stopWhileSettling(instrument, QStringLiteral("RY 1"), [&] {
        runDisabled = !form->BitBtn1->isEnabled();
        stopTestEnabled = form->Button10->isEnabled();
        sentBySettlingClicks = clickRun();
        form->Button10->click();
    });
    bool bothDisabledWindingDown = false;
    qsizetype sentByWindingDownClicks = -1;
    OnCommand windingDown(instrument, QStringLiteral("GT -2187"), [&] {
        bothDisabledWindingDown = form->Button10->text() == QStringLiteral("Start Test")
                                  && !form->Button10->isEnabled() && !form->BitBtn1->isEnabled();
        sentByWindingDownClicks = clickRun();
        form->Button10->click();
        controller().voltCurrentTest.Button10Click();
    }, 2);

    clickFromEventLoop(form->Button10);

    EXPECT_TRUE(runDisabled);
    EXPECT_TRUE(stopTestEnabled);
    EXPECT_EQ(sentBySettlingClicks, 0);
    EXPECT_TRUE(bothDisabledWindingDown);
    EXPECT_EQ(sentByWindingDownClicks, 0);
    EXPECT_EQ(sent(), list({"GT -2187"}) + stepAt("64") + EndOfTest);
    EXPECT_EQ(form->BitBtn1->text(), QStringLiteral("Run"));
    EXPECT_TRUE(form->BitBtn1->isEnabled());
    EXPECT_TRUE(form->Button10->isEnabled());
}

// Closing the window mid-test: the step in progress ends, the supply is switched off, and only
// then are the positions saved and "X" sent.
TEST_F(VoltCurrentSweep, ClosingTheWindowEndsTheTestBeforeSayingGoodbye)
{
    form->Edit6->setText(QStringLiteral("4"));
    form->Edit7->setText(QStringLiteral("55"));
    OnCommand closeWhileSettling(instrument, QStringLiteral("RY 1"), [&] { form->close(); });

    clickFromEventLoop(form->Button10);

    EXPECT_EQ(sent(), list({"GT -2187"}) + stepAt("64") + EndOfTest + list({"X"}));
    EXPECT_TRUE(QFile::exists(settingsFile()));
    EXPECT_FALSE(controller().voltCurrentTest.running());
}

namespace {

// A click's move during the settling pause is answered before the test goes on: the test's
// next move waits for it instead of being turned away while its reply is still out.
TEST_F(VoltCurrentSweep, AMoveClickedDuringTheSettlingPauseDelaysTheNextMoveInsteadOfDroppingIt)
{
    form->Edit6->setText(QStringLiteral("4"));
    form->Edit7->setText(QStringLiteral("5"));
    // Halfway through the 2 s pause, End Polish, whose reply comes only after the pause.
    OnCommand clickMidPause(instrument, QStringLiteral("RY 1"), [&] {
        QTimer::singleShot(1000, form->Button7, [&] {
            instrument->faults.lateReplyMs = 1500;
            form->Button7->click();
        });
    });

    clickFromEventLoop(form->Button10);

    const QStringList wire = sent();
    ASSERT_TRUE(wire.contains(QStringLiteral("RY 1")));
    EXPECT_EQ(wire.mid(wire.indexOf(QStringLiteral("RY 1")) + 1), list({"GT -156", "GT -2031"}) + EndOfTest);
    EXPECT_EQ(state().CurrentSteps, 2343);
}

}  // namespace
