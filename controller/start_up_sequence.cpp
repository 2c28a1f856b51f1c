#include "controller/start_up_sequence.h"

#include "controller/controller.h"
#include "controller/settings_file.h"
#include "device/protocol.h"
#include "platform/dialogs.h"
#include "timers/tithreadtimers.h"

#include <QPushButton>
#include <QWidget>

namespace velmar {

namespace {

void setVisibleIf(QWidget* widget, bool visible)
{
    if (widget)
        widget->setVisible(visible);
}

}  // namespace

void StartUpSequence::iThreadTimers1Timer1([[maybe_unused]] QObject* sender)
{
    c_.ui.iThreadTimers1->setEnabled(StartUpTimer, false);  // once per process
    c_.routines.launch(homeAndLoad());
}

Task<void> StartUpSequence::homeAndLoad()
{
    ControllerState& s = c_.state;
    Motion& motion = c_.motion;
    TiThreadTimers& timers = *c_.ui.iThreadTimers1;

    // The About window without its buttons is the splash while the electrode is homed.
    setVisibleIf(c_.ui.Form2Button1, false);
    setVisibleIf(c_.ui.Form2Button2, false);
    setVisibleIf(c_.ui.Form2, true);

    // CommandBusy is the command channel's own: it is set only while an exchange waits for
    // its reply, and the pause ends only once none does.
    co_await c_.pause(500);

    // A little down first, so "TP" always finds the top from below.
    co_await c_.commands.SendCommand(protocol::goTo(-100));
    co_await c_.commands.SendCommand(protocol::top());
    s.CurrentSteps = 0;
    motion.ShowPosition(0);

    LoadSettings(s);
    // A note on the settings file (first run, unreadable, out of range) is read before the
    // electrode goes on to its Home position.
    co_await dialogsAnswered();
    s.MoveBusy = false;
    co_await motion.MoveTo(s.HomeSteps);
    s.Homed = true;

    motion.PlaceTeachPointer(Motion::HomePointer, motion.ShowPosition(s.HomeSteps));
    motion.PlaceTeachPointer(Motion::PolishPointer, motion.ShowPosition(s.PolishSteps));
    motion.PlaceTeachPointer(Motion::ElectrolytePointer, motion.ShowPosition(s.ElectrolyteSteps));
    motion.ShowPosition(s.CurrentSteps);

    // Loading the window and placing the pointers looked like drags to the pointer handler;
    // nothing is due at the next mouse release.
    s.HomeMovePending = false;
    s.PolishMovePending = false;
    s.ElectrolyteMovePending = false;

    s.SampleSlot = 1;
    s.ZeroOffset = 0;
    s.ChartOn = false;
    s.TotalCharge = 0.0;
    s.CurrentSamples[1] = -1.0;  // no flagged reading since start-up

    setVisibleIf(c_.ui.Form2Button1, true);
    setVisibleIf(c_.ui.Form2Button2, true);
    setVisibleIf(c_.ui.Form2, false);

    // A device that failed at the driver level would only fill the screen with errors.
    if (!s.CommandFailed)
        timers.setEnabled(PollCycle::PollTimer, true);
    c_.progress.startUpEnded();
}

}  // namespace velmar
