#pragma once

#include "device/d2xx/d2xx.h"

#include <QString>

#include <cstdint>
#include <memory>

namespace velmar::d2xx {

// One opened channel; an FT_HANDLE points at one of these.
class Port {
public:
    virtual ~Port() = default;
    virtual FT_STATUS purge(std::uint32_t mask) = 0;
    virtual FT_STATUS setBaudRate(std::uint32_t baudRate) = 0;
    virtual FT_STATUS setDataCharacteristics(std::uint8_t wordLength, std::uint8_t stopBits, std::uint8_t parity) = 0;
    virtual FT_STATUS setFlowControl(std::uint16_t flowControl, std::uint8_t xon, std::uint8_t xoff) = 0;
    virtual FT_STATUS setTimeouts(std::uint32_t readTimeout, std::uint32_t writeTimeout) = 0;
    virtual FT_STATUS queueStatus(std::uint32_t* rxBytes) = 0;
    virtual FT_STATUS write(const void* buffer, std::uint32_t n, std::uint32_t* written) = 0;
    virtual FT_STATUS read(void* buffer, std::uint32_t n, std::uint32_t* got) = 0;
};

class Backend {
public:
    virtual ~Backend() = default;
    // Opens the interface with this USB serial number; on failure returns the status and
    // leaves `port` empty.
    virtual FT_STATUS open(const QString& serialNumber, std::unique_ptr<Port>& port) = 0;
};

std::unique_ptr<Backend> makeSerialBackend(const QMap<QString, QString>& ports);
std::unique_ptr<Backend> makeSimulatedBackend(std::shared_ptr<sim::KestromSim> instrument);

}  // namespace velmar::d2xx
