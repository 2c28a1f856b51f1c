#pragma once

#include "controller/winding_loop.h"

#include <cstdint>

class QObject;

namespace velmar {

class Controller;

// The volt-versus-current test: steps the supply through whole volts and charts the settled
// current at each, every point measured against a zero captured at its own voltage. Runs as a
// loop inside the click of Button10, whose caption ("Start Test" / "Stop Test") shows its state.
class VoltCurrentTest {
public:
    explicit VoltCurrentTest(Controller& c);
    // Starts the test; while one is running, asks it to stop after the step in progress.
    void Button10Click();
    // The test loop; called only by Button10Click.
    void RunVoltCurrentTest();

    // A test loop is on the stack (possibly nested inside a polish run, or holding one).
    bool running() const { return loop_.running(); }
    // A test is active and its button ("Stop Test") stops it.
    bool offersStop() const;
    // The window is closing. A running test is asked to stop as its button would, and the
    // close is finished (Controller::FormClose again) once the loop has returned. Returns
    // whether a test was running, i.e. whether the close has to wait for it.
    bool stopForClose();
    // A fault stopped the supervision: a running test is asked to stop as its button would.
    bool stop();

private:
    Controller& c_;
    WindingLoop loop_;
};

}  // namespace velmar
