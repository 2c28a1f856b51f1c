#include "controller/volt_current_test.h"

#include "controller/controller.h"

namespace velmar {

void VoltCurrentTest::Button10Click() {}

}  // namespace velmar
