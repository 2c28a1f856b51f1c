#include "controller/winding_loop.h"

#include <QPushButton>

namespace velmar {

bool WindingLoop::stopForClose(QPushButton* button, const QString& idleCaption)
{
    if (!running())
        return false;
    button->setText(idleCaption);
    closePending_ = true;
    changed_();
    return true;
}

void WindingLoop::leave()
{
    --depth_;
    changed_();
    if (depth_ > 0 || !closePending_)
        return;
    closePending_ = false;
    finishClose_();
}

}  // namespace velmar
