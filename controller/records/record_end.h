#pragma once

#include <QString>

namespace velmar {

// Why a run, test or recording ended: record.ini's EndReason and the status line both say it.
enum class RecordEnd {
    NumberOfCycles,  // a finish criterion was met
    MinimumCurrent,
    TotalCharge,
    Stopped,         // the operator's stop
    Completed,       // a test that went through its range
    WindowClosed,
    // Ended by the fail-safe, because the program could no longer supervise the instrument:
    LinkLost,
    ReplyTimeout,    // the instrument stopped answering commands
    StreamStalled,   // no current readings came any more
    Signal,          // a signal asked the program to end
    ProgramEnded,    // "File" > "Exit", or the program ending otherwise
};

// The word record.ini uses: "number-of-cycles", "stopped", "reply-timeout", ...
QString recordEndName(RecordEnd end);

}  // namespace velmar
