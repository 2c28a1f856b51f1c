#pragma once

#include <cstdint>

class QObject;

namespace velmar {

class Controller;

class StartUpSequence {
public:
    explicit StartUpSequence(Controller& c) : c_(c) {}
    void iThreadTimers1Timer1(QObject* sender);

private:
    Controller& c_;
};

}  // namespace velmar
