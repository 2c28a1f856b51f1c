#pragma once

#include <QString>

#include <cstdint>
#include <optional>

namespace velmar {

// Channel B carries about 30 frames a second: the log counts them instead of writing each one,
// and says every 10 s how many came, so a stream that went quiet shows as a count of 0.
class FrameTally {
public:
    static constexpr std::int64_t IntervalMs = 10000;

    // `bytes` were just read from the stream (none for a mere look at the queue). Each frame ends
    // in one carriage return, so those are counted whatever the frame decoder makes of them.
    // Returns the summary line once an interval has passed since the last one.
    std::optional<QString> add(std::int64_t nowMs, const char* bytes, std::uint32_t n);
    // The frame decoder took one frame as five digits: the line tells how many of the
    // carriage returns ended a frame that was shown, and so how many were refused.
    void accepted() { ++accepted_; }

private:
    std::int64_t since_ = -1;
    std::uint64_t frames_ = 0;
    std::uint64_t accepted_ = 0;
    std::uint64_t bytes_ = 0;
};

}  // namespace velmar
