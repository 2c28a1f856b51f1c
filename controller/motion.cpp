#include "controller/motion.h"

#include "controller/controller.h"

namespace velmar {

double Motion::ShowPosition([[maybe_unused]] std::int32_t steps) { return 0.0; }
std::int32_t Motion::MmToSteps([[maybe_unused]] double mm) { return 0; }
void Motion::MoveTo([[maybe_unused]] std::int32_t target) {}
void Motion::MovePolish([[maybe_unused]] std::int32_t target) {}
void Motion::ApplyPendingMoves() {}
void Motion::Button1Click() {}
void Motion::Button2Click() {}
void Motion::Button7Click() {}
void Motion::Button3Click() {}
void Motion::iLinearGauge1PointerPositionChanged([[maybe_unused]] int index) {}
void Motion::iLinearGauge1MouseUp() {}
void Motion::Button4Click() {}
void Motion::Button5Click() {}

}  // namespace velmar
