#pragma once

#include <QObject>
#include <QString>

#include <array>
#include <functional>
#include <memory>
#include <stdexcept>

namespace velmar {

class TiTimerThread;

// Raised when the system refuses a worker thread: "Thread creation error: %s" when it cannot be
// created, "Thread Error: %s (%d)" when its priority cannot be set.
class ThreadError : public std::runtime_error {
public:
    explicit ThreadError(const QString& message);
    QString message() const { return message_; }

private:
    QString message_;
};

// Nine independent periodic timers (1..9). Each owns a worker thread that sleeps for the
// interval and posts one notification to the thread that created the component; the handler
// runs there, whenever that thread processes events (also inside nested event processing).
//
// Timing rules the controller relies on:
// - the first expiry comes one full interval after the first enable;
// - disabling freezes nothing: a wait's end is fixed when it begins, so a timer re-enabled
//   before that end fires at it, one re-enabled later fires at once (once, not per missed
//   interval); enabling an enabled timer changes nothing;
// - every expiry is one notification, never merged; the enabled flag is not consulted when a
//   notification is delivered, the handler is read then;
// - a worker that has been stopped (interval change of an enabled timer, restart, destruction)
//   never has a notification delivered afterwards.
class TiThreadTimers : public QObject {
    Q_OBJECT
public:
    enum TThreadPriority { tpIdle, tpLowest, tpLower, tpNormal, tpHigher, tpHighest, tpTimeCritical };
    using Handler = std::function<void(QObject* sender)>;
    static constexpr int TimerCount = 9;

    // Creates the nine workers paused, before their first wait (interval 1000 ms, no handler).
    // Throws ThreadError when the system cannot create a thread.
    explicit TiThreadTimers(QObject* owner = nullptr);
    // Stops timer 1 first and timer 9 last. Workers end at once, whatever their state.
    ~TiThreadTimers() override;

    // `timer` is 1..9 throughout; anything else is a programming error (std::out_of_range).
    void setEnabled(int timer, bool enabled);
    bool enabled(int timer) const;
    // A value of 0 or less is stored as 1. On an enabled timer the worker is replaced and the
    // next expiry is one full new interval from now; on a disabled one the frozen wait keeps
    // its end and the new interval applies from the next wait.
    void setInterval(int timer, int milliseconds);
    int interval(int timer) const;
    void setOnTimer(int timer, Handler handler);
    Handler onTimer(int timer) const;
    // Throws ThreadError when the system refuses the change (leaving the priority as it was).
    void setThreadPriority(int timer, TThreadPriority priority);
    TThreadPriority threadPriority(int timer) const;

    // Enables the timer with a fresh wait of one full interval from now, whatever the state of
    // the wait in progress; a notification of the old wait is never delivered afterwards.
    // Used by the reply watchdog, which must measure its interval from the write.
    void restart(int timer);

private:
    TiTimerThread& worker(int timer) const;

    std::array<bool, TimerCount> enabled_{};
    std::array<std::unique_ptr<TiTimerThread>, TimerCount> workers_;
};

}  // namespace velmar
