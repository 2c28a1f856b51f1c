#pragma once

#include "bench/bench_platform.h"
#include "device/d2xx/d2xx.h"
#include "platform/platform_services.h"
#include "sim/kestrom_sim.h"
#include "sim/simulated_backend.h"

#include <QApplication>

#include <benchmark/benchmark.h>

#include <memory>

namespace velmar::bench {

// Benchmarks draw offscreen unless the environment chose a platform.
inline int& offscreenUnlessChosen(int& argc)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    return argc;
}

// The application a benchmark's main() starts with, on the offscreen platform unless the
// environment chose another.
class BenchApplication : public QApplication {
public:
    BenchApplication(int& argc, char** argv) : QApplication(offscreenUnlessChosen(argc), argv) {}

    // The short run was asked for.
    bool quick() const { return arguments().contains(QStringLiteral("--quick")); }
};

// main() of a file of registered benchmarks, inside the application (their own options go to
// the benchmark library).
inline int runRegisteredBenchmarks(int& argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

// The benchmark's platform, and the simulated instrument behind the d2xx API, for as long as
// it lives; then every channel is closed and the platform before it is back.
class SimulatedBench {
public:
    explicit SimulatedBench(std::shared_ptr<sim::KestromSim> instrument = std::make_shared<sim::KestromSim>())
        : instrument(std::move(instrument)), previous_(installPlatform(&platform))
    {
        d2xx::closeAll();
        sim::installSimulator(this->instrument);
    }
    ~SimulatedBench()
    {
        d2xx::closeAll();
        installPlatform(previous_);
    }
    SimulatedBench(const SimulatedBench&) = delete;
    SimulatedBench& operator=(const SimulatedBench&) = delete;

    BenchPlatform platform;
    std::shared_ptr<sim::KestromSim> instrument;

private:
    PlatformServices* previous_;
};

}  // namespace velmar::bench
