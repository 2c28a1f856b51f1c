#include "controller/poll_cycle.h"

#include "controller/controller.h"
#include "controller/settings_file.h"
#include "platform/dialogs.h"
#include "platform/number_format.h"
#include "platform/platform_services.h"
#include "timers/tithreadtimers.h"
#include "widgets/dials/tiangulargauge.h"
#include "widgets/displays/tisevensegmentanalog.h"
#include "widgets/plot/tiplot.h"

#include <QLabel>

#include <cstdlib>
#include <exception>

namespace velmar {

void PollCycle::iThreadTimers1Timer9([[maybe_unused]] QObject* sender)
{
    // A notification the timer posted before the last cycle disabled it still arrives: once
    // the end after a lost link has begun, it must not begin again.
    if (platform().terminating() || endingOnLinkFailure_)
        return;

    TiThreadTimers& timers = *c_.ui.iThreadTimers1;
    // Re-armed on the way out: a slow cycle delays the next one instead of piling them up.
    timers.setEnabled(PollTimer, false);

    bool ending = false;
    double current = c_.state.CurrentSamples[0];
    if (c_.state.LinkFailed) {
        endingOnLinkFailure_ = true;
        c_.routines.launch(endOnLinkFailure());
        ending = true;
    } else {
        const std::uint64_t readingsBefore = c_.stream.framesTaken();
        current = c_.readout.ReadCurrentFrame();
        if (!c_.state.LinkFailed)
            c_.failSafe.streamPolled(c_.stream.framesTaken() != readingsBefore);
    }

    c_.ui.iAngularGauge1->setPosition(current);
    c_.ui.Label11->setText(FormatGeneral(current));
    c_.ui.iSevenSegmentAnalog1->setValue(current);

    if (c_.state.ChartOn) {
        // Elapsed seconds, non-negative even when the clock has been set back since.
        const qint64 ms = c_.state.ChartStartTime.msecsTo(platform().now());
        const double x = static_cast<double>(std::llabs(ms)) / 1000.0;
        c_.takePoint({RecordKind::Manual, x, current});
    }

    if (ending || platform().terminating())
        return;
    timers.setEnabled(PollTimer, true);
}

Task<void> PollCycle::endOnLinkFailure()
{
    // Whatever still runs on the instrument is left without a supervisor: off with it before
    // anything waits for the operator.
    c_.failSafe.stopSupervision("USB link failed", RecordEnd::LinkLost);
    // The program ends here without passing through the window's close, so the positions
    // taught since start-up would be lost: save them first. "X" cannot go out on a dead link.
    try {
        SaveSettings(c_.state);
    } catch (const std::exception& error) {
        openDialog(DialogKind::ApplicationError, QString::fromUtf8(error.what()));
    }
    co_await dialog(DialogKind::Info, QStringLiteral("USB Communications error. Check the connection and restart"));
    // No more points will come: the recording ends here, not when the program does.
    c_.records.end(RecordKind::Manual);
    // A run or test winds down at once (its commands are held), and the program ends after
    // the safe state's commands have had their replies or their waits have run out.
    co_await c_.woundDown();
    platform().terminate();
}

}  // namespace velmar
