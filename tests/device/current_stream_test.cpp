#include "device/current_stream.h"

#include "device/d2xx/d2xx.h"
#include "device/link_state.h"
#include "device/usb_channel_driver.h"
#include "sim/kestrom_sim.h"
#include "sim/simulated_backend.h"
#include "tests/support/corpus_replay.h"
#include "tests/support/frame_feed.h"
#include "tests/support/recording_platform.h"

#include <gtest/gtest.h>

#include <memory>

namespace velmar {
namespace {

// The frame reader alone on a simulated instrument whose clock never moves: only the bytes a
// test injects arrive.
struct FrameReader {
    FrameReader()
    {
        d2xx::closeAll();
        sim::installSimulator(instrument);
        reader.ReadCurrentFrame();  // opens the channel
    }
    ~FrameReader() { d2xx::closeAll(); }

    test::RecordingPlatform platform;
    sim::ManualClock clock;
    std::shared_ptr<sim::KestromSim> instrument = std::make_shared<sim::KestromSim>(clock.clock());
    LinkState link;
    UsbChannelDriver driver;
    CurrentStream reader{link, driver};
};

// Any bytes on the data channel, then clean frames (test::FrameFeed): every frame taken is
// five characters and a carriage return that came down the wire, its value is its five digits,
// and the clean frames put the reader back in step, with nothing carried over.
QString CheckReaderAlone(const QByteArray& input)
{
    FrameReader r;
    test::FrameFeed feed(*r.instrument);
    std::optional<CurrentFrame> last;
    auto read = [&]() -> QString {
        const StreamRead got = r.reader.ReadCurrentFrame();
        if (!got.polled)
            return QStringLiteral("the queue was not looked at");
        if (!got.frame)
            return {};
        last = got.frame;
        if (got.frame->text.size() != 5 || !feed.sent.contains(got.frame->text.toLatin1() + '\r'))
            return QStringLiteral("took a frame '%1' that never arrived").arg(got.frame->text);
        if (got.frame->value && *got.frame->value != got.frame->text.toInt())
            return QStringLiteral("frame '%1' read as %2").arg(got.frame->text).arg(*got.frame->value);
        return {};
    };
    if (QString broken = feed.run(input, read); !broken.isEmpty())
        return broken;
    if (!last || last->value != test::LastCleanFrame || r.reader.carriedBytes() != 0)
        return QStringLiteral("not back in step after clean frames: last '%1', %2 bytes carried")
            .arg(last ? last->text : QStringLiteral("none"))
            .arg(r.reader.carriedBytes());
    if (!r.platform.dialogs.isEmpty())
        return QStringLiteral("a dialog for bytes on the wire: ") + r.platform.dialogs.join(u'|');
    return {};
}

TEST(FrameReader, StaysInStepForEveryCorpusInput)
{
    test::ReplayCorpus(QStringLiteral("corpus_frames"), CheckReaderAlone);
}

}  // namespace
}  // namespace velmar
