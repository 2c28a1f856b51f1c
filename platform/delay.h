#pragma once

#include <cstdint>

namespace velmar {

// Waits `milliseconds` on the tick counter while processing the window's events, so timers,
// clicks and repaints go on: a nested event loop, for code that is no routine and owns the
// thread (tests, benchmarks, the screenshot tool). The program's routines pause with
// `co_await delay(ms)` (platform/task.h) instead. Blocks in the event loop between events
// instead of spinning. A zero wait, or one whose end would pass the counter's wrap-around,
// returns at once.
void Delay(std::uint32_t milliseconds);

}  // namespace velmar
