#pragma once

#include "platform/task.h"

#include <cstdint>

class QObject;

namespace velmar {

class Controller;

// The 30 ms heartbeat on timer 9: takes at most one current frame, shows the current on the
// meter, the readout and (in manual chart mode) the chart, and ends the program when the USB
// link has failed. It re-arms its own timer on the way out, so a slow cycle delays the next
// one instead of piling events up.
class PollCycle {
public:
    static constexpr int PollTimer = 9;
    static constexpr int PollIntervalMs = 30;

    explicit PollCycle(Controller& c) : c_(c) {}
    void iThreadTimers1Timer9(QObject* sender);

private:
    Task<void> endOnLinkFailure();

    Controller& c_;
    bool endingOnLinkFailure_ = false;
};

}  // namespace velmar
