#pragma once

#include "controller/records/record_folder.h"

namespace velmar {

// A point a routine has taken. Controller::takePoint sends it everywhere a point goes: the
// chart, the open record and the progress, so the routines that take points (the half cycle,
// the V-I test's steps, the manual recording's poll cycles) never repeat that fan-out.
struct TakenPoint {
    RecordKind kind = RecordKind::Manual;
    double x = 0.0;        // the half cycle's cycle number, the step's volts, or seconds since Chart On
    double current = 0.0;  // mA
    // A polish run's: the total current after this point (the chart's second channel) and the
    // finish criteria its evaluation found met.
    double total = 0.0;
    bool cyclesMet = false, minimumMet = false, totalMet = false;
    // A V-I step's: the zero offset captured at its voltage, for its record.
    int zeroOffset = 0;
};

}  // namespace velmar
