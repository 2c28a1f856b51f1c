#include "controller/manual_chart.h"

#include "controller/controller.h"

namespace velmar {

void ManualChart::Button8Click() {}
void ManualChart::Button13Click() {}
void ManualChart::Edit5Change() {}
void ManualChart::iPlot1DblClickDataView() {}

}  // namespace velmar
