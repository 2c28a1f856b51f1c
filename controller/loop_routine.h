#pragma once

#include "platform/task.h"

#include <functional>

namespace velmar {

class FailSafe;

// Where a long loop stands: not started, going (its button offers the stop), or asked to stop
// and winding down (its button shows the start again, disabled until the loop has ended).
enum class LoopState { Idle, Running, Stopping };

// A long controller loop (a polish run, a test sweep) that supervises the instrument: a
// routine of its own whose state is one value, `state()`, from which its button's caption is
// drawn. The operator's stop only changes that state (the loop finishes the step in progress
// and switches off on its way out); a fault also cuts its pauses short. `supervision` is told
// when the loop begins and ends.
class LoopRoutine {
public:
    // `changed` runs whenever the loop begins, ends or is asked to stop: the moments the
    // window's start buttons may change state. `draw` puts the state on the loop's button.
    LoopRoutine(FailSafe& supervision, std::function<void()> changed, std::function<void(LoopState)> draw);
    LoopRoutine(const LoopRoutine&) = delete;
    LoopRoutine& operator=(const LoopRoutine&) = delete;

    LoopState state() const { return state_; }
    // The loop has begun and not yet ended (running or winding down).
    bool running() const { return state_ != LoopState::Idle; }
    // Pauses of the loop take this: cancelled when a fault ends the supervision.
    Cancellation& cancellation() { return cancellation_; }

    // Starts `body` as the loop. An error it ends by (a field that does not convert) first
    // runs `backToIdle`, which puts the loop's controls back as they were before the click,
    // then goes to the application's error dialog.
    void start(Task<void> body, std::function<void()> backToIdle);
    // A running loop is asked to stop as its button would (Stopping, which the loop checks);
    // the button shows the state either way. Returns whether the loop has yet to end.
    bool stop();
    // The same, and its pauses end now: a fault or the program's end.
    bool stopNow();
    // Until the loop has ended (at once when it is not running).
    Task<void> ended();

private:
    void show();
    void finish();

    FailSafe& supervision_;
    std::function<void()> changed_;
    std::function<void(LoopState)> draw_;
    LoopState state_ = LoopState::Idle;
    Cancellation cancellation_;
    Started task_;
    Waiters waitingForEnd_;
};

}  // namespace velmar
