#include "ui/window_resources.h"

#include <QtGlobal>

// Outside the namespace: the macro names a function of the global one.
static void registerResources() { Q_INIT_RESOURCE(resources); }

namespace velmar {

void RegisterWindowResources() { registerResources(); }

}  // namespace velmar
