#pragma once

#include <cstdint>

class QObject;

namespace velmar {

class Controller;

class VoltCurrentTest {
public:
    explicit VoltCurrentTest(Controller& c) : c_(c) {}
    void Button10Click();

private:
    Controller& c_;
};

}  // namespace velmar
