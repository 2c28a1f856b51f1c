#pragma once

// Where the instrument's channels are on this machine, and whether this user can have them.
// The serial backend opens through these functions, and `velmar --list-devices` reports what
// they found, so the report and the program never disagree.

#include <QList>
#include <QMap>
#include <QString>

namespace velmar::d2xx {

// The tty of one interface of a USB serial device, as sysfs describes it.
struct UsbSerialPort {
    QString tty;               // /dev/ttyUSB0
    QString usbSerial;         // the USB device's serial number; empty when it has none
    int interfaceNumber = -1;  // bInterfaceNumber
    QString driver;            // ftdi_sio, cdc_acm, ...
};

// Every tty that sits on a USB interface, sorted by name. The roots are parameters so a test can
// lay out a fake tree.
QList<UsbSerialPort> listUsbSerialPorts(const QString& sysRoot = QStringLiteral("/sys"),
                                        const QString& devRoot = QStringLiteral("/dev"));

// A channel serial names an interface of a device: "KS265000A" is interface 0 of the USB device
// with serial "KS265000", "...B" interface 1. `stableName` is the name the instrument's udev
// rule gives that tty ("kestrom-A"), or empty for a device the rule does not know.
struct ChannelAddress {
    QString deviceSerial;
    int interfaceNumber = -1;
    QString stableName;
    bool valid() const { return interfaceNumber >= 0; }
};
ChannelAddress channelAddress(const QString& channelSerial);

// Finds the tty of one channel: through sysfs (tty -> interface -> USB device) first, then the
// udev rule's stable name (/dev/kestrom-A), then udev's names under /dev/serial/by-id.
// Returns an empty text when nothing matches.
QString findUsbSerialTty(const QString& channelSerial, const QString& sysRoot = QStringLiteral("/sys"),
                         const QString& devRoot = QStringLiteral("/dev"));

// Where the channel with this serial is: a path the user gave for it wins, then the lookup
// above. An empty `path` means not found, and `missing` says where it was looked for.
struct ChannelLocation {
    QString path;
    bool given = false;
    QString missing;
};
ChannelLocation locateChannel(const QString& channelSerial, const QMap<QString, QString>& given,
                              const QString& sysRoot = QStringLiteral("/sys"),
                              const QString& devRoot = QStringLiteral("/dev"));

// Why a tty could or could not be had.
enum class TtyOpenCause { Opened, Absent, PermissionDenied, Busy, NotATty, Failed };

struct TtyOpenResult {
    int fd = -1;  // open, locked and the caller's to close when cause is Opened
    TtyOpenCause cause = TtyOpenCause::Failed;
    int error = 0;         // errno of the failing call
    qint64 holderPid = 0;  // Busy: the process holding the lock, when the kernel tells it
};

// Opens the tty read-write, non-blocking and not as a controlling terminal, and takes an
// exclusive lock on it: two programs must never drive one instrument.
TtyOpenResult openTty(const QString& path);

// The process holding a flock() on the file at `path`, from /proc/locks; 0 when unknown.
qint64 lockHolder(const QString& path, const QString& procRoot = QStringLiteral("/proc"));

// "permission denied (Permission denied): ..." with what the user can do about it; for an
// opened tty "can be opened".
QString describeOpenResult(const TtyOpenResult& result, const QString& procRoot = QStringLiteral("/proc"));

}  // namespace velmar::d2xx
