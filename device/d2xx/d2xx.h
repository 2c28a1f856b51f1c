#pragma once

// The D2XX-shaped interface to the instrument's two USB serial channels. Only the USB channel
// driver (device/usb_channel_driver.h) calls these functions; which backend answers them is
// chosen by the composition root through setBackend() (device/d2xx/backend.h).

#include <cstdint>
#include <functional>

namespace velmar::d2xx {

using FT_STATUS = std::uint32_t;
using FT_HANDLE = void*;

enum : FT_STATUS {
    FT_OK = 0,
    FT_INVALID_HANDLE = 1,
    FT_DEVICE_NOT_FOUND = 2,
    FT_DEVICE_NOT_OPENED = 3,
    FT_IO_ERROR = 4,
    FT_INSUFFICIENT_RESOURCES = 5,
    FT_INVALID_PARAMETER = 6,
    FT_INVALID_BAUD_RATE = 7,
    FT_NOT_SUPPORTED = 17,
    FT_OTHER_ERROR = 18,
};

// FT_OpenEx flags
constexpr std::uint32_t FT_OPEN_BY_SERIAL_NUMBER = 1;
// FT_Purge masks
constexpr std::uint32_t FT_PURGE_RX = 1;
constexpr std::uint32_t FT_PURGE_TX = 2;
// FT_SetDataCharacteristics values
constexpr std::uint8_t FT_BITS_8 = 8;
constexpr std::uint8_t FT_BITS_7 = 7;
constexpr std::uint8_t FT_STOP_BITS_1 = 0;
constexpr std::uint8_t FT_STOP_BITS_2 = 2;
constexpr std::uint8_t FT_PARITY_NONE = 0;
constexpr std::uint8_t FT_PARITY_ODD = 1;
constexpr std::uint8_t FT_PARITY_EVEN = 2;
constexpr std::uint8_t FT_PARITY_MARK = 3;
constexpr std::uint8_t FT_PARITY_SPACE = 4;
// FT_SetFlowControl values
constexpr std::uint16_t FT_FLOW_NONE = 0x0000;
constexpr std::uint16_t FT_FLOW_RTS_CTS = 0x0100;
constexpr std::uint16_t FT_FLOW_DTR_DSR = 0x0200;
constexpr std::uint16_t FT_FLOW_XON_XOFF = 0x0400;

// A null or unknown handle gives FT_INVALID_HANDLE; the handle variable of a failed open keeps
// its value.
FT_STATUS FT_OpenEx(void* arg, std::uint32_t flags, FT_HANDLE* handle);
FT_STATUS FT_Close(FT_HANDLE handle);
FT_STATUS FT_Purge(FT_HANDLE handle, std::uint32_t mask);
FT_STATUS FT_SetBaudRate(FT_HANDLE handle, std::uint32_t baudRate);
FT_STATUS FT_SetDataCharacteristics(FT_HANDLE handle, std::uint8_t wordLength, std::uint8_t stopBits,
                                    std::uint8_t parity);
FT_STATUS FT_SetFlowControl(FT_HANDLE handle, std::uint16_t flowControl, std::uint8_t xon, std::uint8_t xoff);
FT_STATUS FT_SetTimeouts(FT_HANDLE handle, std::uint32_t readTimeout, std::uint32_t writeTimeout);
// Bytes received and waiting to be read.
FT_STATUS FT_GetQueueStatus(FT_HANDLE handle, std::uint32_t* rxBytes);
// Sends up to n bytes within the write time-out; *written says how many went.
FT_STATUS FT_Write(FT_HANDLE handle, void* buffer, std::uint32_t n, std::uint32_t* written);
// Returns once n bytes have been read or the read time-out has passed; a short count is not an
// error (nothing waiting and a zero time-out gives FT_OK with 0).
FT_STATUS FT_Read(FT_HANDLE handle, void* buffer, std::uint32_t n, std::uint32_t* read);

// Beyond the vendor's API: `onReceive` is called once, from the event loop of the calling
// thread, when bytes may have arrived since this call, or when the device may have gone
// (sooner is allowed: the caller looks at the queue again). A later call replaces the request;
// an empty function takes it back. FT_NOT_SUPPORTED where the backend cannot tell.
FT_STATUS FT_NotifyOnReceive(FT_HANDLE handle, std::function<void()> onReceive);

// Closes every open handle, so that the next test starts from a device nobody holds.
void closeAll();

}  // namespace velmar::d2xx
