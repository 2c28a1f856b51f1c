// How often the plateau finder is right on generated sweeps: with a plateau (etching rise of
// several shapes, 3 to 20 flat points rising 0 to 1.5 % per volt, a rise of gas evolution;
// steps of 0.5, 1 and 2 V; noise of 0 to 2 % of the level) it must find the plateau with both
// edges within one step; without one (straight, exponential, power-law rises, as noisy) it
// must find none.
//
//   bench_vi_plateau [--quick | sweeps-of-each-kind] [seed] [failures-to-list] [knee-slope]
//
// knee-slope: the least slope, as a share of the level per volt, with which the rises meet the
// plateau (default 0.05).
//
// Prints the two rates, each by step, the time per call of the finder on a sweep, and the
// first failures. Goals: at least 95 % each.
#include "controller/insight/vi_plateau.h"
#include "tests/support/plateau_sweeps.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>

using namespace velmar;
using namespace velmar::testing;

int main(int argc, char** argv)
{
    // --quick, as the other benchmarks take it: a short run; anything else that is not a
    // count is a mistake, not zero sweeps.
    const bool quick = argc > 1 && std::strcmp(argv[1], "--quick") == 0;
    const int sweeps = quick ? 500 : argc > 1 ? std::atoi(argv[1]) : 20000;
    if (sweeps <= 0) {
        std::fprintf(stderr, "usage: bench_vi_plateau [--quick | sweeps-of-each-kind] [seed] [failures-to-list] [knee-slope]\n");
        return 2;
    }
    const unsigned long long seed = argc > 2 ? std::strtoull(argv[2], nullptr, 10) : 19;
    int listed = argc > 3 ? std::atoi(argv[3]) : 5;
    const double kneeSlope = argc > 4 ? std::atof(argv[4]) : MinimumKneeSlope;

    SweepRandom random(seed);
    struct Tally {
        int right = 0, all = 0;
    };
    std::map<double, Tally> withPlateau, withoutPlateau;
    double seconds = 0.0;
    long long calls = 0;
    for (int i = 0; i < 2 * sweeps; ++i) {
        const GeneratedSweep g = i % 2 == 0 ? sweepWithPlateau(random, kneeSlope) : sweepWithoutPlateau(random);
        const auto start = std::chrono::steady_clock::now();
        const auto found = findPlateau(g.points);
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        ++calls;
        const bool right = judgedRight(g, found);
        Tally& tally = (g.hasPlateau ? withPlateau : withoutPlateau)[g.step];
        tally.right += right;
        ++tally.all;
        if (!right && listed > 0) {
            --listed;
            std::printf("wrong: %s: %s", g.shape.c_str(), g.hasPlateau ? "expected " : "expected none");
            if (g.hasPlateau)
                std::printf("%g-%g V", g.fromVolts, g.toVolts);
            if (found)
                std::printf(", found %g-%g V\n", found->fromVolts, found->toVolts);
            else
                std::printf(", found none\n");
        }
    }
    const auto report = [](const char* what, const std::map<double, Tally>& tallies) {
        Tally total;
        for (const auto& [step, tally] : tallies) {
            total.right += tally.right;
            total.all += tally.all;
        }
        std::printf("%s: %.2f %% of %d", what, 100.0 * total.right / total.all, total.all);
        for (const auto& [step, tally] : tallies)
            std::printf("  (%g V steps: %.2f %%)", step, 100.0 * tally.right / tally.all);
        std::printf("\n");
    };
    report("plateaus found, both edges within one step", withPlateau);
    report("sweeps without a plateau reported as none", withoutPlateau);
    std::printf("finder: %.1f us per sweep (mean of %lld calls)\n", seconds / double(calls) * 1e6, calls);
    return 0;
}
