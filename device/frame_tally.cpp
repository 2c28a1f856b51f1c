#include "device/frame_tally.h"

#include <algorithm>

namespace velmar {

std::optional<QString> FrameTally::add(std::int64_t nowMs, const char* bytes, std::uint32_t n)
{
    if (since_ < 0)
        since_ = nowMs;
    frames_ += static_cast<std::uint64_t>(std::count(bytes, bytes + n, '\r'));
    bytes_ += n;
    const std::int64_t elapsed = nowMs - since_;
    if (elapsed < IntervalMs)
        return std::nullopt;
    const QString line = QStringLiteral("B received %1 frames (%2 bytes), %3 accepted, in %4 s")
                             .arg(frames_)
                             .arg(bytes_)
                             .arg(accepted_)
                             .arg(double(elapsed) / 1000.0, 0, 'f', 1);
    since_ = nowMs;
    frames_ = 0;
    accepted_ = 0;
    bytes_ = 0;
    return line;
}

}  // namespace velmar
