#include "device/d2xx/serial_ports.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace velmar::d2xx {

namespace {

// The instrument's own serial number: the udev rule names only its interfaces.
const QString kInstrumentSerial = QStringLiteral("KS265000");

QString readLine(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromLatin1(file.readLine()).trimmed();
}

QString systemError(int error) { return QString::fromLocal8Bit(std::strerror(error)); }

}  // namespace

QList<UsbSerialPort> listUsbSerialPorts(const QString& sysRoot, const QString& devRoot)
{
    QList<UsbSerialPort> ports;
    // /sys/class/tty/<tty>/device is the port under the USB interface (or the interface itself,
    // for cdc_acm); the interface carries bInterfaceNumber, its parent the USB device's serial.
    const QDir ttys(sysRoot + QStringLiteral("/class/tty"));
    for (const QString& name : ttys.entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::System, QDir::Name)) {
        const QFileInfo deviceLink(ttys.filePath(name) + QStringLiteral("/device"));
        if (!deviceLink.exists())
            continue;
        const QString devicePath = deviceLink.canonicalFilePath();
        QDir dir(devicePath);
        for (int depth = 0; depth < 3 && !QFileInfo::exists(dir.filePath(QStringLiteral("bInterfaceNumber"))); ++depth)
            dir.cdUp();
        const QString number = readLine(dir.filePath(QStringLiteral("bInterfaceNumber")));
        if (number.isEmpty())
            continue;  // not on USB: a built-in UART or a virtual console
        bool ok = false;
        UsbSerialPort port;
        port.interfaceNumber = number.toInt(&ok, 16);
        if (!ok)
            continue;
        port.tty = devRoot + QLatin1Char('/') + name;
        QDir usbDevice = dir;
        usbDevice.cdUp();
        port.usbSerial = readLine(usbDevice.filePath(QStringLiteral("serial")));
        port.driver = QFileInfo(QFileInfo(devicePath + QStringLiteral("/driver")).canonicalFilePath()).fileName();
        ports.append(port);
    }
    return ports;
}

ChannelAddress channelAddress(const QString& channelSerial)
{
    ChannelAddress address;
    if (channelSerial.size() < 2)
        return address;
    const QChar letter = channelSerial.back().toUpper();
    if (letter < QLatin1Char('A') || letter > QLatin1Char('H'))
        return address;
    address.deviceSerial = channelSerial.chopped(1);
    address.interfaceNumber = letter.unicode() - 'A';
    if (address.deviceSerial == kInstrumentSerial)
        address.stableName = QStringLiteral("kestrom-") + letter;
    return address;
}

QString findUsbSerialTty(const QString& channelSerial, const QString& sysRoot, const QString& devRoot)
{
    const ChannelAddress address = channelAddress(channelSerial);
    if (!address.valid())
        return {};

    for (const UsbSerialPort& port : listUsbSerialPorts(sysRoot, devRoot))
        if (port.interfaceNumber == address.interfaceNumber && port.usbSerial == address.deviceSerial &&
            QFileInfo::exists(port.tty))
            return port.tty;

    if (!address.stableName.isEmpty()) {
        const QString stable = devRoot + QLatin1Char('/') + address.stableName;
        if (QFileInfo::exists(stable))
            return stable;
    }

    // udev's stable names: usb-<maker>_<product>_<serial>-if<NN>-port0
    const QDir byId(devRoot + QStringLiteral("/serial/by-id"));
    const QString suffix = QStringLiteral("-if%1").arg(address.interfaceNumber, 2, 10, QLatin1Char('0'));
    for (const QString& name : byId.entryList(QDir::Files | QDir::System | QDir::NoDotAndDotDot, QDir::Name)) {
        const QString base = name.section(QStringLiteral("-if"), 0, -2);
        if (base.endsWith(QLatin1Char('_') + address.deviceSerial) && name.contains(suffix + QLatin1Char('-')))
            return byId.filePath(name);
    }
    return {};
}

ChannelLocation locateChannel(const QString& channelSerial, const QMap<QString, QString>& given,
                              const QString& sysRoot, const QString& devRoot)
{
    ChannelLocation location;
    location.path = given.value(channelSerial);
    location.given = !location.path.isEmpty();
    if (!location.given)
        location.path = findUsbSerialTty(channelSerial, sysRoot, devRoot);
    if (location.path.isEmpty()) {
        const ChannelAddress address = channelAddress(channelSerial);
        location.missing = address.valid() ? QStringLiteral("no tty of USB serial %1 interface %2")
                                                 .arg(address.deviceSerial)
                                                 .arg(address.interfaceNumber)
                                           : QStringLiteral("not a channel serial number");
        if (!address.stableName.isEmpty())
            location.missing += QStringLiteral(", no %1/%2").arg(devRoot, address.stableName);
    }
    return location;
}

TtyOpenResult openTty(const QString& path)
{
    TtyOpenResult result;
    const QByteArray native = QFile::encodeName(path);
    const int fd = ::open(native.constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        result.error = errno;
        switch (result.error) {
        case ENOENT:
        case ENXIO:  // the node is there but its device is gone
        case ENODEV:
            result.cause = TtyOpenCause::Absent;
            break;
        case EACCES:
        case EPERM:
            result.cause = TtyOpenCause::PermissionDenied;
            break;
        case EBUSY:  // another holder set exclusive mode
            result.cause = TtyOpenCause::Busy;
            result.holderPid = lockHolder(path);
            break;
        default:
            result.cause = TtyOpenCause::Failed;
        }
        return result;
    }
    if (!::isatty(fd)) {
        result.error = ENOTTY;
        result.cause = TtyOpenCause::NotATty;
        ::close(fd);
        return result;
    }
    // Exclusive mode alone does not stop root; the lock stops every second holder and names the
    // first one in /proc/locks.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        result.error = errno;
        result.cause = TtyOpenCause::Busy;
        ::close(fd);
        result.holderPid = lockHolder(path);
        return result;
    }
    result.fd = fd;
    result.cause = TtyOpenCause::Opened;
    return result;
}

qint64 lockHolder(const QString& path, const QString& procRoot)
{
    struct stat st{};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return 0;
    // Lines read "1: FLOCK  ADVISORY  WRITE 4711 00:05:1234 0 EOF": the pid, then the file as
    // major:minor (hex) of its file system and inode; blocked waiters carry "->" after the id.
    const QString file = QStringLiteral("%1:%2:%3")
                             .arg(major(st.st_dev), 2, 16, QLatin1Char('0'))
                             .arg(minor(st.st_dev), 2, 16, QLatin1Char('0'))
                             .arg(st.st_ino);
    QFile locks(procRoot + QStringLiteral("/locks"));
    if (!locks.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& raw : locks.readAll().split('\n')) {
        const QStringList fields = QString::fromLatin1(raw).simplified().split(u' ');
        if (fields.size() < 6 || fields[1] == QStringLiteral("->") || fields[1] != QStringLiteral("FLOCK"))
            continue;
        if (fields[5].compare(file, Qt::CaseInsensitive) == 0)
            return fields[4].toLongLong();
    }
    return 0;
}

QString describeOpenResult(const TtyOpenResult& result, const QString& procRoot)
{
    switch (result.cause) {
    case TtyOpenCause::Opened:
        return QStringLiteral("can be opened");
    case TtyOpenCause::Absent:
        return QStringLiteral("absent (%1)").arg(systemError(result.error));
    case TtyOpenCause::PermissionDenied:
        return QStringLiteral("permission denied; install the package's udev rule (60-velmar-kestrom.rules) and "
                              "plug the instrument in again, or join the dialout group "
                              "(sudo usermod -aG dialout $USER) and log in again");
    case TtyOpenCause::Busy: {
        if (result.holderPid <= 0)
            return QStringLiteral("held by another program");
        const QString name = QString::fromLocal8Bit(
            [&] {
                QFile comm(procRoot + QStringLiteral("/%1/comm").arg(result.holderPid));
                return comm.open(QIODevice::ReadOnly) ? comm.readLine().trimmed() : QByteArray();
            }());
        return name.isEmpty() ? QStringLiteral("held by another program (PID %1)").arg(result.holderPid)
                              : QStringLiteral("held by another program (PID %1, %2)").arg(result.holderPid).arg(name);
    }
    case TtyOpenCause::NotATty:
        return QStringLiteral("not a tty");
    case TtyOpenCause::Failed:
        break;
    }
    return QStringLiteral("cannot be opened (%1)").arg(systemError(result.error));
}

}  // namespace velmar::d2xx
