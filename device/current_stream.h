#pragma once

#include <array>
#include <cstdint>

class QString;

namespace velmar {

struct ControllerState;
struct MainWindowControls;
class UsbChannelDriver;

// Channel B: the polishing current as 6-byte text frames (five digits and a carriage return),
// at most one taken per call, never waiting for data. A flagged frame (10000 and above) carries
// the raw count plus 10000 and lights the "Polish" lamp.
class CurrentStream {
public:
    static constexpr std::uint32_t FrameSize = 6;
    // More complete frames than this waiting (the device sends faster than we poll): the
    // oldest surplus is dropped, so what is shown is never older than this many frames.
    static constexpr std::uint32_t MaxFramesBehind = 10;

    CurrentStream(ControllerState& state, UsbChannelDriver& driver, MainWindowControls& ui)
        : state_(state), driver_(driver), ui_(ui)
    {
    }

    void OpenDataChannel();
    void ReadCurrentFrame();

    // Bytes of the stream read by an earlier call and kept for the next one (0 to 5): the
    // tail after a carriage return that came too early, i.e. the start of the next frame.
    std::uint32_t carriedBytes() const { return carriedCount_; }
    // Frames decoded so far (flagged or not; garbled ones do not count): whoever watches for a
    // stalled stream compares it between calls.
    std::uint64_t framesTaken() const { return framesTaken_; }

private:
    void dropSurplus();
    void takeFrame(const QString& text);

    ControllerState& state_;
    UsbChannelDriver& driver_;
    MainWindowControls& ui_;

    // A stream that lost or gained bytes would otherwise stay out of step with the frame
    // boundaries for ever; keeping what followed the carriage return puts the next read back
    // on a frame start. Fixed size: never more than one frame's worth.
    std::array<char, FrameSize> carried_{};
    std::uint32_t carriedCount_ = 0;
    std::uint64_t framesTaken_ = 0;
};

}  // namespace velmar
