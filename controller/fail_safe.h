#pragma once

#include "controller/records/record_end.h"
#include "device/d2xx/d2xx.h"
#include "platform/task.h"

#include <QString>

#include <cstdint>

namespace velmar {

class Controller;
enum class UsbChannel;

// While current flows the program is the only supervisor of the specimen. Wherever that
// supervision ends while the relay or the supply output may be on (the link lost, a device
// that stopped answering, a current stream that stopped, Exit, a signal, the window's close)
// the instrument is switched off first: relay off, then output off. One routine does it and
// every way out calls it.
class FailSafe {
public:
    // Bounded so that a device that no longer answers cannot hold the way out.
    static constexpr std::uint32_t SafeReplyWaitMs = 1000;
    // A run or test without a current reading for this long is judging frozen data.
    static constexpr std::uint32_t StallMs = 2000;

    explicit FailSafe(Controller& c) : c_(c) {}

    // "RY 0", then "PO 0" when the output may be on; nothing when neither the relay nor the
    // output may be on, and nothing when it has been sent already and nothing was switched on
    // since. Each goes out only while the command channel can still carry it, even during
    // another exchange or after the link has been declared failed, with at most 1 s for its
    // reply and no dialog. What the device acknowledged shows on the Relay and Power buttons.
    // "RY 0" is written before this returns (handlers act at once); the rest follows as a
    // routine of its own. While it is on its way, another call does nothing more.
    void reachSafeState();
    // The same for a routine that goes on only once the safe state's commands have had their
    // replies (or their waits have run out): a close, Exit, the end after a lost link.
    Task<void> safeStateReached();

    // A fault ends the supervision: the runs and tests in progress are stopped as their stop
    // buttons would stop them, the instrument is switched off, and what their loops would
    // still send on the way out is refused until they have returned. Once is enough: later
    // calls while those loops wind down do nothing. `why` goes to the run log; `reason` is how
    // the records of the stopped run and test end, and what the status line says.
    void stopSupervision(const char* why, RecordEnd reason);

    // The run and test loops end on this whatever their captions say: the link has failed or
    // the program is ending.
    bool loopsMustEnd() const;
    // A run or test loop has left its steps, before its own switching off. Ended by a lost link
    // or the program's end rather than by its caption, it leaves nobody supervising: returns
    // whether it ended so.
    bool loopFinished();
    // A run or test loop has begun, or ended.
    void loopEntered();
    void loopLeft();
    bool supervising() const { return loops_ > 0; }
    // The safe state's commands are going out (and their replies awaited) right now.
    bool reaching() const { return reaching_; }

    // The command channel's news: a command has gone out; a command went out and whether its
    // reply came; a reply wait was ended by the watchdog.
    void commandWritten(const QString& command);
    void commandSent(const QString& command, bool acknowledged);
    void replyTimedOut();
    // After each read of the current stream: whether it gave a reading. A run or test whose
    // readings have stopped coming is stopped, with one message.
    void streamPolled(bool frameTaken);
    // A driver call failed, before its dialog is shown: a device that has gone (an I/O error)
    // or a current stream that can no longer be read ends the supervision here, so the
    // instrument is off whether or not anybody answers the dialog.
    void deviceFailed(UsbChannel channel, d2xx::FT_STATUS status);

    // The safe state was sent and not one of its commands was answered: the instrument is
    // silent, and a way out need not wait for its replies any more.
    bool instrumentSilent() const { return silent_; }

    bool relayMayBeOn() const { return relayMayBeOn_; }
    bool outputMayBeOn() const { return outputMayBeOn_; }

private:
    Task<void> switchOff();

    Controller& c_;
    Started switchingOff_;
    Waiters waitingForSafeState_;
    int loops_ = 0;
    // Switched on by a command that went out; off only once the device acknowledged it.
    bool relayMayBeOn_ = false;
    bool outputMayBeOn_ = false;
    bool reaching_ = false;
    // "RY 0" went out since the last command that switched something on.
    bool safeStateSent_ = false;
    bool silent_ = false;
    std::uint32_t lastReadingTick_ = 0;
};

}  // namespace velmar
