#include "sim/simulated_backend.h"

#include "platform/log.h"
#include "sim/kestrom_sim.h"

#include <QElapsedTimer>
#include <QTimer>

#include <algorithm>
#include <thread>

namespace velmar::sim {

using namespace d2xx;

namespace {

class SimulatedPort final : public Port {
public:
    SimulatedPort(std::shared_ptr<KestromSim> instrument, Channel channel)
        : sim_(std::move(instrument)), channel_(channel)
    {
    }
    ~SimulatedPort() override
    {
        sim_->watchLine(channel_, this, {});
        sim_->close(channel_);
    }

    // The instrument queues a reply's bytes at a known instant: the wake is a timer set for it.
    // Nothing due yet: the next write sets it, or an unplug wakes the reader at once.
    FT_STATUS notifyOnReceive(std::function<void()> onReceive) override
    {
        onReceive_ = std::move(onReceive);
        if (!wake_) {
            wake_ = std::make_unique<QTimer>();
            wake_->setSingleShot(true);
            wake_->setTimerType(Qt::PreciseTimer);
            QObject::connect(wake_.get(), &QTimer::timeout, wake_.get(), [this] { fire(); });
            sim_->watchLine(channel_, this, [this] {
                if (onReceive_)
                    wake_->start(0);
            });
        }
        arm();
        return FT_OK;
    }

    FT_STATUS purge(std::uint32_t mask) override
    {
        if (mask == 0 || mask > (FT_PURGE_RX | FT_PURGE_TX))
            return FT_INVALID_PARAMETER;
        if (sim_->faults.purgeBusy && !sim_->unplugged(channel_))
            return FT_OTHER_ERROR;
        return sim_->purge(channel_, mask & FT_PURGE_RX, mask & FT_PURGE_TX) ? FT_OK : FT_IO_ERROR;
    }
    FT_STATUS setBaudRate(std::uint32_t baudRate) override
    {
        if (baudRate == 0)
            return FT_INVALID_BAUD_RATE;
        return sim_->unplugged(channel_) ? FT_IO_ERROR : FT_OK;
    }
    FT_STATUS setDataCharacteristics(std::uint8_t wordLength, std::uint8_t stopBits, std::uint8_t parity) override
    {
        if ((wordLength != FT_BITS_7 && wordLength != FT_BITS_8) ||
            (stopBits != FT_STOP_BITS_1 && stopBits != FT_STOP_BITS_2) || parity > FT_PARITY_SPACE)
            return FT_INVALID_PARAMETER;
        return sim_->unplugged(channel_) ? FT_IO_ERROR : FT_OK;
    }
    FT_STATUS setFlowControl(std::uint16_t, std::uint8_t, std::uint8_t) override
    {
        return sim_->unplugged(channel_) ? FT_IO_ERROR : FT_OK;
    }
    FT_STATUS setTimeouts(std::uint32_t readTimeout, std::uint32_t writeTimeout) override
    {
        readTimeout_ = readTimeout;
        writeTimeout_ = writeTimeout;
        return sim_->unplugged(channel_) ? FT_IO_ERROR : FT_OK;
    }
    FT_STATUS queueStatus(std::uint32_t* rxBytes) override
    {
        return sim_->queued(channel_, rxBytes) ? FT_OK : FT_IO_ERROR;
    }
    FT_STATUS write(const void* buffer, std::uint32_t n, std::uint32_t* written) override
    {
        const bool ok = sim_->write(channel_, static_cast<const char*>(buffer), n, written);
        arm();  // a command written may have a reply due
        return ok ? FT_OK : FT_IO_ERROR;
    }
    FT_STATUS read(void* buffer, std::uint32_t n, std::uint32_t* got) override
    {
        // Like the hardware: return as soon as n bytes are there, or when the read time-out
        // has passed with what has come by then.
        auto* out = static_cast<char*>(buffer);
        QElapsedTimer waited;
        waited.start();
        for (;;) {
            std::uint32_t part = 0;
            if (!sim_->read(channel_, out + *got, n - *got, &part))
                return FT_IO_ERROR;
            *got += part;
            if (*got >= n || waited.elapsed() >= static_cast<qint64>(readTimeout_))
                return FT_OK;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }

private:
    void arm()
    {
        if (!onReceive_ || !wake_)
            return;
        if (sim_->unplugged(channel_)) {
            wake_->start(0);
            return;
        }
        const std::optional<std::int64_t> at = sim_->nextArrival(channel_);
        if (sim_->waiting(channel_) > 0)
            wake_->start(0);
        else if (at)
            wake_->start(static_cast<int>(std::clamp<std::int64_t>(*at - sim_->now(), 0, 1 << 30)));
        else
            wake_->stop();
    }
    void fire()
    {
        if (const auto onReceive = std::exchange(onReceive_, {}))
            onReceive();
    }

    std::shared_ptr<KestromSim> sim_;
    Channel channel_;
    std::function<void()> onReceive_;
    std::unique_ptr<QTimer> wake_;
    std::uint32_t readTimeout_ = 0;
    std::uint32_t writeTimeout_ = 0;
};

class SimulatedBackend final : public Backend {
public:
    explicit SimulatedBackend(std::shared_ptr<KestromSim> instrument) : sim_(std::move(instrument)) {}

    FT_STATUS open(const QString& serialNumber, std::unique_ptr<Port>& port) override
    {
        for (Channel channel : {Channel::A, Channel::B}) {
            if (serialNumber != sim_->channelSerial(channel))
                continue;
            if (!sim_->present(channel))
                return FT_DEVICE_NOT_FOUND;
            if (!sim_->open(channel))
                return FT_DEVICE_NOT_OPENED;
            qCInfo(lcDevice).noquote() << serialNumber << "opened on the simulated instrument";
            port = std::make_unique<SimulatedPort>(sim_, channel);
            return FT_OK;
        }
        return FT_DEVICE_NOT_FOUND;
    }

private:
    std::shared_ptr<KestromSim> sim_;
};

}  // namespace

std::unique_ptr<Backend> makeSimulatedBackend(std::shared_ptr<KestromSim> instrument)
{
    return std::make_unique<SimulatedBackend>(std::move(instrument));
}

void installSimulator(std::shared_ptr<KestromSim> instrument)
{
    d2xx::setBackend(makeSimulatedBackend(std::move(instrument)));
}

}  // namespace velmar::sim
