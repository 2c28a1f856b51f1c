#pragma once

namespace velmar {

// The flags of the link to the instrument, shared by the two channels and read by the
// controller, whose state extends these. All false when the program starts.
struct LinkState {
    bool CommandChannelOpen = false;
    bool DataChannelOpen = false;
    bool CommandBusy = false;     // an exchange is waiting for its reply; other commands are refused
    bool LinkFailed = false;      // never cleared
    bool CommandFailed = false;
    bool ReplyTimedOut = false;
    // An I/O error said the command channel's device is gone: nothing more can be sent on it,
    // not even to switch the instrument off.
    bool CommandChannelLost = false;
    // A fault stopped the run or test in progress and the instrument was switched off; until
    // their loops have wound down, the commands they would still send are refused.
    bool CommandsHeld = false;
};

}  // namespace velmar
