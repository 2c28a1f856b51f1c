#include "device/channel_setup.h"

#include "device/link_state.h"
#include "platform/dialogs.h"

namespace velmar {

void ConfigureChannel(UsbChannelDriver& driver, UsbChannel channel, std::uint32_t timeoutMs)
{
    driver.FlowControl = 0;
    driver.SetFlowControl(channel);
    driver.WordLength = 8;
    driver.StopBits = 0;
    driver.Parity = 0;
    driver.SetDataCharacteristics(channel);
    driver.BaudRate = 19200;
    driver.SetBaudRate(channel);
    driver.PurgeRx(channel);
    driver.PurgeTx(channel);
    driver.SetTimeouts(channel, timeoutMs, timeoutMs);
}

void OpenChannel(UsbChannelDriver& driver, LinkState& link, UsbChannel channel, std::uint32_t timeoutMs)
{
    if (driver.OpenBySerialNumber(channel, channelSerial(channel)) != d2xx::FT_OK) {
        link.LinkFailed = true;
        openDialog(DialogKind::Message,
                   channel == UsbChannel::A
                       ? QStringLiteral("Kestrom channel A not found. Check USB connection and restart")
                       : QStringLiteral("Kestrom channel B not found. Check USB connection and restart"));
        return;
    }
    ConfigureChannel(driver, channel, timeoutMs);
}

}  // namespace velmar
