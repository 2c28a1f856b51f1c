#include "controller/fail_safe.h"

#include "controller/controller.h"
#include "device/protocol.h"
#include "platform/dialogs.h"
#include "platform/log.h"
#include "platform/platform_services.h"

namespace velmar {

namespace {

// What the fail-safe knows of one of its commands, for the log: a garbled reply is still a
// reply, but no proof that the relay is off.
QString outcomeText(const QString& command, const UrgentOutcome& outcome, std::uint32_t waitMs)
{
    const QString quoted = QLatin1Char('"') + command + QLatin1Char('"');
    if (!outcome.written)
        return quoted + QStringLiteral(" not sent (the command channel is gone)");
    if (outcome.bytesArrived == 0)
        return quoted + QStringLiteral(" sent, no reply within %1 ms").arg(waitMs);
    if (outcome.leftToExchange)
        return quoted + QStringLiteral(" sent, %1 bytes came back, left to the exchange it interrupted")
                            .arg(outcome.bytesArrived);
    return quoted + QStringLiteral(" sent, reply ") + LogBytes(outcome.reply.constData(), outcome.reply.size());
}

}  // namespace

void FailSafe::reachSafeState()
{
    // Once sent, the safe state is not sent again until something has been switched on since;
    // a call while it is on its way leaves it to the one under way.
    if (reaching_ || safeStateSent_ || (!relayMayBeOn_ && !outputMayBeOn_))
        return;
    reaching_ = true;
    switchingOff_ = start(switchOff(), [this](std::exception_ptr) {
        reaching_ = false;
        waitingForSafeState_.wakeAll();
    });
}

Task<void> FailSafe::safeStateReached()
{
    reachSafeState();
    while (reaching_)
        co_await waitingForSafeState_.next();
}

Task<void> FailSafe::switchOff()
{
    const bool output = outputMayBeOn_;
    // The relay first: the supply is never switched off under load.
    UrgentOutcome relay, supply;
    const bool relayOff = co_await c_.commands.SendUrgent(protocol::relay(false), SafeReplyWaitMs, &relay);
    const bool outputOff =
        output && co_await c_.commands.SendUrgent(protocol::output(false), SafeReplyWaitMs, &supply);
    safeStateSent_ = relay.written;
    silent_ = relay.written && relay.bytesArrived == 0 && (!output || supply.bytesArrived == 0);
    c_.power.showSwitchedOff(relayOff, outputOff);
    QString line = QStringLiteral("safe state: ") + outcomeText(protocol::relay(false), relay, SafeReplyWaitMs);
    if (output)
        line += QStringLiteral("; ") + outcomeText(protocol::output(false), supply, SafeReplyWaitMs);
    qCInfo(lcRun).noquote() << line;
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
        c_.polishRun.stopNow();
        c_.voltCurrentTest.stopNow();
    }
    reachSafeState();
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

void FailSafe::commandWritten(const QString& command)
{
    // Switched on from the moment it went out: the device may act on it whatever comes back,
    // and a time-out of its own reply must find it counted.
    if (command == protocol::relay(true))
        relayMayBeOn_ = true;
    else if (command == protocol::output(true))
        outputMayBeOn_ = true;
    else
        return;
    safeStateSent_ = false;
    silent_ = false;
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

void FailSafe::deviceFailed(UsbChannel channel, d2xx::FT_STATUS status)
{
    if (channel == UsbChannel::B)
        stopSupervision("the current stream failed", RecordEnd::LinkLost);
    else if (status == d2xx::FT_IO_ERROR)
        stopSupervision("the command channel failed", RecordEnd::LinkLost);
}

void FailSafe::streamPolled(bool frameTaken)
{
    const std::uint32_t now = platform().tickCount();
    if (frameTaken || !supervising()) {
        lastReadingTick_ = now;
        return;
    }
    // The window is wall time: a test that runs the tick faster keeps the full 2 s here.
    if (platform().wallMsForTicks(now - lastReadingTick_) < StallMs || c_.state.CommandsHeld)
        return;
    const bool run = c_.polishRun.running();
    stopSupervision("no current readings for 2 s", RecordEnd::StreamStalled);
    openDialog(DialogKind::Info, run ? QStringLiteral("No current readings from the instrument for 2 s: the run was stopped")
                 : QStringLiteral("No current readings from the instrument for 2 s: the test was stopped"));
}

}  // namespace velmar
