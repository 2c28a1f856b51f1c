#pragma once

#include "platform/task.h"

#include <cstdint>

class QObject;

namespace velmar {

class Controller;

// Timer 1 fires once, 2 s after the window was created: homes the electrode behind the splash,
// reads the settings and starts the poll cycle.
class StartUpSequence {
public:
    static constexpr int StartUpTimer = 1;
    static constexpr int StartUpDelayMs = 2000;

    explicit StartUpSequence(Controller& c) : c_(c) {}
    // Starts the sequence (once per process) and returns; the homing goes on as a routine.
    void iThreadTimers1Timer1(QObject* sender);

private:
    Task<void> homeAndLoad();

    Controller& c_;
};

}  // namespace velmar
