#include "controller/loop_routine.h"

#include "controller/fail_safe.h"
#include "controller/routines.h"

namespace velmar {

LoopRoutine::LoopRoutine(FailSafe& supervision, std::function<void()> changed, std::function<void(LoopState)> draw)
    : supervision_(supervision), changed_(std::move(changed)), draw_(std::move(draw))
{
}

void LoopRoutine::show()
{
    if (draw_)
        draw_(state_);
}

void LoopRoutine::start(Task<void> body, std::function<void()> backToIdle)
{
    state_ = LoopState::Running;
    cancellation_.reset();
    show();
    supervision_.loopEntered();
    changed_();
    task_ = velmar::start(std::move(body), [this, backToIdle = std::move(backToIdle)](std::exception_ptr error) {
        if (error && backToIdle)
            backToIdle();
        finish();
        reportRoutineError(error);
    });
}

bool LoopRoutine::stop()
{
    if (state_ == LoopState::Running)
        state_ = LoopState::Stopping;
    show();
    changed_();
    return running();
}

bool LoopRoutine::stopNow()
{
    const bool wasRunning = stop();
    if (wasRunning)
        cancellation_.cancel();
    return wasRunning;
}

void LoopRoutine::finish()
{
    // Supervision first: a close waiting for this loop sends "X", which must not be held back.
    supervision_.loopLeft();
    state_ = LoopState::Idle;
    show();
    changed_();
    waitingForEnd_.wakeAll();
}

Task<void> LoopRoutine::ended()
{
    while (running())
        co_await waitingForEnd_.next();
}

}  // namespace velmar
