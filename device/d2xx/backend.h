#pragma once

#include "device/d2xx/d2xx.h"

#include <QMap>
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
    // See FT_NotifyOnReceive.
    virtual FT_STATUS notifyOnReceive(std::function<void()> onReceive)
    {
        (void)onReceive;
        return FT_NOT_SUPPORTED;
    }
};

class Backend {
public:
    virtual ~Backend() = default;
    // Opens the interface with this USB serial number; on failure returns the status and
    // leaves `port` empty.
    virtual FT_STATUS open(const QString& serialNumber, std::unique_ptr<Port>& port) = 0;
};

// The channels on the kernel's tty devices; `ports` maps a USB serial number to a tty path
// ahead of the lookup among the USB serial ports (--port SERIAL=PATH).
std::unique_ptr<Backend> makeSerialBackend(const QMap<QString, QString>& ports);

// Chooses the backend for every later FT_OpenEx; handles already open keep working on the
// backend that opened them. The composition root (the program's entry, a test fixture)
// decides which; until it does, the serial backend with no explicit ports is used.
void setBackend(std::unique_ptr<Backend> backend);

}  // namespace velmar::d2xx
