#include "device/channel_setup.h"

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

}  // namespace velmar
