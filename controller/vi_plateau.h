#pragma once

#include <optional>
#include <span>

namespace velmar {

// One point of a volt-versus-current sweep.
struct VoltCurrentPoint {
    double volts = 0.0;
    double current = 0.0;  // mA
};

// The polishing plateau of a sweep: the limiting-current region between the etching rise and
// the rise of gas evolution, where the electrode polishes rather than etches or pits.
struct VoltPlateau {
    double fromVolts = 0.0;
    double toVolts = 0.0;
    double suggestedVolts = 0.0;  // the middle, rounded to 0.5 V
    // How many times flatter the plateau is than the rest of the curve (median relative slope
    // outside over inside); at least MinimumPlateauConfidence for a plateau to be reported.
    double confidence = 0.0;
};

// A point counts as flat where the current changes by at most this fraction of its level per
// volt (1.5 % per volt: over a 10 V plateau the current moves by about a seventh).
inline constexpr double FlatRelativeSlope = 0.015;
// A flat run that is less than this many times flatter than the rest of the curve is no
// plateau: the whole sweep may simply be flat, or rising slowly everywhere.
inline constexpr double MinimumPlateauConfidence = 2.0;

// The widest run of at least 3 consecutive flat points (ties: the flatter run), or nothing.
// A point's slope is that of a straight line fitted through it and its three neighbours
// on either side, relative to their mean current, so one noisy reading neither breaks a plateau
// nor makes one. Points may come in any order; points at or near zero current (below 2 % of the largest) are
// not conducting yet and never part of a plateau. Non-finite points are ignored.
std::optional<VoltPlateau> findPlateau(std::span<const VoltCurrentPoint> points);

}  // namespace velmar
