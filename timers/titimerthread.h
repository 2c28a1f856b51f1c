#pragma once

#include "timers/tithreadtimers.h"

#include <pthread.h>

#include <memory>
#include <thread>

namespace velmar {

namespace detail {
struct TimerWorkerState;
class TimerNotificationReceiver;
}  // namespace detail

// The worker of one timer: a thread that waits for the interval and posts one notification per
// expiry to a receiver object living on the thread that created the worker. It never touches
// anything else; the handler runs on the receiver's thread.
//
// The thread exists from construction and blocks on a condition variable while paused, so a
// paused or never-started worker costs nothing, and stopping it never waits for a wait in
// progress to run out.
class TiTimerThread {
public:
    using Handler = TiThreadTimers::Handler;
    using Priority = TiThreadTimers::TThreadPriority;

    // Paused, before its first wait. Throws ThreadError("Thread creation error: ...").
    TiTimerThread(QObject* owner, int intervalMs, Handler handler);
    // Stops the thread at once, waits for it to end, then drops its pending notifications.
    ~TiTimerThread();

    TiTimerThread(const TiTimerThread&) = delete;
    TiTimerThread& operator=(const TiTimerThread&) = delete;

    void pause();
    // The first resume starts the first wait; later ones let a frozen wait run on to its end.
    void resume();
    // Runs with a fresh wait from now; notifications of the old wait are never delivered.
    void restart();

    void setInterval(int intervalMs);
    int interval() const;
    void setHandler(Handler handler);
    Handler handler() const;
    void setPriority(Priority priority);
    Priority priority() const;

private:
    std::shared_ptr<detail::TimerWorkerState> state_;
    detail::TimerNotificationReceiver* receiver_ = nullptr;
    std::thread thread_;
    pthread_t handle_{};
    Priority priority_;
};

}  // namespace velmar
