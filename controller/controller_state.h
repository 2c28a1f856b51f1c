#pragma once

#include "device/link_state.h"

#include <QDateTime>

#include <array>
#include <cstdint>

namespace velmar {

// The controller's module-level variables, in one object a test can create fresh. All zero or
// false when the program starts. Every routine of the controller reads and writes these fields;
// nothing else keeps controller state. The device link sees only the link flags (LinkState).
struct ControllerState : LinkState {
    // Position and motion (steps below the top, 0.0064 mm each)
    std::int32_t CurrentSteps = 0;
    std::int32_t HomeSteps = 0;
    std::int32_t PolishSteps = 0;
    std::int32_t ElectrolyteSteps = 0;
    bool MoveBusy = false;
    bool HomeMovePending = false;
    bool PolishMovePending = false;
    bool ElectrolyteMovePending = false;

    // Current measurement
    double CurrentCal = 0.0;       // mA per raw count
    std::int32_t RawCurrent = 0;   // latest raw count from the data channel
    std::int32_t ZeroOffset = 0;   // raw count taken as zero current
    // Slot 0: latest current in mA; slots 1 to 3: the last three flagged readings
    // (-1.0 in slot 1: no reading since start-up).
    std::array<double, 6> CurrentSamples{};
    std::int32_t SampleSlot = 0;

    // Polish run
    double CycleNumber = 0.0;
    double CyclesDone = 0.0;
    double TotalCharge = 0.0;
    std::int32_t CycleLimit = 0;
    double MinCurrentLimit = 0.0;
    double TotalLimit = 0.0;

    // Manual chart mode
    bool ChartOn = false;
    QDateTime ChartStartTime;

    bool DebugMode = false;

    // Not one of the original variables: the taught positions have been read from the
    // settings file. Until then they hold whatever loading the window gave them, and saving
    // those would overwrite the operator's taught positions.
    bool SettingsLoaded = false;
    // Not one of the original variables: the start-up homing has had its answer to the move to
    // Home. Before it the axis position is unknown, and clicks that would move the axis or
    // switch the relay or the supply are dropped, as a click during a reply wait is.
    bool Homed = false;
};

}  // namespace velmar
