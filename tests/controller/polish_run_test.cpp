#include "controller/polish_run.h"
#include "tests/controller/wire_watch.h"
#include "tests/support/log_capture.h"
#include "tests/support/window_fixture.h"
#include "widgets/dials/tiknob.h"
#include "widgets/dials/tiswitchslider.h"
#include "widgets/plot/tiplot.h"

#include <QCheckBox>
#include <QElapsedTimer>
#include <QFile>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

using namespace velmar;
using test::clickFromEventLoop;
using test::list;
using test::OnCommand;

namespace {

// Relay off, 12 V, DC: what every run sends before its loop.
const QStringList PowerAt12VoltsDC = list({"RY 0", "SP 1024 192", "DC"});

class PolishRuns : public test::WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        startUp();  // homes the electrode to 156 with the default positions 156, 312, 2343
        ASSERT_EQ(state().CurrentSteps, 156);
        setTwelveVoltsDc();
        form->iSwitchSlider1->setPosition(2);  // Normal
        mark_ = commands().size();
        platform.dialogs.clear();
        platform.beepTicks.clear();
    }
    // The commands sent since the window was set up.
    QStringList sent() const { return commands().mid(mark_); }
    bool groupsEnabled() const
    {
        return form->GroupBox1->isEnabled() && form->GroupBox2->isEnabled() && form->GroupBox4->isEnabled()
               && form->GroupBox7->isEnabled();
    }
    bool groupsDisabled() const
    {
        return !form->GroupBox1->isEnabled() && !form->GroupBox2->isEnabled() && !form->GroupBox4->isEnabled()
               && !form->GroupBox7->isEnabled();
    }

private:
    int mark_ = 0;
};

}  // namespace

TEST(DateTimeText, ShortDateThenLongTimeWithoutZoneAndNoTimeAtMidnight)
{
    const QLocale english(QLocale::English, QLocale::UnitedStates);
    const QDate day(2026, 3, 4);
    EXPECT_EQ(DateTimeText(QDateTime(day, QTime(14, 5, 9)), english), QStringLiteral("3/4/26 2:05:09 PM"));
    EXPECT_EQ(DateTimeText(QDateTime(day, QTime(0, 0)), english), QStringLiteral("3/4/26"));
    EXPECT_EQ(DateTimeText(QDateTime(day, QTime(0, 0, 1)), QLocale(QLocale::German, QLocale::Germany)),
              QStringLiteral("04.03.26 00:00:01"));
}

// A default run (no limits) stopped by the operator after its first stroke cycle.
TEST_F(PolishRuns, DefaultRunDipsStrokesAndWindsDownOnStop)
{
    platform.fixedNow = QDateTime(QDate(2026, 3, 4), QTime(14, 5, 9));
    form->iPlot1->XAxisAt(0)->setMin(7.0);
    bool sawRunningState = false;
    OnCommand stopAfterFirstCycle(instrument, QStringLiteral("GP 154 2"), [&] {
        sawRunningState = form->BitBtn1->text() == QStringLiteral("STOP") && groupsDisabled();
        form->BitBtn1->click();
    });

    clickFromEventLoop(form->BitBtn1);

    EXPECT_TRUE(sawRunningState);
    EXPECT_EQ(sent(), PowerAt12VoltsDC + list({"RY 1", "SS 2", "GT -2187", "GT 2187", "SS 2", "GP -154 2",
                                               "GP 154 2", "RY 0"}));
    EXPECT_EQ(form->BitBtn1->text(), QStringLiteral("Run"));
    EXPECT_TRUE(groupsEnabled());
    EXPECT_TRUE(platform.dialogs.isEmpty());
    pump(700);  // the stop click's beeps sound on after it has returned
    ASSERT_EQ(platform.beepTicks.size(), 3);
    EXPECT_GE(platform.beepTicks[1] - platform.beepTicks[0], 245u);
    EXPECT_GE(platform.beepTicks[2] - platform.beepTicks[1], 245u);

    // The 20 ms pauses around the return from the dip.
    const QList<sim::WireCommand> wire = instrument->commands();
    const auto at = [&](int fromEnd) { return wire[wire.size() - fromEnd].atMs; };
    EXPECT_GE(at(5) - at(6), 20);  // "GT 2187" after the dip's reply and a pause
    EXPECT_GE(at(4) - at(5), 20);  // the stroke speed after the return and a pause

    TiPlot& plot = *form->iPlot1;
    EXPECT_EQ(plot.YAxisAt(0)->title(), QStringLiteral("Current (mA)"));
    EXPECT_EQ(plot.XAxisAt(0)->title(), QStringLiteral("Cycles"));
    EXPECT_EQ(plot.YAxisAt(1)->title(), QStringLiteral("Total Current"));
    EXPECT_EQ(plot.XAxisAt(0)->min(), 0.0);
    EXPECT_EQ(plot.LabelAt(3)->caption(), QStringLiteral("3/4/26 2:05:09 PM"));
    // Two evaluations made two points per channel, at half cycles after a fresh start.
    ASSERT_EQ(plot.ChannelAt(0)->Count(), 2);
    EXPECT_EQ(plot.ChannelAt(0)->DataX(1), 1.0);
    EXPECT_EQ(plot.ChannelAt(1)->Count(), 2);
}

TEST_F(PolishRuns, LogTellsHowARunStartedAndWhatEndedIt)
{
    form->Edit4->setText(QStringLiteral("1"));
    {
        test::LogCapture log;
        form->Edit1->setText(QStringLiteral("1"));
        clickFromEventLoop(form->BitBtn1);
        const QStringList run = log.messages("velmar.run", QtInfoMsg);
        ASSERT_EQ(run.size(), 3) << run.join('\n').toStdString();
        EXPECT_EQ(run[0], "run started at cycle 0: 12 V DC, 1 strokes per dip; limits: cycles 1, minimum current none, "
                          "total current none");
        EXPECT_EQ(run[1], "finish criterion met: Run Stopped: Number Cycles");
        EXPECT_EQ(run[2], "run ended at cycle 2, total current 0");
    }
    {
        test::LogCapture log;
        form->Edit1->clear();
        form->Edit2->setText(QStringLiteral("0.5"));
        OnCommand stop(instrument, QStringLiteral("GP 154 2"), [&] { form->BitBtn1->click(); });
        clickFromEventLoop(form->BitBtn1);
        const QStringList run = log.messages("velmar.run", QtInfoMsg);
        ASSERT_EQ(run.size(), 3) << run.join('\n').toStdString();
        EXPECT_TRUE(run[0].endsWith("limits: cycles none, minimum current 0.5 mA, total current none"))
            << run[0].toStdString();
        EXPECT_EQ(run[1], "run stopped by the operator");
        EXPECT_TRUE(run[2].startsWith("run ended at cycle ")) << run[2].toStdString();
    }
}

// A met criterion switches the relay off whether or not anybody answers its dialog: the run has
// ended, and the sample must not go on polishing until someone comes back.
TEST_F(PolishRuns, AFinishedRunSwitchesTheRelayOffBeforeItsDialogIsAnswered)
{
    form->Edit1->setText(QStringLiteral("1"));
    platform.holdDialogs = true;
    bool endedWhileOpen = false;
    QElapsedTimer since;
    since.start();
    QTimer comeBack;
    QObject::connect(&comeBack, &QTimer::timeout, [&] {
        const bool ended = platform.heldDialogs() == 1 && !controller().polishRun.running();
        if (!ended && since.elapsed() < 10000)
            return;
        endedWhileOpen = ended && !instrument->relayOn() && commands().last() == QStringLiteral("RY 0");
        comeBack.stop();
        platform.holdDialogs = false;
        platform.releaseDialogs();
    });
    comeBack.start(5);

    clickFromEventLoop(form->BitBtn1);

    EXPECT_TRUE(endedWhileOpen);
    EXPECT_EQ(platform.dialogs, QStringList{QStringLiteral("Info: Run Stopped: Number Cycles")});
    EXPECT_EQ(form->BitBtn1->text(), QStringLiteral("Run"));
}

struct FinishCase {
    const char* cycles;
    const char* perDip;
    int speed;  // Speed switch position
    QStringList loop;  // what follows "RY 1"
};

class PolishRunFinishes : public PolishRuns, public ::testing::WithParamInterface<FinishCase> {};

// The cycle limit ends the run before a down stroke; the evaluation after it still passes,
// so the up stroke goes from Home to Home ('GP -2 2').
TEST_P(PolishRunFinishes, CycleLimitEndsTheRun)
{
    const FinishCase& c = GetParam();
    form->Edit1->setText(QString::fromLatin1(c.cycles));
    form->Edit4->setText(QString::fromLatin1(c.perDip));
    form->iSwitchSlider1->setPosition(c.speed);

    clickFromEventLoop(form->BitBtn1);

    EXPECT_EQ(sent(), PowerAt12VoltsDC + QStringList{QStringLiteral("RY 1")} + c.loop);
    EXPECT_EQ(platform.dialogs, QStringList{QStringLiteral("Info: Run Stopped: Number Cycles")});
    EXPECT_EQ(platform.beepTicks.size(), 2);
    EXPECT_EQ(form->BitBtn1->text(), QStringLiteral("Run"));
    EXPECT_TRUE(groupsEnabled());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PolishRunFinishes,
    ::testing::Values(
        FinishCase{"2", "10", 2,
                   list({"SS 2", "GT -2187", "GT 2187", "SS 2", "GP -154 2", "GP 154 2", "GP -154 2", "GP 154 2",
                         "GP -2 2", "RY 0"})},
        FinishCase{"3", "2", 1,
                   list({"SS 2", "GT -2187", "GT 2187", "SS 3", "GP -154 2", "GP 154 2", "GP -154 2", "GP 154 2",
                         "SS 2", "GT -2187", "GT 2187", "SS 3", "GP -154 2", "GP 154 2", "GP -2 2", "RY 0"})},
        FinishCase{"1", "1", 0,
                   list({"SS 2", "GT -2187", "GT 2187", "SS 4", "GP -154 2", "GP 154 2", "SS 2", "GT -2187",
                         "GT 2187", "SS 4", "GP -2 2", "RY 0"})}));

TEST_F(PolishRuns, StopDuringTheDipLeavesTheElectrodeInTheElectrolyte)
{
    OnCommand stopInDip(instrument, QStringLiteral("GT -2187"), [&] { form->BitBtn1->click(); });

    clickFromEventLoop(form->BitBtn1);

    // No way back to Home, but the stroke speed still goes before the relay is switched off.
    EXPECT_EQ(sent(), PowerAt12VoltsDC + list({"RY 1", "SS 2", "GT -2187", "SS 2", "RY 0"}));
    EXPECT_EQ(state().CurrentSteps, 2343);
    pump(700);
    EXPECT_EQ(platform.beepTicks.size(), 3);
    EXPECT_TRUE(groupsEnabled());
}

struct BadField {
    QLineEdit* TForm1::*field;
    const char* text;
    const char* message;
    bool reachedLoop;  // the status line was blanked before the field was read
    QLocale::Language language = QLocale::English;  // reals are read with its separator
};

class PolishRunBadFields : public PolishRuns, public ::testing::WithParamInterface<BadField> {};

// The click ends with the conversion's message, and the window is left ready for the corrected
// run: "Run" again, the groups usable, nothing sent after the set-point and mode.
TEST_P(PolishRunBadFields, ConversionErrorLeavesTheWindowIdle)
{
    const BadField& c = GetParam();
    form->iPlot1->LabelAt(1)->setCaption(QStringLiteral("old status"));
    const QLocale before;
    QLocale::setDefault(QLocale(c.language));  // first: the number check reads the text with it
    (form.get()->*c.field)->setText(QString::fromLatin1(c.text));
    ASSERT_EQ((form.get()->*c.field)->text(), QString::fromLatin1(c.text));

    clickFromEventLoop(form->BitBtn1);
    QLocale::setDefault(before);
    pump(100);

    EXPECT_EQ(platform.dialogs, QStringList{QStringLiteral("AppError: ") + QString::fromLatin1(c.message)});
    EXPECT_EQ(sent(), PowerAt12VoltsDC);  // the relay was never switched on
    EXPECT_EQ(form->BitBtn1->text(), QStringLiteral("Run"));
    EXPECT_TRUE(form->BitBtn1->isEnabled());
    EXPECT_TRUE(form->Button10->isEnabled());
    EXPECT_TRUE(groupsEnabled());
    EXPECT_FALSE(controller().loopRunning());
    EXPECT_EQ(form->iPlot1->LabelAt(1)->caption(), c.reachedLoop ? QStringLiteral(" ") : QStringLiteral("old status"));
    EXPECT_TRUE(platform.beepTicks.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Fields, PolishRunBadFields,
    ::testing::Values(BadField{&TForm1::Edit4, "2.5", "'2.5' is not a valid integer value", true},
                      BadField{&TForm1::Edit4, "", "'' is not a valid integer value", true},
                      BadField{&TForm1::Edit1, "2.5", "'2.5' is not a valid integer value", false},
                      BadField{&TForm1::Edit2, "e5", "'e5' is not a valid floating point value", false},
                      BadField{&TForm1::Edit3, ",", "',' is not a valid floating point value", false,
                               QLocale::German}));

// One loop drives the relay and the supply at a time: during a run "Start Test" is disabled
// and a click on it (or on its handler) sends nothing; "STOP" stays usable.
TEST_F(PolishRuns, TheTestCannotStartDuringARun)
{
    bool startTestDisabled = false;
    bool stopEnabled = false;
    QStringList sentByTestClicks;
    OnCommand midStroke(instrument, QStringLiteral("GP -154 2"), [&] {
        startTestDisabled = !form->Button10->isEnabled();
        stopEnabled = form->BitBtn1->isEnabled();
        const QStringList before = commands();
        form->Button10->click();
        controller().voltCurrentTest.Button10Click();
        sentByTestClicks = commands().mid(before.size());
        EXPECT_EQ(form->Button10->text(), QStringLiteral("Start Test"));
        form->BitBtn1->click();
    });

    clickFromEventLoop(form->BitBtn1);

    EXPECT_TRUE(startTestDisabled);
    EXPECT_TRUE(stopEnabled);
    EXPECT_TRUE(sentByTestClicks.isEmpty());
    EXPECT_EQ(sent(), PowerAt12VoltsDC + list({"RY 1", "SS 2", "GT -2187", "GT 2187", "SS 2", "GP -154 2",
                                               "GP 154 2", "RY 0"}));
    EXPECT_TRUE(form->BitBtn1->isEnabled());
    EXPECT_TRUE(form->Button10->isEnabled());
}

// A finished run winds down through the rest of its stroke: meanwhile "Run" is disabled and a
// click on it starts nothing (it used to start a second run nested inside the first).
TEST_F(PolishRuns, RunIsDisabledUntilAFinishedRunHasReturned)
{
    form->Edit1->setText(QStringLiteral("1"));
    form->Edit4->setText(QStringLiteral("1"));
    bool runDisabled = false;
    bool testDisabled = false;
    QStringList sentByRunClicks;
    bool clicked = false;
    // The finish's message has been answered; the next wait of the loop (its last stroke's
    // reply) is where the operator's click lands.
    platform.onDialog = [&](const QString&) {
        QTimer::singleShot(0, form.get(), [&] {
            clicked = true;
            runDisabled = form->BitBtn1->text() == QStringLiteral("Run") && !form->BitBtn1->isEnabled();
            testDisabled = !form->Button10->isEnabled();
            const QStringList before = commands();
            form->BitBtn1->click();
            controller().polishRun.BitBtn1Click();
            sentByRunClicks = commands().mid(before.size());
        });
    };

    clickFromEventLoop(form->BitBtn1);

    ASSERT_TRUE(clicked);
    EXPECT_TRUE(runDisabled);
    EXPECT_TRUE(testDisabled);
    EXPECT_TRUE(sentByRunClicks.isEmpty());
    EXPECT_EQ(sent().mid(sent().size() - 2), list({"GP -2 2", "RY 0"}));
    EXPECT_EQ(sent().count(QStringLiteral("RY 1")), 1);
    EXPECT_EQ(platform.dialogs, QStringList{QStringLiteral("Info: Run Stopped: Number Cycles")});
    EXPECT_TRUE(form->BitBtn1->isEnabled());
    EXPECT_TRUE(form->Button10->isEnabled());
    EXPECT_FALSE(controller().loopRunning());
}

// In a comma locale the limits take either separator.
TEST_F(PolishRuns, LimitsReadEitherDecimalSeparatorInACommaLocale)
{
    const QLocale before;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    form->Edit2->setText(QStringLiteral("12,5"));
    form->Edit3->setText(QStringLiteral("1.5e3"));
    OnCommand stopAtOnce(instrument, QStringLiteral("RY 1"), [&] { form->BitBtn1->click(); });

    clickFromEventLoop(form->BitBtn1);
    QLocale::setDefault(before);

    EXPECT_TRUE(platform.dialogs.isEmpty());
    EXPECT_EQ(state().MinCurrentLimit, 12.5);
    EXPECT_EQ(state().TotalLimit, 1500.0);
}

// Closing the window mid-run: the run winds down as on a stop click, and only then are the
// positions saved and the instrument told goodbye.
TEST_F(PolishRuns, ClosingTheWindowStopsTheRunBeforeSayingGoodbye)
{
    bool stillOpen = false;
    OnCommand closeMidStroke(instrument, QStringLiteral("GP -154 2"), [&] {
        form->close();
        stillOpen = !QFile::exists(settingsFile()) && !commands().contains(QStringLiteral("X"));
    });

    clickFromEventLoop(form->BitBtn1);

    EXPECT_TRUE(stillOpen);  // nothing said or saved while the run was still on the stack
    EXPECT_EQ(sent(), PowerAt12VoltsDC + list({"RY 1", "SS 2", "GT -2187", "GT 2187", "SS 2", "GP -154 2",
                                               "GP 154 2", "RY 0", "X"}));
    EXPECT_TRUE(QFile::exists(settingsFile()));
    EXPECT_EQ(form->BitBtn1->text(), QStringLiteral("Run"));
    EXPECT_FALSE(controller().polishRun.running());
}
