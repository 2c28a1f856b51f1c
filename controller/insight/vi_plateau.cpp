#include "controller/insight/vi_plateau.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

namespace velmar {

namespace {

// Below this share of the sweep's typical (median) current a point is not conducting yet, or is
// noise about zero: it has no level to be flat against. Not a share of the largest current:
// gas evolution may end a sweep at fifty times the plateau's current.
constexpr double ConductingShare = 0.02;
// ... nor of the largest, when most of the sweep was taken before the cell conducted.
constexpr double ConductingShareOfLargest = 0.002;
// The reading noise is never taken as less than this share of the level: the supply's and
// the readout's resolution, and what a perfectly smooth curve still deviates from a line.
constexpr double NoiseFloor = 0.002;
// How many readings' worth of weight the sweep's noise estimate has against a run's own scatter.
constexpr double PriorPoints = 4.0;
// How far the fitted slope may exceed the flat limit, in standard errors of that slope: a
// short plateau read with noise is still flat.
constexpr double SlopeAllowance = 2.5;
// How far a point of a plateau may lie off its line, in noise deviations, plus a share of the
// level for the plateau's own gentle curvature.
constexpr double ResidualAllowance = 4.0;
constexpr double CurvatureAllowance = 0.004;
// How far the points either side must lie off the plateau's line, in the standard deviations
// of that prediction, for the plateau to end there.
constexpr double DepartureAllowance = 3.0;
// How many readings either side of a found end are weighed when the knee is placed.
constexpr std::size_t KneeReach = 3;
// A plateau that took in part of a knee bends away from its line at that end: the mean offset
// of its first (or last) EndWindow readings may be at most EndAllowance standard deviations of
// such a mean.
constexpr std::size_t EndWindow = 3;
constexpr double EndAllowance = 2.5;
// A noise-free plateau is perfectly flat; its confidence is measured against this much slope
// instead of against zero.
constexpr double SlopeFloor = FlatRelativeSlope / 10.0;

double median(std::vector<double> values)
{
    if (values.empty())
        return 0.0;
    const auto middle = values.begin() + static_cast<std::ptrdiff_t>(values.size() / 2);
    std::nth_element(values.begin(), middle, values.end());
    if (values.size() % 2 == 1)
        return *middle;
    const double upper = *middle;
    return (*std::max_element(values.begin(), middle) + upper) / 2.0;
}

// The deviation of normal noise whose absolute values these are, from their lower quartile
// (0.319 s for |N(0, s)|); infinite for none.
double lowerQuartileDeviation(std::vector<double> values)
{
    if (values.empty())
        return std::numeric_limits<double>::infinity();
    const auto quartile = values.begin() + static_cast<std::ptrdiff_t>(values.size() / 4);
    std::nth_element(values.begin(), quartile, values.end());
    return *quartile / 0.3186;
}

// Sorted by volts, repeated voltages averaged, non-finite points dropped.
std::vector<VoltCurrentPoint> prepared(std::span<const VoltCurrentPoint> points)
{
    std::vector<VoltCurrentPoint> sorted;
    for (const VoltCurrentPoint& p : points)
        if (std::isfinite(p.volts) && std::isfinite(p.current))
            sorted.push_back(p);
    std::stable_sort(sorted.begin(), sorted.end(),
                     [](const VoltCurrentPoint& a, const VoltCurrentPoint& b) { return a.volts < b.volts; });
    std::vector<VoltCurrentPoint> merged;
    for (std::size_t i = 0; i < sorted.size();) {
        std::size_t j = i;
        double sum = 0.0;
        for (; j < sorted.size() && sorted[j].volts == sorted[i].volts; ++j)
            sum += sorted[j].current;
        merged.push_back({sorted[i].volts, sum / static_cast<double>(j - i)});
        i = j;
    }
    return merged;
}

// The prepared sweep, and which of its points conduct.
struct Sweep {
    std::vector<double> v, current;
    std::vector<bool> conducting;

    // The deviation of the reading noise, as a share of the level, from what the curve does
    // between neighbours; the lower quartile of each estimate ignores the knees, where the
    // curve bends sharply.
    double noise() const
    {
        // Each point against the straight line through its two neighbours: white noise of
        // deviation s leaves s * sqrt(1.5) (equal steps), but a curved rise read in large steps
        // leaves more.
        std::vector<double> second, third;
        for (std::size_t i = 1; i + 1 < v.size(); ++i) {
            if (!conducting[i - 1] || !conducting[i] || !conducting[i + 1])
                continue;
            const double w = (v[i] - v[i - 1]) / (v[i + 1] - v[i - 1]);
            const double expected = current[i - 1] + w * (current[i + 1] - current[i - 1]);
            const double spread = std::sqrt(1.0 + w * w + (1.0 - w) * (1.0 - w));
            second.push_back(std::abs(current[i] - expected) / expected / spread);
        }
        // Third differences of four neighbours: a curve leaves next to nothing, white noise
        // s * sqrt(20), but noise that alternates from point to point leaves more.
        for (std::size_t i = 0; i + 3 < v.size(); ++i) {
            if (!conducting[i] || !conducting[i + 1] || !conducting[i + 2] || !conducting[i + 3])
                continue;
            const double level = (current[i] + current[i + 1] + current[i + 2] + current[i + 3]) / 4.0;
            const double difference = current[i + 3] - 3.0 * current[i + 2] + 3.0 * current[i + 1] - current[i];
            third.push_back(std::abs(difference) / level / std::sqrt(20.0));
        }
        return std::max(NoiseFloor, std::min(lowerQuartileDeviation(second), lowerQuartileDeviation(third)));
    }
};

// A least-squares line through the currents of the points first..last; its offsets and spreads
// are shares of its mean current (the level).
struct Line {
    double meanV = 0.0, meanI = 0.0, slope = 0.0, sxx = 0.0;
    const Sweep* sweep;
    std::size_t count = 0;
    Line(const Sweep& s, std::size_t first, std::size_t last) : sweep(&s), count(last - first + 1)
    {
        for (std::size_t k = first; k <= last; ++k) {
            meanV += s.v[k];
            meanI += s.current[k];
        }
        meanV /= double(count);
        meanI /= double(count);
        double sxy = 0.0;
        for (std::size_t k = first; k <= last; ++k) {
            sxx += (s.v[k] - meanV) * (s.v[k] - meanV);
            sxy += (s.v[k] - meanV) * (s.current[k] - meanI);
        }
        slope = sxx > 0.0 ? sxy / sxx : 0.0;
    }
    double at(double volts) const { return meanI + slope * (volts - meanV); }
    double relativeSlope() const { return slope / meanI; }
    // How far point k lies above the line, as a share of the level.
    double offset(std::size_t k) const { return (sweep->current[k] - at(sweep->v[k])) / meanI; }
    // The standard deviation of a new reading at `volts` about this line, for noise `noise`.
    double predictionSpread(double volts, double noise) const
    {
        return noise * std::sqrt(1.0 + 1.0 / double(count) + (volts - meanV) * (volts - meanV) / sxx);
    }
};

struct Candidate {
    std::size_t first = 0, last = 0;
    double slope = 0.0;
    double misfit = 0.0;  // mean squared residual
};

// first..last is a plateau when its points lie on a line no steeper than the flat limit
// (allowing for the noise) and the readings on either side leave that line: below or above it
// on the low side (the etching rise, or a passivation peak), above it on the high side.
std::optional<Candidate> plateauAt(const Sweep& s, std::size_t first, std::size_t last, double sweepNoise)
{
    if (first == 0 || last + 1 >= s.v.size())
        return std::nullopt;
    const Line line(s, first, last);
    if (!(line.sxx > 0.0))
        return std::nullopt;
    double squares = 0.0;
    for (std::size_t k = first; k <= last; ++k)
        squares += line.offset(k) * line.offset(k);
    // The sweep's estimate may take in some of the curve's own shape; a long run's scatter about
    // its line, weighed against that estimate as PriorPoints readings, then tells the noise
    // better. Never more than the sweep's estimate: a run that took in a knee scatters more, and
    // must not loosen its own tests.
    const double freedom = double(line.count) - 2.0;
    const double pooled = std::sqrt((squares + PriorPoints * sweepNoise * sweepNoise) / (freedom + PriorPoints));
    const double noise = std::max(NoiseFloor, std::min(sweepNoise, pooled));
    if (std::abs(line.relativeSlope()) > FlatRelativeSlope + SlopeAllowance * noise / std::sqrt(line.sxx))
        return std::nullopt;
    for (std::size_t k = first; k <= last; ++k)
        if (std::abs(line.offset(k)) > ResidualAllowance * noise + CurvatureAllowance)
            return std::nullopt;
    if (line.count >= 2 * EndWindow) {
        double low = 0.0, high = 0.0;
        for (std::size_t k = 0; k < EndWindow; ++k) {
            low += line.offset(first + k);
            high += line.offset(last - k);
        }
        const double bent = EndAllowance * noise / std::sqrt(double(EndWindow)) + CurvatureAllowance;
        if (std::abs(low) / double(EndWindow) > bent || std::abs(high) / double(EndWindow) > bent)
            return std::nullopt;
    }
    // The rise beyond an end shows in the next reading, or, when one step of it is lost in the
    // noise, in the mean of the next two.
    const auto leaves = [&](std::size_t next, int direction, bool eitherWay) {
        if (!s.conducting[next])
            return eitherWay;
        double sumOff = 0.0, sumV = 0.0;
        for (std::size_t k = next, m = 1; m <= 2; ++m, k += direction) {
            if (k >= s.v.size() || !s.conducting[k])
                break;
            sumOff += line.offset(k);
            sumV += s.v[k];
            const double off = (eitherWay ? std::abs(sumOff) : sumOff) / double(m);
            const double meanV = sumV / double(m);
            const double spread = noise * std::sqrt(1.0 / double(m) + 1.0 / double(line.count)
                                                    + (meanV - line.meanV) * (meanV - line.meanV) / line.sxx);
            if (off > DepartureAllowance * spread + CurvatureAllowance)
                return true;
        }
        return false;
    };
    if (!leaves(first - 1, -1, true) || !leaves(last + 1, +1, false))
        return std::nullopt;
    return Candidate{first, last, line.relativeSlope(), squares / double(line.count)};
}

// The sum of squared residuals of the least-squares line through the points first..last.
double misfit(const Sweep& s, std::size_t first, std::size_t last)
{
    const Line line(s, first, last);
    double squares = 0.0;
    for (std::size_t k = first; k <= last; ++k) {
        const double residual = s.current[k] - line.at(s.v[k]);
        squares += residual * residual;
    }
    return squares;
}

// Moves each end of the plateau inwards to where a line through the plateau and a line through
// the few readings of the rise beyond it fit best together: the widest plateau that passes the
// tests leans into a gentle knee, and noise decides how far.
void placeKnees(const Sweep& s, Candidate& c)
{
    const auto conductingFrom = [&](std::size_t k, std::size_t limit) {
        while (k > limit && s.conducting[k - 1])
            --k;
        return k;
    };
    const auto conductingTo = [&](std::size_t k, std::size_t limit) {
        while (k < limit && s.conducting[k + 1])
            ++k;
        return k;
    };
    const std::size_t low = conductingFrom(c.first, c.first >= KneeReach ? c.first - KneeReach : 0);
    if (c.first - low >= 1) {
        std::size_t bestSplit = c.first;
        double bestMisfit = std::numeric_limits<double>::infinity();
        for (std::size_t split = c.first; split <= std::min(c.first + KneeReach, c.last - 2); ++split) {
            const double total = misfit(s, low, split - 1) + misfit(s, split, c.last);
            if (total < bestMisfit) {
                bestMisfit = total;
                bestSplit = split;
            }
        }
        c.first = bestSplit;
    }
    const std::size_t high = conductingTo(c.last, std::min(s.v.size() - 1, c.last + KneeReach));
    if (high - c.last >= 1) {
        std::size_t bestSplit = c.last;
        double bestMisfit = std::numeric_limits<double>::infinity();
        for (std::size_t split = std::max(c.first + 2, c.last >= KneeReach ? c.last - KneeReach : 0); split <= c.last;
             ++split) {
            const double total = misfit(s, c.first, split) + misfit(s, split + 1, high);
            if (total < bestMisfit) {
                bestMisfit = total;
                bestSplit = split;
            }
        }
        c.last = bestSplit;
    }
    c.slope = Line(s, c.first, c.last).relativeSlope();
}

}  // namespace

std::optional<VoltPlateau> findPlateau(std::span<const VoltCurrentPoint> input)
{
    const std::vector<VoltCurrentPoint> p = prepared(input);
    if (p.size() < 5)  // a rise, three flat points, a rise
        return std::nullopt;
    std::vector<double> currents;
    for (const VoltCurrentPoint& point : p)
        currents.push_back(point.current);
    const double largest = *std::max_element(currents.begin(), currents.end());
    if (!(largest > 0.0))
        return std::nullopt;
    const double conductingFrom = std::max(ConductingShare * median(std::move(currents)),
                                           ConductingShareOfLargest * largest);

    Sweep s;
    for (const VoltCurrentPoint& point : p) {
        const bool conducting = point.current > conductingFrom;
        s.v.push_back(point.volts);
        s.current.push_back(point.current);
        s.conducting.push_back(conducting);
    }
    const double noise = s.noise();

    // Every run of at least three conducting points is a candidate; the widest in volts that
    // is a plateau wins, then the one with more points, then the one that fits its line best.
    std::optional<Candidate> best;
    const auto better = [&](const Candidate& a, const Candidate& b) {
        const double widthA = p[a.last].volts - p[a.first].volts, widthB = p[b.last].volts - p[b.first].volts;
        if (widthA != widthB)
            return widthA > widthB;
        if (a.last - a.first != b.last - b.first)
            return a.last - a.first > b.last - b.first;
        return a.misfit < b.misfit;
    };
    for (std::size_t first = 1; first < p.size(); ++first) {
        for (std::size_t last = first + 2; last + 1 < p.size() && s.conducting[last]; ++last) {
            if (!s.conducting[first] || !s.conducting[first + 1])
                break;
            const auto candidate = plateauAt(s, first, last, noise);
            if (candidate && (!best || better(*candidate, *best)))
                best = candidate;
        }
    }
    if (!best)
        return std::nullopt;
    placeKnees(s, *best);

    // How much flatter the plateau is than the conducting rest of the sweep, step by step.
    std::vector<double> outside;
    for (std::size_t i = 0; i + 1 < p.size(); ++i) {
        if (!s.conducting[i] || !s.conducting[i + 1] || (i >= best->first && i < best->last))
            continue;
        const double level = (s.current[i] + s.current[i + 1]) / 2.0;
        outside.push_back(std::abs(s.current[i + 1] - s.current[i]) / level / (s.v[i + 1] - s.v[i]));
    }
    const double confidence = median(std::move(outside)) / std::max(std::abs(best->slope), SlopeFloor);

    if (!(confidence >= MinimumPlateauConfidence))
        return std::nullopt;

    VoltPlateau plateau;
    plateau.fromVolts = p[best->first].volts;
    plateau.toVolts = p[best->last].volts;
    plateau.suggestedVolts = std::round((plateau.fromVolts + plateau.toVolts)) / 2.0;
    plateau.confidence = std::min(confidence, 100.0);
    return plateau;
}

}  // namespace velmar
