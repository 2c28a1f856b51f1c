#include "controller/motion.h"

#include "controller/controller.h"
#include "device/protocol.h"
#include "platform/number_format.h"
#include "platform/platform_services.h"
#include "widgets/dials/tilineargauge.h"

#include <QLabel>

#include <algorithm>

namespace velmar {

double Motion::ShowPosition(std::int32_t steps)
{
    // Extended precision, so every 32-bit count comes back unchanged through MmToSteps.
    const double mm = static_cast<double>(steps * MmPerStep);
    c_.ui.Label3->setText(QString::number(steps));
    c_.ui.Label5->setText(FormatNumber(mm, 4, 2));
    setReadoutColour(Navy);
    c_.ui.iLinearGauge1->setPosition(mm);
    return mm;
}

std::int32_t Motion::MmToSteps(double mm)
{
    const std::int32_t steps =
        RoundToInt(static_cast<double>(static_cast<long double>(mm) / MmPerStep));
    c_.ui.Label3->setText(QString::number(steps));
    return steps;
}

Task<void> Motion::MoveTo(std::int32_t target)
{
    ControllerState& s = c_.state;
    if (s.MoveBusy)
        co_return;
    s.MoveBusy = true;
    // 64 bits: two far-apart 32-bit positions differ by more than 32 bits hold.
    const std::int64_t delta = std::int64_t(s.CurrentSteps) - target;
    s.CurrentSteps = target;
    ShowPosition(s.CurrentSteps);
    if (delta != 0)
        co_await c_.commands.SendCommand(protocol::goTo(delta));
    s.MoveBusy = false;
}

Task<void> Motion::MovePolish(std::int32_t target)
{
    ControllerState& s = c_.state;
    // The device overshoots a "GP" stroke by 2 steps, so the command asks for 2 fewer; the count
    // keeps the true target, so a down stroke and its matching up stroke cancel out.
    constexpr int Correction = 2;
    std::int64_t delta = std::int64_t(s.CurrentSteps) - target;
    delta += delta >= 0 ? -Correction : Correction;
    if (s.MoveBusy)
        co_return;
    s.MoveBusy = true;
    s.CurrentSteps = target;
    ShowPosition(s.CurrentSteps);
    co_await c_.pause(10);
    co_await c_.commands.SendCommand(protocol::goPolish(delta, Correction));
    s.MoveBusy = false;
}

Task<void> Motion::ApplyPendingMoves()
{
    ControllerState& s = c_.state;
    if (s.HomeMovePending) {
        co_await MoveTo(s.HomeSteps);
        s.HomeMovePending = false;
    }
    if (s.PolishMovePending) {
        co_await MoveTo(s.PolishSteps);
        s.PolishMovePending = false;
    }
    if (s.ElectrolyteMovePending) {
        co_await MoveTo(s.ElectrolyteSteps);
        s.ElectrolyteMovePending = false;
    }
}

void Motion::Button1Click()
{
    c_.routines.launch([](Motion& m) -> Task<void> {
        // Re-zeroes even when "TP" is refused: Top is the operator's way to resynchronise the
        // count.
        co_await m.c_.commands.SendCommand(protocol::top());
        m.c_.state.CurrentSteps = 0;
        m.ShowPosition(0);
        platform().beep();
    }(*this));
}

void Motion::Button2Click() { c_.routines.launch(MoveTo(c_.state.HomeSteps)); }
void Motion::Button7Click() { c_.routines.launch(MoveTo(c_.state.PolishSteps)); }
void Motion::Button3Click() { c_.routines.launch(MoveTo(c_.state.ElectrolyteSteps)); }

void Motion::iLinearGauge1PointerPositionChanged(int index)
{
    const double mm = c_.ui.iLinearGauge1->pointerPosition(index);
    if (holdDraggedPointerOnScale(index, mm))
        return;
    // For every pointer, so the step label always shows the one moved last.
    const std::int32_t steps = MmToSteps(mm);
    ControllerState& s = c_.state;
    switch (index) {
    case HomePointer:
        s.HomeSteps = steps;
        setReadoutColour(Red);
        s.HomeMovePending = true;
        break;
    case PolishPointer:
        s.PolishSteps = steps;
        setReadoutColour(Red);
        s.PolishMovePending = true;
        break;
    case ElectrolytePointer:
        s.ElectrolyteSteps = steps;
        setReadoutColour(Lime);
        s.ElectrolyteMovePending = true;
        break;
    default:
        break;
    }
}

bool Motion::holdDraggedPointerOnScale(int index, double mm)
{
    if (placing_ || (index != HomePointer && index != PolishPointer && index != ElectrolytePointer))
        return false;
    TiLinearGauge& gauge = *c_.ui.iLinearGauge1;
    // The gauge passes on drags beyond its ends, and the electrode would be sent outside its
    // travel; only the operator's drags are held, positions from the settings file stay.
    if (gauge.interaction() != PositionControl::Interaction::Dragging ||
        !gauge.pointer(index).dragging())
        return false;
    const double held = std::clamp(mm, gauge.positionMin(), gauge.positionMax());
    if (held == mm)
        return false;
    gauge.setPointerPosition(index, held);
    return true;
}

void Motion::iLinearGauge1MouseUp() { c_.routines.launch(ApplyPendingMoves()); }

void Motion::Button4Click()
{
    c_.routines.launch([](CommandChannel& commands) -> Task<void> {
        for (int i = 0; i < 5; ++i) {
            co_await commands.SendCommand(protocol::goTo(-200));
            co_await commands.SendCommand(protocol::goTo(200));
        }
    }(c_.commands));
}

void Motion::Button5Click() { c_.routines.launch(c_.commands.SendCommand(protocol::speed(2))); }

void Motion::PlaceTeachPointer(int index, double mm)
{
    placing_ = true;
    try {
        c_.ui.iLinearGauge1->setPointerPosition(index, mm);
    } catch (...) {
        placing_ = false;
        throw;
    }
    placing_ = false;
}

void Motion::setReadoutColour(const QColor& colour)
{
    if (colour == readoutColour_)
        return;
    readoutColour_ = colour;
    // The window gives the readout its design colour through a style sheet, which outranks the
    // palette; so the colour is set the same way.
    c_.ui.Label5->setStyleSheet(QStringLiteral("color: %1").arg(colour.name()));
}

}  // namespace velmar
