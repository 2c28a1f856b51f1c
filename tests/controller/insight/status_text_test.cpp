#include "controller/insight/status_text.h"

#include <gtest/gtest.h>

using namespace velmar;
using Activity = StatusLineState::Activity;

namespace {

StatusLineState polishing(int cycle, std::optional<int> limit, double elapsed)
{
    StatusLineState s;
    s.activity = Activity::Polishing;
    s.cycle = cycle;
    s.cycleLimit = limit;
    s.elapsedSeconds = elapsed;
    return s;
}

}  // namespace

TEST(StatusLineText, SaysWhatTheInstrumentIsDoing)
{
    StatusLineState estimated = polishing(12, 40, 754);
    estimated.finishInSeconds = 130.4;
    estimated.criterion = FinishCriterion::MinimumCurrent;
    StatusLineState outputOff = polishing(3, std::nullopt, 59.6);
    outputOff.outputOff = true;
    StatusLineState test;
    test.activity = Activity::VoltCurrentTest;
    test.volts = 17;
    test.minVolts = 4;
    test.maxVolts = 55;
    test.elapsedSeconds = 43;
    test.testSecondsLeft = 3725;
    StatusLineState testStarting = test;
    testStarting.testSecondsLeft.reset();
    StatusLineState recording;
    recording.activity = Activity::Recording;
    recording.elapsedSeconds = 65;
    recording.points = 1;
    StatusLineState ended;
    ended.activity = Activity::Ended;
    ended.elapsedSeconds = 754;
    ended.ending = polishEndingText(false, true, false, RecordEnd::MinimumCurrent);
    StatusLineState live;  // the supply left on after a run: not just "Ready"
    live.activity = Activity::Ready;
    live.outputOn = live.relayOn = true;
    StatusLineState endedLive = ended;
    endedLive.outputOn = true;
    StatusLineState lostRelay = StatusLineState{};
    lostRelay.activity = Activity::NoInstrument;
    lostRelay.relayOn = true;
    StatusLineState runningLive = polishing(3, 40, 59.6);
    runningLive.outputOn = runningLive.relayOn = true;
    StatusLineState simulated;
    simulated.activity = Activity::Ready;
    simulated.simulated = true;
    StatusLineState homing;
    StatusLineState lost;
    lost.activity = Activity::NoInstrument;

    struct Case {
        StatusLineState state;
        const char* text;
    } cases[] = {
        {homing, "Homing..."},
        {simulated, "Ready \u00b7 Simulated instrument"},
        {lost, "No instrument (restart after connecting it)"},
        {estimated, "Polishing: cycle 12 of 40 \u00b7 elapsed 12:34 \u00b7 finish in about 2:10 (minimum current)"},
        {outputOff, "Polishing: cycle 3 \u00b7 elapsed 1:00 \u00b7 finish in about \u2014 \u00b7 supply output is off"},
        {test, "V-I test: 17 V (4 to 55) \u00b7 elapsed 0:43 \u00b7 about 62:05 left"},
        {testStarting, "V-I test: 17 V (4 to 55) \u00b7 elapsed 0:43 \u00b7 about \u2014 left"},
        {recording, "Recording: 1:05, 1 point"},
        {ended, "Finished after 12:34: minimum current reached"},
        {live, "Ready \u00b7 supply output on \u00b7 relay on"},
        {endedLive, "Finished after 12:34: minimum current reached \u00b7 supply output on"},
        {lostRelay, "No instrument (restart after connecting it) \u00b7 relay on"},
        {runningLive, "Polishing: cycle 3 of 40 \u00b7 elapsed 1:00 \u00b7 finish in about \u2014"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(statusLineText(c.state).toStdString(), c.text);
}

TEST(StatusLineText, Endings)
{
    const VoltPlateau plateau{9.0, 13.0, 11.0, 5.0};
    const VoltPlateau halves{9.0, 14.0, 11.5, 5.0};
    struct Case {
        QString text;
        const char* expected;
    } cases[] = {
        {polishEndingText(false, false, false, RecordEnd::Stopped), "stopped by the operator"},
        {polishEndingText(true, false, true, RecordEnd::NumberOfCycles), "number of cycles and total charge reached"},
        // The stop click crossed the last evaluation, which met a criterion.
        {polishEndingText(false, true, false, RecordEnd::Stopped), "minimum current reached"},
        // Ended by the fail-safe: never "stopped by the operator".
        {polishEndingText(false, false, false, RecordEnd::ReplyTimeout), "stopped: no reply from the instrument"},
        {polishEndingText(false, false, false, RecordEnd::StreamStalled), "stopped: no current readings for 2 s"},
        {polishEndingText(true, false, false, RecordEnd::LinkLost), "stopped: USB link lost"},
        {polishEndingText(false, false, false, RecordEnd::Signal), "stopped: the program was asked to end"},
        {polishEndingText(false, false, false, RecordEnd::ProgramEnded), "stopped: the program is ending"},
        {polishEndingText(false, false, false, RecordEnd::WindowClosed), "stopped as the window closed"},
        {voltCurrentEndingText(RecordEnd::Completed, plateau), "plateau 9\u201313 V, use 11 V"},
        {voltCurrentEndingText(RecordEnd::Completed, halves), "plateau 9\u201314 V, use 11.5 V"},
        {voltCurrentEndingText(RecordEnd::Stopped, std::nullopt), "stopped by the operator, no plateau found"},
        {voltCurrentEndingText(RecordEnd::StreamStalled, plateau),
         "stopped: no current readings for 2 s, plateau 9\u201313 V, use 11 V"},
        {recordingEndingText(1234), "1234 points recorded"},
        {minutesSeconds(-3), "0:00"},
        {minutesSeconds(59.5), "1:00"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.text.toStdString(), c.expected);
}
