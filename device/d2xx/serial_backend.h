#pragma once

#include <QString>

namespace velmar::d2xx {

// Finds the tty of one channel of a USB serial device: the channel whose serial number is
// "KS265000A" is interface 0 of the USB device with serial "KS265000", "...B" interface 1.
// Looks through sysfs (tty -> interface -> USB device) first, then the udev names under
// /dev/serial/by-id. The roots are parameters so a test can lay out a fake tree.
// Returns an empty text when nothing matches.
QString findUsbSerialTty(const QString& channelSerial, const QString& sysRoot = QStringLiteral("/sys"),
                         const QString& devRoot = QStringLiteral("/dev"));

}  // namespace velmar::d2xx
