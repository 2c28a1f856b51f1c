#pragma once

#include <QByteArray>
#include <QString>

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>

namespace velmar {

// An append-only file that a run writes as it goes, without ever waiting on the window's
// thread: append() copies the row into a ring that a writer thread empties, writing each row
// out to the kernel as soon as it arrives (no fsync per row), so a program killed mid-run
// leaves every row but perhaps the last complete on disk. close() writes what is still
// pending, fsyncs and closes.
//
// The ring has one producer (the window's thread) and one consumer (the writer): append()
// takes no lock, so a writer thread that the system has put to sleep, or a disk that hangs,
// can never hold the window up. Only a sleeping writer is woken, with one futex call.
//
// A failure (disk full, an I/O error, a file that cannot be made, a disk so slow that the ring
// fills) latches: later rows are dropped, nothing throws, and error() says what went wrong
// first. The run never notices. The file still ends on a whole line: a line that the disk took
// only part of is cut off again. append() must be given whole lines.
class RecordWriter {
public:
    // Bytes the ring holds: minutes of rows at any rate a run produces.
    static constexpr std::uint64_t kRingSize = 1024 * 1024;

    RecordWriter() = default;
    ~RecordWriter();
    RecordWriter(const RecordWriter&) = delete;
    RecordWriter& operator=(const RecordWriter&) = delete;

    // Creates `fileName`, which must not exist yet, and starts the writer. False (with the
    // reason in error()) when it cannot.
    bool open(const QString& fileName);
    // Queues `size` bytes for writing: a copy and two atomic stores; never waits.
    void append(const char* data, std::size_t size) noexcept;
    void append(const QByteArray& bytes) noexcept { append(bytes.constData(), static_cast<std::size_t>(bytes.size())); }
    // Writes what is pending, fsyncs and closes; returns whether everything was written.
    // Does nothing more when already closed.
    bool close();

    bool isOpen() const { return fd_ >= 0; }
    bool failed() const { return failed_.load(std::memory_order_acquire); }
    // The first failure, empty when there was none.
    QString error() const;

private:
    void run();
    void wakeWriter() noexcept;
    void fail(const QString& reason) noexcept;
    void failWithErrno(int error) noexcept;
    // After a failed write: the file cut back to the last line end among the bytes [from, to)
    // of the ring that did reach it; returns the end of what stays.
    std::uint64_t cutPartialLine(std::uint64_t from, std::uint64_t to) noexcept;

    int fd_ = -1;
    std::unique_ptr<char[]> ring_;
    std::thread thread_;
    std::atomic<std::uint64_t> head_{0};   // bytes appended; written by append()
    std::atomic<std::uint64_t> tail_{0};   // bytes written out; written by the writer
    std::uint64_t fileSize_ = 0;           // bytes in the file; the writer's own
    std::atomic<bool> writerSleeping_{false};
    std::atomic<std::uint32_t> wake_{0};   // bumped to wake the writer
    std::atomic<bool> closing_{false};
    std::atomic<bool> failed_{false};
    mutable std::mutex errorMutex_;        // only for error_: taken on a failure, never per row
    QString error_;
};

}  // namespace velmar
