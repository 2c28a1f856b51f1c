#include "controller/insight/finish_estimate.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <map>
#include <vector>

namespace velmar {

namespace {

// The pace (time and charge per evaluation) over this many recent intervals: long enough to
// span a dip or two, short enough to follow a change of the Speed switch.
constexpr std::size_t PaceWindow = 40;
// The decay is fitted over the recent half of the run, at least this many evaluations (all,
// early on) and at most the larger bound, so it follows the present rate of decay.
constexpr std::size_t ShortestFit = 60;
constexpr std::size_t LongestFit = 400;
// The run ends at the first average below the limit: the strokes just before a dip, where
// the film is thinnest. Their share of the averages sets the lower edge that is extrapolated.
constexpr double LowerEdgeQuantile = 0.1;
// A fall of less than this many standard errors is no fall: noise on a flat current.
constexpr double SignificantFall = 3.0;

struct Pace {
    double secondsPerEvaluation = 0.0;
    double chargePerEvaluation = 0.0;
};

Pace recentPace(std::span<const HalfCycleRecord> h)
{
    const std::size_t last = h.size() - 1;
    const std::size_t intervals = std::min(last, PaceWindow);
    const HalfCycleRecord& from = h[last - intervals];
    return {(h[last].seconds - from.seconds) / double(intervals), (h[last].total - from.total) / double(intervals)};
}

// Evaluations until the one that counts past the limit (each counts half a cycle).
double evaluationsToCycleLimit(const HalfCycleRecord& last, double limit)
{
    if (last.cyclesDone > limit)
        return 0.0;
    return std::floor((limit - last.cyclesDone) * 2.0) + 1.0;
}

std::optional<double> evaluationsToTotal(const HalfCycleRecord& last, const Pace& pace, double limit)
{
    if (last.total >= limit)
        return 0.0;
    if (!(pace.chargePerEvaluation > 0.0))
        return std::nullopt;
    return std::ceil((limit - last.total) / pace.chargePerEvaluation);
}

// The decay of ln(average) against the charge, over the recent window. A dip wets the
// electrode afresh and the current then fades stroke by stroke, so each stroke position after
// a dip gets a level of its own, and only the changes within a position, from one dip cycle to
// the next, measure the decay.
struct DecayFit {
    double decay = 0.0;  // -d ln(I) / dQ
    double standardError = 0.0;
    // ln(I) at Q = 0 of each stroke position after a dip (index: evaluations since the dip);
    // one level for all when the window holds too few dips to tell the positions apart.
    std::vector<double> levels;
    double meanLevel = 0.0;
};

std::optional<DecayFit> fitDecay(std::span<const HalfCycleRecord> h)
{
    const std::size_t window = std::max(std::min(h.size(), ShortestFit), std::min(h.size() / 2, LongestFit));
    const std::span<const HalfCycleRecord> recent = h.last(window);
    int dips = 0;
    for (const HalfCycleRecord& r : recent)
        dips += r.sinceDip == 0 ? 1 : 0;
    // With fewer than two dips in the window a position is seen once at most: the window is
    // then one position.
    const bool byPosition = dips >= 2;
    const auto position = [&](const HalfCycleRecord& r) { return byPosition ? std::max(r.sinceDip, 0) : 0; };

    struct Group {
        double n = 0.0, x = 0.0, y = 0.0;
    };
    std::map<int, Group> groups;
    for (const HalfCycleRecord& r : recent) {
        if (!(r.average > 0.0))
            continue;
        Group& g = groups[position(r)];
        g.n += 1.0;
        g.x += r.total;
        g.y += std::log(r.average);
    }
    for (auto& [key, g] : groups) {
        g.x /= g.n;
        g.y /= g.n;
    }
    double sxx = 0.0, sxy = 0.0, m = 0.0;
    for (const HalfCycleRecord& r : recent) {
        if (!(r.average > 0.0))
            continue;
        const Group& g = groups[position(r)];
        sxx += (r.total - g.x) * (r.total - g.x);
        sxy += (r.total - g.x) * (std::log(r.average) - g.y);
        m += 1.0;
    }
    const double freedom = m - double(groups.size()) - 1.0;
    if (!(sxx > 0.0) || freedom < 1.0)
        return std::nullopt;
    DecayFit fit;
    const double slope = sxy / sxx;
    fit.decay = -slope;
    std::vector<double> residuals;
    double squares = 0.0;
    for (const HalfCycleRecord& r : recent) {
        if (!(r.average > 0.0))
            continue;
        const Group& g = groups[position(r)];
        const double residual = std::log(r.average) - (g.y + slope * (r.total - g.x));
        residuals.push_back(residual);
        squares += residual * residual;
    }
    fit.standardError = std::sqrt(squares / freedom / sxx);

    // Positions never seen in the window get no level, so they never finish first.
    fit.levels.assign(std::size_t(groups.rbegin()->first + 1), std::numeric_limits<double>::infinity());
    double sum = 0.0;
    for (const auto& [key, g] : groups) {
        fit.levels[std::size_t(key)] = g.y - slope * g.x;
        sum += fit.levels[std::size_t(key)];
    }
    fit.meanLevel = sum / double(groups.size());
    // Noise (and, without positions, the fade) scatters the averages about their levels; the
    // run ends on a low one.
    const auto edge = residuals.begin() + static_cast<std::ptrdiff_t>(LowerEdgeQuantile * double(residuals.size() - 1));
    std::nth_element(residuals.begin(), edge, residuals.end());
    for (double& level : fit.levels)
        level += std::min(0.0, *edge);
    return fit;
}

std::optional<double> evaluationsToMinimum(std::span<const HalfCycleRecord> h, double limit)
{
    if (h.back().average < limit)
        return 0.0;
    if (!(limit > 0.0))
        return std::nullopt;  // a positive current that decays never gets there
    const std::optional<DecayFit> fit = fitDecay(h);
    if (!fit || !(fit->decay > 0.0) || fit->decay <= SignificantFall * fit->standardError)
        return std::nullopt;

    // Each evaluation adds its current to the total Q, at the typical level exp(mean - decay Q),
    // so from Q1 to Q2 take (exp(decay Q2 - mean) - exp(decay Q1 - mean)) / decay evaluations.
    const auto evaluationsUntil = [&](double q) {
        return (std::exp(fit->decay * q - fit->meanLevel) - std::exp(fit->decay * h.back().total - fit->meanLevel))
               / fit->decay;
    };
    // Each position meets the limit at its own charge, and the run ends at the first
    // evaluation that is at such a position past its charge.
    const long long cycle = static_cast<long long>(fit->levels.size());
    const long long start = cycle > 1 ? h.back().sinceDip : 0;
    std::optional<double> earliest;
    for (long long p = 0; p < cycle; ++p) {
        const double level = fit->levels[std::size_t(p)];
        if (!std::isfinite(level))
            continue;
        const double evaluations = std::max(1.0, std::ceil(evaluationsUntil((level - std::log(limit)) / fit->decay)));
        if (!(evaluations < 1e12))
            continue;
        long long j = static_cast<long long>(evaluations);
        j += ((p - start - j) % cycle + cycle) % cycle;  // on to the next evaluation at position p
        if (!earliest || double(j) < *earliest)
            earliest = double(j);
    }
    return earliest;
}

}  // namespace

std::optional<FinishEstimate> estimateFinish(std::span<const HalfCycleRecord> history, const FinishLimits& limits)
{
    if (history.size() < std::size_t(MinimumEvaluationsForEstimate))
        return std::nullopt;
    const HalfCycleRecord& last = history.back();
    const Pace pace = recentPace(history);

    std::optional<FinishEstimate> earliest;
    const auto consider = [&](std::optional<double> evaluations, FinishCriterion criterion) {
        if (!evaluations)
            return;
        const double at = last.seconds + *evaluations * pace.secondsPerEvaluation;
        if (!std::isfinite(at))
            return;
        if (!earliest || at < earliest->atSeconds)
            earliest = FinishEstimate{at, criterion};
    };
    // In the order the evaluation tests them, which also settles a tie.
    if (limits.cycles)
        consider(evaluationsToCycleLimit(last, *limits.cycles), FinishCriterion::NumberCycles);
    if (limits.minimumCurrent)
        consider(evaluationsToMinimum(history, *limits.minimumCurrent), FinishCriterion::MinimumCurrent);
    if (limits.totalCharge)
        consider(evaluationsToTotal(last, pace, *limits.totalCharge), FinishCriterion::TotalCharge);
    return earliest;
}

}  // namespace velmar
