// Figures for the timer service and the waiting routine:
//   1. CPU time of the process while it waits in Delay(10000) with no timer enabled
//      (goal: under 1 % of one core);
//   2. the period of a 30 ms timer whose handler disables and re-enables it, as the poll
//      cycle does (goal: median 30-31 ms, 99th percentile under 35 ms).
// Usage: bench_timers [--quick]   (--quick: a 2 s wait and 100 periods instead of 10 s and 1000)

#include "platform/delay.h"
#include "timers/tithreadtimers.h"

#include <QApplication>

#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

using namespace velmar;
using Clock = std::chrono::steady_clock;

namespace {

double cpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval& t) { return t.tv_sec + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

double percentile(std::vector<double> values, double p)
{
    std::sort(values.begin(), values.end());
    const auto index = static_cast<std::size_t>(p * (values.size() - 1) + 0.5);
    return values[std::min(index, values.size() - 1)];
}

void idleWait(int ms)
{
    TiThreadTimers timers;  // nine paused workers, as the main window has
    const double cpu0 = cpuSeconds();
    const auto wall0 = Clock::now();
    Delay(static_cast<std::uint32_t>(ms));
    const double cpu = cpuSeconds() - cpu0;
    const double wall = std::chrono::duration<double>(Clock::now() - wall0).count();
    std::printf("Delay(%d) idle: wall %.3f s, cpu %.4f s = %.3f %% of one core\n", ms, wall, cpu,
                100.0 * cpu / wall);
}

void pollPeriod(int periods)
{
    TiThreadTimers timers;
    std::vector<double> entries;
    entries.reserve(periods + 1);
    timers.setInterval(9, 30);
    timers.setOnTimer(9, [&](QObject*) {
        timers.setEnabled(9, false);
        entries.push_back(std::chrono::duration<double, std::milli>(Clock::now().time_since_epoch()).count());
        if (static_cast<int>(entries.size()) <= periods)
            timers.setEnabled(9, true);
    });
    const double cpu0 = cpuSeconds();
    const auto wall0 = Clock::now();
    timers.setEnabled(9, true);
    while (static_cast<int>(entries.size()) <= periods)
        Delay(100);
    const double cpu = cpuSeconds() - cpu0;
    const double wall = std::chrono::duration<double>(Clock::now() - wall0).count();

    std::vector<double> gaps;
    for (std::size_t i = 1; i < entries.size(); ++i)
        gaps.push_back(entries[i] - entries[i - 1]);
    std::printf("30 ms poll timer, %d periods: median %.2f ms, p99 %.2f ms, min %.2f ms, max %.2f ms; "
                "cpu %.3f %% of one core\n",
                periods, percentile(gaps, 0.5), percentile(gaps, 0.99),
                *std::min_element(gaps.begin(), gaps.end()), *std::max_element(gaps.begin(), gaps.end()),
                100.0 * cpu / wall);
}

}  // namespace

int main(int argc, char** argv)
{
    bool quick = false;
    for (int i = 1; i < argc; ++i)
        quick = quick || std::strcmp(argv[i], "--quick") == 0;
    if (!std::getenv("QT_QPA_PLATFORM") && !std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    idleWait(quick ? 2000 : 10000);
    pollPeriod(quick ? 100 : 1000);
    return 0;
}
