#pragma once

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
    void iThreadTimers1Timer1(QObject* sender);

private:
    Controller& c_;
};

}  // namespace velmar
