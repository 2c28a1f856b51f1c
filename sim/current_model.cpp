#include "sim/current_model.h"

#include <algorithm>
#include <cmath>

namespace velmar::sim {

int CurrentModel::frameValue(const SupplyState& state, std::mt19937& rng)
{
    std::uniform_int_distribution<int> jitter(-noise, noise);
    if (!state.outputOn)
        return std::max(0, idleCount + jitter(rng));

    double raw = zeroCount;
    if (state.relayOn) {
        const double volts = state.setPoint / 16.0;
        raw += volts * countsPerVolt * (state.dc ? 1.0 : acFactor);
    }
    const int count = std::clamp(static_cast<int>(std::lround(raw)) + jitter(rng), 0, 89999);
    return 10000 + count;
}

}  // namespace velmar::sim
