#pragma once

#include <QString>

#include <cstdint>

namespace velmar {

// Waits `milliseconds` on the tick counter while processing the window's events, so timers,
// clicks and repaints go on. Blocks in the event loop between events instead of spinning.
// A zero wait, or one whose end would pass the counter's wrap-around, returns at once.
void Delay(std::uint32_t milliseconds);

// Modal "Information" dialog; events keep being processed while it is open.
void ShowInfo(const QString& text);

}  // namespace velmar
