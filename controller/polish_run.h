#pragma once

#include "controller/winding_loop.h"

#include <QDateTime>
#include <QLocale>
#include <QString>

#include <cstdint>

class QObject;

namespace velmar {

class Controller;

// The polish run: dip into the electrolyte, back to Home, then strokes between Home and End
// Polish with a current evaluation before every stroke move, dip again, and so on until the
// operator stops it or a finish criterion is met. Runs as a loop inside the click of BitBtn1,
// whose caption ("Run" / "STOP") shows the run's state.
class PolishRun {
public:
    explicit PolishRun(Controller& c);
    // Starts a run; while one is running, asks it to stop (three beeps).
    void BitBtn1Click();
    // The run loop; called only by BitBtn1Click.
    void RunPolishLoop();

    // A run is on the stack, from its start (power, limits) until its groups are enabled
    // again; nested runs count each.
    bool running() const { return loop_.running(); }
    // A run is active and its button ("STOP") stops it.
    bool offersStop() const;
    // The window is closing. A running run is asked to stop as its button would (the loop
    // winds down and switches the relay off), and the close is finished (Controller::FormClose
    // again) once the run has returned. Returns whether a run was running, i.e. whether the
    // close has to wait for it.
    bool stopForClose();
    // A fault or a finish criterion stopped the run: a running run is asked to stop as its
    // button would.
    bool stop();

    // The stroke speed command for a position of the Speed switch.
    static QString strokeSpeedCommand(int speedPosition);

private:
    void startRun();
    void enableGroups(bool enabled);

    Controller& c_;
    WindingLoop loop_;
};

// A local date and time as the run stamps it on the chart: the locale's short date, then its
// long time (without a time-zone name); the time is left out at exactly midnight.
QString DateTimeText(const QDateTime& when, const QLocale& locale = QLocale());

}  // namespace velmar
