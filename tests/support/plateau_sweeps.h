#pragma once

// Generated volt-versus-current sweeps, with and without a polishing plateau, for the
// plateau finder's property test and its benchmark. Deterministic for a given seed on every
// platform: the random numbers come from std::mt19937_64's raw output, not from the standard
// distributions, whose algorithms differ between libraries.

#include "controller/insight/vi_plateau.h"

#include <cmath>
#include <cstdint>
#include <numbers>
#include <random>
#include <string>
#include <vector>

namespace velmar::testing {

class SweepRandom {
public:
    explicit SweepRandom(std::uint64_t seed) : engine_(seed) {}
    double uniform(double from, double to) { return from + (to - from) * double(engine_() >> 11) * 0x1.0p-53; }
    int integer(int from, int to) { return from + int(engine_() % std::uint64_t(to - from + 1)); }
    // Box-Muller: one standard normal deviate.
    double normal()
    {
        const double u = uniform(0x1.0p-53, 1.0), w = uniform(0.0, 1.0);
        return std::sqrt(-2.0 * std::log(u)) * std::cos(2.0 * std::numbers::pi * w);
    }

private:
    std::mt19937_64 engine_;
};

struct GeneratedSweep {
    std::vector<VoltCurrentPoint> points;
    bool hasPlateau = false;
    double fromVolts = 0.0, toVolts = 0.0;  // the plateau's first and last point
    double step = 1.0;
    std::string shape;  // what was generated, for a failure message
};

// The etching rise meets the plateau at a knee, the gas rise leaves it at another: shapes
// differ, but each meets the plateau with a slope of at least this share of the level per volt
// (5 %: over three times the steepest plateau), so that where the plateau ends is a
// fact of the curve and not a matter of judgement.
inline constexpr double MinimumKneeSlope = 0.05;

// A sweep in steps of 0.5, 1 or 2 V: a few points before the cell conducts, an etching rise
// (linear, convex, concave or S-shaped), a plateau 3 to 20 points wide rising 0 to 1.5 % of its
// level per volt, a rise of gas evolution (linear, quadratic or exponential), read with
// Gaussian noise of 0 to 2 % of the level.
inline GeneratedSweep sweepWithPlateau(SweepRandom& r, double kneeSlope = MinimumKneeSlope)
{
    GeneratedSweep g;
    g.hasPlateau = true;
    const double steps[] = {0.5, 1.0, 2.0};
    const double h = g.step = steps[r.integer(0, 2)];
    const double level = std::exp(r.uniform(std::log(20.0), std::log(500.0)));  // mA
    const double flatSlope = r.uniform(0.0, 0.015);
    const double noise = r.uniform(0.0, 0.02);
    const int width = r.integer(3, 20);
    const double startShare = r.uniform(0.0, 0.3);

    // Etching rise: share of the way up at t in 0..1 and its slope at t = 1.
    struct RiseShape {
        const char* name;
        double (*share)(double);
        double endSlope;
    };
    static const RiseShape rises[] = {
        {"linear", [](double t) { return t; }, 1.0},
        {"convex", [](double t) { return t * t; }, 2.0},
        {"cubic", [](double t) { return t * t * t; }, 3.0},
        {"concave", [](double t) { return t * (1.5 - 0.5 * t); }, 0.5},
        {"S-shaped", [](double t) { return 0.4 * (1.0 - std::cos(std::numbers::pi * t)) + 0.2 * t; }, 0.2},
    };
    const RiseShape& rise = rises[r.integer(0, 4)];
    // The widest rise that still meets the plateau steeply enough, and never narrower than a step.
    const double widest = (1.0 - startShare) * rise.endSlope / kneeSlope;
    const double riseVolts = std::max(h, std::min(widest, r.uniform(2.0, 12.0)));
    const int risePoints = std::max(1, int(std::round(riseVolts / h)));

    // Gas evolution: its share above the plateau at d volts past the plateau's end.
    const int gasKind = r.integer(0, 2);
    const double gasSlope = r.uniform(kneeSlope, 0.4), gasCurve = r.uniform(0.0, 0.05);
    const auto gas = [&](double d) {
        switch (gasKind) {
        case 0: return gasSlope * d;
        case 1: return gasSlope * d + gasCurve * d * d;
        default: return std::expm1(gasSlope * d);
        }
    };
    static const char* const gasNames[] = {"linear", "quadratic", "exponential"};
    const int gasPoints = std::max(2, int(std::round(r.uniform(3.0, 15.0) / h)));

    const int idlePoints = r.integer(0, 3);
    double v = r.uniform(0.0, 4.0);
    v = std::round(v / h) * h;
    const auto add = [&](double current) {
        g.points.push_back({v, current * (1.0 + noise * r.normal())});
        v += h;
    };
    for (int i = 0; i < idlePoints; ++i)
        add(level * 0.005);
    for (int i = 0; i < risePoints; ++i)
        add(level * (startShare + (1.0 - startShare) * rise.share(double(i) / risePoints)));
    g.fromVolts = v;
    const double from = v;
    for (int i = 0; i < width; ++i)
        add(level * (1.0 + flatSlope * (v - from)));
    g.toVolts = v - h;
    for (int i = 1; i <= gasPoints; ++i)
        add(level * (1.0 + flatSlope * (v - from)) * (1.0 + gas(v - g.toVolts)));
    g.shape = std::string(rise.name) + " rise over " + std::to_string(risePoints) + " points, plateau of "
        + std::to_string(width) + " points at " + std::to_string(flatSlope * 100) + " %/V, "
        + gasNames[gasKind] + " gas at " + std::to_string(gasSlope * 100) + " %/V, step "
        + std::to_string(h) + " V, noise " + std::to_string(noise * 100) + " %";
    return g;
}

// A sweep with no plateau: a straight rise from about zero, an exponential, a power law
// (concave or convex), read with Gaussian noise of 0 to 2 % of the level.
inline GeneratedSweep sweepWithoutPlateau(SweepRandom& r)
{
    GeneratedSweep g;
    const double steps[] = {0.5, 1.0, 2.0};
    const double h = g.step = steps[r.integer(0, 2)];
    const double noise = r.uniform(0.0, 0.02);
    const double start = std::round(r.uniform(0.0, 6.0) / h) * h;
    const double span = r.uniform(10.0, 50.0);
    const double scale = std::exp(r.uniform(std::log(20.0), std::log(500.0)));
    const double onset = r.uniform(-2.0, start - 0.5 * h);  // where the current would be zero
    const int kind = r.integer(0, 2);
    const double rate = r.uniform(0.04, 0.3), power = r.uniform(0.5, 3.0);
    const auto curve = [&](double v) {
        switch (kind) {
        case 0: return scale * (v - onset) / span;
        case 1: return scale * std::exp(rate * (v - start - span));
        default: return scale * std::pow((v - onset) / span, power);
        }
    };
    static const char* const names[] = {"linear", "exponential", "power law"};
    for (double v = start; v <= start + span + 1e-9; v += h)
        g.points.push_back({v, curve(v) * (1.0 + noise * r.normal())});
    g.shape = std::string(names[kind]) + (kind == 1 ? " at " + std::to_string(rate * 100) + " %/V"
                                                    : kind == 2 ? " power " + std::to_string(power) : std::string())
        + ", step " + std::to_string(h) + " V, noise " + std::to_string(noise * 100) + " %";
    return g;
}

// Whether the finder's answer for a generated sweep is right: a plateau with both edges within
// one step of the generated ones, or none where none was generated.
inline bool judgedRight(const GeneratedSweep& g, const std::optional<VoltPlateau>& found)
{
    if (!g.hasPlateau)
        return !found;
    return found && std::abs(found->fromVolts - g.fromVolts) <= g.step + 1e-9
        && std::abs(found->toVolts - g.toVolts) <= g.step + 1e-9;
}

}  // namespace velmar::testing
