#include "device/current_stream.h"

#include "device/channel_setup.h"
#include "device/link_state.h"
#include "device/usb_channel_driver.h"
#include "platform/conversions.h"

#include <algorithm>
#include <cstring>

namespace velmar {

void CurrentStream::OpenDataChannel()
{
    OpenChannel(driver_, link_, UsbChannel::B, 200);
}

StreamRead CurrentStream::ReadCurrentFrame()
{
    if (!link_.DataChannelOpen) {
        OpenDataChannel();
        link_.DataChannelOpen = true;
        driver_.PurgeTx(UsbChannel::B);
        driver_.PurgeRx(UsbChannel::B);
        carriedCount_ = 0;
    }

    if (driver_.GetQueueStatus(UsbChannel::B) != d2xx::FT_OK)
        link_.LinkFailed = true;
    StreamRead read;
    if (link_.LinkFailed)
        return read;

    driver_.GetQueueStatus(UsbChannel::B);
    read.polled = true;
    read.queued = driver_.QueueCountB;

    dropSurplus();
    // Only what is already waiting is read, so the call never meets the read time-out.
    if (std::uint64_t{carriedCount_} + driver_.QueueCountB < FrameSize)
        return read;

    std::array<char, FrameSize> bytes{};
    std::memcpy(bytes.data(), carried_.data(), carriedCount_);
    const std::uint32_t wanted = FrameSize - carriedCount_;
    const std::uint32_t got = std::min(driver_.ReadBytes(UsbChannel::B, wanted), wanted);
    std::memcpy(bytes.data() + carriedCount_, driver_.RxBufferB.data(), got);
    const std::uint32_t total = carriedCount_ + got;
    carriedCount_ = 0;

    const auto end = bytes.begin() + total;
    const auto cr = std::find(bytes.begin(), end, '\r');
    if (cr == end) {
        // A short read is the start of a frame still arriving: keep it. Six bytes without a
        // carriage return are no frame at all and are dropped.
        if (total < FrameSize) {
            std::memcpy(carried_.data(), bytes.data(), total);
            carriedCount_ = total;
        }
        return read;
    }
    const auto position = static_cast<std::uint32_t>(cr - bytes.begin());
    if (position < FrameSize - 1) {
        // The carriage return ended a frame whose start we never saw; what follows it starts
        // the next one.
        carriedCount_ = total - position - 1;
        std::memcpy(carried_.data(), bytes.data() + position + 1, carriedCount_);
        return read;
    }

    read.frame = decode(QString::fromLatin1(bytes.data(), FrameSize - 1));
    return read;
}

void CurrentStream::dropSurplus()
{
    // One frame is taken per poll; a device that sends faster would otherwise have the
    // readings (and the run's finish criteria) trail further and further behind it. Whole
    // frames are dropped from the front, counting the carried start of the next one, so the
    // stream stays in step.
    const std::uint64_t waiting = std::uint64_t{carriedCount_} + driver_.QueueCountB;
    const std::uint64_t frames = waiting / FrameSize;
    if (frames <= MaxFramesBehind)
        return;
    const std::uint64_t drop = (frames - MaxFramesBehind) * FrameSize - carriedCount_;
    carriedCount_ = 0;
    std::uint64_t dropped = 0;
    while (dropped < drop) {
        const auto chunk = static_cast<std::uint32_t>(std::min<std::uint64_t>(drop - dropped, UsbChannelDriver::BufferSize));
        const std::uint32_t got = driver_.ReadBytes(UsbChannel::B, chunk);
        if (got == 0)
            break;
        dropped += got;
    }
    driver_.GetQueueStatus(UsbChannel::B);
}

namespace {

// A frame is five decimal digits: blanks, signs and "$" hex, which the integer conversion
// would take, are none of the device's.
bool isFrameValue(const QString& text)
{
    return text.size() == 5
           && std::all_of(text.begin(), text.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}

}  // namespace

CurrentFrame CurrentStream::decode(const QString& text)
{
    CurrentFrame frame{text, std::nullopt};
    int v = 0;
    if (isFrameValue(text) && TryStrToInt(text, v)) {
        frame.value = v;
        ++framesTaken_;
        driver_.tallyAcceptedFrame();
    }
    return frame;
}

}  // namespace velmar
