#pragma once

#include <QByteArray>
#include <QString>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

namespace velmar {

// An append-only file that a run writes as it goes, without ever waiting for the disk on the
// window's thread: append() hands the bytes to a writer thread, which writes each row out to
// the kernel as soon as it arrives (no fsync per row), so a program killed mid-run leaves every
// row but perhaps the last complete on disk. close() writes what is still pending, fsyncs and
// closes.
//
// A failure (disk full, an I/O error, a file that cannot be made) latches: later rows are
// dropped, nothing throws, and error() says what went wrong first. The run never notices.
class RecordWriter {
public:
    RecordWriter() = default;
    ~RecordWriter();
    RecordWriter(const RecordWriter&) = delete;
    RecordWriter& operator=(const RecordWriter&) = delete;

    // Creates `fileName`, which must not exist yet, and starts the writer. False (with the
    // reason in error()) when it cannot.
    bool open(const QString& fileName);
    // Queues `bytes` for writing. Costs a copy and a lock; never blocks on the disk.
    void append(const QByteArray& bytes) noexcept;
    // Writes what is pending, fsyncs and closes; returns whether everything was written.
    // Does nothing more when already closed.
    bool close();

    bool isOpen() const { return fd_ >= 0; }
    bool failed() const { return failed_.load(std::memory_order_relaxed); }
    // The first failure, empty when there was none.
    QString error() const;

    // More bytes than this waiting for a disk that does not take them is a failure too, rather
    // than a memory that grows for as long as the disk hangs.
    static constexpr std::size_t kMaxPending = 16 * 1024 * 1024;

private:
    void run();
    void fail(const QString& reason);
    void failWithErrno(int error);

    int fd_ = -1;
    std::thread thread_;
    mutable std::mutex mutex_;
    std::condition_variable wake_;
    std::string pending_;       // guarded by mutex_
    bool closing_ = false;      // guarded by mutex_
    bool writerWaiting_ = false;  // guarded by mutex_
    QString error_;             // guarded by mutex_
    std::atomic<bool> failed_{false};
};

}  // namespace velmar
