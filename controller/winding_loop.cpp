#include "controller/winding_loop.h"

#include "controller/fail_safe.h"

#include <QPushButton>

namespace velmar {

bool WindingLoop::stop(QPushButton* button, const QString& idleCaption)
{
    if (!running())
        return false;
    button->setText(idleCaption);
    changed_();
    return true;
}

bool WindingLoop::stopForClose(QPushButton* button, const QString& idleCaption)
{
    if (!stop(button, idleCaption))
        return false;
    closePending_ = true;
    return true;
}

void WindingLoop::enter()
{
    ++depth_;
    supervision_.loopEntered();
    changed_();
}

void WindingLoop::leave()
{
    // Supervision first: a close finished below sends "X", which must not be held back.
    supervision_.loopLeft();
    --depth_;
    changed_();
    if (depth_ > 0 || !closePending_)
        return;
    closePending_ = false;
    finishClose_();
}

}  // namespace velmar
