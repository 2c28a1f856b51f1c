#include "platform/task.h"

#include "platform/platform_services.h"

#include <QTimer>

#include <algorithm>
#include <limits>

namespace velmar {

void Cancellation::cancel()
{
    if (cancelled_)
        return;
    cancelled_ = true;
    // Each is told once; an awaiter told here unsubscribes as it resumes, later.
    const auto waiting = std::exchange(waiting_, {});
    for (const auto& [id, onCancel] : waiting)
        onCancel();
}

int Cancellation::subscribe(std::function<void()> onCancel)
{
    const int id = nextId_++;
    waiting_.emplace(id, std::move(onCancel));
    return id;
}

void Cancellation::unsubscribe(int id) { waiting_.erase(id); }

void detail::LaterDelete::operator()(QTimer* timer) const
{
    timer->stop();
    QObject::disconnect(timer, nullptr, nullptr, nullptr);
    timer->deleteLater();
}

namespace {

QTimer* preciseSingleShot()
{
    auto* timer = new QTimer;
    timer->setSingleShot(true);
    timer->setTimerType(Qt::PreciseTimer);
    return timer;
}

}  // namespace

DelayAwaiter::DelayAwaiter(std::uint32_t ms, Cancellation* cancellation) : cancellation_(cancellation)
{
    start_ = platform().tickCount();
    end_ = start_ + ms;
}

DelayAwaiter::DelayAwaiter(DelayAwaiter&& other) noexcept
    : start_(other.start_), end_(other.end_), cancellation_(other.cancellation_)
{
    // Only ever moved before it waits (returned from delay()).
}

DelayAwaiter::~DelayAwaiter()
{
    if (cancellation_ && subscription_ >= 0)
        cancellation_->unsubscribe(subscription_);
}

bool DelayAwaiter::await_ready()
{
    // A zero wait, or one whose end lies past the counter's wrap, is over before it begins.
    return end_ <= start_ || (cancellation_ && cancellation_->cancelled());
}

void DelayAwaiter::await_suspend(std::coroutine_handle<> waiting)
{
    waiting_ = waiting;
    timer_.reset(preciseSingleShot());
    QObject::connect(timer_.get(), &QTimer::timeout, timer_.get(), [this] { check(); });
    if (cancellation_)
        subscription_ = cancellation_->subscribe([this] {
            subscription_ = -1;
            timer_->start(0);  // resumed from the event loop, not inside cancel()
        });
    arm();
}

void DelayAwaiter::arm()
{
    const std::uint32_t now = platform().tickCount();
    // The tick may wrap only by passing `end_` first, so a tick below `start_` is past it too.
    const bool due = now >= end_ || now < start_;
    // The tick is the measure; the timer only wakes the thread when the end should be there.
    const std::uint32_t wallMs = due ? 0 : platform().wallMsForTicks(end_ - now);
    timer_->start(static_cast<int>(std::min<std::uint32_t>(wallMs, std::numeric_limits<int>::max())));
}

void DelayAwaiter::check()
{
    const std::uint32_t now = platform().tickCount();
    const bool due = now >= end_ || now < start_;
    if (!due && !(cancellation_ && cancellation_->cancelled())) {
        arm();
        return;
    }
    if (const std::coroutine_handle<> waiting = std::exchange(waiting_, {}))
        waiting.resume();
}

bool DelayAwaiter::await_resume()
{
    if (cancellation_ && subscription_ >= 0) {
        cancellation_->unsubscribe(subscription_);
        subscription_ = -1;
    }
    return !(cancellation_ && cancellation_->cancelled());
}

struct Wake::Shared {
    bool woken = false;
    bool cancelled = false;
    std::coroutine_handle<> waiting;
    detail::WakeTimer resumer;
};

Wake::Wake(std::function<void(WakeFunction)> arrange, Cancellation* cancellation)
    : shared_(std::make_shared<Shared>()), cancellation_(cancellation)
{
    shared_->resumer.reset(preciseSingleShot());
    std::weak_ptr<Shared> weak = shared_;
    QObject::connect(shared_->resumer.get(), &QTimer::timeout, shared_->resumer.get(), [weak] {
        if (const auto shared = weak.lock(); shared && shared->waiting)
            std::exchange(shared->waiting, {}).resume();
    });
    // The wake function may outlive the wait (a connection not yet taken down): it holds only
    // a weak reference, and does nothing once the wait is gone.
    arrange([weak] {
        const auto shared = weak.lock();
        if (!shared || shared->woken)
            return;
        shared->woken = true;
        if (shared->waiting)
            shared->resumer->start(0);
    });
}

Wake::Wake(Wake&& other) noexcept
    : shared_(std::move(other.shared_)), cancellation_(other.cancellation_), subscription_(other.subscription_)
{
    other.subscription_ = -1;
}

Wake::~Wake()
{
    if (cancellation_ && subscription_ >= 0)
        cancellation_->unsubscribe(subscription_);
}

bool Wake::await_ready() const
{
    return shared_->woken || (cancellation_ && cancellation_->cancelled());
}

void Wake::await_suspend(std::coroutine_handle<> waiting)
{
    shared_->waiting = waiting;
    if (cancellation_) {
        subscription_ = cancellation_->subscribe([this] {
            subscription_ = -1;
            shared_->cancelled = true;
            shared_->resumer->start(0);
        });
    }
}

bool Wake::await_resume()
{
    if (cancellation_ && subscription_ >= 0) {
        cancellation_->unsubscribe(subscription_);
        subscription_ = -1;
    }
    return shared_->woken && !(cancellation_ && cancellation_->cancelled());
}

namespace {

Task<void> runToEnd(Task<void> task, std::function<void(std::exception_ptr)> finished)
{
    std::exception_ptr error;
    try {
        co_await std::move(task);
    } catch (...) {
        error = std::current_exception();
    }
    if (finished)
        finished(error);
}

}  // namespace

Started start(Task<void> task, std::function<void(std::exception_ptr)> finished)
{
    Started started;
    started.task_ = std::make_shared<Task<void>>(runToEnd(std::move(task), std::move(finished)));
    started.task_->resume();
    return started;
}

}  // namespace velmar
