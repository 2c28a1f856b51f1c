#pragma once

#include <cstdint>

class QObject;

namespace velmar {

class Controller;

class Motion {
public:
    explicit Motion(Controller& c) : c_(c) {}
    double ShowPosition(std::int32_t steps);
    std::int32_t MmToSteps(double mm);
    void MoveTo(std::int32_t target);
    void MovePolish(std::int32_t target);
    void ApplyPendingMoves();
    void Button1Click();
    void Button2Click();
    void Button7Click();
    void Button3Click();
    void iLinearGauge1PointerPositionChanged(int index);
    void iLinearGauge1MouseUp();
    void Button4Click();
    void Button5Click();

private:
    Controller& c_;
};

}  // namespace velmar
