#pragma once

#include <QObject>

#include <functional>

class QSocketNotifier;

namespace velmar {

// SIGTERM, SIGINT and SIGHUP (a kill, Ctrl+C, the end of the session) reach the program as a
// call of `onSignal` on the window's thread, from its event loop. The handler itself only
// writes the signal's number into a pipe that the event loop watches: nothing else is safe
// inside a signal handler, and the controller must never be entered from one.
// One instance at a time; destroying it gives the signals their default handling back.
class SignalClose : public QObject {
public:
    explicit SignalClose(std::function<void(int signal)> onSignal, QObject* parent = nullptr);
    ~SignalClose() override;
    SignalClose(const SignalClose&) = delete;
    SignalClose& operator=(const SignalClose&) = delete;

    // The pipe and the handlers are in place.
    bool installed() const { return notifier_ != nullptr; }

private:
    void readSignals();

    std::function<void(int)> onSignal_;
    QSocketNotifier* notifier_ = nullptr;
};

}  // namespace velmar
