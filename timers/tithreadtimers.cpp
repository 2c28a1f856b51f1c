#include "timers/tithreadtimers.h"

#include "timers/titimerthread.h"

#include <string>

namespace velmar {

ThreadError::ThreadError(const QString& message)
    : std::runtime_error(message.toStdString()), message_(message)
{
}

namespace {

constexpr int DefaultInterval = 1000;

int storedInterval(int milliseconds) { return milliseconds <= 0 ? 1 : milliseconds; }

}  // namespace

TiThreadTimers::TiThreadTimers(QObject* owner) : QObject(owner)
{
    // If a later worker cannot be created, the ones already made are stopped by workers_.
    for (auto& worker : workers_)
        worker = std::make_unique<TiTimerThread>(this, DefaultInterval, Handler{});
}

TiThreadTimers::~TiThreadTimers()
{
    for (auto& worker : workers_)
        worker.reset();
}

TiTimerThread& TiThreadTimers::worker(int timer) const
{
    if (timer < 1 || timer > TimerCount)
        throw std::out_of_range("TiThreadTimers: no timer " + std::to_string(timer));
    return *workers_[timer - 1];
}

void TiThreadTimers::setEnabled(int timer, bool enabled)
{
    TiTimerThread& w = worker(timer);
    bool& flag = enabled_[timer - 1];
    if (flag == enabled)
        return;
    flag = enabled;
    if (enabled)
        w.resume();
    else
        w.pause();
}

bool TiThreadTimers::enabled(int timer) const
{
    worker(timer);
    return enabled_[timer - 1];
}

void TiThreadTimers::setInterval(int timer, int milliseconds)
{
    TiTimerThread& current = worker(timer);
    const int value = storedInterval(milliseconds);
    if (!enabled_[timer - 1]) {
        current.setInterval(value);
        return;
    }
    // The replacement is made before the old worker goes, so a refused thread leaves the timer
    // running as it was.
    auto replacement = std::make_unique<TiTimerThread>(this, value, current.handler());
    workers_[timer - 1] = std::move(replacement);
    workers_[timer - 1]->resume();
}

int TiThreadTimers::interval(int timer) const { return worker(timer).interval(); }

void TiThreadTimers::setOnTimer(int timer, Handler handler) { worker(timer).setHandler(std::move(handler)); }

TiThreadTimers::Handler TiThreadTimers::onTimer(int timer) const { return worker(timer).handler(); }

void TiThreadTimers::setThreadPriority(int timer, TThreadPriority priority)
{
    worker(timer).setPriority(priority);
}

TiThreadTimers::TThreadPriority TiThreadTimers::threadPriority(int timer) const
{
    return worker(timer).priority();
}

void TiThreadTimers::restart(int timer)
{
    worker(timer).restart();
    enabled_[timer - 1] = true;
}

}  // namespace velmar
