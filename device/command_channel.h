#pragma once

#include "platform/task.h"

#include <QString>

#include <cstdint>
#include <functional>

class QObject;

namespace velmar {

struct LinkState;
class TiThreadTimers;
class UsbChannelDriver;

// What an urgent command met: whether it went out, and what came back within its wait.
struct UrgentOutcome {
    bool written = false;
    bool acknowledged = false;  // at least two bytes came back
    // The bytes that came back, when they were read. While another exchange waits for its own
    // reply they are left to it (its reply comes first on the line), and only counted.
    QByteArray reply;
    bool leftToExchange = false;
    std::uint32_t bytesArrived = 0;
};

// Channel A: one text command at a time, each acknowledged by a reply of at least two bytes.
// An exchange is a coroutine on the window's thread: while it waits for its reply, poll cycles,
// clicks and timers go on, and CommandBusy turns away any command issued meanwhile. Its reply
// wait is woken by the channel's receive notification, the reply watchdog, or the channel found
// gone, never by looking again and again.
class CommandChannel {
public:
    static constexpr int WatchdogTimer = 8;
    static constexpr int WatchdogIntervalMs = 10000;

    // Takes over timer 8 of `timers` as the reply watchdog (interval and handler).
    CommandChannel(LinkState& link, UsbChannelDriver& driver, TiThreadTimers& timers);

    void OpenCommandChannel();
    // One exchange: the command out, its reply awaited. The caller's routine waits in it.
    // Refused at once (false, nothing sent) while another exchange waits for its reply.
    Task<bool> SendCommand(QString command);
    // Until no exchange waits for its reply (at once when none does). A routine that has
    // paused calls it before it goes on: a command issued by a click meanwhile is answered
    // before the routine's own next command, which would otherwise be turned away.
    Task<void> untilFree();
    void iThreadTimers1Timer8(QObject* sender);  // the reply watchdog ran out

    // For switching the instrument off when nobody will be supervising it any more: sends the
    // command even while another exchange is waiting (without disturbing it: nothing is purged
    // or read then) or after the link has been declared failed, as long as the channel is open
    // and not known to be gone. Waits at most `replyWaitMs` for a 2-byte reply and shows no
    // dialog whatever happens. True when the reply came; `outcome` gets the details. The
    // command is written before the first wait: a handler that starts it has sent it when
    // `start` returns.
    Task<bool> SendUrgent(QString command, std::uint32_t replyWaitMs, UrgentOutcome* outcome = nullptr);
    // The program is ending and nobody may be there: an exchange waiting for its reply gives up
    // at once without a dialog, and nothing more is sent but by SendUrgent.
    void abandonExchanges();
    // The channel has been opened and no I/O error has said its device is gone.
    bool usable() const;

    // Told of every command as soon as it has gone out whole, before its reply is awaited:
    // from then on the instrument may act on it, whatever comes back.
    std::function<void(const QString& command)> onCommandWritten;
    // Told of every command that went out whole, and whether its reply came.
    std::function<void(const QString& command, bool acknowledged)> onCommandSent;
    // Told from the reply watchdog itself, the moment it ends a wait: whatever dialogs are
    // open above the waiting exchange, and before "Communications Timeout" is shown.
    std::function<void()> onReplyTimeout;

    // Told the reply as it stands: a blank when an exchange starts, then the first four bytes
    // of the reply padded to 13 characters (all blanks when none came).
    std::function<void(const QString& reply)> onReply;

private:
    void showReply(const QString& text);
    // An I/O error means the device is gone (unplugged), not a passing failure: the link is
    // failed from now on, as when the data channel's queue query fails.
    void noteFailure(std::uint32_t status);
    void noteUrgentFailure(std::uint32_t status);
    // Puts the command and its carriage return in the transmit buffer and writes them; true
    // when all went out.
    bool writeCommand(const QString& command);
    // Calls `wake` when bytes arrive on channel A, or after 10 ms where the backend cannot tell.
    void wakeOnReceive(const Wake::WakeFunction& wake);
    // Until the reply may have come, the watchdog has ended the wait, or the channel is gone
    // or abandoned.
    Wake replyWake();
    // Ends the waiting exchange's present wake (it then looks at the line and the flags).
    void wakeExchange();
    // An exchange or an urgent command has ended: routines in untilFree look again.
    void tellFree();

    LinkState& state_;
    UsbChannelDriver& driver_;
    TiThreadTimers& timers_;
    bool abandoned_ = false;
    bool waiting_ = false;  // an exchange waits for its reply
    Wake::WakeFunction wake_;
    std::uint64_t exchangesEnded_ = 0;
    // Routines waiting in untilFree, told when an exchange ends.
    Waiters waitingForFree_;
};

}  // namespace velmar
