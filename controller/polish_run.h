#pragma once

#include <cstdint>

class QObject;

namespace velmar {

class Controller;

class PolishRun {
public:
    explicit PolishRun(Controller& c) : c_(c) {}
    void BitBtn1Click();
    void RunPolishLoop();

private:
    Controller& c_;
};

}  // namespace velmar
