#include "device/d2xx/d2xx.h"

#include "device/d2xx/backend.h"

#include <cstring>
#include <map>

namespace velmar::d2xx {

namespace {

// The vendor driver is a process-wide library; so is this stand-in for it.
struct Registry {
    std::unique_ptr<Backend> backend;
    std::map<FT_HANDLE, std::unique_ptr<Port>> open;
};

Registry& registry()
{
    static Registry instance;
    return instance;
}

Backend& backend()
{
    Registry& r = registry();
    if (!r.backend)
        r.backend = makeSerialBackend({});
    return *r.backend;
}

Port* lookup(FT_HANDLE handle)
{
    if (!handle)
        return nullptr;
    auto& open = registry().open;
    const auto it = open.find(handle);
    return it == open.end() ? nullptr : it->second.get();
}

}  // namespace

FT_STATUS FT_OpenEx(void* arg, std::uint32_t flags, FT_HANDLE* handle)
{
    if (!arg || !handle || flags != FT_OPEN_BY_SERIAL_NUMBER)
        return FT_INVALID_PARAMETER;
    const QString serial = QString::fromLatin1(static_cast<const char*>(arg));
    std::unique_ptr<Port> port;
    const FT_STATUS status = backend().open(serial, port);
    if (status != FT_OK)
        return status;
    if (!port)
        return FT_OTHER_ERROR;
    FT_HANDLE h = port.get();
    registry().open.emplace(h, std::move(port));
    *handle = h;
    return FT_OK;
}

FT_STATUS FT_Close(FT_HANDLE handle)
{
    if (!lookup(handle))
        return FT_INVALID_HANDLE;
    registry().open.erase(handle);
    return FT_OK;
}

FT_STATUS FT_NotifyOnReceive(FT_HANDLE handle, std::function<void()> onReceive)
{
    Port* port = lookup(handle);
    return port ? port->notifyOnReceive(std::move(onReceive)) : FT_INVALID_HANDLE;
}

FT_STATUS FT_Purge(FT_HANDLE handle, std::uint32_t mask)
{
    Port* port = lookup(handle);
    return port ? port->purge(mask) : FT_INVALID_HANDLE;
}

FT_STATUS FT_SetBaudRate(FT_HANDLE handle, std::uint32_t baudRate)
{
    Port* port = lookup(handle);
    return port ? port->setBaudRate(baudRate) : FT_INVALID_HANDLE;
}

FT_STATUS FT_SetDataCharacteristics(FT_HANDLE handle, std::uint8_t wordLength, std::uint8_t stopBits,
                                    std::uint8_t parity)
{
    Port* port = lookup(handle);
    return port ? port->setDataCharacteristics(wordLength, stopBits, parity) : FT_INVALID_HANDLE;
}

FT_STATUS FT_SetFlowControl(FT_HANDLE handle, std::uint16_t flowControl, std::uint8_t xon, std::uint8_t xoff)
{
    Port* port = lookup(handle);
    return port ? port->setFlowControl(flowControl, xon, xoff) : FT_INVALID_HANDLE;
}

FT_STATUS FT_SetTimeouts(FT_HANDLE handle, std::uint32_t readTimeout, std::uint32_t writeTimeout)
{
    Port* port = lookup(handle);
    return port ? port->setTimeouts(readTimeout, writeTimeout) : FT_INVALID_HANDLE;
}

FT_STATUS FT_GetQueueStatus(FT_HANDLE handle, std::uint32_t* rxBytes)
{
    Port* port = lookup(handle);
    if (!port)
        return FT_INVALID_HANDLE;
    if (!rxBytes)
        return FT_INVALID_PARAMETER;
    return port->queueStatus(rxBytes);
}

FT_STATUS FT_Write(FT_HANDLE handle, void* buffer, std::uint32_t n, std::uint32_t* written)
{
    Port* port = lookup(handle);
    if (!port)
        return FT_INVALID_HANDLE;
    if (!written || (!buffer && n > 0))
        return FT_INVALID_PARAMETER;
    *written = 0;
    return port->write(buffer, n, written);
}

FT_STATUS FT_Read(FT_HANDLE handle, void* buffer, std::uint32_t n, std::uint32_t* read)
{
    Port* port = lookup(handle);
    if (!port)
        return FT_INVALID_HANDLE;
    if (!read || (!buffer && n > 0))
        return FT_INVALID_PARAMETER;
    *read = 0;
    return port->read(buffer, n, read);
}

void setBackend(std::unique_ptr<Backend> backend) { registry().backend = std::move(backend); }

void closeAll() { registry().open.clear(); }

}  // namespace velmar::d2xx
