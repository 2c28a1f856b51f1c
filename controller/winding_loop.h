#pragma once

#include <QString>

#include <functional>

class QPushButton;

namespace velmar {

class FailSafe;

// Book-keeping for a long controller loop (a polish run, a test sweep) that supervises the
// instrument and that the window's close has to wait for: the loop can only wind down once the
// close handler above it on the stack has returned, so the close asks it to stop and is
// finished when the last such loop returns. `supervision` is told when loops begin and end.
class WindingLoop {
public:
    // `changed` runs whenever the loop enters or leaves, or is asked to stop (its caption set
    // back): the moments the window's start buttons may change state.
    WindingLoop(FailSafe& supervision, std::function<void()> finishClose, std::function<void()> changed)
        : supervision_(supervision), finishClose_(std::move(finishClose)), changed_(std::move(changed))
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

    // A running loop is asked to stop as its button would (the caption back to
    // `idleCaption`, which the loop checks). Returns whether it was running.
    bool stop(QPushButton* button, const QString& idleCaption);
    // The same for the window's close, which is finished once the loop has returned. Returns
    // whether the close has to wait.
    bool stopForClose(QPushButton* button, const QString& idleCaption);

private:
    void enter();
    void leave();

    FailSafe& supervision_;
    std::function<void()> finishClose_;
    std::function<void()> changed_;
    int depth_ = 0;
    bool closePending_ = false;
};

}  // namespace velmar
