#pragma once

#include "sim/kestrom_sim.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QStringList>
#include <QTimer>

#include <functional>
#include <initializer_list>
#include <memory>

namespace velmar::test {

// Command texts as a list, for comparing with what the instrument took.
inline QStringList list(std::initializer_list<const char*> texts)
{
    QStringList out;
    for (const char* text : texts)
        out << QString::fromLatin1(text);
    return out;
}

// What a click waits for after its handler: the window fixture's settle() (until whatever the
// click started has ended), while a window test runs.
inline std::function<void()>& settleAfterClick()
{
    static std::function<void()> settle;
    return settle;
}

// Clicks as the operator does: from the event loop, so a runtime error raised by the handler
// reaches the application's error dialog instead of the test. Returns when the routine the
// click started (a run, a test, a move) has ended.
inline void clickFromEventLoop(QAbstractButton* button)
{
    QMetaObject::invokeMethod(button, [button] { button->click(); }, Qt::QueuedConnection);
    QCoreApplication::processEvents();
    if (settleAfterClick())
        settleAfterClick()();
}

// Runs `action` once, from inside whatever wait the program is in, as soon as the instrument
// has received `command` for the `occurrence`-th time: the way to act "during the dip" or
// "after the first stroke" without guessing at timing.
class OnCommand {
public:
    OnCommand(std::shared_ptr<sim::KestromSim> instrument, QString command, std::function<void()> action,
              int occurrence = 1)
        : instrument_(std::move(instrument)),
          command_(std::move(command)),
          action_(std::move(action)),
          occurrence_(occurrence)
    {
        timer_.setInterval(1);
        QObject::connect(&timer_, &QTimer::timeout, [this] { check(); });
        timer_.start();
    }
    bool fired() const { return fired_; }

private:
    void check()
    {
        if (fired_ || instrument_->commandTexts().count(command_) < occurrence_)
            return;
        fired_ = true;
        timer_.stop();
        action_();
    }

    std::shared_ptr<sim::KestromSim> instrument_;
    QString command_;
    std::function<void()> action_;
    int occurrence_;
    QTimer timer_;
    bool fired_ = false;
};

}  // namespace velmar::test
