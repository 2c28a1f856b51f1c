#pragma once

#include <cstdint>

class QObject;

namespace velmar {

class Controller;

class PollCycle {
public:
    explicit PollCycle(Controller& c) : c_(c) {}
    void iThreadTimers1Timer9(QObject* sender);

private:
    Controller& c_;
};

}  // namespace velmar
