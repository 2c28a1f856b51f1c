#pragma once

#include "platform/task.h"

#include <QString>

#include <cstdint>

namespace velmar {

class Controller;

// The supply and its relay: programming set-point and mode from the knob and the mode switch,
// the zero-current capture, and the Power and Relay toggles whose captions hold their state.
class PowerControl {
public:
    explicit PowerControl(Controller& c) : c_(c) {}
    // Relay off, then set-point and mode from the controls.
    Task<void> ApplyPower();
    // ApplyPower, then a 500 ms output pulse during which the poll cycle refreshes RawCurrent;
    // that count becomes ZeroOffset. Output and relay are both off afterwards.
    Task<void> ApplyPowerAndZero();
    // The zero capture at the voltage already programmed: output on with the relay off for
    // 500 ms, the reading then taken as zero current (ZeroOffset, shown in Label2), output off.
    Task<void> CaptureZero();
    void Button6Click();   // "Set Power and Zero Current"
    void Button11Click();  // "Power On" / "Power Off"
    void Button9Click();   // "Relay On" / "Relay Off"
    // The instrument was switched off behind the buttons' backs (a fault, the program's end):
    // what it acknowledged shows as the Relay and Power buttons show it after their own
    // switching off.
    void showSwitchedOff(bool relayOff, bool outputOff);

    // "DC" when the mode switch is at 1, else "AC".
    QString modeText() const;
    // Set-point count for the knob's volts: volts x 16, ties to even.
    static std::int32_t setPointCount(double volts);

private:
    // Button11's routine: the output on with a fresh zero, or off.
    Task<void> switchPower();

    Controller& c_;
};

}  // namespace velmar
