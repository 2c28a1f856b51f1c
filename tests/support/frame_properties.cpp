#include "tests/support/frame_properties.h"

#include "device/current_stream.h"
#include "device/d2xx/d2xx.h"
#include "device/usb_channel_driver.h"
#include "sim/kestrom_sim.h"
#include "sim/simulated_backend.h"
#include "tests/support/readout_rig.h"
#include "tests/support/recording_platform.h"

#include <memory>

namespace velmar::test {
namespace {

// What the reader is given after the input, one frame at a time: whatever came before, it
// must be back in step and show the last of these.
constexpr int kCleanFrames[] = {10101, 10202, 10303, 10404};
constexpr std::uint32_t kFrameSize = CurrentStream::FrameSize;

struct Reader : ReadoutRig {
    Reader()
    {
        d2xx::closeAll();
        sim::installSimulator(instrument);
    }
    ~Reader() { d2xx::closeAll(); }

    std::uint32_t waiting()
    {
        std::uint32_t count = 0;
        instrument->queued(sim::Channel::B, &count);
        return count;
    }

    RecordingPlatform platform;
    sim::ManualClock clock;  // never advanced: only the injected bytes arrive
    std::shared_ptr<sim::KestromSim> instrument = std::make_shared<sim::KestromSim>(clock.clock());
};

}  // namespace

QString CheckFrameStreamProperties(const QByteArray& input)
{
    const qsizetype chunk = input.isEmpty() ? 1 : 1 + static_cast<unsigned char>(input[0]) % 16;
    const QByteArray bytes = input.mid(1);

    Reader r;
    r.readout.ReadCurrentFrame();  // opens the channel
    QByteArray sent;
    // One read of the reader; the raw frame label, cleared before, tells whether a frame was
    // taken: its five characters and a carriage return must have come down the wire.
    auto read = [&r, &sent]() -> QString {
        r.label6.setText(QStringLiteral("<none>"));
        r.readout.ReadCurrentFrame();
        const QString taken = r.label6.text();
        if (taken != QStringLiteral("<none>") && !sent.contains(taken.toLatin1() + '\r'))
            return QStringLiteral("took a frame '%1' that never arrived").arg(taken);
        if (r.state.RawCurrent < 0 || r.state.RawCurrent > 89999)
            return QStringLiteral("a reading of %1 is no five-digit flagged frame").arg(r.state.RawCurrent);
        if (r.state.SampleSlot < 1 || r.state.SampleSlot > 3)
            return QStringLiteral("the sample slot went to %1").arg(r.state.SampleSlot);
        return {};
    };
    // What the receive queue could not hold never reaches the reader; the rest is one stream.
    auto feed = [&](const QByteArray& part) {
        const std::uint32_t before = r.waiting();
        r.instrument->injectStream(part);
        sent += part.first(r.waiting() - before);
    };
    // Reads until less than a frame is waiting; each read takes at least one byte then.
    auto drain = [&]() -> QString {
        for (std::uint32_t guard = r.waiting() + 4; guard > 0 && r.waiting() >= kFrameSize; --guard) {
            if (QString broken = read(); !broken.isEmpty())
                return broken;
        }
        return r.waiting() >= kFrameSize ? QStringLiteral("the reader stopped taking bytes") : QString();
    };

    for (qsizetype at = 0; at < bytes.size(); at += chunk) {
        feed(bytes.mid(at, chunk));
        if (QString broken = read(); !broken.isEmpty())
            return broken;
    }
    if (QString broken = drain(); !broken.isEmpty())
        return broken;

    for (int value : kCleanFrames) {
        feed(QByteArray::number(value) + '\r');
        if (QString broken = read(); !broken.isEmpty())
            return broken;
        if (QString broken = drain(); !broken.isEmpty())
            return broken;
    }
    const int last = kCleanFrames[std::size(kCleanFrames) - 1];
    if (r.state.RawCurrent != last - 10000 || !r.lamp.active())
        return QStringLiteral("not back in step after clean frames: reading %1, lamp %2")
            .arg(r.state.RawCurrent)
            .arg(r.lamp.active());
    if (!r.platform.dialogs.isEmpty())
        return QStringLiteral("a dialog for bytes on the wire: ") + r.platform.dialogs.join(u'|');
    return {};
}

}  // namespace velmar::test
