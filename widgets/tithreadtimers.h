#pragma once

#include <QObject>

#include <array>
#include <functional>
#include <memory>

namespace velmar {

class TiTimerThread;

// Nine independent periodic timers (1..9). Each owns a worker thread that sleeps for the
// interval and posts one notification to the thread that created the component; the handler
// runs there, whenever that thread processes events (also inside nested event processing).
class TiThreadTimers : public QObject {
    Q_OBJECT
public:
    enum TThreadPriority { tpIdle, tpLowest, tpLower, tpNormal, tpHigher, tpHighest, tpTimeCritical };
    using Handler = std::function<void(QObject* sender)>;
    static constexpr int TimerCount = 9;

    explicit TiThreadTimers(QObject* owner = nullptr);
    ~TiThreadTimers() override;

    // `timer` is 1..9 throughout; anything else is a programming error (asserted).
    void setEnabled(int timer, bool enabled);
    bool enabled(int timer) const;
    void setInterval(int timer, int milliseconds);
    int interval(int timer) const;
    void setOnTimer(int timer, Handler handler);
    Handler onTimer(int timer) const;
    void setThreadPriority(int timer, TThreadPriority priority);
    TThreadPriority threadPriority(int timer) const;

    // Enables the timer with a fresh wait of one full interval from now, whatever the state of
    // the wait in progress; a notification of the old wait is never delivered afterwards.
    // Used by the reply watchdog, which must measure its interval from the write.
    void restart(int timer);

private:
    std::array<bool, TimerCount> enabled_{};
    std::array<std::unique_ptr<TiTimerThread>, TimerCount> workers_;
};

}  // namespace velmar
