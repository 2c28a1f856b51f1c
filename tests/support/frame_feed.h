#pragma once

#include "device/current_stream.h"
#include "sim/kestrom_sim.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <functional>
#include <iterator>

namespace velmar::test {

// What a frame reader is given after the input under test, one frame at a time: whatever came
// before, it must be back in step and show the last of these.
constexpr int CleanFrames[] = {10101, 10202, 10303, 10404};
constexpr int LastCleanFrame = CleanFrames[std::size(CleanFrames) - 1];

// Bytes arriving on the data channel of a simulated instrument for a frame reader: the first
// input byte sets how many arrive between two reads (1 to 16), the rest is the stream; the
// clean frames follow. `read` is one read of the reader, checked: it returns what broke, or an
// empty string. `sent` is what came down the wire so far (what the receive queue could not
// hold never arrives).
class FrameFeed {
public:
    explicit FrameFeed(sim::KestromSim& instrument) : instrument_(instrument) {}

    QByteArray sent;

    std::uint32_t waiting() const
    {
        std::uint32_t count = 0;
        instrument_.queued(sim::Channel::B, &count);
        return count;
    }

    QString run(const QByteArray& input, const std::function<QString()>& read)
    {
        const qsizetype chunk = input.isEmpty() ? 1 : 1 + static_cast<unsigned char>(input[0]) % 16;
        const QByteArray bytes = input.mid(1);
        for (qsizetype at = 0; at < bytes.size(); at += chunk) {
            feed(bytes.mid(at, chunk));
            if (QString broken = read(); !broken.isEmpty())
                return broken;
        }
        if (QString broken = drain(read); !broken.isEmpty())
            return broken;
        for (int value : CleanFrames) {
            feed(QByteArray::number(value) + '\r');
            if (QString broken = read(); !broken.isEmpty())
                return broken;
            if (QString broken = drain(read); !broken.isEmpty())
                return broken;
        }
        return {};
    }

private:
    void feed(const QByteArray& part)
    {
        const std::uint32_t before = waiting();
        instrument_.injectStream(part);
        sent += part.first(waiting() - before);
    }

    // Reads until less than a frame is waiting; each read takes at least one byte then.
    QString drain(const std::function<QString()>& read)
    {
        for (std::uint32_t guard = waiting() + 4; guard > 0 && waiting() >= CurrentStream::FrameSize; --guard) {
            if (QString broken = read(); !broken.isEmpty())
                return broken;
        }
        return waiting() >= CurrentStream::FrameSize ? QStringLiteral("the reader stopped taking bytes") : QString();
    }

    sim::KestromSim& instrument_;
};

}  // namespace velmar::test
