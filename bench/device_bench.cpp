// What the device link costs on the 30 ms poll path and per command exchange, measured on the
// simulated instrument (the hardware's own latency is not ours to measure here).
#include "bench/bench_main.h"
#include "device/usb_channel_driver.h"
#include "sim/kestrom_sim.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>

namespace {

using namespace velmar;

// The driver with one channel open on a simulated instrument whose clock the benchmark turns.
struct SimulatedLink {
    sim::ManualClock clock;
    bench::SimulatedBench rig{std::make_shared<sim::KestromSim>(clock.clock())};
    UsbChannelDriver driver;

    SimulatedLink(UsbChannel channel, const char* serialNumber)
    {
        driver.ReportErrors = false;
        driver.OpenBySerialNumber(channel, serialNumber);
    }
};

// One poll cycle's worth of channel-B work: two queue queries and a 6-byte read, with one new
// frame arriving per cycle.
void BM_PollOneFrame(benchmark::State& state)
{
    SimulatedLink link(UsbChannel::B, "KS265000B");
    sim::ManualClock& clock = link.clock;
    UsbChannelDriver& driver = link.driver;
    for (auto _ : state) {
        clock.advance(sim::KestromSim::FramePeriodMs);
        driver.GetQueueStatus(UsbChannel::B);
        driver.GetQueueStatus(UsbChannel::B);
        if (driver.QueueCountB >= 6)
            benchmark::DoNotOptimize(driver.ReadBytes(UsbChannel::B, 6));
    }
}
BENCHMARK(BM_PollOneFrame);

// The device-side work of one command exchange without its waits: purges, write, queue query
// and the read of the reply.
void BM_CommandExchangeCalls(benchmark::State& state)
{
    SimulatedLink link(UsbChannel::A, "KS265000A");
    sim::ManualClock& clock = link.clock;
    UsbChannelDriver& driver = link.driver;
    for (auto _ : state) {
        driver.PurgeTx(UsbChannel::A);
        driver.PurgeRx(UsbChannel::A);
        std::memcpy(driver.TxBuffer.data(), "RY 1\r", 5);
        driver.WriteBytes(5);
        clock.advance(10);
        driver.GetQueueStatus(UsbChannel::A);
        benchmark::DoNotOptimize(driver.ReadBytes(UsbChannel::A, driver.QueueCountA));
    }
}
BENCHMARK(BM_CommandExchangeCalls);

}  // namespace

BENCHMARK_MAIN();
