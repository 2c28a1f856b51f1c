#include "device/command_channel.h"

#include "device/channel_setup.h"
#include "device/link_state.h"
#include "device/usb_channel_driver.h"
#include "platform/dialogs.h"
#include "platform/platform_services.h"
#include "timers/tithreadtimers.h"

#include <QScopeGuard>
#include <QTimer>

#include <algorithm>
#include <cstring>

namespace velmar {

CommandChannel::CommandChannel(LinkState& link, UsbChannelDriver& driver, TiThreadTimers& timers)
    : state_(link), driver_(driver), timers_(timers)
{
    timers_.setInterval(WatchdogTimer, WatchdogIntervalMs);
    timers_.setOnTimer(WatchdogTimer, [this](QObject* sender) { iThreadTimers1Timer8(sender); });
}

void CommandChannel::showReply(const QString& text)
{
    if (onReply)
        onReply(text);
}

void CommandChannel::OpenCommandChannel()
{
    OpenChannel(driver_, state_, UsbChannel::A, 100);
}

void CommandChannel::noteFailure(std::uint32_t status)
{
    if (status != d2xx::FT_IO_ERROR)
        return;
    state_.CommandChannelLost = true;
    state_.LinkFailed = true;
}

void CommandChannel::noteUrgentFailure(std::uint32_t status)
{
    // Nothing more can go out; the link is declared failed where the exchanges find out, after
    // their own dialogs, so the operator is told in the usual order.
    if (status == d2xx::FT_IO_ERROR) {
        state_.CommandChannelLost = true;
        wakeExchange();
    }
}

bool CommandChannel::usable() const
{
    return state_.CommandChannelOpen && driver_.HandleA != nullptr && !state_.CommandChannelLost;
}

bool CommandChannel::writeCommand(const QString& command)
{
    // The last byte of the buffer is kept for the carriage return.
    const QByteArray text = command.toLatin1();
    const auto length = static_cast<std::uint32_t>(std::min<qsizetype>(text.size(), UsbChannelDriver::BufferSize - 1));
    std::memcpy(driver_.TxBuffer.data(), text.constData(), length);
    driver_.TxBuffer[length] = '\r';
    return driver_.WriteBytes(length + 1) == length + 1;
}

void CommandChannel::tellFree()
{
    // Each looks again when it resumes: another exchange may have begun meanwhile.
    waitingForFree_.wakeAll();
}

Task<void> CommandChannel::untilFree()
{
    while (state_.CommandBusy)
        co_await waitingForFree_.next();
}

void CommandChannel::wakeOnReceive(const Wake::WakeFunction& wake)
{
    // A backend that cannot tell is looked at again after a pause.
    if (!driver_.NotifyOnReceive(UsbChannel::A, wake))
        QTimer::singleShot(10, Qt::PreciseTimer, wake);
}

Wake CommandChannel::replyWake()
{
    return Wake([this](Wake::WakeFunction wake) {
        wake_ = wake;
        wakeOnReceive(wake);
    });
}

void CommandChannel::wakeExchange()
{
    if (waiting_ && wake_)
        wake_();
}

Task<bool> CommandChannel::SendCommand(QString command)
{
    // CommandsHeld: a fault has stopped the run or test in progress, and what its loop would
    // still send on the way out (moves, the supply back on) must not go out.
    if (state_.CommandBusy || state_.LinkFailed || state_.CommandsHeld || abandoned_)
        co_return false;

    state_.CommandBusy = true;
    const auto ended = qScopeGuard([this] {
        ++exchangesEnded_;
        tellFree();
    });
    QString reply(13, QLatin1Char(' '));
    showReply(QStringLiteral(" "));

    if (!state_.CommandChannelOpen) {
        OpenCommandChannel();
        state_.CommandChannelOpen = true;
        co_await delay(1000);
    }

    if (const d2xx::FT_STATUS purged = driver_.PurgeTx(UsbChannel::A); purged != d2xx::FT_OK) {
        noteFailure(purged);
        co_await dialog(DialogKind::Info, QStringLiteral("USB Communications Error with the KS Command Channel"));
        state_.CommandFailed = true;
        showReply(reply);
        state_.CommandBusy = false;
        co_return false;
    }
    driver_.PurgeRx(UsbChannel::A);

    const bool written = writeCommand(command);
    if (written && onCommandWritten)
        onCommandWritten(command);

    // restart(), not a plain enable: the watchdog must measure its full interval from the
    // write, and enabling a paused timer would only resume its previous wait.
    state_.ReplyTimedOut = false;
    timers_.restart(WatchdogTimer);

    // A safe-state command sent from inside this wait may find the device gone; asking again
    // would only show the same failure once more.
    waiting_ = true;
    // A device found gone while the command went out (by whoever acted on that failure) need
    // not be asked again: one dialog for one fault.
    d2xx::FT_STATUS status = state_.CommandChannelLost ? d2xx::FT_OK : driver_.GetQueueStatus(UsbChannel::A);
    const auto over = [&] { return state_.ReplyTimedOut || state_.CommandChannelLost || abandoned_; };
    while (driver_.QueueCountA < 2 && status == d2xx::FT_OK && !over()) {
        co_await replyWake();
        if (over())
            break;
        status = driver_.GetQueueStatus(UsbChannel::A);
    }
    waiting_ = false;
    wake_ = {};
    driver_.NotifyOnReceive(UsbChannel::A, {});
    noteFailure(status);
    if (state_.CommandChannelLost)
        state_.LinkFailed = true;

    timers_.setEnabled(WatchdogTimer, false);

    if (abandoned_ || state_.ReplyTimedOut) {
        if (written && onCommandSent)
            onCommandSent(command, false);
        // The watchdog has already told whoever must act on a silent device (onReplyTimeout);
        // an exchange abandoned because the program is ending says nothing.
        if (!abandoned_)
            co_await dialog(DialogKind::Info, QStringLiteral("Communications Timeout"));
        state_.CommandBusy = false;
        co_return false;
    }

    // With the device gone the read can only fail as the query did: one dialog for one fault.
    const bool acknowledged = !state_.CommandChannelLost;
    if (acknowledged) {
        driver_.ReadBytes(UsbChannel::A, std::min<std::uint32_t>(driver_.QueueCountA, UsbChannelDriver::BufferSize));
        for (int i = 0; i < 4; ++i)
            reply[i] = QLatin1Char(driver_.RxBufferA[static_cast<std::size_t>(i)]);
    }
    showReply(reply);

    state_.CommandFailed = false;
    state_.CommandBusy = false;
    if (written && onCommandSent)
        onCommandSent(command, acknowledged && status == d2xx::FT_OK);
    co_return true;
}

namespace {

// Runs one driver call without its error dialog.
template <typename Call>
auto quietly(UsbChannelDriver& driver, Call call)
{
    const bool report = driver.ReportErrors;
    driver.ReportErrors = false;
    const auto result = call();
    driver.ReportErrors = report;
    return result;
}

}  // namespace

Task<bool> CommandChannel::SendUrgent(QString command, std::uint32_t replyWaitMs, UrgentOutcome* outcome)
{
    UrgentOutcome ignored;
    UrgentOutcome& result = outcome ? *outcome : ignored;
    result = {};
    if (!usable())
        co_return false;
    // Whatever else tries to send meanwhile is turned away, as during any exchange; an
    // exchange this one interrupts is left to find its own reply afterwards.
    const bool interrupted = state_.CommandBusy;
    const std::uint64_t endedBefore = exchangesEnded_;
    state_.CommandBusy = true;
    // The interrupted exchange may end while this one waits (its reply wakes it): then there
    // is nothing left to keep busy for.
    const auto done = [&](bool result) {
        state_.CommandBusy = interrupted && exchangesEnded_ == endedBefore;
        tellFree();
        return result;
    };

    d2xx::FT_STATUS status = quietly(driver_, [&] { return driver_.GetQueueStatus(UsbChannel::A); });
    if (status != d2xx::FT_OK) {
        noteUrgentFailure(status);
        co_return done(false);
    }
    std::uint32_t before = driver_.QueueCountA;
    if (!interrupted) {
        // Late bytes of an earlier exchange would pass for this reply.
        quietly(driver_, [&] { return driver_.PurgeRx(UsbChannel::A); });
        before = 0;
    }
    if (!quietly(driver_, [&] { return writeCommand(command); })) {
        noteUrgentFailure(quietly(driver_, [&] { return driver_.GetQueueStatus(UsbChannel::A); }));
        co_return done(false);
    }
    result.written = true;
    if (onCommandWritten)
        onCommandWritten(command);

    // The tick, not the reply watchdog: an interrupted exchange may be using that.
    const std::uint32_t start = platform().tickCount();
    bool acknowledged = false;
    for (;;) {
        status = quietly(driver_, [&] { return driver_.GetQueueStatus(UsbChannel::A); });
        if (status != d2xx::FT_OK) {
            noteUrgentFailure(status);
            break;
        }
        if (driver_.QueueCountA >= before + 2) {
            acknowledged = true;
            break;
        }
        const std::uint32_t waited = platform().tickCount() - start;
        if (waited >= replyWaitMs)
            break;
        const std::uint32_t rest = replyWaitMs - waited;
        if (interrupted) {
            // The receive notification is the interrupted exchange's: looked at again after a
            // short pause (the wait is short and rare).
            co_await delay(std::min<std::uint32_t>(10, rest));
        } else {
            co_await Wake([this, rest](Wake::WakeFunction wake) {
                wakeOnReceive(wake);
                QTimer::singleShot(static_cast<int>(platform().wallMsForTicks(rest)), Qt::PreciseTimer, wake);
            });
        }
    }
    if (!interrupted)
        driver_.NotifyOnReceive(UsbChannel::A, {});
    result.acknowledged = acknowledged;
    result.bytesArrived = status == d2xx::FT_OK && driver_.QueueCountA > before ? driver_.QueueCountA - before : 0;
    // An exchange still waiting reads everything queued, its own reply first: taking these
    // bytes would leave it to time out. One that has timed out or been abandoned reads nothing.
    result.leftToExchange = interrupted && !state_.ReplyTimedOut && !abandoned_;
    if (result.bytesArrived > 0 && !result.leftToExchange) {
        const std::uint32_t n = std::min<std::uint32_t>(driver_.QueueCountA, UsbChannelDriver::BufferSize);
        const std::uint32_t got = quietly(driver_, [&] { return driver_.ReadBytes(UsbChannel::A, n); });
        result.reply = QByteArray(driver_.RxBufferA.data(), static_cast<qsizetype>(std::min(got, n)));
    }
    if (onCommandSent)
        onCommandSent(command, acknowledged);
    co_return done(acknowledged);
}

void CommandChannel::abandonExchanges()
{
    abandoned_ = true;
    wakeExchange();
}

void CommandChannel::iThreadTimers1Timer8(QObject* /*sender*/)
{
    timers_.setEnabled(WatchdogTimer, false);
    state_.ReplyTimedOut = true;
    // Acted on here, not where the waiting exchange notices the flag: that exchange may lie
    // below a dialog nobody answers. A late notification after the wait has ended is no
    // time-out of anything.
    if (waiting_ && onReplyTimeout)
        onReplyTimeout();
    wakeExchange();
}

}  // namespace velmar
