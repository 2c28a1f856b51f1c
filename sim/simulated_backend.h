#pragma once

#include "device/d2xx/backend.h"

#include <memory>

namespace velmar::sim {

class KestromSim;

// The simulated instrument as a d2xx backend: its two channels open by the real serial
// numbers and speak the real bytes.
std::unique_ptr<d2xx::Backend> makeSimulatedBackend(std::shared_ptr<KestromSim> instrument);

// Every later FT_OpenEx opens a channel of this instrument (the program with --simulate, the
// tests, the benchmarks).
void installSimulator(std::shared_ptr<KestromSim> instrument);

}  // namespace velmar::sim
