#pragma once

#include "controller/controller_state.h"
#include "controller/current_readout.h"
#include "controller/fail_safe.h"
#include "controller/half_cycle.h"
#include "controller/main_window_controls.h"
#include "controller/manual_chart.h"
#include "controller/motion.h"
#include "controller/polish_run.h"
#include "controller/poll_cycle.h"
#include "controller/power_control.h"
#include "controller/progress.h"
#include "controller/routines.h"
#include "controller/run_records.h"
#include "controller/start_up_sequence.h"
#include "controller/taken_point.h"
#include "controller/volt_current_test.h"
#include "device/command_channel.h"
#include "device/current_stream.h"
#include "device/usb_channel_driver.h"

namespace velmar {

// The controller: its state, the device link and the routines behind the operator's controls,
// one part per job. Everything runs on the window's thread. The parts reach each other and the
// shared state through this object, as the routines of one module would.
class Controller {
public:
    Controller(ControllerState& state, MainWindowControls& ui);
    Controller(const Controller&) = delete;
    Controller& operator=(const Controller&) = delete;

    // Connects the timer handlers and the controls' events to the parts. Call before the
    // widgets' stored configuration is applied, so its loading-time events are seen.
    void connectControls();

    // The window is closing: a run or test in progress is stopped as its button would and
    // has wound down first; then the instrument is switched off if anything may be on, the
    // taught positions are saved (once they have been read), and "X" goes out. A failed save
    // ends the routine with its error (the close stops there and "X" is not sent).
    Task<void> FormClose();
    // "File" > "Exit": the program ends without saving or "X", but not with the instrument
    // left on: a run or test is stopped, the safe state sent, then the program asked to end.
    void Exit();
    // A signal asks the program to end, and nobody may be there to answer anything: the
    // instrument is switched off at once, an exchange waiting for its reply gives up, and the
    // close that follows (FormClose, now or once a run or test has wound down) sends "X"
    // without waiting long and then ends the program, also when the positions cannot be
    // saved: that is said in the log and on stderr, and the program ends with status 1.
    void beginSignalClose(int signal);
    bool closingForSignal() const { return closingForSignal_; }
    // Non-zero when the ending went wrong (a close after a signal that could not save).
    int exitStatus() const { return exitStatus_; }

    // One long loop drives the relay, the supply and the chart at a time. While a polish run
    // or a volt-versus-current test has begun and not ended (running or winding down), both
    // start buttons are disabled; a loop's own button stays usable while it offers the stop.
    bool loopRunning() const { return polishRun.running() || voltCurrentTest.running(); }
    void updateStartButtons();

    // Where a taken point goes: its chart channel(s), its row in the open record, and the
    // progress of the run or test that took it.
    void takePoint(const TakenPoint& point);

    // A routine's pause: `ms` on the tick, then until no command waits for its reply (a click
    // may have sent one meanwhile; the routine's next command would be turned away). True when
    // the time has passed, false when `cancellation` cut it short.
    Task<bool> pause(std::uint32_t ms, Cancellation* cancellation = nullptr);
    // Nothing is on its way: no routine (a click's, the homing, the close), run or test.
    bool idle() const;
    // Until a run or test (stopped by whoever calls this) has ended and the safe state's
    // commands have had their replies or their waits have run out: what the close, Exit and
    // the end after a lost link wait for before they go on.
    Task<void> woundDown();

    ControllerState& state;
    MainWindowControls& ui;
    UsbChannelDriver driver;
    CommandChannel commands;
    CurrentStream stream;
    CurrentReadout readout;

    // Before the run and the test, whose loops report to it.
    FailSafe failSafe;
    Motion motion;
    PollCycle poll;
    StartUpSequence startUp;
    PowerControl power;
    HalfCycle halfCycle;
    PolishRun polishRun;
    VoltCurrentTest voltCurrentTest;
    ManualChart manualChart;
    Progress progress;
    // Near the end, so it is gone first: a recording still open at the end draws the chart once more.
    RunRecords records;
    // Last: routines still waiting at the end go before the parts they use.
    Routines routines;

private:
    bool closingForSignal_ = false;
    int exitStatus_ = 0;
};

}  // namespace velmar
