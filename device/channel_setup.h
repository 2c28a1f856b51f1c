#pragma once

#include "device/usb_channel_driver.h"

#include <cstdint>

namespace velmar {

struct LinkState;

// Both channels of the instrument run at 19200 baud, 8 data bits, one stop bit, no parity and
// no flow control, purged on opening; they differ only in their time-outs. Statuses are not
// examined: the driver has already shown any failure, and the sequence goes on regardless.
void ConfigureChannel(UsbChannelDriver& driver, UsbChannel channel, std::uint32_t timeoutMs);

// Opens the channel by its serial number and configures it. A channel that does not open fails
// the link and tells the operator to check the connection (after the driver's own error).
void OpenChannel(UsbChannelDriver& driver, LinkState& link, UsbChannel channel, std::uint32_t timeoutMs);

}  // namespace velmar
