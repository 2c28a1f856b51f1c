#include "controller/records/record_writer.h"

#include <QFile>

#include <fcntl.h>
#include <pthread.h>
#include <sched.h>
#include <unistd.h>

#include <algorithm>
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
        // Touched now, at the start: a first touch of fresh pages during a row could cost the
        // window's thread a page fault (a huge page's zeroing takes milliseconds).
        ring_ = std::make_unique_for_overwrite<char[]>(kRingSize);
        std::memset(ring_.get(), 0, kRingSize);
        thread_ = std::thread([this] { run(); });
    } catch (const std::exception& error) {
        fail(QString::fromLocal8Bit(error.what()));
        ::close(fd_);
        fd_ = -1;
        return false;
    }
    return true;
}

void RecordWriter::append(const char* data, std::size_t size) noexcept
{
    if (!isOpen() || failed() || closing_.load(std::memory_order_relaxed))
        return;
    const std::uint64_t head = head_.load(std::memory_order_relaxed);
    const std::uint64_t tail = tail_.load(std::memory_order_acquire);
    if (head - tail + size > kRingSize) {
        fail(QStringLiteral("the disk does not keep up: %1 KiB are waiting to be written").arg(kRingSize / 1024));
        return;
    }
    const std::size_t at = head % kRingSize;
    const std::size_t first = std::min<std::size_t>(size, kRingSize - at);
    std::memcpy(ring_.get() + at, data, first);
    std::memcpy(ring_.get(), data + first, size - first);
    // seq_cst with the load below and the writer's "sleeping, then look again": either the
    // writer sees these bytes, or this sees it asleep and wakes it.
    head_.store(head + size, std::memory_order_seq_cst);
    if (writerSleeping_.load(std::memory_order_seq_cst))
        wakeWriter();
}

void RecordWriter::wakeWriter() noexcept
{
    wake_.fetch_add(1, std::memory_order_seq_cst);
    wake_.notify_one();
}

void RecordWriter::run()
{
#ifdef __linux__
    // A woken writer must not take the core from the window's thread that woke it: batch
    // threads get their fair share of the processor but no preference on waking.
    const sched_param batch{};
    pthread_setschedparam(pthread_self(), SCHED_BATCH, &batch);
#endif
    for (;;) {
        const std::uint64_t tail = tail_.load(std::memory_order_relaxed);
        std::uint64_t head = head_.load(std::memory_order_acquire);
        if (head == tail) {
            if (closing_.load(std::memory_order_acquire) && head_.load(std::memory_order_acquire) == tail)
                return;
            const std::uint32_t seen = wake_.load(std::memory_order_seq_cst);
            writerSleeping_.store(true, std::memory_order_seq_cst);
            if (head_.load(std::memory_order_seq_cst) == tail && !closing_.load(std::memory_order_seq_cst))
                wake_.wait(seen, std::memory_order_seq_cst);
            writerSleeping_.store(false, std::memory_order_relaxed);
            continue;
        }
        // Out in at most two pieces (the ring wraps); a failure latches and the rest is
        // dropped, but the ring is still emptied so close() finds nothing waiting.
        std::uint64_t done = tail;
        while (done < head && !failed()) {
            const std::size_t at = done % kRingSize;
            const std::size_t size = std::min<std::uint64_t>(head - done, kRingSize - at);
            const ssize_t written = ::write(fd_, ring_.get() + at, size);
            if (written < 0) {
                if (errno == EINTR)
                    continue;
                failWithErrno(errno);
                done = cutPartialLine(tail, done);
                break;
            }
            done += static_cast<std::uint64_t>(written);
        }
        fileSize_ += done - tail;
        tail_.store(head, std::memory_order_release);
    }
}

std::uint64_t RecordWriter::cutPartialLine(std::uint64_t from, std::uint64_t to) noexcept
{
    // Every append() ends on a line end, so the file did before this batch; a write that
    // failed half-way through a line (a full disk takes what fits) would leave a line that a
    // reader takes for a whole one with a wrong last number. Back to the last line end.
    std::uint64_t keep = from;
    for (std::uint64_t i = to; i > from; --i) {
        if (ring_[(i - 1) % kRingSize] == '\n') {
            keep = i;
            break;
        }
    }
    // Where the cut itself fails, the file keeps the part line and the size says so.
    if (keep != to && ::ftruncate(fd_, static_cast<off_t>(fileSize_ + (keep - from))) != 0)
        return to;
    return keep;
}

bool RecordWriter::close()
{
    if (!isOpen())
        return !failed();
    closing_.store(true, std::memory_order_seq_cst);
    wakeWriter();
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
    std::lock_guard lock(errorMutex_);
    return error_;
}

void RecordWriter::fail(const QString& reason) noexcept
{
    std::lock_guard lock(errorMutex_);
    if (failed_.load(std::memory_order_relaxed))
        return;
    error_ = reason;
    failed_.store(true, std::memory_order_release);
}

void RecordWriter::failWithErrno(int error) noexcept { fail(QString::fromLocal8Bit(std::strerror(error))); }

}  // namespace velmar
