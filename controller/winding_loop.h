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
    explicit WindingLoop(std::function<void()> finishClose) : finishClose_(std::move(finishClose)) {}

    // The loop is on the stack (nested runs count each).
    bool running() const { return depth_ > 0; }

    // Runs `body` as the loop; on the way out, normally or by an error, a waiting close is
    // finished.
    template <typename Body>
    void run(Body&& body)
    {
        ++depth_;
        try {
            body();
        } catch (...) {
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
    int depth_ = 0;
    bool closePending_ = false;
};

}  // namespace velmar
