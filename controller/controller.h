#pragma once

#include "controller/controller_state.h"
#include "controller/main_window_controls.h"
#include "controller/manual_chart.h"
#include "controller/motion.h"
#include "controller/poll_cycle.h"
#include "controller/polish_run.h"
#include "controller/power_control.h"
#include "controller/run_records.h"
#include "controller/start_up_sequence.h"
#include "controller/half_cycle.h"
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

    // The window is closing: saves the taught positions (once they have been read), then sends
    // "X". A failed save propagates (the close stops there and "X" is not sent). A run or test
    // in progress is stopped first; the save and "X" then follow when its loop has returned.
    void FormClose();

    ControllerState& state;
    MainWindowControls& ui;
    UsbChannelDriver driver;
    CommandChannel commands;
    CurrentStream stream;

    Motion motion;
    PollCycle poll;
    StartUpSequence startUp;
    PowerControl power;
    HalfCycle halfCycle;
    PolishRun polishRun;
    VoltCurrentTest voltCurrentTest;
    ManualChart manualChart;
    // Last, so it is gone first: a recording still open at the end draws the chart once more.
    RunRecords records;
};

}  // namespace velmar
