#pragma once

#include <QString>

#include <array>
#include <cstdint>
#include <optional>

namespace velmar {

struct LinkState;
class UsbChannelDriver;

// One frame of channel B: its five characters as they came, and the count they stand for when
// they are five decimal digits. A count of 10000 and above is flagged: the raw count plus
// 10000, with the polishing current on.
struct CurrentFrame {
    static constexpr std::int32_t Flag = 10000;

    QString text;
    std::optional<std::int32_t> value;
};

// What one look at channel B found.
struct StreamRead {
    bool polled = false;        // the queue was looked at (the link had not failed)
    std::uint32_t queued = 0;   // bytes that were waiting then
    std::optional<CurrentFrame> frame;
};

// Channel B: the polishing current as 6-byte text frames (five digits and a carriage return),
// at most one taken per call, never waiting for data. It decodes frames and keeps the stream
// in step with their boundaries; what a frame means for the displays is the controller's.
class CurrentStream {
public:
    static constexpr std::uint32_t FrameSize = 6;
    // More complete frames than this waiting (the device sends faster than we poll): the
    // oldest surplus is dropped, so what is shown is never older than this many frames.
    static constexpr std::uint32_t MaxFramesBehind = 10;

    CurrentStream(LinkState& link, UsbChannelDriver& driver) : link_(link), driver_(driver) {}

    void OpenDataChannel();
    StreamRead ReadCurrentFrame();

    // Bytes of the stream read by an earlier call and kept for the next one (0 to 5): the
    // tail after a carriage return that came too early, i.e. the start of the next frame.
    std::uint32_t carriedBytes() const { return carriedCount_; }
    // Frames decoded so far (flagged or not; garbled ones do not count): whoever watches for a
    // stalled stream compares it between calls.
    std::uint64_t framesTaken() const { return framesTaken_; }

private:
    void dropSurplus();
    CurrentFrame decode(const QString& text);

    LinkState& link_;
    UsbChannelDriver& driver_;

    // A stream that lost or gained bytes would otherwise stay out of step with the frame
    // boundaries for ever; keeping what followed the carriage return puts the next read back
    // on a frame start. Fixed size: never more than one frame's worth.
    std::array<char, FrameSize> carried_{};
    std::uint32_t carriedCount_ = 0;
    std::uint64_t framesTaken_ = 0;
};

}  // namespace velmar
