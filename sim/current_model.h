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
    // The deepest the electrode went since the previous frame (this frame's instant included):
    // a dip shorter than a frame period still shows here.
    int deepestSteps = 0;
    // Steps the axis has travelled since the instrument was switched on, up to this instant.
    double travelSteps = 0.0;
};

// Polishing current of a fresh, wetted electrode at the given supply volts, in raw counts above
// the zero count (DC). Three regions: an etching rise at low volts, a nearly flat polishing
// plateau, and a steep rise once gas evolves at the electrode.
double polishCurveCounts(double volts);

// The polishing plateau of that curve: the volts over which its current changes by at most
// `flatShare` of its level per volt, around its flattest point.
struct VoltRange {
    double from = 0.0;
    double to = 0.0;
    double centre() const { return (from + to) / 2.0; }
};
VoltRange polishPlateauVolts(double flatShare = 0.015);

// Turns the supply state into the value of one channel-B frame (0..99999): a small electrolytic
// cell with a film on the electrode.
//
// The frame value carries the current flag by adding 10000 to the raw count. The supply
// flags every frame while its output is on, so a zero-current capture (output on, relay open)
// sees the zero count; with the relay closed as well the polishing current adds to it.
//
// The polishing current is the voltage curve above, scaled by
//  - the wetting: a dip below the electrolyte surface wets the electrode fully; the film then
//    thins with every step the electrode travels in the air, so the current fades over the
//    strokes after a dip (exponentially over `wettingLengthSteps`). While immersed, the wetted
//    area and the current grow with the depth;
//  - the polish: the current falls slowly as charge passes (the electrode thins), by
//    exp(-charge / fallCharge) with the charge in count-seconds of real time; at a steady
//    fresh current I that is 1 / (1 + I t / fallCharge) after t seconds.
// AC gives `acFactor` of the DC current. The electrode starts wetted, as if just mounted wet.
//
// Frames are asked for in time order; the model keeps the wetting and the charge between them.
class CurrentModel {
public:
    virtual ~CurrentModel() = default;
    virtual int frameValue(const SupplyState& state, std::mt19937& rng);

    // Noise-free raw count above zero the model gives for `state` right now, without advancing
    // its charge or wetting (what the next frame would read less the zero count and the noise).
    double polishingCounts(const SupplyState& state) const;

    // 0..1: how wet the electrode is now (1 just after a dip).
    double wetness(const SupplyState& state) const;
    double charge() const;  // count-seconds passed while polishing

    int zeroCount = 12;            // raw count with the output on and no current flowing
    double acFactor = 0.6;         // AC gives less mean current at the same set-point
    int idleCount = 3;             // what an idle supply reports (below the flag)
    int noise = 2;                 // +- counts of uniform noise on every frame
    // Electrolyte surface: 12 mm below the top, between End Polish and the Electrolyte position.
    int surfaceSteps = 1875;
    double immersionPerStep = 1.0 / 1000.0;  // extra current per step below the surface
    double wettingLengthSteps = 19200.0;     // ten strokes of 1 mm leave 85 % of the film
    // Three minutes of polishing at 12 V DC (96 counts) halve the current.
    double fallCharge = 96.0 * 180.0;

private:
    double freshCounts(const SupplyState& state) const;  // before the polish's fall

    double wetReferenceTravel_ = 0.0;  // travel when the electrode last left the electrolyte
    double polishFactor_ = 1.0;
    std::int64_t lastAt_ = 0;
    bool started_ = false;
};

}  // namespace velmar::sim
