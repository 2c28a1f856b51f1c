#pragma once

#include <functional>

namespace velmar {

class FailSafe;

// Where a long loop stands: not on the stack, going (its button offers the stop), or asked to
// stop and winding down (its button shows the start again, disabled until the loop has left).
enum class LoopState { Idle, Running, Stopping };

// Book-keeping for a long controller loop (a polish run, a test sweep) that supervises the
// instrument and that the window's close has to wait for: the loop can only wind down once the
// close handler above it on the stack has returned, so the close asks it to stop and is
// finished when the last such loop returns. `supervision` is told when loops begin and end.
// The loop's state is one value, `state()`; its button's caption is drawn from it.
class WindingLoop {
public:
    // `changed` runs whenever the loop enters or leaves, or is asked to stop: the moments the
    // window's start buttons may change state. `draw` puts the state on the loop's button.
    WindingLoop(FailSafe& supervision, std::function<void()> finishClose, std::function<void()> changed,
                std::function<void(LoopState)> draw)
        : supervision_(supervision),
          finishClose_(std::move(finishClose)),
          changed_(std::move(changed)),
          draw_(std::move(draw))
    {
    }

    LoopState state() const { return state_; }
    // The loop is on the stack (nested runs count each).
    bool running() const { return depth_ > 0; }

    // Runs `body` as the loop; on the way out, normally or by an error, a waiting close is
    // finished. An error (a field that does not convert) first runs `backToIdle`, which puts
    // the loop's controls back as they were before the click, then goes on up to the
    // application's error dialog.
    template <typename Body, typename Restore>
    void run(Body&& body, Restore&& backToIdle)
    {
        enter();
        try {
            body();
        } catch (...) {
            backToIdle();
            leave();
            throw;
        }
        leave();
    }

    // A running loop is asked to stop as its button would (Stopping, which the loop checks);
    // the button shows the state either way. Returns whether the loop is on the stack.
    bool stop();
    // The same for the window's close, which is finished once the loop has returned. Returns
    // whether the close has to wait.
    bool stopForClose();

private:
    void enter();
    void leave();
    void show();

    FailSafe& supervision_;
    std::function<void()> finishClose_;
    std::function<void()> changed_;
    std::function<void(LoopState)> draw_;
    LoopState state_ = LoopState::Idle;
    int depth_ = 0;
    bool closePending_ = false;
};

}  // namespace velmar
