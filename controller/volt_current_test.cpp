#include "controller/volt_current_test.h"

#include "controller/controller.h"
#include "device/protocol.h"
#include "platform/conversions.h"
#include "widgets/dials/tiknob.h"
#include "widgets/dials/tiswitchslider.h"
#include "widgets/plot/tiplot.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace velmar {
namespace {

const QString StartCaption = QStringLiteral("Start Test");
const QString StopCaption = QStringLiteral("Stop Test");

}  // namespace

VoltCurrentTest::VoltCurrentTest(Controller& c)
    : c_(c),
      loop_(c.failSafe, [&c] { c.updateStartButtons(); },
            [&c](LoopState state) { c.ui.Button10->setText(state == LoopState::Running ? StopCaption : StartCaption); })
{
}

bool VoltCurrentTest::offersStop() const { return loop_.state() == LoopState::Running; }

void VoltCurrentTest::Button10Click()
{
    if (loop_.state() == LoopState::Running) {
        // The loop sees this at the top of its next step.
        loop_.stop();
        c_.records.noteEnd(RecordKind::ViTest, RecordEnd::Stopped);
        return;
    }
    // A run, or a test still winding down: the button is disabled then; this guards the rest.
    // Likewise a fault has just stopped the last test or run, whose loop is still winding down
    // with its commands held back: a test started now could send nothing.
    if (c_.loopRunning() || c_.state.CommandsHeld)
        return;
    // A bad Min or Max ends the click with its message before the first step: nothing has
    // been sent, and the button offers the start again.
    loop_.start(RunVoltCurrentTest(), {});
}

Task<void> VoltCurrentTest::RunVoltCurrentTest()
{
    ControllerState& s = c_.state;
    TiPlot* plot = c_.ui.iPlot1;
    CommandChannel& commands = c_.commands;

    plot->ClearData();
    plot->YAxisAt(0)->setTitle(QStringLiteral("Current (mA)"));
    plot->XAxisAt(0)->setTitle(QStringLiteral("Volts"));
    plot->XAxisAt(0)->setMin(0.0);
    plot->LabelAt(1)->setCaption(QStringLiteral("Current = ") + c_.power.modeText());

    // Max first: with both fields bad, the message names Max's text.
    const int vmax = StrToInt(c_.ui.Edit7->text());
    const int vmin = StrToInt(c_.ui.Edit6->text());
    plot->XAxisAt(0)->setMin(vmin);
    plot->XAxisAt(0)->setSpan(static_cast<double>(vmax) - static_cast<double>(vmin));
    c_.progress.testStarted(vmin, vmax);
    c_.records.begin(RecordKind::ViTest);
    Cancellation& fault = loop_.cancellation();

    for (int v = vmin; v < vmax && loop_.state() == LoopState::Running && !c_.failSafe.loopsMustEnd();) {
        c_.progress.testStepStarted(v);
        co_await c_.motion.MoveTo(s.ElectrolyteSteps);
        c_.ui.iKnob1->setPosition(v);  // the knob clamps to its range; the commands use v
        // Zero at this voltage: output on with the relay off, the way the supply's own
        // zero capture does it.
        co_await commands.SendCommand(protocol::relay(false));
        co_await commands.SendCommand(protocol::setPoint(static_cast<std::int64_t>(v) * 16));
        co_await commands.SendCommand(c_.power.modeText());
        co_await c_.power.CaptureZero();

        co_await c_.motion.MoveTo(s.HomeSteps);
        co_await commands.SendCommand(protocol::output(true));
        co_await commands.SendCommand(protocol::relay(true));
        // The poll cycles meanwhile refresh the samples we average. A fault that cuts the wait
        // short leaves them unsettled: no point then.
        if (co_await c_.pause(2000, &fault)) {
            TakenPoint point{RecordKind::ViTest, static_cast<double>(v), AverageOfLastThree(s)};
            point.zeroOffset = s.ZeroOffset;
            c_.takePoint(point);
        }
        ++v;
        co_await c_.motion.MoveTo(s.ElectrolyteSteps);
    }

    if (!c_.failSafe.loopFinished() && loop_.state() == LoopState::Running)
        c_.records.noteEnd(RecordKind::ViTest, RecordEnd::Completed);
    loop_.stop();
    co_await commands.SendCommand(protocol::relay(false));
    co_await commands.SendCommand(protocol::output(false));
    co_await commands.SendCommand(protocol::setPoint(0));
    c_.ui.iKnob1->setPosition(4.0);
    // Output and relay are off now, whatever the Power and Relay buttons said before the test.
    c_.power.showSwitchedOff(true, true);
    c_.progress.testEnded();
    c_.records.end(RecordKind::ViTest);
}

bool VoltCurrentTest::stop() { return loop_.stop(); }

bool VoltCurrentTest::stopNow() { return loop_.stopNow(); }

}  // namespace velmar
