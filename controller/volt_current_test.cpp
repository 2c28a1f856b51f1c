#include "controller/volt_current_test.h"

#include "controller/controller.h"
#include "platform/conversions.h"
#include "platform/delay.h"
#include "widgets/tiknob.h"
#include "widgets/tiplot.h"
#include "widgets/tiswitchslider.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace velmar {
namespace {

const QString StartCaption = QStringLiteral("Start Test");
const QString StopCaption = QStringLiteral("Stop Test");

}  // namespace

VoltCurrentTest::VoltCurrentTest(Controller& c) : c_(c), loop_([&c] { c.FormClose(); }) {}

void VoltCurrentTest::Button10Click()
{
    QPushButton* button = c_.ui.Button10;
    if (button->text() != StartCaption) {
        // The loop sees this at the top of its next step.
        button->setText(StartCaption);
        return;
    }
    button->setText(StopCaption);
    loop_.run([this] { RunVoltCurrentTest(); });
}

void VoltCurrentTest::RunVoltCurrentTest()
{
    ControllerState& s = c_.state;
    TiPlot* plot = c_.ui.iPlot1;
    CommandChannel& commands = c_.commands;
    const auto mode = [this] {
        return c_.ui.iSwitchSlider2->position() == 1 ? QStringLiteral("DC") : QStringLiteral("AC");
    };

    plot->ClearData();
    plot->YAxisAt(0)->setTitle(QStringLiteral("Current (mA)"));
    plot->XAxisAt(0)->setTitle(QStringLiteral("Volts"));
    plot->XAxisAt(0)->setMin(0.0);
    plot->LabelAt(1)->setCaption(QStringLiteral("Current = ") + mode());

    // Max first: with both fields bad, the message names Max's text.
    const int vmax = StrToInt(c_.ui.Edit7->text());
    const int vmin = StrToInt(c_.ui.Edit6->text());
    plot->XAxisAt(0)->setMin(vmin);
    plot->XAxisAt(0)->setSpan(static_cast<double>(vmax) - static_cast<double>(vmin));

    for (int v = vmin; v < vmax && c_.ui.Button10->text() == StopCaption;) {
        c_.motion.MoveTo(s.ElectrolyteSteps);
        c_.ui.iKnob1->setPosition(v);  // the knob clamps to its range; the commands use v
        // Zero at this voltage: output on with the relay off, the way the supply's own
        // zero capture does it.
        commands.SendCommand(QStringLiteral("RY 0"));
        commands.SendCommand(QStringLiteral("SP 1024 ") + QString::number(static_cast<qint64>(v) * 16));
        commands.SendCommand(mode());
        commands.SendCommand(QStringLiteral("PO 1"));
        Delay(500);
        s.ZeroOffset = s.RawCurrent;
        c_.ui.Label2->setText(QString::number(s.ZeroOffset));
        commands.SendCommand(QStringLiteral("PO 0"));

        c_.motion.MoveTo(s.HomeSteps);
        commands.SendCommand(QStringLiteral("PO 1"));
        commands.SendCommand(QStringLiteral("RY 1"));
        Delay(2000);  // the poll cycles in here refresh the samples we average
        const double average =
            (0.0 + s.CurrentSamples[1] + s.CurrentSamples[2] + s.CurrentSamples[3]) / 3.0;
        plot->ChannelAt(0)->AddPoint(v, average);
        ++v;
        c_.motion.MoveTo(s.ElectrolyteSteps);
    }

    c_.ui.Button10->setText(StartCaption);
    commands.SendCommand(QStringLiteral("RY 0"));
    commands.SendCommand(QStringLiteral("PO 0"));
    commands.SendCommand(QStringLiteral("SP 1024 0"));
    c_.ui.iKnob1->setPosition(4.0);
}

bool VoltCurrentTest::stopForClose() { return loop_.stopForClose(c_.ui.Button10, StartCaption); }

}  // namespace velmar
