#pragma once

namespace velmar {

// The windows' pictures (logo, icon) are compiled into the ui library, whose resources must be
// registered by hand before the first use; repeating it is harmless.
void RegisterWindowResources();

}  // namespace velmar
