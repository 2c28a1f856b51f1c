#include "controller/half_cycle.h"

#include "controller/controller.h"

namespace velmar {

void HalfCycle::EvaluateHalfCycle() {}

}  // namespace velmar
