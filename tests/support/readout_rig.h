#pragma once

#include "controller/controller_state.h"
#include "controller/current_readout.h"
#include "controller/main_window_controls.h"
#include "device/current_stream.h"
#include "device/usb_channel_driver.h"
#include "widgets/displays/tiledround.h"

#include <QLabel>

namespace velmar::test {

// The current stream and its readout with just the lamp and the labels the readout writes,
// calibrated at 2.9 mA per count with no flagged reading yet; the instrument behind the
// driver is the user's to install.
struct ReadoutRig {
    ReadoutRig()
    {
        ui.iLedRound1 = &lamp;
        ui.Label6 = &label6;
        ui.Label7 = &label7;
        ui.Label8 = &label8;
        ui.Label9 = &label9;
        ui.Label12 = &label12;
        state.CurrentCal = 2.9;
        state.SampleSlot = 1;
        state.CurrentSamples[1] = -1.0;
    }

    ControllerState state;
    UsbChannelDriver driver;
    MainWindowControls ui;
    TiLedRound lamp;
    QLabel label6, label7, label8, label9, label12;
    CurrentStream reader{state, driver};
    CurrentReadout readout{state, reader, ui};
};

}  // namespace velmar::test
