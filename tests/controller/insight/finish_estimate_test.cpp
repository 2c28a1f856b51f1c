#include "controller/insight/finish_estimate.h"

#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <vector>

using namespace velmar;

namespace {

// A synthetic polish run: half a second per evaluation plus two seconds for each dip, the
// current falling exponentially with the charge passed from `start` mA, times `growth` per
// evaluation (negative: none), a fade of `fade` over the strokes of each dip cycle, and a
// fixed noise pattern of `noise` times the level.
struct SyntheticRun {
    double start = 300.0;
    double decay = 1e-5;  // per mA-evaluation of total
    double growth = 0.0;
    double fade = 0.0;
    double noise = 0.0;
    int evaluationsPerDip = 20;

    std::vector<HalfCycleRecord> history(int evaluations) const
    {
        std::vector<HalfCycleRecord> h;
        double seconds = 0.0, total = 0.0;
        for (int i = 0; i < evaluations; ++i) {
            const int sinceDip = i % evaluationsPerDip;
            seconds += 0.5 + (sinceDip == 0 ? 2.0 : 0.0);
            const double wobble = ((i * 37) % 11 - 5) / 5.0;  // -1 .. 1
            const double average = start * std::exp(-decay * total + growth * i)
                                   * (1.0 - fade * sinceDip / (evaluationsPerDip - 1.0)) * (1.0 + noise * wobble);
            total += average;
            h.push_back({seconds, 0.5 * (i + 1), average, total, sinceDip});
        }
        return h;
    }
};

// The instant of the first average below `limit`, the way the run would end.
double actualFinish(const std::vector<HalfCycleRecord>& h, double limit)
{
    for (const HalfCycleRecord& r : h)
        if (r.average < limit)
            return r.seconds;
    return -1.0;
}

FinishLimits minimumOnly(double mA)
{
    FinishLimits limits;
    limits.minimumCurrent = mA;
    return limits;
}

}  // namespace

// The estimate, made at a quarter and at half of the run, against the instant the run ends,
// as a share of the time that was still to go.
TEST(EstimateFinish, MinimumCurrentFollowsTheDecay)
{
    struct Case {
        const char* name;
        SyntheticRun run;
        double quarterError, halfError;
    } cases[] = {
        {"clean decay", SyntheticRun{}, 0.01, 0.01},
        {"noisy decay (3 % per evaluation)", SyntheticRun{.noise = 0.03}, 0.10, 0.05},
        {"a dip's jump: 15 % fade over each dip cycle", SyntheticRun{.fade = 0.15}, 0.12, 0.05},
        // Which low stroke's noise crosses first decides the dip cycle: one cycle (12 s) is
        // the grain of the estimate here.
        {"fade and noise", SyntheticRun{.fade = 0.15, .noise = 0.03}, 0.12, 0.15},
    };
    for (const Case& c : cases) {
        const std::vector<HalfCycleRecord> h = c.run.history(20000);
        const double finish = actualFinish(h, 150.0);
        ASSERT_GT(finish, 0.0) << c.name;
        for (const auto& [share, tolerance] : {std::pair{0.25, c.quarterError}, std::pair{0.5, c.halfError}}) {
            std::size_t n = 0;
            while (h[n].seconds < share * finish)
                ++n;
            const auto estimate = estimateFinish(std::span(h).first(n + 1), minimumOnly(150.0));
            ASSERT_TRUE(estimate) << c.name << " at " << share;
            EXPECT_EQ(estimate->criterion, FinishCriterion::MinimumCurrent) << c.name;
            EXPECT_LE(std::abs(estimate->atSeconds - finish) / (finish - h[n].seconds), tolerance)
                << c.name << " at " << share << ": estimated " << estimate->atSeconds << " s, finished at " << finish;
        }
    }
}

TEST(EstimateFinish, NothingWhenTheCurrentIsNotFallingTowardTheLimit)
{
    struct Case {
        const char* name;
        SyntheticRun run;
        double limit;
    } cases[] = {
        {"rising current", SyntheticRun{.decay = 0.0, .growth = 0.002}, 150.0},
        {"flat current with noise", SyntheticRun{.decay = 0.0, .noise = 0.03}, 150.0},
        {"flat current with the dips' fade", SyntheticRun{.decay = 0.0, .fade = 0.15}, 150.0},
        {"a limit of zero", SyntheticRun{}, 0.0},
    };
    for (const Case& c : cases)
        EXPECT_FALSE(estimateFinish(c.run.history(200), minimumOnly(c.limit))) << c.name;
}

TEST(EstimateFinish, EarliestCriterionWins)
{
    // Half a second per evaluation throughout: one dip, before the first.
    const std::vector<HalfCycleRecord> h = SyntheticRun{.evaluationsPerDip = 1000}.history(40);  // 20 cycles done
    const double perEvaluation = 0.5;

    FinishLimits cycles;
    cycles.cycles = 30;  // the evaluation that counts 30.5 cycles ends the run: 21 to go
    auto estimate = estimateFinish(h, cycles);
    ASSERT_TRUE(estimate);
    EXPECT_EQ(estimate->criterion, FinishCriterion::NumberCycles);
    EXPECT_NEAR(estimate->atSeconds, h.back().seconds + 21 * perEvaluation, 1e-9);

    FinishLimits total;
    total.totalCharge = h.back().total + 10.5 * h.back().average;  // 11 to go, give or take the decay
    estimate = estimateFinish(h, total);
    ASSERT_TRUE(estimate);
    EXPECT_EQ(estimate->criterion, FinishCriterion::TotalCharge);
    EXPECT_NEAR(estimate->atSeconds, h.back().seconds + 11 * perEvaluation, perEvaluation);

    FinishLimits all = cycles;
    all.totalCharge = total.totalCharge;
    all.minimumCurrent = 150.0;  // far off: some 300 evaluations
    estimate = estimateFinish(h, all);
    ASSERT_TRUE(estimate);
    EXPECT_EQ(estimate->criterion, FinishCriterion::TotalCharge);

    all.totalCharge.reset();
    estimate = estimateFinish(h, all);
    ASSERT_TRUE(estimate);
    EXPECT_EQ(estimate->criterion, FinishCriterion::NumberCycles);
}

TEST(EstimateFinish, ALimitAlreadyPassedFinishesNow)
{
    const std::vector<HalfCycleRecord> h = SyntheticRun{}.history(40);
    struct Case {
        const char* name;
        FinishLimits limits;
        FinishCriterion criterion;
    } cases[] = {
        {"total reached", {{}, {}, h.back().total}, FinishCriterion::TotalCharge},
        {"current below the minimum", {{}, h.back().average + 1.0, {}}, FinishCriterion::MinimumCurrent},
        {"cycles counted past the limit", {19.5, {}, {}}, FinishCriterion::NumberCycles},
    };
    for (const Case& c : cases) {
        const auto estimate = estimateFinish(h, c.limits);
        ASSERT_TRUE(estimate) << c.name;
        EXPECT_EQ(estimate->criterion, c.criterion) << c.name;
        EXPECT_EQ(estimate->atSeconds, h.back().seconds) << c.name;
    }
}

TEST(EstimateFinish, NothingBeforeFiveEvaluationsOrWithoutALimit)
{
    const std::vector<HalfCycleRecord> h = SyntheticRun{}.history(40);
    FinishLimits cycles;
    cycles.cycles = 100;
    EXPECT_FALSE(estimateFinish(std::span(h).first(MinimumEvaluationsForEstimate - 1), cycles));
    EXPECT_TRUE(estimateFinish(std::span(h).first(MinimumEvaluationsForEstimate), cycles));
    EXPECT_FALSE(estimateFinish(h, FinishLimits{}));
}
