#include "sim/current_model.h"

#include <algorithm>
#include <cmath>

namespace velmar::sim {

namespace {

constexpr double kKneeVolts = 5.0;       // the etching rise flattens out above about twice this
constexpr double kPlateauSlope = 0.4;    // counts per volt along the plateau
constexpr double kGasVolts = 24.0;       // gas evolution sets in here
constexpr double kGasCoefficient = 0.5;  // counts per volt squared above kGasVolts
// Chosen so that 12 V, in the middle of the plateau, gives 96 counts.
const double kPlateauCounts = (96.0 - kPlateauSlope * 12.0) / std::tanh(12.0 / kKneeVolts);

}  // namespace

double polishCurveCounts(double volts)
{
    if (volts <= 0.0)
        return 0.0;
    double counts = kPlateauCounts * std::tanh(volts / kKneeVolts) + kPlateauSlope * volts;
    if (volts > kGasVolts)
        counts += kGasCoefficient * (volts - kGasVolts) * (volts - kGasVolts);
    return counts;
}

VoltRange polishPlateauVolts(double flatShare)
{
    // The curve is smooth: its relative slope, sampled finely, falls through the etching rise
    // to its least on the plateau and climbs again with the gas.
    constexpr double step = 0.01;
    const auto relativeSlope = [](double v) {
        return (polishCurveCounts(v + step / 2) - polishCurveCounts(v - step / 2)) / step / polishCurveCounts(v);
    };
    double flattest = 1.0;
    for (double v = 1.0; v < 60.0; v += step)
        if (relativeSlope(v) < relativeSlope(flattest))
            flattest = v;
    VoltRange range{flattest, flattest};
    while (range.from > step && relativeSlope(range.from - step) <= flatShare)
        range.from -= step;
    while (range.to < 60.0 && relativeSlope(range.to + step) <= flatShare)
        range.to += step;
    return range;
}

double CurrentModel::wetness(const SupplyState& state) const
{
    double reference = wetReferenceTravel_;
    if (state.deepestSteps >= surfaceSteps) {
        // Wetted in this frame; the film has thinned only over the way up since (straight up
        // from the surface, as after a dip).
        reference = state.travelSteps - std::max(0, surfaceSteps - state.positionSteps);
    }
    const double airTravel = std::max(0.0, state.travelSteps - reference);
    return std::exp(-airTravel / wettingLengthSteps);
}

double CurrentModel::charge() const { return -fallCharge * std::log(polishFactor_); }

double CurrentModel::freshCounts(const SupplyState& state) const
{
    if (!state.outputOn || !state.relayOn)
        return 0.0;
    double counts = polishCurveCounts(state.setPoint / 16.0) * wetness(state);
    if (state.positionSteps > surfaceSteps)
        counts *= 1.0 + (state.positionSteps - surfaceSteps) * immersionPerStep;
    return state.dc ? counts : counts * acFactor;
}

double CurrentModel::polishingCounts(const SupplyState& state) const
{
    return freshCounts(state) * polishFactor_;
}

int CurrentModel::frameValue(const SupplyState& state, std::mt19937& rng)
{
    const double fresh = freshCounts(state);
    if (state.deepestSteps >= surfaceSteps)
        wetReferenceTravel_ = state.travelSteps - std::max(0, surfaceSteps - state.positionSteps);
    // The charge since the previous frame, with this frame's conditions held over the gap. With
    // dQ/dt = fresh * exp(-Q / fallCharge) the factor after dt seconds is f / (1 + fresh f dt /
    // fallCharge), exact however long the gap (frames skipped while nobody reads).
    if (started_) {
        const double seconds = double(std::max<std::int64_t>(0, state.atMs - lastAt_)) / 1000.0;
        polishFactor_ /= 1.0 + fresh * polishFactor_ * seconds / fallCharge;
    }
    started_ = true;
    lastAt_ = state.atMs;
    const double counts = fresh * polishFactor_;

    std::uniform_int_distribution<int> jitter(-noise, noise);
    if (!state.outputOn)
        return std::max(0, idleCount + jitter(rng));
    const double raw = zeroCount + counts;
    const int count = std::clamp(static_cast<int>(std::lround(raw)) + jitter(rng), 0, 89999);
    return 10000 + count;
}

}  // namespace velmar::sim
