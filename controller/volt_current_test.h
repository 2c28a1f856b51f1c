#pragma once

#include "controller/loop_routine.h"
#include "platform/task.h"

#include <cstdint>

namespace velmar {

class Controller;

// The volt-versus-current test: steps the supply through whole volts and charts the settled
// current at each, every point measured against a zero captured at its own voltage. A routine
// started by the click of Button10, whose caption ("Start Test" / "Stop Test") shows its state.
class VoltCurrentTest {
public:
    explicit VoltCurrentTest(Controller& c);
    // Starts the test; while one is running, asks it to stop after the step in progress.
    void Button10Click();
    // The test loop; run only by Button10Click.
    Task<void> RunVoltCurrentTest();

    // A test has begun and not yet ended.
    bool running() const { return loop_.running(); }
    // A test is active and its button ("Stop Test") stops it.
    bool offersStop() const;
    // The window's close: a running test is asked to stop as its button would. Returns
    // whether the test has yet to end.
    bool stop();
    // A fault stopped the supervision: the same, and the test's pauses end at once.
    bool stopNow();
    // Until the test has ended (at once when none is running).
    Task<void> ended() { return loop_.ended(); }

private:
    Controller& c_;
    LoopRoutine loop_;
};

}  // namespace velmar
