#include "controller/insight/vi_plateau.h"
#include "tests/support/plateau_sweeps.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <vector>

using namespace velmar;

namespace {

using Curve = std::function<double(double volts)>;

// A sweep from 4 V up to 54 V in whole volts, as the test button makes it; `noise` is a share
// of the level, in a fixed pattern that swings both ways within one or two volts.
std::vector<VoltCurrentPoint> sweep(const Curve& curve, double noise = 0.0, int from = 4, int to = 54)
{
    std::vector<VoltCurrentPoint> points;
    for (int v = from; v <= to; ++v) {
        const double wobble = ((v * 37) % 11 - 5) / 5.0;  // -1 .. 1
        const double current = curve(v);
        points.push_back({double(v), current * (1.0 + noise * wobble)});
    }
    return points;
}

// Etching rise, a plateau rising 0.3 mA per volt at about 100 mA, gas evolution above 26 V.
// Its own slope is below 1.5 % of its level per volt from 9.3 V to 26 V.
double curveWithGasFrom(double v, double gasVolts)
{
    double current = v <= 3 ? 0.0 : 100.0 * std::tanh((v - 3.0) / 2.5) + 0.3 * v;
    if (v > gasVolts)
        current += (v - gasVolts) * (v - gasVolts);
    return current;
}

double cleanCurve(double v) { return curveWithGasFrom(v, 26.0); }

// Two steps up, flat between them at 9 to 14 V and, wider, after them at 20 to 33 V.
double twoFlats(double v)
{
    double current = 50.0 * (1.0 + std::tanh((v - 6.0) / 1.2)) + 50.0 * (1.0 + std::tanh((v - 17.0) / 1.2));
    if (v > 33)
        current += 1.5 * (v - 33.0) * (v - 33.0);
    return current;
}

// Nothing flows below 8 V (the cell's decomposition voltage), then the clean curve 4 V later:
// flat from 13.3 V to 30 V.
double zeroFirst(double v) { return v < 8 ? 0.0 : cleanCurve(v - 4.0); }

// 4 to 18 V in whole volts: etching from 4 V to 9 V, flat at about 120 mA (1 % per volt) from
// 9 V to 13 V, gas above.
std::vector<VoltCurrentPoint> narrowPlateau()
{
    return {{4, 10},  {5, 30},  {6, 55},  {7, 80},   {8, 102},  {9, 118},  {10, 119.5}, {11, 120.4},
            {12, 121.8}, {13, 123}, {14, 150}, {15, 190}, {16, 240}, {17, 300}, {18, 370}};
}

}  // namespace

TEST(FindPlateau, FindsTheWidestFlatRunBetweenTheRises)
{
    struct Case {
        const char* name;
        std::vector<VoltCurrentPoint> points;
        double from, to, suggested, tolerance;
    } cases[] = {
        {"clean plateau", sweep(cleanCurve), 10, 26, 18, 1},
        // Noise that swings by up to 4 % from one volt to the next hides where this smooth knee
        // (6.5 % per volt at 7 V, 1.5 % at 9.3 V) ends: within three volts.
        {"noisy plateau (2 % per point)", sweep(cleanCurve, 0.02), 10, 26, 18, 3},
        {"two flat regions: the wider wins", sweep(twoFlats), 20, 33, 26.5, 1},
        {"first points at zero current", sweep(zeroFirst), 14, 30, 22, 1},
        // Five points flat within 1 % per volt between a steep etching rise and a steep rise
        // of gas evolution: narrower than any fixed window of neighbours would allow.
        {"narrow plateau, 4 to 18 V", narrowPlateau(), 9, 13, 11, 0},
    };
    for (const Case& c : cases) {
        const auto plateau = findPlateau(c.points);
        ASSERT_TRUE(plateau) << c.name;
        EXPECT_NEAR(plateau->fromVolts, c.from, c.tolerance) << c.name;
        EXPECT_NEAR(plateau->toVolts, c.to, c.tolerance) << c.name;
        EXPECT_NEAR(plateau->suggestedVolts, c.suggested, c.tolerance) << c.name;
        EXPECT_EQ(std::fmod(plateau->suggestedVolts * 2.0, 1.0), 0.0) << c.name;
        EXPECT_GE(plateau->confidence, MinimumPlateauConfidence) << c.name;
    }
}

TEST(FindPlateau, NothingWithoutAFlatRunThatStandsOut)
{
    struct Case {
        const char* name;
        std::vector<VoltCurrentPoint> points;
    } cases[] = {
        {"straight rise through zero", sweep([](double v) { return 8.0 * v; })},
        {"exponential rise", sweep([](double v) { return 5.0 * std::exp(0.1 * v); })},
        {"rise steepening with gas", sweep([](double v) { return 2.0 * v * v; })},
        {"the whole sweep on the plateau", sweep(cleanCurve, 0.0, 14, 22)},
        {"nothing flowing", sweep([](double) { return 0.0; })},
        {"two points", {{10, 100}, {11, 100}}},
        {"no points", {}},
    };
    for (const Case& c : cases)
        EXPECT_FALSE(findPlateau(c.points)) << c.name;
}

TEST(FindPlateau, OrderAndRepeatsOfThePointsDoNotMatter)
{
    std::vector<VoltCurrentPoint> points = sweep(cleanCurve);
    std::vector<VoltCurrentPoint> shuffled(points.rbegin(), points.rend());
    shuffled.push_back({13, cleanCurve(13)});  // a repeated voltage
    shuffled.push_back({std::nan(""), 5.0});
    const auto a = findPlateau(points);
    const auto b = findPlateau(shuffled);
    ASSERT_TRUE(a && b);
    EXPECT_EQ(a->fromVolts, b->fromVolts);
    EXPECT_EQ(a->toVolts, b->toVolts);
}

TEST(FindPlateau, SuggestionIsTheMiddleRoundedToHalfAVolt)
{
    // Gas from 25 V: plateau 10..25 V (each end within a volt, both smooth knees), whose middle
    // 17.5 V stays as it is.
    const auto curve = [](double v) { return curveWithGasFrom(v, 25.0); };
    const auto whole = findPlateau(sweep(curve));
    ASSERT_TRUE(whole);
    EXPECT_NEAR(whole->fromVolts, 10.0, 1.0);
    EXPECT_NEAR(whole->toVolts, 25.0, 1.0);
    EXPECT_EQ(whole->suggestedVolts, std::round(whole->fromVolts + whole->toVolts) / 2.0);

    // Steps of 0.7 V: bounds between whole volts, the suggestion on the half-volt grid.
    std::vector<VoltCurrentPoint> fine;
    for (double v = 4.0; v < 40.0; v += 0.7)
        fine.push_back({v, curve(v)});
    const auto stepped = findPlateau(fine);
    ASSERT_TRUE(stepped);
    const double middle = (stepped->fromVolts + stepped->toVolts) / 2.0;
    EXPECT_LE(std::abs(stepped->suggestedVolts - middle), 0.25);
    EXPECT_EQ(std::fmod(stepped->suggestedVolts * 2.0, 1.0), 0.0);
}

// Generated sweeps of many shapes (see tests/support/plateau_sweeps.h), a fixed seed: the
// plateau found with both edges within one step, or none where the sweep has none, in at least
// 95 % of each. bench_vi_plateau prints the rates by step and lists failures.
TEST(FindPlateau, GeneratedSweepsWithAndWithoutAPlateau)
{
    velmar::testing::SweepRandom random(25);
    constexpr int Sweeps = 2000;
    int found = 0, none = 0;
    for (int i = 0; i < Sweeps; ++i) {
        const auto with = velmar::testing::sweepWithPlateau(random);
        found += velmar::testing::judgedRight(with, findPlateau(with.points));
        const auto without = velmar::testing::sweepWithoutPlateau(random);
        none += velmar::testing::judgedRight(without, findPlateau(without.points));
    }
    EXPECT_GE(found, Sweeps * 95 / 100);
    EXPECT_GE(none, Sweeps * 95 / 100);
}
