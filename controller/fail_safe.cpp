#include "controller/fail_safe.h"

#include "controller/controller.h"
#include "device/protocol.h"
#include "platform/delay.h"
#include "platform/log.h"
#include "platform/platform_services.h"

namespace velmar {

void FailSafe::ReachSafeState()
{
    // A nested call (from a poll cycle inside one of the waits below) would only repeat it.
    if (reaching_ || (!relayMayBeOn_ && !outputMayBeOn_))
        return;
    reaching_ = true;
    const bool output = outputMayBeOn_;
    // The relay first: the supply is never switched off under load.
    const bool relayOff = c_.commands.SendUrgent(protocol::relay(false), SafeReplyWaitMs);
    const bool outputOff = output && c_.commands.SendUrgent(protocol::output(false), SafeReplyWaitMs);
    reaching_ = false;
    c_.power.showSwitchedOff(relayOff, outputOff);
    qCInfo(lcRun).noquote() << QStringLiteral("safe state: relay %1, output %2")
                                   .arg(relayOff ? QStringLiteral("off") : QStringLiteral("not confirmed off"),
                                        !output      ? QStringLiteral("was off")
                                        : outputOff ? QStringLiteral("off")
                                                    : QStringLiteral("not confirmed off"));
}

void FailSafe::stopSupervision(const char* why, RecordEnd reason)
{
    if (c_.state.CommandsHeld)
        return;
    if (supervising() || relayMayBeOn_ || outputMayBeOn_)
        qCWarning(lcRun) << "supervision ended:" << why;
    if (supervising()) {
        c_.records.noteSupervisionEnded(reason);
        c_.state.CommandsHeld = true;
        c_.polishRun.stop();
        c_.voltCurrentTest.stop();
    }
    ReachSafeState();
}

bool FailSafe::loopsMustEnd() const
{
    return c_.state.LinkFailed || platform().terminating();
}

bool FailSafe::loopFinished()
{
    if (!loopsMustEnd())
        return false;
    if (c_.state.LinkFailed)
        stopSupervision("USB link failed", RecordEnd::LinkLost);
    else
        stopSupervision("program ending", RecordEnd::ProgramEnded);
    return true;
}

void FailSafe::loopEntered()
{
    if (loops_++ == 0)
        lastReadingTick_ = platform().tickCount();
}

void FailSafe::loopLeft()
{
    if (--loops_ == 0)
        c_.state.CommandsHeld = false;
}

void FailSafe::commandSent(const QString& command, bool acknowledged)
{
    if (command == protocol::relay(true))
        relayMayBeOn_ = true;
    else if (command == protocol::output(true))
        outputMayBeOn_ = true;
    else if (!acknowledged)
        return;
    else if (command == protocol::relay(false))
        relayMayBeOn_ = false;
    else if (command == protocol::output(false))
        outputMayBeOn_ = false;
    else if (command == protocol::end())  // the device ends its operation: both off
        relayMayBeOn_ = outputMayBeOn_ = false;
}

void FailSafe::replyTimedOut()
{
    // Outside a run or test a silent device only costs the command that timed out.
    if (supervising())
        stopSupervision("no reply from the instrument", RecordEnd::ReplyTimeout);
}

void FailSafe::streamPolled(bool frameTaken)
{
    const std::uint32_t now = platform().tickCount();
    if (frameTaken || !supervising()) {
        lastReadingTick_ = now;
        return;
    }
    if (now - lastReadingTick_ < StallMs || c_.state.CommandsHeld)
        return;
    const bool run = c_.polishRun.running();
    stopSupervision("no current readings for 2 s", RecordEnd::StreamStalled);
    ShowInfo(run ? QStringLiteral("No current readings from the instrument for 2 s: the run was stopped")
                 : QStringLiteral("No current readings from the instrument for 2 s: the test was stopped"));
}

}  // namespace velmar
