#include "controller/power_control.h"

#include "controller/controller.h"
#include "device/protocol.h"
#include "platform/number_format.h"
#include "widgets/dials/tiangulargauge.h"
#include "widgets/dials/tiknob.h"
#include "widgets/dials/tiswitchslider.h"
#include "widgets/plot/tiplot.h"

#include <QLabel>
#include <QPushButton>

namespace velmar {

namespace {
const QString kPowerOn = QStringLiteral("Power On");
const QString kPowerOff = QStringLiteral("Power Off");
const QString kRelayOn = QStringLiteral("Relay On");
const QString kRelayOff = QStringLiteral("Relay Off");
}  // namespace

std::int32_t PowerControl::setPointCount(double volts)
{
    return RoundToInt(volts * 16.0);
}

QString PowerControl::modeText() const
{
    return protocol::mode(c_.ui.iSwitchSlider2->position() == 1);
}

Task<void> PowerControl::ApplyPower()
{
    co_await c_.commands.SendCommand(protocol::relay(false));
    const std::int32_t count = setPointCount(c_.ui.iKnob1->position());
    c_.ui.Label4->setText(QString::number(count));
    co_await c_.commands.SendCommand(protocol::setPoint(count));
    co_await c_.commands.SendCommand(modeText());
}

Task<void> PowerControl::ApplyPowerAndZero()
{
    co_await ApplyPower();
    co_await CaptureZero();
}

Task<void> PowerControl::CaptureZero()
{
    co_await c_.commands.SendCommand(protocol::output(true));
    // The poll cycles running during this pause read the frames sent with the output on and
    // the relay off: that count is what zero current reads as.
    co_await c_.pause(500);
    c_.state.ZeroOffset = c_.state.RawCurrent;
    c_.ui.Label2->setText(QString::number(c_.state.ZeroOffset));
    co_await c_.commands.SendCommand(protocol::output(false));
}

void PowerControl::Button6Click() { c_.routines.launch(ApplyPowerAndZero()); }

void PowerControl::Button9Click()
{
    if (c_.state.CommandBusy)
        return;
    QPushButton* button = c_.ui.Button9;
    const bool on = button->text() == kRelayOn;
    button->setText(on ? kRelayOff : kRelayOn);
    c_.routines.launch(c_.commands.SendCommand(protocol::relay(on)));
}

void PowerControl::showSwitchedOff(bool relayOff, bool outputOff)
{
    if (relayOff)
        c_.ui.Button9->setText(kRelayOn);
    if (outputOff && c_.ui.Button11->text() != kPowerOn) {
        c_.ui.Button11->setText(kPowerOn);
        c_.ui.iAngularGauge1->setPosition(0.0);
        c_.ui.iKnob1->setEnabled(true);
        c_.ui.iSwitchSlider2->setEnabled(true);
    }
}

void PowerControl::Button11Click()
{
    if (c_.state.CommandBusy)
        return;
    c_.routines.launch(switchPower());
}

Task<void> PowerControl::switchPower()
{
    QPushButton* button = c_.ui.Button11;
    if (button->text() == kPowerOn) {
        // Set-point and mode stay as programmed for as long as the output is on.
        c_.ui.iKnob1->setEnabled(false);
        c_.ui.iSwitchSlider2->setEnabled(false);
        co_await ApplyPowerAndZero();
        c_.ui.iPlot1->LabelAt(1)->setCaption(QStringLiteral("Power = ")
                                             + FormatNumber(c_.ui.iKnob1->position(), 4, 1)
                                             + QStringLiteral("Volts") + modeText());
        button->setText(kPowerOff);
        co_await c_.commands.SendCommand(protocol::output(true));
        // The pulse switched the relay off; put it back if the operator had it on.
        if (c_.ui.Button9->text() == kRelayOff)
            co_await c_.commands.SendCommand(protocol::relay(true));
    } else {
        button->setText(kPowerOn);
        co_await c_.commands.SendCommand(protocol::output(false));
        // Drop the meter now rather than at the next poll cycle.
        c_.ui.iAngularGauge1->setPosition(0.0);
        c_.ui.iKnob1->setEnabled(true);
        c_.ui.iSwitchSlider2->setEnabled(true);
    }
}

}  // namespace velmar
