#include "tests/support/frame_properties.h"

#include "device/current_stream.h"
#include "device/d2xx/d2xx.h"
#include "device/usb_channel_driver.h"
#include "sim/kestrom_sim.h"
#include "sim/simulated_backend.h"
#include "tests/support/frame_feed.h"
#include "tests/support/readout_rig.h"
#include "tests/support/recording_platform.h"

#include <memory>

namespace velmar::test {
namespace {

struct Reader : ReadoutRig {
    Reader()
    {
        d2xx::closeAll();
        sim::installSimulator(instrument);
    }
    ~Reader() { d2xx::closeAll(); }

    RecordingPlatform platform;
    sim::ManualClock clock;  // never advanced: only the injected bytes arrive
    std::shared_ptr<sim::KestromSim> instrument = std::make_shared<sim::KestromSim>(clock.clock());
};

}  // namespace

QString CheckFrameStreamProperties(const QByteArray& input)
{
    Reader r;
    r.readout.ReadCurrentFrame();  // opens the channel
    FrameFeed feed(*r.instrument);
    // One read of the reader; the raw frame label, cleared before, tells whether a frame was
    // taken: its five characters and a carriage return must have come down the wire.
    auto read = [&r, &feed]() -> QString {
        r.label6.setText(QStringLiteral("<none>"));
        r.readout.ReadCurrentFrame();
        const QString taken = r.label6.text();
        if (taken != QStringLiteral("<none>") && !feed.sent.contains(taken.toLatin1() + '\r'))
            return QStringLiteral("took a frame '%1' that never arrived").arg(taken);
        if (r.state.RawCurrent < 0 || r.state.RawCurrent > 89999)
            return QStringLiteral("a reading of %1 is no five-digit flagged frame").arg(r.state.RawCurrent);
        if (r.state.SampleSlot < 1 || r.state.SampleSlot > 3)
            return QStringLiteral("the sample slot went to %1").arg(r.state.SampleSlot);
        return {};
    };
    if (QString broken = feed.run(input, read); !broken.isEmpty())
        return broken;

    if (r.state.RawCurrent != LastCleanFrame - 10000 || !r.lamp.active())
        return QStringLiteral("not back in step after clean frames: reading %1, lamp %2")
            .arg(r.state.RawCurrent)
            .arg(r.lamp.active());
    if (!r.platform.dialogs.isEmpty())
        return QStringLiteral("a dialog for bytes on the wire: ") + r.platform.dialogs.join(u'|');
    return {};
}

}  // namespace velmar::test
