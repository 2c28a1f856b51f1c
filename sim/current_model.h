#pragma once

#include <cstdint>
#include <random>

namespace velmar::sim {

// What the supply and the axis are doing at one instant, as the current model sees it.
struct SupplyState {
    int setPoint = 0;          // "SP 1024 n": volts x 16
    bool dc = true;            // "DC" / "AC"
    bool outputOn = false;     // "PO 1" / "PO 0"
    bool relayOn = false;      // "RY 1" / "RY 0"
    int positionSteps = 0;     // steps below the top at that instant
    int speed = 2;             // last "SS" value
    std::int64_t atMs = 0;     // instant on the simulator's clock
};

// Turns the supply state into the value of one channel-B frame (0..99999). Kept apart from
// the instrument so a richer model (voltage curve with a plateau, wetting after a dip, the
// slow fall during a polish) can replace it without touching the wire side.
//
// The frame value carries the current flag by adding 10000 to the raw count. The supply
// flags every frame while its output is on, so a zero-current capture (output on, relay off)
// sees the offset count; with the relay closed as well the polishing current adds to it.
class CurrentModel {
public:
    virtual ~CurrentModel() = default;
    virtual int frameValue(const SupplyState& state, std::mt19937& rng);

    int zeroCount = 12;          // raw count with the output on and no current flowing
    double countsPerVolt = 8.0;  // DC polishing current per set-point volt, in raw counts
    double acFactor = 0.6;       // AC gives less mean current at the same set-point
    int idleCount = 3;           // what an idle supply reports (below the flag)
    int noise = 2;               // +- counts of uniform noise on every frame
};

}  // namespace velmar::sim
