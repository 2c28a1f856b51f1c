#include "controller/poll_cycle.h"

#include "controller/controller.h"

namespace velmar {

void PollCycle::iThreadTimers1Timer9([[maybe_unused]] QObject* sender) {}

}  // namespace velmar
