#include "controller/vi_plateau.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

namespace velmar {

namespace {

constexpr double Infinite = std::numeric_limits<double>::infinity();
// Below this share of the largest current a point is not conducting yet (or is noise about
// zero): its relative slope means nothing.
constexpr double ConductingShare = 0.02;
// Each point's slope is fitted over its neighbours within this many points on either side:
// one reading's noise must not break a plateau, nor fake one.
constexpr int SlopeHalfWindow = 3;
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

// |dI/dV| / I at each point from a least-squares line through its neighbourhood; infinite
// where the neighbourhood includes a point that is not conducting.
std::vector<double> relativeSlopes(const std::vector<VoltCurrentPoint>& p, double conducting)
{
    const int n = static_cast<int>(p.size());
    std::vector<double> slopes(p.size(), Infinite);
    for (int i = 0; i < n; ++i) {
        int from = std::max(0, i - SlopeHalfWindow);
        int to = std::min(n - 1, i + SlopeHalfWindow);
        // At the ends the window is one-sided, but never shorter than three points.
        if (to - from < 2) {
            from = std::max(0, std::min(from, n - 3));
            to = std::min(n - 1, from + 2);
        }
        double sumV = 0.0, sumI = 0.0;
        bool allConducting = true;
        for (int k = from; k <= to; ++k) {
            sumV += p[k].volts;
            sumI += p[k].current;
            allConducting = allConducting && p[k].current > conducting;
        }
        if (!allConducting)
            continue;
        const double count = to - from + 1;
        const double meanV = sumV / count, meanI = sumI / count;
        double sxx = 0.0, sxy = 0.0;
        for (int k = from; k <= to; ++k) {
            sxx += (p[k].volts - meanV) * (p[k].volts - meanV);
            sxy += (p[k].volts - meanV) * (p[k].current - meanI);
        }
        if (sxx > 0.0)
            slopes[i] = std::abs(sxy / sxx) / meanI;
    }
    return slopes;
}

}  // namespace

std::optional<VoltPlateau> findPlateau(std::span<const VoltCurrentPoint> input)
{
    const std::vector<VoltCurrentPoint> p = prepared(input);
    if (p.size() < 3)
        return std::nullopt;
    double largest = 0.0;
    for (const VoltCurrentPoint& point : p)
        largest = std::max(largest, point.current);
    if (!(largest > 0.0))
        return std::nullopt;
    const double conducting = ConductingShare * largest;
    const std::vector<double> slopes = relativeSlopes(p, conducting);

    // Runs of flat points; the widest in volts wins, then the one with more points, then the
    // flatter.
    struct Run {
        std::size_t first, last;
        double meanSlope;
        double width(const std::vector<VoltCurrentPoint>& p) const { return p[last].volts - p[first].volts; }
    };
    std::optional<Run> best;
    for (std::size_t i = 0; i < p.size();) {
        if (!(slopes[i] <= FlatRelativeSlope)) {
            ++i;
            continue;
        }
        Run run{i, i, 0.0};
        double sum = 0.0;
        for (; i < p.size() && slopes[i] <= FlatRelativeSlope; ++i)
            sum += slopes[i];
        run.last = i - 1;
        run.meanSlope = sum / double(run.last - run.first + 1);
        if (run.last - run.first + 1 < 3)
            continue;
        const auto better = [&](const Run& a, const Run& b) {
            if (a.width(p) != b.width(p))
                return a.width(p) > b.width(p);
            if (a.last - a.first != b.last - b.first)
                return a.last - a.first > b.last - b.first;
            return a.meanSlope < b.meanSlope;
        };
        if (!best || better(run, *best))
            best = run;
    }
    if (!best)
        return std::nullopt;
    const std::size_t first = best->first, last = best->last;

    std::vector<double> inside, outside;
    for (std::size_t i = 0; i < p.size(); ++i) {
        if (i >= first && i <= last)
            inside.push_back(slopes[i]);
        else if (p[i].current > conducting)
            outside.push_back(slopes[i]);
    }
    // Nothing outside to compare with: a sweep that stayed on the plateau cannot tell where
    // the plateau ends.
    if (outside.empty())
        return std::nullopt;
    const double confidence = median(outside) / std::max(median(inside), SlopeFloor);
    if (!(confidence >= MinimumPlateauConfidence))
        return std::nullopt;

    VoltPlateau plateau;
    plateau.fromVolts = p[first].volts;
    plateau.toVolts = p[last].volts;
    plateau.suggestedVolts = std::round((plateau.fromVolts + plateau.toVolts)) / 2.0;
    plateau.confidence = std::min(confidence, 100.0);
    return plateau;
}

}  // namespace velmar
