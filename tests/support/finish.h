#pragma once

#include "platform/task.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

namespace velmar::test {

// Processes events until `done` (a test's own wait: the program under test never nests one).
// A wait past `limitMs` fails the test and returns, rather than hanging the run.
inline void runUntil(const std::function<bool()>& done, int limitMs = 120000)
{
    QElapsedTimer clock;
    clock.start();
    // Wakes the loop now and then, so a `done` that no event announces is still seen.
    QTimer tick;
    tick.start(5);
    while (!done()) {
        if (clock.elapsed() > limitMs) {
            ADD_FAILURE() << "still waiting after " << limitMs << " ms";
            return;
        }
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
}

// Runs `task` to its end from a test and gives its result.
template <typename T>
T finish(Task<T> task)
{
    task.resume();
    runUntil([&task] { return task.done(); });
    return task.result();
}

}  // namespace velmar::test
