#pragma once

#include "controller/progress.h"
#include "platform/task.h"

#include <QString>

#include <cstdint>

namespace velmar {

class Controller;

// Before every half-cycle move of a polish run: advance the counters, average the latest
// readings, chart them with the running total and test the three finish criteria.
class HalfCycle {
public:
    explicit HalfCycle(Controller& c) : c_(c) {}

    // True when no finish criterion was met (the pending move goes ahead); False when at least
    // one was: its message has been opened (not awaited) and the run is stopping (BitBtn1
    // reads "Run" again), so the run loop ends at its next look at its state.
    Task<bool> EvaluateHalfCycle();

    // The average of the latest call (also in Label10), for tests and diagnostics.
    double lastAverage() const { return lastAverage_; }

private:
    // Two beeps 250 ms apart, then the message, which the run does not wait for.
    Task<void> announceFinish(QString message, RecordEnd criterion);

    Controller& c_;
    double lastAverage_ = 0.0;
};

}  // namespace velmar
