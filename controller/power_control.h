#pragma once

#include <QString>

#include <cstdint>

class QObject;

namespace velmar {

class Controller;

// The supply and its relay: programming set-point and mode from the knob and the mode switch,
// the zero-current capture, and the Power and Relay toggles whose captions hold their state.
class PowerControl {
public:
    explicit PowerControl(Controller& c) : c_(c) {}
    // Relay off, then set-point and mode from the controls.
    void ApplyPower();
    // ApplyPower, then a 500 ms output pulse during which the poll cycle refreshes RawCurrent;
    // that count becomes ZeroOffset. Output and relay are both off afterwards.
    void ApplyPowerAndZero();
    void Button6Click();
    void Button11Click();
    void Button9Click();
    // Output and relay are both off (after the volt-versus-current test): the Power and Relay
    // buttons offer to switch them on, and set-point and mode may change again.
    void showSupplyOff();

    // "DC" when the mode switch is at 1, else "AC".
    QString modeText() const;
    // Set-point count for the knob's volts: volts x 16, ties to even.
    static std::int32_t setPointCount(double volts);

private:
    Controller& c_;
};

}  // namespace velmar
