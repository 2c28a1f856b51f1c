#include "controller/insight/status_text.h"

#include "platform/number_format.h"

#include <QStringList>

#include <cmath>

namespace velmar {

namespace {

const QString Separator = QStringLiteral(" \u00b7 ");  // " · "
const QString Unknown = QStringLiteral("\u2014");      // "—"

QString polishingText(const StatusLineState& s)
{
    QString cycle = QStringLiteral("Polishing: cycle %1").arg(s.cycle);
    if (s.cycleLimit)
        cycle += QStringLiteral(" of %1").arg(*s.cycleLimit);
    QStringList parts{cycle, QStringLiteral("elapsed ") + minutesSeconds(s.elapsedSeconds)};
    if (s.finishInSeconds)
        parts << QStringLiteral("finish in about %1 (%2)")
                     .arg(minutesSeconds(*s.finishInSeconds), criterionText(s.criterion));
    else
        parts << QStringLiteral("finish in about ") + Unknown;
    if (s.outputOff)
        parts << QStringLiteral("supply output is off");
    return parts.join(Separator);
}

QString voltCurrentText(const StatusLineState& s)
{
    return QStringList{QStringLiteral("V-I test: %1 V (%2 to %3)").arg(s.volts).arg(s.minVolts).arg(s.maxVolts),
                       QStringLiteral("elapsed ") + minutesSeconds(s.elapsedSeconds),
                       QStringLiteral("about %1 left")
                           .arg(s.testSecondsLeft ? minutesSeconds(*s.testSecondsLeft) : Unknown)}
        .join(Separator);
}

QString pointsText(int points)
{
    return points == 1 ? QStringLiteral("1 point") : QStringLiteral("%1 points").arg(points);
}

QString volts(double v) { return FormatGeneral(v); }

}  // namespace

QString minutesSeconds(double seconds)
{
    const long long whole = std::isfinite(seconds) && seconds > 0 ? std::llround(seconds) : 0;
    return QStringLiteral("%1:%2").arg(whole / 60).arg(whole % 60, 2, 10, QLatin1Char('0'));
}

QString criterionText(FinishCriterion criterion)
{
    switch (criterion) {
    case FinishCriterion::NumberCycles:
        return QStringLiteral("number of cycles");
    case FinishCriterion::MinimumCurrent:
        return QStringLiteral("minimum current");
    case FinishCriterion::TotalCharge:
        return QStringLiteral("total charge");
    }
    return {};
}

QString plateauText(const VoltPlateau& plateau)
{
    return QStringLiteral("plateau %1\u2013%2 V, use %3 V")
        .arg(volts(plateau.fromVolts), volts(plateau.toVolts), volts(plateau.suggestedVolts));
}

QString endReasonText(RecordEnd end)
{
    switch (end) {
    case RecordEnd::NumberOfCycles:
        return criterionText(FinishCriterion::NumberCycles) + QStringLiteral(" reached");
    case RecordEnd::MinimumCurrent:
        return criterionText(FinishCriterion::MinimumCurrent) + QStringLiteral(" reached");
    case RecordEnd::TotalCharge:
        return criterionText(FinishCriterion::TotalCharge) + QStringLiteral(" reached");
    case RecordEnd::Stopped:
        break;
    case RecordEnd::Completed:
        return QStringLiteral("completed");
    case RecordEnd::WindowClosed:
        return QStringLiteral("stopped as the window closed");
    case RecordEnd::LinkLost:
        return QStringLiteral("stopped: USB link lost");
    case RecordEnd::ReplyTimeout:
        return QStringLiteral("stopped: no reply from the instrument");
    case RecordEnd::StreamStalled:
        return QStringLiteral("stopped: no current readings for 2 s");
    case RecordEnd::Signal:
        return QStringLiteral("stopped: the program was asked to end");
    case RecordEnd::ProgramEnded:
        return QStringLiteral("stopped: the program is ending");
    }
    return QStringLiteral("stopped by the operator");
}

QString polishEndingText(bool cycles, bool minimumCurrent, bool totalCharge, RecordEnd end)
{
    QStringList met;
    if (cycles)
        met << criterionText(FinishCriterion::NumberCycles);
    if (minimumCurrent)
        met << criterionText(FinishCriterion::MinimumCurrent);
    if (totalCharge)
        met << criterionText(FinishCriterion::TotalCharge);
    // A criterion met says more than the operator's stop that may have crossed it; a fault
    // that ended the run first says more than both.
    const bool byCriterion = end == RecordEnd::NumberOfCycles || end == RecordEnd::MinimumCurrent
                             || end == RecordEnd::TotalCharge || end == RecordEnd::Stopped;
    if (met.isEmpty() || !byCriterion)
        return endReasonText(end);
    return met.join(QStringLiteral(" and ")) + QStringLiteral(" reached");
}

QString voltCurrentEndingText(RecordEnd end, const std::optional<VoltPlateau>& plateau)
{
    const QString found = plateau ? plateauText(*plateau) : QStringLiteral("no plateau found");
    return end == RecordEnd::Completed ? found : endReasonText(end) + QStringLiteral(", ") + found;
}

QString recordingEndingText(int points) { return pointsText(points) + QStringLiteral(" recorded"); }

QString statusLineText(const StatusLineState& s)
{
    using Activity = StatusLineState::Activity;
    QString text;
    switch (s.activity) {
    case Activity::Homing:
        text = QStringLiteral("Homing...");
        break;
    case Activity::Ready:
        text = QStringLiteral("Ready");
        break;
    case Activity::NoInstrument:
        text = QStringLiteral("No instrument (restart after connecting it)");
        break;
    case Activity::Polishing:
        text = polishingText(s);
        break;
    case Activity::VoltCurrentTest:
        text = voltCurrentText(s);
        break;
    case Activity::Recording:
        text = QStringLiteral("Recording: %1, %2").arg(minutesSeconds(s.elapsedSeconds), pointsText(s.points));
        break;
    case Activity::Ended:
        text = QStringLiteral("Finished after %1: %2").arg(minutesSeconds(s.elapsedSeconds), s.ending);
        break;
    }
    // A run or test says what it has switched on in its own words; anywhere else the line
    // would read "Ready" with current flowing.
    if (s.activity != Activity::Polishing && s.activity != Activity::VoltCurrentTest) {
        if (s.outputOn)
            text += Separator + QStringLiteral("supply output on");
        if (s.relayOn)
            text += Separator + QStringLiteral("relay on");
    }
    if (s.simulated)
        text += Separator + QStringLiteral("Simulated instrument");
    return text;
}

}  // namespace velmar
