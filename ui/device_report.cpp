#include "ui/device_report.h"

#include "device/d2xx/serial_ports.h"
#include "device/usb_channel_driver.h"

#include <QTextStream>

#include <unistd.h>

namespace velmar {

int ListDevices(const QMap<QString, QString>& ports, QTextStream& out, const QString& sysRoot, const QString& devRoot)
{
    using namespace d2xx;

    const QList<UsbSerialPort> found = listUsbSerialPorts(sysRoot, devRoot);
    if (found.isEmpty()) {
        out << "USB serial ports: none found\n";
    } else {
        out << "USB serial ports:\n";
        for (const UsbSerialPort& port : found)
            out << "  " << port.tty << "  USB serial " << (port.usbSerial.isEmpty() ? QStringLiteral("(none)") : port.usbSerial)
                << "  interface " << port.interfaceNumber << "  driver "
                << (port.driver.isEmpty() ? QStringLiteral("(unknown)") : port.driver) << '\n';
    }

    int openable = 0;
    for (const UsbChannel channel : {UsbChannel::A, UsbChannel::B}) {
        const QString serial = channelSerial(channel);
        out << "Kestrom channel " << (channel == UsbChannel::A ? "A (" : "B (") << serial
            << (channel == UsbChannel::A ? ", commands): " : ", current): ");
        const ChannelLocation location = locateChannel(serial, ports, sysRoot, devRoot);
        if (location.path.isEmpty()) {
            out << "absent: " << location.missing << "; is the instrument plugged in and switched on?\n";
            continue;
        }
        out << location.path << (location.given ? " (given by --port): " : ": ");
        // The same open the program makes, released at once: the lock tells apart a tty that
        // another program holds.
        const TtyOpenResult result = openTty(location.path);
        if (result.fd >= 0) {
            ::close(result.fd);
            ++openable;
        }
        out << describeOpenResult(result) << '\n';
    }
    out.flush();
    return openable == 2 ? 0 : 1;
}

}  // namespace velmar
