#include "device/d2xx/backend.h"
#include "device/d2xx/d2xx.h"
#include "device/d2xx/serial_ports.h"
#include "tests/support/log_capture.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cerrno>
#include <fcntl.h>
#include <pty.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

namespace velmar::d2xx {
namespace {

// The far end of the line is the master side of a pseudo-terminal; the program opens the
// slave side by path, as it would a USB serial tty.
class SerialBackendTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        closeAll();
        char name[128] = {};
        int slave = -1;
        ASSERT_EQ(::openpty(&master, &slave, name, nullptr, nullptr), 0);
        ::close(slave);
        slavePath = QString::fromLatin1(name);
        setBackend(makeSerialBackend({{"KS265000A", slavePath}}));
        ASSERT_EQ(FT_OpenEx(serial, FT_OPEN_BY_SERIAL_NUMBER, &handle), FT_OK);
        ASSERT_NE(handle, nullptr);
    }
    void TearDown() override
    {
        closeAll();
        if (master >= 0)
            ::close(master);
        setBackend(makeSerialBackend({}));
    }
    QByteArray readMaster(int n)
    {
        QByteArray bytes(n, '\0');
        int got = 0;
        QElapsedTimer waited;
        waited.start();
        while (got < n && waited.elapsed() < 2000) {
            const ssize_t r = ::read(master, bytes.data() + got, size_t(n - got));
            if (r > 0)
                got += int(r);
            else
                ::usleep(1000);
        }
        bytes.truncate(got);
        return bytes;
    }

    char serial[10] = "KS265000A";
    int master = -1;
    QString slavePath;
    FT_HANDLE handle = nullptr;
};

TEST_F(SerialBackendTest, ConfiguresRawLineAndCarriesBytesBothWays)
{
    EXPECT_EQ(FT_SetFlowControl(handle, FT_FLOW_NONE, 0x11, 0x13), FT_OK);
    EXPECT_EQ(FT_SetDataCharacteristics(handle, FT_BITS_8, FT_STOP_BITS_1, FT_PARITY_NONE), FT_OK);
    EXPECT_EQ(FT_SetBaudRate(handle, 19200), FT_OK);
    EXPECT_EQ(FT_Purge(handle, FT_PURGE_RX), FT_OK);
    EXPECT_EQ(FT_Purge(handle, FT_PURGE_TX), FT_OK);
    EXPECT_EQ(FT_SetTimeouts(handle, 100, 100), FT_OK);
    EXPECT_EQ(FT_SetBaudRate(handle, 12345), FT_INVALID_BAUD_RATE);

    const int probe = ::open(slavePath.toLatin1().constData(), O_RDONLY | O_NOCTTY | O_NONBLOCK);
    if (probe < 0 && errno == EBUSY)
        GTEST_SKIP() << "the line is held exclusively and we are not root: cannot look at its settings";
    ASSERT_GE(probe, 0);
    termios t{};
    ASSERT_EQ(::tcgetattr(probe, &t), 0);
    ::close(probe);
    EXPECT_EQ(::cfgetospeed(&t), speed_t(B19200));
    EXPECT_EQ(t.c_cflag & CSIZE, tcflag_t(CS8));
    EXPECT_EQ(t.c_cflag & (PARENB | CSTOPB | CRTSCTS), tcflag_t(0));
    EXPECT_EQ(t.c_lflag & (ICANON | ECHO), tcflag_t(0));  // raw: no line editing, no echo
    EXPECT_EQ(t.c_iflag & (ICRNL | IXON), tcflag_t(0));   // a carriage return stays 13

    char command[] = "SP 1024 880\r";
    std::uint32_t written = 0;
    EXPECT_EQ(FT_Write(handle, command, 12, &written), FT_OK);
    EXPECT_EQ(written, 12u);
    EXPECT_EQ(readMaster(12), QByteArray("SP 1024 880\r"));

    ASSERT_EQ(::write(master, "OK\r10237\r", 9), 9);
    std::uint32_t waiting = 0;
    QElapsedTimer waited;
    waited.start();
    while (waiting < 9 && waited.elapsed() < 2000)
        ASSERT_EQ(FT_GetQueueStatus(handle, &waiting), FT_OK);
    EXPECT_EQ(waiting, 9u);
    char buffer[16] = {};
    std::uint32_t got = 0;
    EXPECT_EQ(FT_Read(handle, buffer, 3, &got), FT_OK);
    EXPECT_EQ(QByteArray(buffer, int(got)), "OK\r");
    EXPECT_EQ(FT_Read(handle, buffer, 6, &got), FT_OK);
    EXPECT_EQ(QByteArray(buffer, int(got)), "10237\r");
}

TEST_F(SerialBackendTest, ReadReturnsAShortCountWhenTheTimeOutEnds)
{
    ASSERT_EQ(FT_SetTimeouts(handle, 150, 100), FT_OK);
    char buffer[16] = {};
    std::uint32_t got = 99;
    QElapsedTimer waited;
    waited.start();
    EXPECT_EQ(FT_Read(handle, buffer, 6, &got), FT_OK);  // nothing there: a count of 0, no error
    EXPECT_EQ(got, 0u);
    EXPECT_GE(waited.elapsed(), 140);

    ASSERT_EQ(::write(master, "123", 3), 3);
    EXPECT_EQ(FT_Read(handle, buffer, 6, &got), FT_OK);
    EXPECT_EQ(got, 3u);

    ASSERT_EQ(FT_SetTimeouts(handle, 0, 0), FT_OK);
    waited.restart();
    EXPECT_EQ(FT_Read(handle, buffer, 6, &got), FT_OK);
    EXPECT_EQ(got, 0u);
    EXPECT_LT(waited.elapsed(), 100);
}

// A far end that reads nothing fills the line's buffer: the write waits out its time-out and
// then reports how far it got, without an error.
TEST_F(SerialBackendTest, WriteReturnsAShortCountWhenTheTimeOutEnds)
{
    ASSERT_EQ(FT_SetTimeouts(handle, 100, 150), FT_OK);
    QByteArray block(1 << 20, 'x');
    std::uint32_t written = 0;
    QElapsedTimer waited;
    waited.start();
    EXPECT_EQ(FT_Write(handle, block.data(), std::uint32_t(block.size()), &written), FT_OK);
    EXPECT_GT(written, 0u);
    EXPECT_LT(written, std::uint32_t(block.size()));
    EXPECT_GE(waited.elapsed(), 140);
}

TEST_F(SerialBackendTest, SecondOpenOfTheSameLineIsRefused)
{
    FT_HANDLE second = nullptr;
    EXPECT_EQ(FT_OpenEx(serial, FT_OPEN_BY_SERIAL_NUMBER, &second), FT_DEVICE_NOT_OPENED);
    EXPECT_EQ(second, nullptr);
    // Once released, the line can be taken again.
    EXPECT_EQ(FT_Close(handle), FT_OK);
    EXPECT_EQ(FT_OpenEx(serial, FT_OPEN_BY_SERIAL_NUMBER, &second), FT_OK);
}

TEST_F(SerialBackendTest, HungUpLineFailsAsIoError)
{
    ::close(master);  // the far end goes away: the kernel hangs the line up
    master = -1;
    std::uint32_t waiting = 0;
    EXPECT_EQ(FT_GetQueueStatus(handle, &waiting), FT_IO_ERROR);
    char buffer[8];
    std::uint32_t got = 0;
    EXPECT_EQ(FT_Read(handle, buffer, 6, &got), FT_IO_ERROR);
    char command[] = "RY 0\r";
    std::uint32_t written = 0;
    EXPECT_EQ(FT_Write(handle, command, 5, &written), FT_IO_ERROR);
}

TEST_F(SerialBackendTest, OpenSaysWhyATtyCannotBeHad)
{
    // The fixture holds slavePath through the backend: the lock names this process.
    const TtyOpenResult held = openTty(slavePath);
    EXPECT_EQ(held.cause, TtyOpenCause::Busy);
    EXPECT_EQ(held.fd, -1);
    EXPECT_EQ(held.holderPid, qint64(::getpid()));
    EXPECT_TRUE(describeOpenResult(held).startsWith(QStringLiteral("held by another program (PID %1").arg(::getpid())))
        << describeOpenResult(held).toStdString();

    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QFile plain(dir.filePath("plain"));
    ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
    plain.close();
    struct Case {
        QString path;
        TtyOpenCause cause;
        const char* text;
    };
    for (const Case& c : {Case{dir.filePath("nothing-here"), TtyOpenCause::Absent, "absent ("},
                          Case{plain.fileName(), TtyOpenCause::NotATty, "not a tty"},
                          Case{"/dev/null", TtyOpenCause::NotATty, "not a tty"}}) {
        SCOPED_TRACE(c.path.toStdString());
        const TtyOpenResult result = openTty(c.path);
        EXPECT_EQ(result.cause, c.cause);
        EXPECT_EQ(result.fd, -1);
        EXPECT_TRUE(describeOpenResult(result).startsWith(QLatin1String(c.text)));
    }

    // A line nobody holds opens, locked, and is free again once closed.
    EXPECT_EQ(FT_Close(handle), FT_OK);
    handle = nullptr;
    const TtyOpenResult free = openTty(slavePath);
    ASSERT_EQ(free.cause, TtyOpenCause::Opened);
    EXPECT_EQ(openTty(slavePath).cause, TtyOpenCause::Busy);
    ::close(free.fd);
    const TtyOpenResult again = openTty(slavePath);
    EXPECT_EQ(again.cause, TtyOpenCause::Opened);
    ::close(again.fd);
}

TEST(SerialBackendLog, OpenOnAPseudoTerminalLogsTheRefusedLowLatencyModeAtDebugOnly)
{
    closeAll();
    int master = -1, slave = -1;
    char name[128] = {};
    ASSERT_EQ(::openpty(&master, &slave, name, nullptr, nullptr), 0);
    ::close(slave);
    setBackend(makeSerialBackend({{"KS265000A", QString::fromLatin1(name)}}));
    test::LogCapture log;
    char serial[] = "KS265000A";
    FT_HANDLE h = nullptr;
    EXPECT_EQ(FT_OpenEx(serial, FT_OPEN_BY_SERIAL_NUMBER, &h), FT_OK);
    closeAll();
    ::close(master);
    setBackend(makeSerialBackend({}));

    const QStringList debug = log.messages("velmar.device", QtDebugMsg);
    EXPECT_TRUE(debug.filter("no low-latency mode").size() == 1) << debug.join('\n').toStdString();
    EXPECT_TRUE(log.messages("velmar.device", QtWarningMsg).isEmpty());
    EXPECT_TRUE(log.messages("velmar.device", QtInfoMsg).filter("opened " + QString::fromLatin1(name)).size() == 1);
}

TEST_F(SerialBackendTest, UnknownSerialAndBadHandles)
{
    char other[] = "NOSUCH000A";
    FT_HANDLE h = nullptr;
    EXPECT_EQ(FT_OpenEx(other, FT_OPEN_BY_SERIAL_NUMBER, &h), FT_DEVICE_NOT_FOUND);
    EXPECT_EQ(h, nullptr);
    std::uint32_t n = 0;
    EXPECT_EQ(FT_GetQueueStatus(nullptr, &n), FT_INVALID_HANDLE);
    EXPECT_EQ(FT_Purge(nullptr, FT_PURGE_RX), FT_INVALID_HANDLE);
    int notAHandle = 0;
    EXPECT_EQ(FT_Purge(&notAHandle, FT_PURGE_RX), FT_INVALID_HANDLE);
}

TEST(FindUsbSerialTty, MatchesSerialAndInterfaceInSysfsAndByIdNames)
{
    QTemporaryDir root;
    ASSERT_TRUE(root.isValid());
    const QString sys = root.filePath("sys"), dev = root.filePath("dev");
    auto write = [](const QString& path, const QByteArray& text) {
        QDir().mkpath(QFileInfo(path).path());
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text);
    };
    // Two channels of our instrument and one of some other adapter.
    struct Tty {
        const char* name;
        const char* usb;
        const char* serial;
        const char* interface;
    };
    for (const Tty& t : {Tty{"ttyUSB0", "1-1", "OTHER1\n", "00\n"}, Tty{"ttyUSB1", "1-2", "KS265000\n", "00\n"},
                         Tty{"ttyUSB2", "1-2", "KS265000\n", "01\n"}}) {
        const QString usbDevice = sys + "/devices/usb1/" + t.usb;
        const QString interface = usbDevice + "/" + t.usb + ":1." + QByteArray(t.interface).trimmed().right(1);
        write(usbDevice + "/serial", t.serial);
        write(interface + "/bInterfaceNumber", t.interface);
        QDir().mkpath(interface + "/" + t.name);
        QDir().mkpath(sys + "/class/tty/" + t.name);
        ASSERT_TRUE(QFile::link(interface + "/" + t.name, sys + "/class/tty/" + t.name + "/device"));
        QDir().mkpath(sys + "/bus/usb-serial/drivers/ftdi_sio");
        ASSERT_TRUE(QFile::link(sys + "/bus/usb-serial/drivers/ftdi_sio", interface + "/" + t.name + "/driver"));
        write(dev + "/" + t.name, "");
    }
    // A built-in UART is no USB serial port.
    QDir().mkpath(sys + "/devices/platform/serial8250/tty/ttyS0");
    QDir().mkpath(sys + "/class/tty/ttyS0");
    ASSERT_TRUE(QFile::link(sys + "/devices/platform/serial8250/tty/ttyS0", sys + "/class/tty/ttyS0/device"));

    const QList<UsbSerialPort> ports = listUsbSerialPorts(sys, dev);
    ASSERT_EQ(ports.size(), 3);
    EXPECT_EQ(ports[2].tty, dev + "/ttyUSB2");
    EXPECT_EQ(ports[2].usbSerial, "KS265000");
    EXPECT_EQ(ports[2].interfaceNumber, 1);
    EXPECT_EQ(ports[2].driver, "ftdi_sio");
    EXPECT_EQ(findUsbSerialTty("KS265000A", sys, dev), dev + "/ttyUSB1");
    EXPECT_EQ(findUsbSerialTty("KS265000B", sys, dev), dev + "/ttyUSB2");
    EXPECT_EQ(findUsbSerialTty("KS265001A", sys, dev), QString());

    // Without sysfs, udev's names still lead there.
    const QString empty = root.filePath("nosys");
    write(dev + "/serial/by-id/usb-Maker_Kestrom_KS265000-if01-port0", "");
    write(dev + "/serial/by-id/usb-Maker_Other_KS2650001-if00-port0", "");
    EXPECT_EQ(findUsbSerialTty("KS265000B", empty, dev), dev + "/serial/by-id/usb-Maker_Kestrom_KS265000-if01-port0");
    EXPECT_EQ(findUsbSerialTty("KS265000A", empty, dev), QString());

    // The instrument's udev rule names its ttys; those names come before by-id, and only for it.
    write(dev + "/kestrom-A", "");
    write(dev + "/kestrom-B", "");
    EXPECT_EQ(findUsbSerialTty("KS265000A", empty, dev), dev + "/kestrom-A");
    EXPECT_EQ(findUsbSerialTty("KS265000B", empty, dev), dev + "/kestrom-B");
    EXPECT_EQ(findUsbSerialTty("KS265001A", empty, dev), QString());
    EXPECT_EQ(locateChannel("KS265000A", {}, sys, dev).path, dev + "/ttyUSB1");  // sysfs first
    const ChannelLocation given = locateChannel("KS265000A", {{"KS265000A", "/dev/pts/9"}}, sys, dev);
    EXPECT_TRUE(given.given);
    EXPECT_EQ(given.path, "/dev/pts/9");
    EXPECT_EQ(locateChannel("KS265001B", {}, empty, dev).missing, "no tty of USB serial KS265001 interface 1");
}

}  // namespace
}  // namespace velmar::d2xx
