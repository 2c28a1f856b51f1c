#include "device/usb_channel_driver.h"

#include "platform/dialogs.h"
#include "platform/log.h"
#include "platform/platform_services.h"

#include <algorithm>
#include <cstring>

namespace velmar {

using namespace d2xx;

namespace {

// Channel B's labels are channel A's with a "2" appended.
QString label(UsbChannel channel, const char* text)
{
    QString result = QString::fromLatin1(text);
    if (channel == UsbChannel::B)
        result += QLatin1Char('2');
    return result;
}

}  // namespace

QString channelSerial(UsbChannel channel)
{
    return channel == UsbChannel::A ? QStringLiteral("KS265000A") : QStringLiteral("KS265000B");
}

QString deviceErrorSuffix(FT_STATUS status)
{
    switch (status) {
    case FT_INVALID_HANDLE: return QStringLiteral(" - Invalid Handle...");
    case FT_DEVICE_NOT_FOUND: return QStringLiteral(" - Device Not Found....");
    case FT_DEVICE_NOT_OPENED: return QStringLiteral(" - Device Not Opened...");
    case FT_IO_ERROR: return QStringLiteral(" - General IO Error...");
    case FT_INSUFFICIENT_RESOURCES: return QStringLiteral(" - Insufficient Resources...");
    case FT_INVALID_PARAMETER: return QStringLiteral(" - Invalid Parameter ...");
    default: return QStringLiteral(" - Unknown Error %1...").arg(status);
    }
}

void UsbChannelDriver::ReportDeviceError(const QString& label, FT_STATUS status) { report(nullptr, label, status); }

void UsbChannelDriver::ReportDeviceError(UsbChannel channel, const QString& label, FT_STATUS status)
{
    report(&channel, label, status);
}

void UsbChannelDriver::report(const UsbChannel* channel, const QString& label, FT_STATUS status)
{
    if (status == FT_OK)
        return;
    // The log keeps what the operator was shown, and what was not shown too.
    qCWarning(lcDevice).noquote() << label + deviceErrorSuffix(status);
    if (!ReportErrors)
        return;
    if (channel && onFailure)
        onFailure(*channel, status);
    openDialog(DialogKind::Error, label + deviceErrorSuffix(status));
}

void UsbChannelDriver::tallyFrames(const char* bytes, std::uint32_t n)
{
    if (!lcWire().isDebugEnabled())
        return;
    if (const auto summary = framesB_.add(LogClockMs(), bytes, n))
        qCDebug(lcWire).noquote() << *summary;
}

FT_STATUS UsbChannelDriver::OpenBySerialNumber(UsbChannel channel, const QString& serialNumber)
{
    SerialBuffer[0] = 0;
    const QByteArray text = serialNumber.toLatin1();
    const auto n = std::min<qsizetype>(text.size(), 49);
    if (n > 0) {
        std::memcpy(SerialBuffer.data(), text.constData(), static_cast<std::size_t>(n));
        SerialBuffer[static_cast<std::size_t>(n)] = 0;
    }
    FT_HANDLE& handle = channel == UsbChannel::A ? HandleA : HandleB;
    const FT_STATUS status = FT_OpenEx(SerialBuffer.data(), FT_OPEN_BY_SERIAL_NUMBER, &handle);
    if (status != FT_OK)
        ReportDeviceError(channel, label(channel, "Open_USB_Device_By_Serial_Number"), status);
    return status;
}

FT_STATUS UsbChannelDriver::PurgeTx(UsbChannel channel)
{
    const FT_STATUS status = FT_Purge(handle(channel), FT_PURGE_TX);
    ReportDeviceError(channel, label(channel, "FT_Purge TX"), status);
    return status;
}

FT_STATUS UsbChannelDriver::PurgeRx(UsbChannel channel)
{
    const FT_STATUS status = FT_Purge(handle(channel), FT_PURGE_RX);
    ReportDeviceError(channel, label(channel, "FT_Purge RX"), status);
    return status;
}

FT_STATUS UsbChannelDriver::SetBaudRate(UsbChannel channel)
{
    const FT_STATUS status = FT_SetBaudRate(handle(channel), static_cast<std::uint32_t>(BaudRate));
    ReportDeviceError(channel, label(channel, "FT_SetBaudRate"), status);
    return status;
}

FT_STATUS UsbChannelDriver::SetDataCharacteristics(UsbChannel channel)
{
    const FT_STATUS status = FT_SetDataCharacteristics(handle(channel), WordLength, StopBits, Parity);
    ReportDeviceError(channel, label(channel, "FT_SetDataCharacteristics"), status);
    return status;
}

FT_STATUS UsbChannelDriver::SetFlowControl(UsbChannel channel)
{
    const FT_STATUS status = FT_SetFlowControl(handle(channel), FlowControl, 0x11, 0x13);
    ReportDeviceError(channel, label(channel, "FT_SetFlowControl"), status);
    return status;
}

FT_STATUS UsbChannelDriver::SetTimeouts(UsbChannel channel, std::uint32_t readTimeout, std::uint32_t writeTimeout)
{
    const FT_STATUS status = FT_SetTimeouts(handle(channel), readTimeout, writeTimeout);
    ReportDeviceError(channel, label(channel, "FT_SetTimeouts"), status);
    return status;
}

FT_STATUS UsbChannelDriver::GetQueueStatus(UsbChannel channel)
{
    std::uint32_t& count = channel == UsbChannel::A ? QueueCountA : QueueCountB;
    const FT_STATUS status = FT_GetQueueStatus(handle(channel), &count);
    ReportDeviceError(channel, label(channel, "FT_GetQueueStatus"), status);
    // The poll looks at channel B's queue every cycle: a stream gone quiet still gets its count.
    if (channel == UsbChannel::B && status == FT_OK)
        tallyFrames(nullptr, 0);
    return status;
}

bool UsbChannelDriver::NotifyOnReceive(UsbChannel channel, std::function<void()> onReceive)
{
    return FT_NotifyOnReceive(handle(channel), std::move(onReceive)) == FT_OK;
}

std::uint32_t UsbChannelDriver::WriteBytes(std::uint32_t n)
{
    // The buffer is fixed; a count beyond it would send whatever lies after it.
    n = std::min<std::uint32_t>(n, BufferSize);
    std::uint32_t written = 0;
    const FT_STATUS status = FT_Write(HandleA, TxBuffer.data(), n, &written);
    if (lcWire().isInfoEnabled()) {
        const std::uint32_t shown = std::min(written, n);
        if (shown == n)
            qCInfo(lcWire).noquote() << "A sent" << LogBytes(TxBuffer.data(), shown);
        else
            qCInfo(lcWire).noquote() << "A sent" << LogBytes(TxBuffer.data(), shown) << "of" << n << "bytes";
    }
    ReportDeviceError(UsbChannel::A, QStringLiteral("FT_Write"), status);
    return written;
}

std::uint32_t UsbChannelDriver::ReadBytes(UsbChannel channel, std::uint32_t n)
{
    // Never past the end of the fixed buffer, whatever the caller asks for.
    n = std::min<std::uint32_t>(n, BufferSize);
    std::uint32_t got = 0;
    char* buffer = channel == UsbChannel::A ? RxBufferA.data() : RxBufferB.data();
    const FT_STATUS status = FT_Read(handle(channel), buffer, n, &got);
    const std::uint32_t kept = std::min(got, n);
    if (channel == UsbChannel::A)
        qCInfo(lcWire).noquote() << "A received" << LogBytes(buffer, kept);
    else
        tallyFrames(buffer, kept);
    ReportDeviceError(channel, label(channel, "FT_Read"), status);
    return got;
}

}  // namespace velmar
