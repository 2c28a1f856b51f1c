#pragma once

#include "controller/insight/finish_estimate.h"
#include "controller/insight/vi_plateau.h"
#include "controller/records/record_end.h"

#include <QString>

#include <optional>

namespace velmar {

// What the status line under the chart says, as plain values; the text follows from them alone.
struct StatusLineState {
    enum class Activity { Homing, Ready, NoInstrument, Polishing, VoltCurrentTest, Recording, Ended };
    Activity activity = Activity::Homing;
    bool simulated = false;     // the channels are open on the built-in simulated instrument
    double elapsedSeconds = 0;  // of the run, test or recording (Ended: how long it took)

    // Polishing
    int cycle = 0;
    std::optional<int> cycleLimit;
    std::optional<double> finishInSeconds;
    FinishCriterion criterion = FinishCriterion::NumberCycles;
    bool outputOff = false;  // the run was started with the supply output off

    // V-I test (volts of the present step, and the range asked for)
    int volts = 0;
    int minVolts = 0;
    int maxVolts = 0;
    std::optional<double> testSecondsLeft;

    // Recording
    int points = 0;

    // Ended: how the last run, test or recording ended (see the *EndingText functions)
    QString ending;

    // Ready, Ended, Recording, NoInstrument: what is switched on, as far as the program knows
    // (on from the command that switched it on until the instrument acknowledged the off).
    bool outputOn = false;
    bool relayOn = false;
};

QString statusLineText(const StatusLineState& state);

// "m:ss", whole seconds rounded to nearest; minutes go on past 59.
QString minutesSeconds(double seconds);

// "minimum current", "number of cycles", "total charge".
QString criterionText(FinishCriterion criterion);

// "plateau 9–13 V, use 11 V"
QString plateauText(const VoltPlateau& plateau);

// Why a run or test ended, when that was not a finish criterion: "stopped by the operator",
// "stopped: no reply from the instrument", ...
QString endReasonText(RecordEnd end);
// How a polish run ended: by the criteria that were met (in the order they are tested), or,
// when none was or something else ended the run before them, by endReasonText(end).
QString polishEndingText(bool cycles, bool minimumCurrent, bool totalCharge, RecordEnd end);
// How a V-I test ended: its plateau (or "no plateau found"), after endReasonText(end) when
// it did not go through its range.
QString voltCurrentEndingText(RecordEnd end, const std::optional<VoltPlateau>& plateau);
// How a manual recording ended.
QString recordingEndingText(int points);

}  // namespace velmar
