#include "controller/winding_loop.h"

#include "controller/fail_safe.h"

namespace velmar {

void WindingLoop::show()
{
    if (draw_)
        draw_(state_);
}

bool WindingLoop::stop()
{
    if (state_ == LoopState::Running)
        state_ = LoopState::Stopping;
    show();
    changed_();
    return running();
}

bool WindingLoop::stopForClose()
{
    if (!stop())
        return false;
    closePending_ = true;
    return true;
}

void WindingLoop::enter()
{
    ++depth_;
    state_ = LoopState::Running;
    show();
    supervision_.loopEntered();
    changed_();
}

void WindingLoop::leave()
{
    // Supervision first: a close finished below sends "X", which must not be held back.
    supervision_.loopLeft();
    --depth_;
    if (depth_ == 0) {
        state_ = LoopState::Idle;
        show();
    }
    changed_();
    if (depth_ > 0 || !closePending_)
        return;
    closePending_ = false;
    finishClose_();
}

}  // namespace velmar
