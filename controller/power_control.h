#pragma once

#include <cstdint>

class QObject;

namespace velmar {

class Controller;

class PowerControl {
public:
    explicit PowerControl(Controller& c) : c_(c) {}
    void ApplyPower();
    void ApplyPowerAndZero();
    void Button6Click();
    void Button11Click();
    void Button9Click();

private:
    Controller& c_;
};

}  // namespace velmar
