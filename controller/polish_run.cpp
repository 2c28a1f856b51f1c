#include "controller/polish_run.h"

#include "controller/controller.h"

namespace velmar {

void PolishRun::BitBtn1Click() {}
void PolishRun::RunPolishLoop() {}

}  // namespace velmar
