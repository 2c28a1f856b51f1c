#pragma once

#include <optional>
#include <span>

namespace velmar {

// What one half-cycle evaluation of a polish run left behind.
struct HalfCycleRecord {
    double seconds = 0.0;     // since the run started
    double cyclesDone = 0.0;  // cycles counted against the "Number Cycles" limit, after it
    double average = 0.0;     // the half-cycle's average current, mA
    double total = 0.0;       // the run's total after it (sum of the averages)
    int sinceDip = 0;         // evaluations since the last dip into the electrolyte (0: the first)
};

// The limits the operator set for the run; an empty field sets none.
struct FinishLimits {
    std::optional<double> cycles;
    std::optional<double> minimumCurrent;  // mA
    std::optional<double> totalCharge;
};

enum class FinishCriterion { NumberCycles, MinimumCurrent, TotalCharge };

struct FinishEstimate {
    double atSeconds = 0.0;  // since the run started; the last evaluation's time when a limit is already met
    FinishCriterion criterion = FinishCriterion::NumberCycles;
};

// Fewer evaluations than this say too little about the run's pace or the current's decay.
inline constexpr int MinimumEvaluationsForEstimate = 5;

// When the run will finish, and by which criterion: the earliest of
//  - number of cycles: the evaluations left times the recent time per evaluation;
//  - minimum current: the decay of the averages, fitted as a straight line of their logarithm
//    against the charge passed (the specimen changes with the metal removed, which follows the
//    charge, not the clock), over a recent window, extrapolated until the lower edge of the
//    averages (the strokes just before a dip, where the film is thinnest) reaches the limit;
//  - total charge: the charge still to pass divided by the recent charge per evaluation.
// Nothing with fewer than MinimumEvaluationsForEstimate evaluations, with no limit set, or
// when only the minimum current is set and the current is not falling toward it.
std::optional<FinishEstimate> estimateFinish(std::span<const HalfCycleRecord> history, const FinishLimits& limits);

}  // namespace velmar
