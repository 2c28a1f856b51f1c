#include "platform/append_file.h"

#include <QFile>

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace velmar {

int OpenForAppending(const QString& path, bool terminalToo, QString* error)
{
    const auto fail = [error](const QString& why) {
        if (error)
            *error = why;
        return -1;
    };
    // O_NONBLOCK: a FIFO without a reader fails with ENXIO instead of waiting for one.
    // O_NOCTTY: a terminal named here never becomes the program's controlling terminal.
    const int fd = ::open(QFile::encodeName(path).constData(),
                          O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC | O_NONBLOCK | O_NOCTTY, 0644);
    if (fd < 0) {
        if (errno == ENXIO)
            return fail(QStringLiteral("not a regular file"));
        return fail(QString::fromLocal8Bit(std::strerror(errno)));
    }
    struct stat status = {};
    const bool regular = ::fstat(fd, &status) == 0 && S_ISREG(status.st_mode);
    if (!regular && !(terminalToo && ::isatty(fd))) {
        ::close(fd);
        return fail(terminalToo ? QStringLiteral("neither a regular file nor a terminal")
                                : QStringLiteral("not a regular file"));
    }
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags != -1)
        ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    return fd;
}

}  // namespace velmar
