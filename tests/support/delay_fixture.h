#pragma once

#include "tests/support/recording_platform.h"

#include <gtest/gtest.h>

#include <chrono>

namespace velmar::test {

using Clock = std::chrono::steady_clock;

// Milliseconds of real time since `start`.
inline double msSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// A test of Delay: the recorded platform gives the tick (which a test may shift towards its
// wrap-around with tickOffset).
class DelayTest : public ::testing::Test {
protected:
    RecordingPlatform platform;
};

}  // namespace velmar::test
