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
    // How many times flatter the plateau is than the rest of the curve (the median relative
    // slope of the conducting steps outside over the plateau's own), at most 100.
    double confidence = 0.0;
};

// A run of points is flat where the current changes by at most this fraction of its level per
// volt (1.5 % per volt: over a 10 V plateau the current moves by about a seventh), allowing
// for the reading noise.
inline constexpr double FlatRelativeSlope = 0.015;
// Every plateau found is at least this many times flatter than the rest of the curve.
inline constexpr double MinimumPlateauConfidence = 2.0;

// The widest run of at least 3 consecutive points that lie on a flat line (within the reading
// noise, which is estimated from the sweep itself) and that the readings on either side
// clearly leave: below or above on the low side, above on the high side. A plateau the sweep
// never left on both sides is none: where it ends is not known. Each end is then placed where a
// line through the plateau and one through the few readings of the rise beyond it fit best.
// The run may be as narrow as three points, whatever the step. Points may come in any order;
// points at or near zero current (below 2 % of the median) are not conducting yet and never
// part of a plateau. Non-finite points are ignored.
std::optional<VoltPlateau> findPlateau(std::span<const VoltCurrentPoint> points);

}  // namespace velmar
