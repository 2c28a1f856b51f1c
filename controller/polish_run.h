#pragma once

#include "controller/loop_routine.h"
#include "platform/task.h"

#include <QDateTime>
#include <QLocale>
#include <QString>

#include <cstdint>

namespace velmar {

class Controller;

// The polish run: dip into the electrolyte, back to Home, then strokes between Home and End
// Polish with a current evaluation before every stroke move, dip again, and so on until the
// operator stops it or a finish criterion is met. A routine started by the click of BitBtn1,
// whose caption ("Run" / "STOP") shows the run's state.
class PolishRun {
public:
    explicit PolishRun(Controller& c);
    // Starts a run; while one is running, asks it to stop (three beeps).
    void BitBtn1Click();
    // The run loop; run only by BitBtn1Click.
    Task<void> RunPolishLoop();

    // A run has begun (power, limits) and has not yet ended (its groups enabled again).
    bool running() const { return loop_.running(); }
    // A run is active and its button ("STOP") stops it.
    bool offersStop() const;
    // A finish criterion or the window's close stopped the run: a running run is asked to
    // stop as its button would (the loop winds down and switches the relay off). Returns
    // whether the run has yet to end.
    bool stop();
    // A fault stopped the supervision: the same, and the run's pauses end at once.
    bool stopNow();
    // Until the run has ended (at once when none is running).
    Task<void> ended() { return loop_.ended(); }

    // The stroke speed command for a position of the Speed switch.
    static QString strokeSpeedCommand(int speedPosition);

private:
    Task<void> startRun();
    void enableGroups(bool enabled);

    Controller& c_;
    LoopRoutine loop_;
};

// A local date and time as the run stamps it on the chart: the locale's short date, then its
// long time (without a time-zone name); the time is left out at exactly midnight.
QString DateTimeText(const QDateTime& when, const QLocale& locale = QLocale());

}  // namespace velmar
