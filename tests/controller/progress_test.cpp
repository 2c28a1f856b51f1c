// labels: slow
#include "controller/insight/status_text.h"
#include "tests/controller/wire_watch.h"
#include "tests/support/window_fixture.h"
#include "widgets/dials/tiknob.h"
#include "widgets/dials/tiswitchslider.h"
#include "widgets/plot/tiplot.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>

using namespace velmar;
using test::clickFromEventLoop;
using test::OnCommand;

namespace {

class ProgressOnTheInstrument : public test::WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        startUpAt12VoltsDc();
    }
    // What the status line shows once its timer (on the real clock) has had time to catch up.
    QString shown()
    {
        pump(static_cast<int>((velmar::Progress::RefreshMs + 100) * platform.tickRate));
        return form->statusLine->text();
    }
    static testing::AssertionResult matches(const QString& text, const char* pattern)
    {
        if (QRegularExpression(QStringLiteral("^%1$").arg(QString::fromUtf8(pattern))).match(text).hasMatch())
            return testing::AssertionSuccess();
        return testing::AssertionFailure() << '"' << text.toStdString() << "\" is not \"" << pattern << '"';
    }
};

}  // namespace

// Outside a run the line says what is switched on: never just "Ready" with current flowing,
// nor after a run that left the supply output on.
TEST_F(ProgressOnTheInstrument, StatusLineSaysWhatIsSwitchedOn)
{
    const QString simulated = QStringLiteral(" \u00b7 Simulated instrument");
    click(form->Button11);  // Power On
    EXPECT_EQ(shown(), "Ready \u00b7 supply output on" + simulated);
    click(form->Button9);  // Relay On
    EXPECT_EQ(shown(), "Ready \u00b7 supply output on \u00b7 relay on" + simulated);
    click(form->Button9);  // Relay Off
    EXPECT_EQ(shown(), "Ready \u00b7 supply output on" + simulated);

    form->Edit1->setText(QStringLiteral("1"));
    clickFromEventLoop(form->BitBtn1);  // the run switches the relay off at its end, not the output
    EXPECT_TRUE(matches(shown(), "Finished after 0:0\\d: number of cycles reached · supply output on · Simulated instrument"));

    click(form->Button11);  // Power Off
    EXPECT_TRUE(matches(shown(), "Finished after 0:0\\d: number of cycles reached · Simulated instrument"));
}

// Three cycles with the supply output off: the line counts the cycles and expects the cycle
// limit to end the run, then says how the run ended; in the background that is also a desktop
// notification, sent as the limit is met, while the dialog that announces it waits.
TEST_F(ProgressOnTheInstrument, StatusLineFollowsAShortRun)
{
    EXPECT_EQ(shown(), QStringLiteral("Ready \u00b7 Simulated instrument"));
    form->Edit1->setText(QStringLiteral("3"));
    QString midRun;
    // Read at once: the run goes on while the test waits.
    OnCommand third(instrument, QStringLiteral("GP 154 2"), [&] {
        controller().progress.refresh();
        midRun = form->statusLine->text();
    }, 3);
    QStringList notifiedBeforeDialog;
    platform.onDialog = [&](const QString&) { notifiedBeforeDialog = platform.notifications; };

    clickFromEventLoop(form->BitBtn1);

    EXPECT_TRUE(matches(midRun, "Polishing: cycle 3 of 3 · elapsed 0:0\\d · finish in about 0:0\\d \\(number of "
                                "cycles\\) · supply output is off · Simulated instrument"));
    EXPECT_TRUE(matches(shown(), "Finished after 0:0\\d: number of cycles reached · Simulated instrument"));
    ASSERT_EQ(platform.notifications.size(), 1);
    EXPECT_TRUE(matches(platform.notifications[0], "Velmar: Finished after 0:0\\d: number of cycles reached"));
    EXPECT_EQ(notifiedBeforeDialog, platform.notifications);
}

// A two-step test (too short for a plateau), then a recording. The test's waits run four
// times faster than real time.
TEST_F(ProgressOnTheInstrument, StatusLineFollowsAVoltCurrentTestAndARecording)
{
    platform.tickRate = 4.0;
    form->Edit6->setText(QStringLiteral("4"));
    form->Edit7->setText(QStringLiteral("6"));
    QString secondStep;
    OnCommand settling(instrument, QStringLiteral("RY 1"), [&] {
        controller().progress.refresh();
        secondStep = form->statusLine->text();
    }, 2);

    clickFromEventLoop(form->Button10);

    EXPECT_TRUE(matches(secondStep, "V-I test: 5 V \\(4 to 6\\) · elapsed 0:0\\d · about 0:0\\d left · Simulated instrument"));
    EXPECT_TRUE(matches(shown(), "Finished after 0:0\\d: no plateau found · Simulated instrument"));
    EXPECT_EQ(form->iPlot1->AnnotationCount(), 0);
    EXPECT_TRUE(form->useSuggestedVoltage->isHidden());
    EXPECT_EQ(platform.notifications.size(), 1);

    platform.tickRate = 1.0;
    form->Button8->click();  // Chart On
    pump(1000);
    const QString recording = shown();
    const QString points = QString::number(form->iPlot1->ChannelAt(0)->Count());
    EXPECT_TRUE(matches(recording, "Recording: 0:01, \\d+ points · Simulated instrument")) << recording.toStdString();
    form->Button8->click();  // Chart Off
    const QString stopped = shown();
    EXPECT_TRUE(matches(stopped, "Finished after 0:01: \\d+ points recorded · Simulated instrument"));
    EXPECT_TRUE(stopped.contains(QString::number(form->iPlot1->ChannelAt(0)->Count()) + QStringLiteral(" points")));
    EXPECT_EQ(platform.notifications.size(), 1);  // the operator ended that one
}

// A sweep across the simulated cell's plateau finds it where the cell has it, draws it on the
// chart, and offers its middle for the knob. The waits of each step run four times faster than
// real time. The cell's own curve is what is tested here, the same on every run: its reading
// noise is off (the finder's tolerance of noise is measured on generated sweeps, which vary it
// over many shapes), and so is its polishing fade, which follows the instrument's clock and on
// a loaded machine, where each step takes longer in real time, tilts the plateau by more than
// the flat limit.
TEST_F(ProgressOnTheInstrument, SweepOnTheSimulatedCellFindsItsPlateau)
{
    platform.tickRate = 4.0;
    instrument->currentModel().noise = 0;
    instrument->currentModel().fallCharge = 1e12;  // a fade too slow to show in a minute
    form->Edit6->setText(QStringLiteral("6"));
    form->Edit7->setText(QStringLiteral("32"));

    clickFromEventLoop(form->Button10);

    const sim::VoltRange cell = sim::polishPlateauVolts();
    const auto plateau = controller().progress.plateau();
    ASSERT_TRUE(plateau);
    EXPECT_LE(plateau->fromVolts, cell.centre());
    EXPECT_GE(plateau->toVolts, cell.centre());
    // The gas rise sets in smoothly (2 % above the plateau 1 V past where its slope passes
    // 1.5 % per volt, 8 % at 3 V): the high end is found where the readings clearly leave the
    // plateau, up to 3 V later.
    EXPECT_GE(plateau->fromVolts, cell.from - 2.0);
    EXPECT_LE(plateau->toVolts, cell.to + 3.0);

    TiPlotAnnotation* band = controller().progress.plateauBand();
    TiPlotAnnotation* label = controller().progress.plateauLabel();
    ASSERT_TRUE(band && label);
    EXPECT_EQ(band->x1(), plateau->fromVolts);
    EXPECT_EQ(band->x2(), plateau->toVolts);
    EXPECT_EQ(label->text(), plateauText(*plateau));
    EXPECT_EQ(label->x1(), plateau->suggestedVolts);
    EXPECT_EQ(shown().section(QStringLiteral(": "), 1), plateauText(*plateau) + QStringLiteral(" \u00b7 Simulated instrument"));

    // The knob takes the suggestion; nothing goes to the supply until power is applied.
    ASSERT_FALSE(form->useSuggestedVoltage->isHidden());
    ASSERT_TRUE(form->useSuggestedVoltage->isEnabled());
    const int sent = commands().size();
    form->useSuggestedVoltage->click();
    EXPECT_EQ(form->iKnob1->position(), plateau->suggestedVolts);
    pump(100);
    EXPECT_EQ(commands().size(), sent);

    // Clear Chart takes the band, and the suggestion with it.
    form->Button13->click();
    EXPECT_EQ(form->iPlot1->AnnotationCount(), 0);
    shown();
    EXPECT_TRUE(form->useSuggestedVoltage->isHidden());
}
