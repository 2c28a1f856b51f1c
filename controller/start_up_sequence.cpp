#include "controller/start_up_sequence.h"

#include "controller/controller.h"

namespace velmar {

void StartUpSequence::iThreadTimers1Timer1([[maybe_unused]] QObject* sender) {}

}  // namespace velmar
