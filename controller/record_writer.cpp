#include "controller/record_writer.h"

#include <QFile>

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace velmar {

RecordWriter::~RecordWriter() { close(); }

bool RecordWriter::open(const QString& fileName)
{
    if (isOpen() || failed())
        return false;
    // O_EXCL: a record never writes into a file it did not make.
    fd_ = ::open(QFile::encodeName(fileName).constData(), O_WRONLY | O_CREAT | O_EXCL | O_APPEND | O_CLOEXEC, 0666);
    if (fd_ < 0) {
        failWithErrno(errno);
        return false;
    }
    try {
        pending_.reserve(4096);
        thread_ = std::thread([this] { run(); });
    } catch (const std::exception& error) {
        fail(QString::fromLocal8Bit(error.what()));
        ::close(fd_);
        fd_ = -1;
        return false;
    }
    return true;
}

void RecordWriter::append(const QByteArray& bytes) noexcept
{
    if (failed() || !isOpen())
        return;
    bool wake = false;
    {
        std::lock_guard lock(mutex_);
        if (failed_)
            return;
        if (pending_.size() + bytes.size() > kMaxPending) {
            error_ = QStringLiteral("the disk does not keep up: more than %1 MiB are waiting to be written")
                         .arg(kMaxPending / (1024 * 1024));
            failed_ = true;
            return;
        }
        try {
            pending_.append(bytes.constData(), bytes.size());
        } catch (const std::exception&) {
            error_ = QStringLiteral("out of memory");
            failed_ = true;
            return;
        }
        wake = writerWaiting_;
    }
    // Only a sleeping writer needs the wake-up call; a busy one takes the bytes on its next turn.
    if (wake)
        wake_.notify_one();
}

void RecordWriter::run()
{
    std::string batch;
    batch.reserve(4096);
    std::unique_lock lock(mutex_);
    for (;;) {
        writerWaiting_ = true;
        wake_.wait(lock, [this] { return !pending_.empty() || closing_; });
        writerWaiting_ = false;
        if (pending_.empty())
            return;  // closing, and nothing left
        batch.swap(pending_);
        lock.unlock();

        const char* data = batch.data();
        std::size_t left = batch.size();
        while (left > 0 && !failed()) {
            const ssize_t written = ::write(fd_, data, left);
            if (written < 0) {
                if (errno == EINTR)
                    continue;
                failWithErrno(errno);
                break;
            }
            data += written;
            left -= static_cast<std::size_t>(written);
        }
        batch.clear();
        lock.lock();
    }
}

bool RecordWriter::close()
{
    if (!isOpen())
        return !failed();
    {
        std::lock_guard lock(mutex_);
        closing_ = true;
    }
    wake_.notify_one();
    thread_.join();
    if (!failed() && ::fsync(fd_) != 0)
        failWithErrno(errno);
    if (::close(fd_) != 0 && !failed())
        failWithErrno(errno);
    fd_ = -1;
    return !failed();
}

QString RecordWriter::error() const
{
    std::lock_guard lock(mutex_);
    return error_;
}

void RecordWriter::fail(const QString& reason)
{
    std::lock_guard lock(mutex_);
    if (!failed_) {
        error_ = reason;
        failed_ = true;
    }
}

void RecordWriter::failWithErrno(int error) { fail(QString::fromLocal8Bit(std::strerror(error))); }

}  // namespace velmar
