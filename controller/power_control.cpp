#include "controller/power_control.h"

#include "controller/controller.h"

namespace velmar {

void PowerControl::ApplyPower() {}
void PowerControl::ApplyPowerAndZero() {}
void PowerControl::Button6Click() {}
void PowerControl::Button11Click() {}
void PowerControl::Button9Click() {}

}  // namespace velmar
