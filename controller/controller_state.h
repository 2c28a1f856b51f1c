#pragma once

#include <QDateTime>

#include <array>
#include <cstdint>

namespace velmar {

// The controller's module-level variables, in one object a test can create fresh. All zero or
// false when the program starts. Every routine of the controller and of the device link reads
// and writes these fields; nothing else keeps controller state.
struct ControllerState {
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

    // Device link
    bool CommandChannelOpen = false;
    bool DataChannelOpen = false;
    bool CommandBusy = false;
    bool LinkFailed = false;     // never cleared
    bool CommandFailed = false;
    bool ReplyTimedOut = false;

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
    // Nor these. An I/O error said the command channel's device is gone: nothing more can be
    // sent on it, not even to switch the instrument off.
    bool CommandChannelLost = false;
    // A fault stopped the run or test in progress and the instrument was switched off; until
    // their loops have wound down, the commands they would still send are refused.
    bool CommandsHeld = false;
};

}  // namespace velmar
