#include "timers/titimerthread.h"

#include <QCoreApplication>
#include <QEvent>

#include <pthread.h>
#include <sched.h>

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <cstring>
#include <mutex>
#include <system_error>

namespace velmar {
namespace detail {

using Clock = std::chrono::steady_clock;

// What a worker shares with the thread that owns it. Everything the worker reads is guarded by
// the mutex; the handler and the owner are touched only on the owning thread.
struct TimerWorkerState {
    std::mutex mutex;
    std::condition_variable wake;
    bool paused = true;
    bool started = false;   // the first wait has been started
    bool stop = false;
    // Bumped by restart: a wait or a notification of an older generation is dead.
    std::uint64_t generation = 0;
    Clock::time_point waitEnd;
    int interval = 1000;
    QObject* receiver = nullptr;

    QObject* owner = nullptr;
    TiTimerThread::Handler handler;
};

namespace {

QEvent::Type notificationType()
{
    static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
}

class NotificationEvent : public QEvent {
public:
    explicit NotificationEvent(std::uint64_t generation)
        : QEvent(notificationType()), generation(generation)
    {
    }
    const std::uint64_t generation;
};

// Deadlines are fixed in real time when a wait begins; pausing only holds back the hand-over
// after the end, so time spent paused counts toward the wait.
void runWorker(const std::shared_ptr<TimerWorkerState>& s)
{
    std::unique_lock lock(s->mutex);
    s->wake.wait(lock, [&] { return s->stop || s->started; });
    while (!s->stop) {
        const std::uint64_t generation = s->generation;
        const Clock::time_point end = s->waitEnd;
        const auto moved = [&] { return s->stop || s->generation != generation; };
        if (s->wake.wait_until(lock, end, moved))
            continue;
        s->wake.wait(lock, [&] { return moved() || !s->paused; });
        if (moved())
            continue;
        // Posted under the lock so that a stop or restart is either before this notification
        // (and it is never posted) or after it (and its generation check drops it).
        QCoreApplication::postEvent(s->receiver, new NotificationEvent(generation),
                                    Qt::HighEventPriority);
        s->waitEnd = Clock::now() + std::chrono::milliseconds(s->interval);
    }
}

}  // namespace

// Lives on the owning thread; the worker's notifications queue up in that thread's event
// queue, one per expiry, and deleting the receiver discards those still waiting.
class TimerNotificationReceiver : public QObject {
public:
    explicit TimerNotificationReceiver(std::shared_ptr<TimerWorkerState> state)
        : state_(std::move(state))
    {
    }

    int delivering = 0;

    bool event(QEvent* event) override
    {
        if (event->type() != notificationType())
            return QObject::event(event);
        const auto generation = static_cast<NotificationEvent*>(event)->generation;
        {
            std::lock_guard lock(state_->mutex);
            if (state_->stop || state_->generation != generation)
                return true;
        }
        // A copy, so a handler that replaces itself is not destroyed while it runs.
        const TiTimerThread::Handler handler = state_->handler;
        if (!handler)
            return true;
        // The state is held here too: the handler may stop this worker (or destroy the whole
        // component), which then leaves this receiver to deleteLater.
        const std::shared_ptr<TimerWorkerState> keep = state_;
        struct Depth {
            int& n;
            explicit Depth(int& n) : n(n) { ++n; }
            ~Depth() { --n; }
        } depth(delivering);
        handler(keep->owner);
        return true;
    }

private:
    std::shared_ptr<TimerWorkerState> state_;
};

}  // namespace detail

namespace {

using detail::Clock;

QString systemText(int code) { return QString::fromLocal8Bit(std::strerror(code)); }

// Levels above idle are spread over the policy's static range the way QThread does it; under
// the ordinary time-sharing policy that range is a single value.
int staticPriority(int policy, TiThreadTimers::TThreadPriority level)
{
    const int low = sched_get_priority_min(policy);
    const int high = sched_get_priority_max(policy);
    if (low < 0 || high <= low)
        return low < 0 ? 0 : low;
    return low + (level - TiThreadTimers::tpLowest) * (high - low)
        / (TiThreadTimers::tpTimeCritical - TiThreadTimers::tpLowest);
}

bool isRealTime(int policy) { return policy == SCHED_FIFO || policy == SCHED_RR; }

}  // namespace

TiTimerThread::TiTimerThread(QObject* owner, int intervalMs, Handler handler)
    : state_(std::make_shared<detail::TimerWorkerState>()),
      priority_(TiThreadTimers::tpNormal)
{
    state_->owner = owner;
    state_->handler = std::move(handler);
    state_->interval = intervalMs;
    auto receiver = std::make_unique<detail::TimerNotificationReceiver>(state_);
    state_->receiver = receiver.get();
    try {
        thread_ = std::thread(detail::runWorker, state_);
        handle_ = thread_.native_handle();
    } catch (const std::system_error& error) {
        throw ThreadError(QStringLiteral("Thread creation error: %1")
                              .arg(QString::fromLocal8Bit(error.code().message().c_str())));
    }
    receiver_ = receiver.release();
}

TiTimerThread::~TiTimerThread()
{
    {
        std::lock_guard lock(state_->mutex);
        state_->stop = true;
    }
    state_->wake.notify_all();
    thread_.join();
    // The thread has ended, so nothing can be posted to the receiver any more.
    if (receiver_->delivering > 0) {
        QCoreApplication::removePostedEvents(receiver_);
        receiver_->deleteLater();
    } else {
        delete receiver_;
    }
}

void TiTimerThread::pause()
{
    std::lock_guard lock(state_->mutex);
    state_->paused = true;
}

void TiTimerThread::resume()
{
    {
        std::lock_guard lock(state_->mutex);
        state_->paused = false;
        if (!state_->started) {
            state_->started = true;
            state_->waitEnd = Clock::now() + std::chrono::milliseconds(state_->interval);
        }
    }
    state_->wake.notify_all();
}

void TiTimerThread::restart()
{
    {
        std::lock_guard lock(state_->mutex);
        state_->paused = false;
        state_->started = true;
        ++state_->generation;
        state_->waitEnd = Clock::now() + std::chrono::milliseconds(state_->interval);
    }
    // Notifications of the old wait may still be queued; their generation drops them at
    // delivery. (Removing them here could also catch a first one of the new wait.)
    state_->wake.notify_all();
}

void TiTimerThread::setInterval(int intervalMs)
{
    std::lock_guard lock(state_->mutex);
    state_->interval = intervalMs;
}

int TiTimerThread::interval() const
{
    std::lock_guard lock(state_->mutex);
    return state_->interval;
}

void TiTimerThread::setHandler(Handler handler) { state_->handler = std::move(handler); }

TiTimerThread::Handler TiTimerThread::handler() const { return state_->handler; }

void TiTimerThread::setPriority(Priority priority)
{
    const pthread_t handle = handle_;
    int policy = SCHED_OTHER;
    sched_param param{};
    int rc = pthread_getschedparam(handle, &policy, &param);
    if (rc == 0) {
        if (priority == TiThreadTimers::tpIdle) {
            policy = SCHED_IDLE;
        } else if (policy == SCHED_IDLE || policy == SCHED_BATCH) {
            policy = SCHED_OTHER;
        }
        param.sched_priority = priority == TiThreadTimers::tpIdle ? 0 : staticPriority(policy, priority);
        rc = pthread_setschedparam(handle, policy, &param);
    }
    if (rc != 0)
        throw ThreadError(QStringLiteral("Thread Error: %1 (%2)").arg(systemText(rc)).arg(rc));
    priority_ = priority;
}

TiTimerThread::Priority TiTimerThread::priority() const
{
    const pthread_t handle = handle_;
    int policy = SCHED_OTHER;
    sched_param param{};
    if (pthread_getschedparam(handle, &policy, &param) != 0)
        return TiThreadTimers::tpNormal;
    if (policy == SCHED_IDLE)
        return TiThreadTimers::tpIdle;
    if (priority_ == TiThreadTimers::tpIdle)
        return TiThreadTimers::tpNormal;   // changed behind our back
    // The time-sharing policy has one static priority for every level above idle, so the
    // system cannot tell them apart; the level last set is the one in force.
    if (!isRealTime(policy))
        return priority_;
    if (staticPriority(policy, priority_) == param.sched_priority)
        return priority_;
    for (int level = TiThreadTimers::tpLowest; level <= TiThreadTimers::tpTimeCritical; ++level) {
        if (staticPriority(policy, static_cast<Priority>(level)) == param.sched_priority)
            return static_cast<Priority>(level);
    }
    return TiThreadTimers::tpNormal;
}

}  // namespace velmar
