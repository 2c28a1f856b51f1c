#pragma once

// The program's own small awaitable layer for waits on the window's thread: a routine is a
// coroutine (`Task`) that suspends where it waits (a pause, a reply, a dialog) and is resumed
// by the event loop when the wait is over, so nothing else ever runs *inside* a wait.
//
// - `Task<T>`: a lazy coroutine. `co_await`ing it runs it to its end and gives its result (or
//   its exception); `start` runs one from a handler, on its own, until its first wait.
// - `Cancellation`: whoever may end a routine's waits early (a stop, a fault, the program's
//   end) holds one; every awaiter given it returns `false` once it is cancelled. A cancelled
//   wait is resumed from the event loop, never from inside `cancel()`.
// - `delay(ms)`: a pause on the platform's tick, woken by a precise single-shot timer.
// - `Wake`: a wait that whatever the caller arranges ends by calling the function it is handed
//   (a signal, a notifier, a dialog's `finished`).
//
// Everything here runs on one thread: no locks, no atomics.

#include <QObject>
#include <QPointer>

#include <coroutine>
#include <cstdint>
#include <exception>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

class QTimer;

namespace velmar {

template <typename T = void>
class Task;

namespace detail {

// A timer that may be dropped from inside its own timeout handler (the routine it resumed has
// ended, and its frame with the timer): stopped and disconnected at once, deleted later.
struct LaterDelete {
    void operator()(QTimer* timer) const;
};
using WakeTimer = std::unique_ptr<QTimer, LaterDelete>;

struct PromiseBase {
    std::coroutine_handle<> continuation;
    std::exception_ptr error;

    std::suspend_always initial_suspend() noexcept { return {}; }
    struct FinalAwaiter {
        bool await_ready() noexcept { return false; }
        template <typename Promise>
        std::coroutine_handle<> await_suspend(std::coroutine_handle<Promise> done) noexcept
        {
            // Straight back into whoever awaited this task, without growing the stack.
            const std::coroutine_handle<> next = done.promise().continuation;
            return next ? next : std::noop_coroutine();
        }
        void await_resume() noexcept {}
    };
    FinalAwaiter final_suspend() noexcept { return {}; }
    void unhandled_exception() noexcept { error = std::current_exception(); }
};

template <typename T>
struct Promise : PromiseBase {
    std::optional<T> value;
    Task<T> get_return_object() noexcept;
    template <typename U>
    void return_value(U&& result)
    {
        value.emplace(std::forward<U>(result));
    }
};

template <>
struct Promise<void> : PromiseBase {
    Task<void> get_return_object() noexcept;
    void return_void() noexcept {}
};

}  // namespace detail

template <typename T>
class [[nodiscard]] Task {
public:
    using promise_type = detail::Promise<T>;
    using Handle = std::coroutine_handle<promise_type>;

    Task() = default;
    explicit Task(Handle handle) : handle_(handle) {}
    Task(Task&& other) noexcept : handle_(std::exchange(other.handle_, {})) {}
    Task& operator=(Task&& other) noexcept
    {
        if (this != &other) {
            reset();
            handle_ = std::exchange(other.handle_, {});
        }
        return *this;
    }
    Task(const Task&) = delete;
    Task& operator=(const Task&) = delete;
    // A task destroyed while it waits is gone for good: its awaiters (and their timers and
    // connections) go with it and never resume it.
    ~Task() { reset(); }

    bool valid() const { return static_cast<bool>(handle_); }
    bool done() const { return !handle_ || handle_.done(); }

    // Runs the task until its first wait (or its end).
    void resume()
    {
        if (handle_ && !handle_.done())
            handle_.resume();
    }
    // The result of a finished task; its exception, if it ended by one.
    decltype(auto) result()
    {
        if (handle_.promise().error)
            std::rethrow_exception(handle_.promise().error);
        if constexpr (!std::is_void_v<T>)
            return std::move(*handle_.promise().value);
    }

    auto operator co_await() && noexcept
    {
        struct Awaiter {
            Handle handle;
            bool await_ready() noexcept { return !handle || handle.done(); }
            std::coroutine_handle<> await_suspend(std::coroutine_handle<> awaiting) noexcept
            {
                handle.promise().continuation = awaiting;
                return handle;
            }
            decltype(auto) await_resume()
            {
                if (handle.promise().error)
                    std::rethrow_exception(handle.promise().error);
                if constexpr (!std::is_void_v<T>)
                    return std::move(*handle.promise().value);
            }
        };
        return Awaiter{handle_};
    }

private:
    void reset()
    {
        if (handle_)
            std::exchange(handle_, {}).destroy();
    }

    Handle handle_;
};

namespace detail {

template <typename T>
Task<T> Promise<T>::get_return_object() noexcept
{
    return Task<T>(std::coroutine_handle<Promise<T>>::from_promise(*this));
}

inline Task<void> Promise<void>::get_return_object() noexcept
{
    return Task<void>(std::coroutine_handle<Promise<void>>::from_promise(*this));
}

}  // namespace detail

// Ends waits early. Awaiters register while they wait and are told once; a cancellation stays
// cancelled until `reset()` (for the next routine that uses the same one).
class Cancellation {
public:
    Cancellation() = default;
    Cancellation(const Cancellation&) = delete;
    Cancellation& operator=(const Cancellation&) = delete;

    bool cancelled() const { return cancelled_; }
    void cancel();
    void reset() { cancelled_ = false; }

    // For awaiters: `onCancel` is called once when cancelled; the id takes it back.
    int subscribe(std::function<void()> onCancel);
    void unsubscribe(int id);

private:
    bool cancelled_ = false;
    int nextId_ = 0;
    std::map<int, std::function<void()>> waiting_;
};

// The awaiter behind `delay`: waits until `ms` have passed on the platform's tick counter
// (with Delay's rules: zero, or an end beyond the counter's wrap, is no wait at all).
class DelayAwaiter {
public:
    DelayAwaiter(std::uint32_t ms, Cancellation* cancellation);
    DelayAwaiter(DelayAwaiter&&) noexcept;
    ~DelayAwaiter();

    bool await_ready();
    void await_suspend(std::coroutine_handle<> waiting);
    // True when the time has passed, false when the wait was cancelled.
    bool await_resume();

private:
    void arm();
    void check();

    std::uint32_t start_ = 0;
    std::uint32_t end_ = 0;
    Cancellation* cancellation_ = nullptr;
    int subscription_ = -1;
    detail::WakeTimer timer_;
    std::coroutine_handle<> waiting_;
};

// `co_await delay(20)`: a pause that lets every other handler run and costs no CPU.
inline DelayAwaiter delay(std::uint32_t ms, Cancellation* cancellation = nullptr)
{
    return DelayAwaiter(ms, cancellation);
}

// A wait that ends when the function handed to `arrange` is called (from a signal, a notifier,
// a dialog's `finished`; once is enough, later calls do nothing), or when `cancellation` is
// cancelled. The call may come before the wait begins (arrange may call it at once). Resumes
// from the event loop, never inside the call itself, so the caller of the wake function is not
// held by the routine that goes on. `co_await` gives true when woken, false when cancelled.
class Wake {
public:
    using WakeFunction = std::function<void()>;
    explicit Wake(std::function<void(WakeFunction)> arrange, Cancellation* cancellation = nullptr);
    Wake(Wake&&) noexcept;
    ~Wake();

    bool await_ready() const;
    void await_suspend(std::coroutine_handle<> waiting);
    bool await_resume();

private:
    struct Shared;

    std::shared_ptr<Shared> shared_;
    Cancellation* cancellation_ = nullptr;
    int subscription_ = -1;
};

// Routines waiting for something to happen again (an exchange to end, a loop to end): each
// `co_await waiters.next()` resumes, from the event loop, after the next `wakeAll()`. A routine
// looks at what it waits for again when it resumes, so one `wakeAll` for several events is enough.
class Waiters {
public:
    Wake next()
    {
        return Wake([this](Wake::WakeFunction wake) { waiting_.push_back(std::move(wake)); });
    }
    void wakeAll()
    {
        for (const Wake::WakeFunction& wake : std::exchange(waiting_, {}))
            wake();
    }

private:
    std::vector<Wake::WakeFunction> waiting_;
};

// Runs `task` from a handler: it goes until its first wait and carries on from the event loop.
// `finished` is told when it has ended, with the exception it ended by (or none). The task is
// owned by the returned handle: dropping the handle destroys a task that still waits.
class Started {
public:
    Started() = default;
    bool running() const { return task_ && !task_->done(); }

private:
    friend Started start(Task<void> task, std::function<void(std::exception_ptr)> finished);
    std::shared_ptr<Task<void>> task_;
};
Started start(Task<void> task, std::function<void(std::exception_ptr)> finished = {});

}  // namespace velmar
