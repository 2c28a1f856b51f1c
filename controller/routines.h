#pragma once

#include "platform/task.h"

#include <exception>
#include <functional>
#include <list>

namespace velmar {

// The routines a click, a timer or the window's close started and that still wait (a move, a
// power pulse, the homing): each is a coroutine on the window's thread, owned here until it
// ends. An error it ends by (a field that does not convert) goes to the application's error
// dialog, as an error raised straight from a handler does.
class Routines {
public:
    Routines() = default;
    Routines(const Routines&) = delete;
    Routines& operator=(const Routines&) = delete;

    // Runs `task` until its first wait; the event loop carries it on. `ended` is told when it
    // has ended, with the error it ended by (or none); without `ended` an error goes to the
    // error dialog.
    void launch(Task<void> task, std::function<void(std::exception_ptr)> ended = {});
    // A lone command from a click: its result has been shown and recorded by the time it ends.
    void launch(Task<bool> command);
    // No routine is on its way.
    bool idle() const;

private:
    void prune();

    std::list<Started> running_;
};

// Shows an error a routine ended by in the application's standard error dialog.
void reportRoutineError(std::exception_ptr error);

}  // namespace velmar
