#pragma once

#include <cstdint>

class QObject;

namespace velmar {

class Controller;

class HalfCycle {
public:
    explicit HalfCycle(Controller& c) : c_(c) {}
    void EvaluateHalfCycle();

private:
    Controller& c_;
};

}  // namespace velmar
