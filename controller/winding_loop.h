#pragma once

#include <QString>

#include <functional>

class QPushButton;

namespace velmar {

// Book-keeping for a long controller loop (a polish run, a test sweep) that the window's close
// has to wait for: the loop can only wind down once the close handler above it on the stack
// has returned, so the close asks it to stop and is finished when the last such loop returns.
class WindingLoop {
public:
    // `changed` runs whenever the loop enters or leaves, or its caption is set for the close:
    // the moments the window's start buttons may change state.
    WindingLoop(std::function<void()> finishClose, std::function<void()> changed)
        : finishClose_(std::move(finishClose)), changed_(std::move(changed))
    {
    }

    // The loop is on the stack (nested runs count each).
    bool running() const { return depth_ > 0; }

    // Runs `body` as the loop; on the way out, normally or by an error, a waiting close is
    // finished. An error (a field that does not convert) first runs `backToIdle`, which puts
    // the loop's caption and controls back as they were before the click, then goes on up to
    // the application's error dialog.
    template <typename Body, typename Restore>
    void run(Body&& body, Restore&& backToIdle)
    {
        ++depth_;
        changed_();
        try {
            body();
        } catch (...) {
            backToIdle();
            leave();
            throw;
        }
        leave();
    }

    // The window is closing: a running loop is asked to stop as its button would (the caption
    // back to `idleCaption`, which the loop checks). Returns whether the close has to wait.
    bool stopForClose(QPushButton* button, const QString& idleCaption);

private:
    void leave();

    std::function<void()> finishClose_;
    std::function<void()> changed_;
    int depth_ = 0;
    bool closePending_ = false;
};

}  // namespace velmar
