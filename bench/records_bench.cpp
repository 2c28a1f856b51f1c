// What a record costs the window's thread per row: formatting the row (ISO time, numbers) and
// handing it to the writer thread, which writes it to the kernel. A 10-minute manual recording
// at one row per 30 ms (19,800 rows) is simulated with fake time: the row times are those of
// the recording, the rows come faster.
//
//   1. back to back: the writer is mostly busy, rows queue up behind it;
//   2. paced (0.3 ms apart): every row finds the writer asleep and wakes it, as at 30 ms.
//
// Figures per append: median, 99th percentile and worst, in wall time (what the window waits,
// including any time the system gives its core to another process) and, in a second pass, in
// this thread's CPU time (the work itself).
// Goals: median under 5 us; worst under 1 ms.
//
//   bench_records [--quick]      --quick: a tenth of the rows
#include "bench/thread_cpu_clock.h"
#include "controller/records/run_record.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <QThread>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <vector>

using namespace velmar;

namespace {

struct Figures {
    double median, p99, worst;
    long overOneMs;
};

Figures figures(std::vector<double> ns)
{
    std::sort(ns.begin(), ns.end());
    const long over = static_cast<long>(ns.end() - std::upper_bound(ns.begin(), ns.end(), 1e6));
    return {ns[ns.size() / 2] / 1000.0, ns[ns.size() * 99 / 100] / 1000.0, ns.back() / 1000.0, over};
}

using Now = std::function<std::int64_t()>;

// Nanoseconds per append of `rows` rows into a fresh manual record, by `clock`.
std::vector<double> appendTimes(int rows, int gapMicroseconds, const Now& clock, QString& failure)
{
    QTemporaryDir dir;
    const QDateTime start = QDateTime::currentDateTime();
    RunRecord record(RecordKind::Manual, dir.path(), start, QStringLiteral("bench"), {});
    std::vector<double> ns;
    ns.reserve(rows);
    for (int i = 0; i < rows; ++i) {
        const qint64 time = start.toMSecsSinceEpoch() + 30LL * i;
        const double current = 60.0 + (i % 97) * 0.37;
        const std::int64_t t0 = clock();
        record.addManualRow(time, i * 0.03, current);
        const std::int64_t t1 = clock();
        ns.push_back(static_cast<double>(t1 - t0));
        if (gapMicroseconds > 0)
            QThread::usleep(gapMicroseconds);
    }
    record.finish(start.addMSecs(30LL * rows), QStringLiteral("stopped"), {"png", "svg"});
    failure = record.failure();
    return ns;
}

std::int64_t wallNow() { return std::chrono::steady_clock::now().time_since_epoch().count(); }
std::int64_t cpuNow() { return bench::ThreadCpuClock::now().time_since_epoch().count(); }

void measure(const char* title, int rows, int gapMicroseconds)
{
    // Reading this thread's CPU clock is a system call; its own cost is taken off.
    std::vector<double> empty;
    for (int i = 0; i < 10000; ++i) {
        const std::int64_t t0 = cpuNow();
        empty.push_back(static_cast<double>(cpuNow() - t0));
    }
    const double readCost = figures(empty).median * 1000.0;

    QString failure;
    const Figures w = figures(appendTimes(rows, gapMicroseconds, wallNow, failure));
    std::vector<double> cpu = appendTimes(rows, gapMicroseconds, cpuNow, failure);
    for (double& ns : cpu)
        ns = std::max(0.0, ns - readCost);
    const Figures c = figures(cpu);
    std::printf("%-13s %6d rows  wall: median %5.2f us  p99 %6.2f us  worst %8.1f us (%ld over 1 ms)   "
                "cpu: median %5.2f us  p99 %6.2f us  worst %6.1f us%s\n",
                title, rows, w.median, w.p99, w.worst, w.overOneMs, c.median, c.p99, c.worst,
                failure.isEmpty() ? "" : qPrintable(QStringLiteral("  FAILED: ") + failure));
}

// A row's clock read (the platform's nowMSecsSinceEpoch()), apart: the fake time replaces it.
double clockReadMicroseconds()
{
    constexpr int n = 100000;
    const auto t0 = std::chrono::steady_clock::now();
    qint64 sink = 0;
    for (int i = 0; i < n; ++i)
        sink += QDateTime::currentMSecsSinceEpoch() & 1;
    const auto t1 = std::chrono::steady_clock::now();
    std::printf("%s", sink == -1 ? " " : "");
    return std::chrono::duration<double, std::micro>(t1 - t0).count() / n;
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const bool quick = app.arguments().contains(QStringLiteral("--quick"));
    const int rows = quick ? 1980 : 19800;  // 10 minutes at 33 rows a second
    measure("back to back", rows, 0);
    measure("paced", rows, 300);
    std::printf("reading the clock for a row (QDateTime::currentMSecsSinceEpoch): %.3f us\n", clockReadMicroseconds());
    return 0;
}
