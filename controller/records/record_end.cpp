#include "controller/records/record_end.h"

namespace velmar {

namespace {

const char* word(RecordEnd end)
{
    switch (end) {
    case RecordEnd::NumberOfCycles:
        return "number-of-cycles";
    case RecordEnd::MinimumCurrent:
        return "minimum-current";
    case RecordEnd::TotalCharge:
        return "total-charge";
    case RecordEnd::Stopped:
        return "stopped";
    case RecordEnd::Completed:
        return "completed";
    case RecordEnd::WindowClosed:
        return "window-closed";
    case RecordEnd::LinkLost:
        return "link-lost";
    case RecordEnd::ReplyTimeout:
        return "reply-timeout";
    case RecordEnd::StreamStalled:
        return "stream-stalled";
    case RecordEnd::Signal:
        return "signal";
    case RecordEnd::ProgramEnded:
        return "program-ended";
    }
    return "stopped";
}

}  // namespace

QString recordEndName(RecordEnd end) { return QString::fromLatin1(word(end)); }

}  // namespace velmar
