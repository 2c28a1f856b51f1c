#include "controller/half_cycle.h"

#include "controller/controller.h"
#include "device/protocol.h"
#include "platform/dialogs.h"
#include "platform/log.h"
#include "platform/number_format.h"
#include "platform/platform_services.h"
#include "widgets/dials/tiknob.h"
#include "widgets/dials/tiswitchslider.h"
#include "widgets/plot/tiplot.h"

#include <QLabel>
#include <QPushButton>

namespace velmar {

Task<void> HalfCycle::announceFinish(QString message, RecordEnd criterion)
{
    qCInfo(lcRun).noquote() << "finish criterion met:" << message;
    c_.records.noteEnd(RecordKind::Polish, criterion);
    // Before the dialog: an operator away from the window learns of the end now, not when
    // someone answers it.
    c_.progress.polishFinishMet(criterion);
    platform().beep();
    co_await c_.pause(250);
    platform().beep();
    // Not awaited: the run has ended, and it winds down and switches the relay off now, not
    // when somebody comes back to answer.
    openDialog(DialogKind::Info, message);
}

Task<bool> HalfCycle::EvaluateHalfCycle()
{
    ControllerState& s = c_.state;
    TiPlot* plot = c_.ui.iPlot1;
    bool result = true;
    bool cyclesMet = false, minimumMet = false, totalMet = false;
    const QString mode = c_.ui.iSwitchSlider2->position() == 1 ? QStringLiteral(" DC ") : QStringLiteral(" AC ");

    plot->LabelAt(1)->setCaption(QStringLiteral("Power = ") + FormatNumber(c_.ui.iKnob1->position(), 4, 1)
                                 + QStringLiteral("Volts") + mode + QStringLiteral("Cycle=")
                                 + FormatGeneral(s.CycleNumber));

    s.CycleNumber += 0.5;
    s.CyclesDone += 0.5;

    // Each criterion is tested on its own: one call may finish for several reasons at once.
    if (!(static_cast<double>(s.CycleLimit) >= s.CyclesDone)) {
        co_await announceFinish(QStringLiteral("Run Stopped: Number Cycles"), RecordEnd::NumberOfCycles);
        c_.polishRun.stop();
        result = false;
        cyclesMet = true;
        s.CyclesDone = 0.0;
    }

    // No flagged reading since start-up: average the latest current rather than the marker.
    if (s.CurrentSamples[1] == -1.0) {
        for (int slot = 1; slot <= 5; ++slot)
            s.CurrentSamples[slot] = s.CurrentSamples[0];
    }
    const double average = AverageOfLastThree(s);
    lastAverage_ = average;

    if (!(average >= s.MinCurrentLimit)) {
        co_await announceFinish(QStringLiteral("Run Stopped:  Minimum Current=") + FormatNumber(average, 4, 2),
                       RecordEnd::MinimumCurrent);
        // The current has faded: switch the relay off now rather than after the loop's next check.
        co_await c_.commands.SendCommand(protocol::relay(false));
        c_.polishRun.stop();
        result = false;
        minimumMet = true;
    }

    s.TotalCharge += average;
    if (s.TotalCharge >= s.TotalLimit) {
        co_await announceFinish(QStringLiteral("Run Stopped:  Total Current=") + FormatNumber(s.TotalCharge, 4, 0),
                       RecordEnd::TotalCharge);
        c_.polishRun.stop();
        result = false;
        totalMet = true;
    }

    c_.ui.Label10->setText(FormatGeneral(average));
    // Read the counters afresh: a Clear Chart inside one of the waits above may have reset them.
    TakenPoint point{RecordKind::Polish, s.CycleNumber, average};
    point.total = s.TotalCharge;
    point.cyclesMet = cyclesMet;
    point.minimumMet = minimumMet;
    point.totalMet = totalMet;
    c_.takePoint(point);

    plot->LabelAt(1)->setCaption(QStringLiteral("Power = ") + FormatNumber(c_.ui.iKnob1->position(), 4, 1)
                                 + QStringLiteral(" Volts ") + mode + QStringLiteral("       Total Current= ")
                                 + FormatNumber(s.TotalCharge, 4, 0) + QStringLiteral("       Cycle=")
                                 + FormatGeneral(s.CycleNumber));
    co_return result;
}

}  // namespace velmar
