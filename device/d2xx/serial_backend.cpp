#include "device/d2xx/backend.h"
#include "device/d2xx/serial_ports.h"
#include "platform/log.h"

#include <QElapsedTimer>
#include <QSocketNotifier>
#include <QTimer>

#include <cerrno>
#include <cstring>
#include <linux/serial.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace velmar::d2xx {

namespace {

// Unplugging a USB adapter hangs its tty up: every call on the descriptor then fails with EIO
// (or ENXIO/ENODEV on some drivers). That is the lost link, not a passing error.
FT_STATUS statusFromErrno(int error)
{
    switch (error) {
    case EIO:
    case ENXIO:
    case ENODEV:
        return FT_IO_ERROR;
    case ENOMEM:
        return FT_INSUFFICIENT_RESOURCES;
    case EINVAL:
        return FT_INVALID_PARAMETER;
    default:
        return FT_OTHER_ERROR;
    }
}

speed_t speedFor(std::uint32_t baud, bool* ok)
{
    *ok = true;
    switch (baud) {
    case 300: return B300;
    case 600: return B600;
    case 1200: return B1200;
    case 2400: return B2400;
    case 4800: return B4800;
    case 9600: return B9600;
    case 19200: return B19200;
    case 38400: return B38400;
    case 57600: return B57600;
    case 115200: return B115200;
    case 230400: return B230400;
    case 460800: return B460800;
    case 921600: return B921600;
    default: *ok = false; return B0;
    }
}

class SerialPort final : public Port {
public:
    explicit SerialPort(int fd) : fd_(fd) {}
    ~SerialPort() override
    {
        // The notifier must be gone before its descriptor is.
        notifier_.reset();
        ::close(fd_);
    }

    FT_STATUS notifyOnReceive(std::function<void()> onReceive) override
    {
        onReceive_ = std::move(onReceive);
        if (!notifier_) {
            notifier_ = std::make_unique<QSocketNotifier>(fd_, QSocketNotifier::Read);
            // Readable also means hung up (poll's POLLHUP/POLLERR wake a read notifier).
            QObject::connect(notifier_.get(), &QSocketNotifier::activated, notifier_.get(), [this] { fire(); });
            partial_ = std::make_unique<QTimer>();
            partial_->setSingleShot(true);
            QObject::connect(partial_.get(), &QTimer::timeout, partial_.get(), [this] { fire(); });
        }
        notifier_->setEnabled(false);
        partial_->stop();
        if (!onReceive_)
            return FT_OK;
        // The notifier tells "readable", not "more arrived": with part of a reply already
        // waiting it would fire at once, again and again. Then look again shortly instead.
        int count = 0;
        if (::ioctl(fd_, FIONREAD, &count) == 0 && count > 0)
            partial_->start(1);
        else
            notifier_->setEnabled(true);
        return FT_OK;
    }

    FT_STATUS purge(std::uint32_t mask) override
    {
        if (mask == 0 || mask > (FT_PURGE_RX | FT_PURGE_TX))
            return FT_INVALID_PARAMETER;
        const int which = mask == (FT_PURGE_RX | FT_PURGE_TX) ? TCIOFLUSH : mask == FT_PURGE_RX ? TCIFLUSH : TCOFLUSH;
        return ::tcflush(fd_, which) == 0 ? FT_OK : statusFromErrno(errno);
    }

    FT_STATUS setBaudRate(std::uint32_t baudRate) override
    {
        bool ok = false;
        const speed_t speed = speedFor(baudRate, &ok);
        if (!ok)
            return FT_INVALID_BAUD_RATE;
        return change([&](termios& t) {
            ::cfsetispeed(&t, speed);
            ::cfsetospeed(&t, speed);
        });
    }

    FT_STATUS setDataCharacteristics(std::uint8_t wordLength, std::uint8_t stopBits, std::uint8_t parity) override
    {
        if ((wordLength != FT_BITS_7 && wordLength != FT_BITS_8) ||
            (stopBits != FT_STOP_BITS_1 && stopBits != FT_STOP_BITS_2) || parity > FT_PARITY_SPACE)
            return FT_INVALID_PARAMETER;
        return change([&](termios& t) {
            t.c_cflag &= ~(CSIZE | CSTOPB | PARENB | PARODD | CMSPAR);
            t.c_cflag |= wordLength == FT_BITS_7 ? CS7 : CS8;
            if (stopBits == FT_STOP_BITS_2)
                t.c_cflag |= CSTOPB;
            switch (parity) {
            case FT_PARITY_ODD: t.c_cflag |= PARENB | PARODD; break;
            case FT_PARITY_EVEN: t.c_cflag |= PARENB; break;
            case FT_PARITY_MARK: t.c_cflag |= PARENB | CMSPAR | PARODD; break;
            case FT_PARITY_SPACE: t.c_cflag |= PARENB | CMSPAR; break;
            default: break;
            }
        });
    }

    FT_STATUS setFlowControl(std::uint16_t flowControl, std::uint8_t xon, std::uint8_t xoff) override
    {
        return change([&](termios& t) {
            t.c_cflag &= ~CRTSCTS;
            t.c_iflag &= ~(IXON | IXOFF | IXANY);
            if (flowControl == FT_FLOW_RTS_CTS) {
                t.c_cflag |= CRTSCTS;
            } else if (flowControl == FT_FLOW_XON_XOFF) {
                t.c_iflag |= IXON | IXOFF;
                t.c_cc[VSTART] = xon;
                t.c_cc[VSTOP] = xoff;
            }
            // DTR/DSR handshaking has no termios equivalent; such a line runs without flow control.
        });
    }

    FT_STATUS setTimeouts(std::uint32_t readTimeout, std::uint32_t writeTimeout) override
    {
        readTimeout_ = readTimeout;
        writeTimeout_ = writeTimeout;
        return FT_OK;
    }

    FT_STATUS queueStatus(std::uint32_t* rxBytes) override
    {
        int count = 0;
        if (::ioctl(fd_, FIONREAD, &count) != 0)
            return statusFromErrno(errno);
        // A USB tty that was unplugged fails the ioctl above with EIO. A line whose far end
        // went away without a hang-up of our descriptor (a pseudo-terminal whose master closed)
        // still answers it, but reports the hang-up to poll: once drained it is just as lost.
        if (count == 0) {
            pollfd p{fd_, POLLIN, 0};
            if (::poll(&p, 1, 0) > 0 && (p.revents & (POLLHUP | POLLERR | POLLNVAL)) && !(p.revents & POLLIN))
                return FT_IO_ERROR;
        }
        *rxBytes = static_cast<std::uint32_t>(count);
        return FT_OK;
    }

    FT_STATUS write(const void* buffer, std::uint32_t n, std::uint32_t* written) override
    {
        const auto* bytes = static_cast<const char*>(buffer);
        return transfer(POLLOUT, writeTimeout_, n, written,
                        [&](std::uint32_t done) { return ::write(fd_, bytes + done, n - done); });
    }

    FT_STATUS read(void* buffer, std::uint32_t n, std::uint32_t* got) override
    {
        auto* bytes = static_cast<char*>(buffer);
        return transfer(POLLIN, readTimeout_, n, got,
                        [&](std::uint32_t done) { return ::read(fd_, bytes + done, n - done); });
    }

private:
    // Moves n bytes with `step` (one ::read or ::write of the non-blocking descriptor from byte
    // `done` on), waiting in poll for `event` between tries, until all have gone, `timeoutMs`
    // has passed (FT_OK: the count tells how far it got) or the line fails. Reading, an end of
    // file and a hang-up found by poll are the lost link.
    template <typename Step>
    FT_STATUS transfer(short event, std::uint32_t timeoutMs, std::uint32_t n, std::uint32_t* done, Step step)
    {
        const bool reading = event == POLLIN;
        QElapsedTimer clock;
        clock.start();
        while (*done < n) {
            const ssize_t r = step(*done);
            if (r > 0) {
                *done += static_cast<std::uint32_t>(r);
                continue;
            }
            if (r < 0 && errno == EINTR)
                continue;
            if (r < 0 && errno != EAGAIN)
                return statusFromErrno(errno);
            // The descriptor is non-blocking, so an empty line gives EAGAIN; end of file
            // only comes from a line that was hung up (an unplugged adapter, a closed peer).
            if (reading && r == 0)
                return FT_IO_ERROR;
            const qint64 left = qint64(timeoutMs) - clock.elapsed();
            if (left <= 0)
                return FT_OK;
            pollfd p{fd_, event, 0};
            const int ready = ::poll(&p, 1, static_cast<int>(left));
            if (ready < 0 && errno != EINTR)
                return statusFromErrno(errno);
            if (!reading || ready <= 0)
                continue;
            if (p.revents & (POLLERR | POLLNVAL))
                return FT_IO_ERROR;
            // POLLHUP alone: the next read tells EIO apart from data still buffered.
            if ((p.revents & POLLHUP) && !(p.revents & POLLIN)) {
                const ssize_t last = step(*done);
                if (last > 0) {
                    *done += static_cast<std::uint32_t>(last);
                    continue;
                }
                return last < 0 && errno != EAGAIN ? statusFromErrno(errno) : FT_IO_ERROR;
            }
        }
        return FT_OK;
    }

    template <typename F>
    FT_STATUS change(F&& edit)
    {
        termios t{};
        if (::tcgetattr(fd_, &t) != 0)
            return statusFromErrno(errno);
        edit(t);
        return ::tcsetattr(fd_, TCSANOW, &t) == 0 ? FT_OK : statusFromErrno(errno);
    }

    void fire()
    {
        notifier_->setEnabled(false);
        partial_->stop();
        if (const auto onReceive = std::exchange(onReceive_, {}))
            onReceive();
    }

    int fd_;
    std::uint32_t readTimeout_ = 0;
    std::uint32_t writeTimeout_ = 0;
    std::function<void()> onReceive_;
    std::unique_ptr<QSocketNotifier> notifier_;
    std::unique_ptr<QTimer> partial_;
};

class SerialBackend final : public Backend {
public:
    explicit SerialBackend(QMap<QString, QString> ports) : ports_(std::move(ports)) {}

    FT_STATUS open(const QString& serialNumber, std::unique_ptr<Port>& port) override
    {
        const ChannelLocation location = locateChannel(serialNumber, ports_);
        if (location.path.isEmpty()) {
            qCWarning(lcDevice).noquote() << serialNumber << "not found:" << location.missing;
            return FT_DEVICE_NOT_FOUND;
        }
        const QString& path = location.path;
        qCInfo(lcDevice).noquote() << serialNumber << (location.given ? "given as" : "found at") << path;

        const TtyOpenResult opened = openTty(path);
        if (opened.cause != TtyOpenCause::Opened) {
            qCWarning(lcDevice).noquote() << serialNumber << path << describeOpenResult(opened);
            return opened.cause == TtyOpenCause::Absent ? FT_DEVICE_NOT_FOUND : FT_DEVICE_NOT_OPENED;
        }
        const int fd = opened.fd;
        ::ioctl(fd, TIOCEXCL);

        termios t{};
        if (::tcgetattr(fd, &t) != 0) {
            qCWarning(lcDevice).noquote() << serialNumber << path << "cannot read the line settings:"
                                          << std::strerror(errno);
            ::close(fd);
            return FT_DEVICE_NOT_OPENED;
        }
        ::cfmakeraw(&t);
        t.c_cflag |= CLOCAL | CREAD;
        // With VMIN 1 a non-blocking read of an empty line fails with EAGAIN, which keeps
        // "nothing yet" apart from the end of file of a line that was hung up.
        t.c_cc[VMIN] = 1;
        t.c_cc[VTIME] = 0;
        if (::tcsetattr(fd, TCSANOW, &t) != 0) {
            qCWarning(lcDevice).noquote() << serialNumber << path << "cannot set the line up:" << std::strerror(errno);
            ::close(fd);
            return FT_DEVICE_NOT_OPENED;
        }
        requestLowLatency(fd, serialNumber);
        qCInfo(lcDevice).noquote() << serialNumber << "opened" << path;
        port = std::make_unique<SerialPort>(fd);
        return FT_OK;
    }

private:
    // A USB serial driver holds received bytes back for its latency timer (16 ms on FTDI) unless
    // told otherwise; every reply would wait that long. Pseudo-terminals and drivers without the
    // setting refuse it, which costs nothing but that wait.
    static void requestLowLatency(int fd, const QString& serialNumber)
    {
        serial_struct serial{};
        if (::ioctl(fd, TIOCGSERIAL, &serial) != 0) {
            qCDebug(lcDevice).noquote() << serialNumber << "no low-latency mode:" << std::strerror(errno);
            return;
        }
        if (serial.flags & ASYNC_LOW_LATENCY)
            return;
        serial.flags |= ASYNC_LOW_LATENCY;
        if (::ioctl(fd, TIOCSSERIAL, &serial) != 0)
            qCDebug(lcDevice).noquote() << serialNumber << "no low-latency mode:" << std::strerror(errno);
        else
            qCDebug(lcDevice).noquote() << serialNumber << "low-latency mode on";
    }

    QMap<QString, QString> ports_;
};

}  // namespace

std::unique_ptr<Backend> makeSerialBackend(const QMap<QString, QString>& ports)
{
    return std::make_unique<SerialBackend>(ports);
}

}  // namespace velmar::d2xx
