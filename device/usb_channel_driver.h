#pragma once

#include "device/d2xx/d2xx.h"
#include "device/frame_tally.h"

#include <QString>

#include <array>
#include <cstdint>
#include <functional>

namespace velmar {

// The instrument's two fixed serial channels: A carries commands, B the current stream.
enum class UsbChannel { A, B };

// The USB serial number each channel is opened by: "KS265000A", "KS265000B".
QString channelSerial(UsbChannel channel);

// The only caller of the D2XX-shaped API. Two handles, fixed buffers and the configuration
// values the callers set before each configuring call; every failing call is shown to the
// operator, labelled with the operation and the channel, before its status goes back.
// The program keeps one for its whole life; a test creates a fresh one.
class UsbChannelDriver {
public:
    static constexpr std::size_t BufferSize = 32768;

    UsbChannelDriver() = default;
    UsbChannelDriver(const UsbChannelDriver&) = delete;
    UsbChannelDriver& operator=(const UsbChannelDriver&) = delete;

    d2xx::FT_HANDLE HandleA = nullptr;
    d2xx::FT_HANDLE HandleB = nullptr;
    std::array<char, 50> SerialBuffer{};
    std::int32_t BaudRate = 0;
    std::uint8_t WordLength = 0;
    std::uint8_t StopBits = 0;
    std::uint8_t Parity = 0;
    std::uint16_t FlowControl = 0;
    std::uint32_t QueueCountA = 0;
    std::uint32_t QueueCountB = 0;
    std::array<char, BufferSize> TxBuffer{};
    std::array<char, BufferSize> RxBufferA{};
    std::array<char, BufferSize> RxBufferB{};
    bool ReportErrors = true;
    // Told of a failing call on `channel` before its dialog is shown (never of a quiet call):
    // whatever must not wait for the operator (switching the instrument off when the device
    // has gone) is done here, whether or not anybody answers the dialog.
    std::function<void(UsbChannel channel, d2xx::FT_STATUS status)> onFailure;

    d2xx::FT_STATUS OpenBySerialNumber(UsbChannel channel, const QString& serialNumber);
    d2xx::FT_STATUS PurgeTx(UsbChannel channel);
    d2xx::FT_STATUS PurgeRx(UsbChannel channel);
    d2xx::FT_STATUS SetBaudRate(UsbChannel channel);
    d2xx::FT_STATUS SetDataCharacteristics(UsbChannel channel);
    d2xx::FT_STATUS SetFlowControl(UsbChannel channel);
    d2xx::FT_STATUS SetTimeouts(UsbChannel channel, std::uint32_t readTimeout, std::uint32_t writeTimeout);
    d2xx::FT_STATUS GetQueueStatus(UsbChannel channel);
    // Asks to be told once, from the event loop, when bytes may have arrived on the channel (or
    // its device may have gone). Shows nothing; false where it cannot be told, and then the
    // caller has to look again after a pause.
    bool NotifyOnReceive(UsbChannel channel, std::function<void()> onReceive);
    // Channel A only: sends the first n bytes of TxBuffer; returns the count the driver reported.
    std::uint32_t WriteBytes(std::uint32_t n);
    // Fills the channel's receive buffer from its first byte; returns the count read.
    std::uint32_t ReadBytes(UsbChannel channel, std::uint32_t n);

    // Shows a failing status in the driver's error dialog: the label, then the status's suffix.
    void ReportDeviceError(const QString& label, d2xx::FT_STATUS status);
    // The same for a call on `channel`, after telling onFailure.
    void ReportDeviceError(UsbChannel channel, const QString& label, d2xx::FT_STATUS status);

    d2xx::FT_HANDLE handle(UsbChannel channel) const { return channel == UsbChannel::A ? HandleA : HandleB; }

    // The frame decoder accepted a frame of channel B (for the log's 10 s tally).
    void tallyAcceptedFrame() { framesB_.accepted(); }

private:
    void report(const UsbChannel* channel, const QString& label, d2xx::FT_STATUS status);
    void tallyFrames(const char* bytes, std::uint32_t n);

    FrameTally framesB_;
};

// " - Invalid Handle..." and the other texts shown after an operation's label.
QString deviceErrorSuffix(d2xx::FT_STATUS status);

}  // namespace velmar
