#include "controller/run_records.h"

#include "controller/chart_data_export.h"
#include "controller/controller.h"
#include "controller/records/csv_format.h"
#include "platform/dialogs.h"
#include "platform/file_save.h"
#include "platform/platform_services.h"
#include "widgets/dials/tiknob.h"
#include "widgets/dials/tiswitchslider.h"
#include "widgets/plot/tiplot.h"

#include <QDebug>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QTimer>
#include <QUrl>

namespace velmar {
namespace {

QString whatWasRecorded(RecordKind kind)
{
    switch (kind) {
    case RecordKind::Polish:
        return QStringLiteral("polish run");
    case RecordKind::ViTest:
        return QStringLiteral("volt vs current test");
    case RecordKind::Manual:
        break;
    }
    return QStringLiteral("manual chart recording");
}

QString millimetres(std::int32_t steps) { return QString::number(double(steps * Motion::MmPerStep), 'f', 4); }

RecordEnd criterionEnd(FinishCriterion criterion)
{
    switch (criterion) {
    case FinishCriterion::NumberCycles:
        return RecordEnd::NumberOfCycles;
    case FinishCriterion::MinimumCurrent:
        return RecordEnd::MinimumCurrent;
    case FinishCriterion::TotalCharge:
        break;
    }
    return RecordEnd::TotalCharge;
}

QString speedName(int position)
{
    return position == 2 ? QStringLiteral("Normal") : position == 1 ? QStringLiteral("Medium") : QStringLiteral("Low");
}

}  // namespace

RunRecords::~RunRecords()
{
    // A polish run or test cannot be on the stack any more; a manual recording can be open.
    while (recording(RecordKind::Manual))
        finish(RecordKind::Manual, recordEndName(reasonNow(*newest(RecordKind::Manual))),
               Tell::LogOnly);
}

void RunRecords::begin(RecordKind kind)
{
    const MainWindowControls& ui = c_.ui;
    Open open;
    open.record = std::make_unique<RunRecord>(kind, recordsFolder(), platform().now(), ui.Edit5->text(), settings(kind));
    open.startTick = platform().tickCount();
    open_[index(kind)].push_back(std::move(open));
}

QList<RecordSetting> RunRecords::settings(RecordKind kind) const
{
    const ControllerState& s = c_.state;
    const MainWindowControls& ui = c_.ui;
    QList<RecordSetting> out = {
        {QStringLiteral("HomeSteps"), QString::number(s.HomeSteps)},
        {QStringLiteral("HomeMm"), millimetres(s.HomeSteps)},
        {QStringLiteral("PolishSteps"), QString::number(s.PolishSteps)},
        {QStringLiteral("PolishMm"), millimetres(s.PolishSteps)},
        {QStringLiteral("ElectrolyteSteps"), QString::number(s.ElectrolyteSteps)},
        {QStringLiteral("ElectrolyteMm"), millimetres(s.ElectrolyteSteps)},
    };
    if (kind == RecordKind::ViTest) {
        out.append({QStringLiteral("MinVolts"), ui.Edit6->text()});
        out.append({QStringLiteral("MaxVolts"), ui.Edit7->text()});
    } else {
        // The supply's own resolution: a sixteenth of a volt.
        out.append({QStringLiteral("SetPointVolts"), csvNumberText(ui.iKnob1->position(), 4)});
    }
    out.append({QStringLiteral("Mode"), c_.power.modeText()});
    if (kind == RecordKind::Polish) {
        // The fields as typed: an empty one is no limit, which a number could not say.
        out.append({QStringLiteral("Speed"), speedName(ui.iSwitchSlider1->position())});
        out.append({QStringLiteral("CyclesPerElectrolyte"), ui.Edit4->text()});
        out.append({QStringLiteral("NumberCycles"), ui.Edit1->text()});
        out.append({QStringLiteral("MinimumCurrent"), ui.Edit2->text()});
        out.append({QStringLiteral("TotalCharge"), ui.Edit3->text()});
    }
    out.append({QStringLiteral("CurrentCal"), csvNumberText(s.CurrentCal)});
    out.append({QStringLiteral("ZeroOffset"), QString::number(s.ZeroOffset)});
    return out;
}

RunRecords::Open* RunRecords::newest(RecordKind kind)
{
    std::vector<Open>& records = open_[index(kind)];
    return records.empty() ? nullptr : &records.back();
}

const RunRecords::Open* RunRecords::newest(RecordKind kind) const
{
    const std::vector<Open>& records = open_[index(kind)];
    return records.empty() ? nullptr : &records.back();
}

QString RunRecords::folder(RecordKind kind) const
{
    const std::vector<Open>& records = open_[index(kind)];
    return records.empty() ? QString() : records.back().record->folder();
}

qint64 RunRecords::rowTime(const Open& open) const
{
    return open.noted ? open.endMSecs : platform().nowMSecsSinceEpoch();
}

double RunRecords::elapsedSeconds(const Open& open) const
{
    const std::uint32_t until = open.noted ? open.endTick : platform().tickCount();
    return static_cast<double>(std::uint32_t(until - open.startTick)) / 1000.0;
}

void RunRecords::polishRow(double cycle, double current, double total)
{
    Q_UNUSED(total);
    if (Open* open = newest(RecordKind::Polish)) {
        // Counted from this run's start: the chart's cycle and total go on from the last run
        // unless it was cleared.
        ++open->evaluations;
        open->total += current;
        open->xLow = std::min(open->xLow, cycle);
        open->xHigh = std::max(open->xHigh, cycle);
        open->record->addPolishRow(rowTime(*open), elapsedSeconds(*open), 0.5 * double(open->evaluations), current,
                                   open->total);
    }
}

void RunRecords::viTestRow(int volts, double current, int zeroOffset)
{
    if (Open* open = newest(RecordKind::ViTest)) {
        open->xLow = std::min(open->xLow, double(volts));
        open->xHigh = std::max(open->xHigh, double(volts));
        open->record->addViTestRow(rowTime(*open), volts, current, zeroOffset);
    }
}

void RunRecords::manualRow(double elapsedSeconds, double current)
{
    if (Open* open = newest(RecordKind::Manual)) {
        open->xLow = std::min(open->xLow, elapsedSeconds);
        open->xHigh = std::max(open->xHigh, elapsedSeconds);
        open->record->addManualRow(rowTime(*open), elapsedSeconds, current);
    }
}

void RunRecords::note(Open& open, RecordEnd reason, bool byFailSafe)
{
    // Every criterion met counts for the result; the first reason ends the record.
    if (reason == RecordEnd::NumberOfCycles || reason == RecordEnd::MinimumCurrent || reason == RecordEnd::TotalCharge)
        open.criteriaMet.push_back(reason);
    if (open.noted)
        return;
    open.noted = reason;
    open.notedByFailSafe = byFailSafe;
    open.endTick = platform().tickCount();
    open.endMSecs = platform().nowMSecsSinceEpoch();
}

void RunRecords::noteEnd(RecordKind kind, RecordEnd reason)
{
    if (Open* open = newest(kind))
        note(*open, reason, false);
}

void RunRecords::noteSupervisionEnded(RecordEnd reason)
{
    // A manual recording is not supervision: it goes on until the link or the program ends.
    for (const RecordKind kind : {RecordKind::Polish, RecordKind::ViTest}) {
        if (Open* open = newest(kind))
            note(*open, reason, true);
    }
}

std::optional<std::uint32_t> RunRecords::endTick(RecordKind kind) const
{
    const Open* open = newest(kind);
    if (!open || !open->noted)
        return std::nullopt;
    return open->endTick;
}

RecordEnd RunRecords::reasonNow(const Open& open) const
{
    // What made the fail-safe step in is the first cause; a lost link or the program's end
    // that follows while the loop winds down is only its consequence.
    if (open.noted && open.notedByFailSafe)
        return *open.noted;
    // A lost link or the program's end is why the loop stopped, whatever it was doing.
    if (c_.state.LinkFailed)
        return RecordEnd::LinkLost;
    if (platform().terminating())
        return RecordEnd::ProgramEnded;
    return open.noted.value_or(RecordEnd::Stopped);
}

RecordEnd RunRecords::endReason(RecordKind kind) const
{
    const Open* open = newest(kind);
    return open ? reasonNow(*open) : RecordEnd::Stopped;
}

void RunRecords::end(RecordKind kind)
{
    if (const Open* open = newest(kind))
        finish(kind, recordEndName(reasonNow(*open)), Tell::Now);
}

void RunRecords::endByError(RecordKind kind, const QString& message)
{
    if (newest(kind))
        finish(kind, QStringLiteral("error: ") + message, Tell::AfterTheError);
}

QList<RecordSetting> RunRecords::results(RecordKind kind, const Open& open) const
{
    QList<RecordSetting> out;
    if (kind == RecordKind::ViTest) {
        // Absent when the sweep showed none: a reader finds no number to mistake for one.
        if (const std::optional<VoltPlateau> plateau = c_.progress.plateau()) {
            out.append({QStringLiteral("plateau_from"), csvNumberText(plateau->fromVolts, 2)});
            out.append({QStringLiteral("plateau_to"), csvNumberText(plateau->toVolts, 2)});
            out.append({QStringLiteral("suggested_volts"), csvNumberText(plateau->suggestedVolts, 2)});
        }
    } else if (kind == RecordKind::Polish) {
        if (const std::optional<FinishEstimate> estimate = c_.progress.finishEstimate()) {
            out.append({QStringLiteral("estimated_finish_s"), csvNumberText(estimate->atSeconds, 0)});
            out.append({QStringLiteral("estimated_criterion"),
                        recordEndName(criterionEnd(estimate->criterion))});
        }
        QStringList met;
        for (const RecordEnd criterion : open.criteriaMet) {
            const QString name = recordEndName(criterion);
            if (!met.contains(name))
                met << name;
        }
        if (!met.isEmpty())
            out.append({QStringLiteral("criteria_met"), met.join(QLatin1Char(' '))});
    }
    return out;
}

RecordPictures RunRecords::wholeRunPictures(const Open& open) const
{
    // The chart shows the last part of a long run; the record shows all of it. The X axis is
    // widened for the pictures only and set back before anything repaints.
    TiPlot& plot = *c_.ui.iPlot1;
    TiPlotAxis* axis = plot.XAxisCount() > 0 ? plot.XAxisAt(0) : nullptr;
    const double min = axis ? axis->min() : 0.0;
    const double span = axis ? axis->span() : 0.0;
    const bool widen = axis && open.xLow <= open.xHigh && (open.xLow < min || open.xHigh > min + span);
    if (widen) {
        const double low = std::min(open.xLow, min);
        axis->SetMinSpan(low, std::max(open.xHigh, min + span) - low);
    }
    RecordPictures pictures{plot.pictureBytes(PictureFormat::Png), plot.pictureBytes(PictureFormat::Svg)};
    if (widen)
        axis->SetMinSpan(min, span);
    return pictures;
}

void RunRecords::finish(RecordKind kind, const QString& reason, Tell tell)
{
    std::vector<Open>& records = open_[index(kind)];
    const Open open = std::move(records.back());
    records.pop_back();
    const std::unique_ptr<RunRecord>& record = open.record;

    const QDateTime end = open.noted ? QDateTime::fromMSecsSinceEpoch(open.endMSecs) : platform().now();
    record->finish(end, reason, wholeRunPictures(open), results(kind, open));
    const QString failure = record->failure();
    if (failure.isEmpty())
        return;

    qWarning().noquote() << "velmar: the record in" << record->folder() << "is not complete:" << failure;
    if (tell == Tell::LogOnly)
        return;
    const QString text = QStringLiteral("The record of this %1 could not be written in full; the %1 itself went on "
                                        "as usual.\r\rFolder: %2\rReason: %3")
                             .arg(whatWasRecorded(kind), record->folder(), failure);
    if (tell == Tell::Now) {
        openDialog(DialogKind::Info, text);
        return;
    }
    // The error goes on to the application's error dialog, which the operator should see
    // first: what stopped the run matters more than its record.
    QTimer::singleShot(0, c_.ui.iPlot1, [text] { openDialog(DialogKind::Info, text); });
}

void RunRecords::exportChartData()
{
    const QString folder = lastExportFolder_.isEmpty()
                               ? platform().userFolder(PlatformServices::UserFolder::Documents)
                               : lastExportFolder_;
    // The first as the records are written; the second for a spreadsheet that reads numbers
    // only in the locale's form (a German one takes 2.334 for 2334).
    const QString plain = QStringLiteral("CSV (*.csv)");
    const QString forLocale = QStringLiteral("CSV for this locale (*.csv)");
    QString filter = plain;
    const QString typed = platform().askSaveFileName(QStringLiteral("Export Chart Data"), folder + QStringLiteral("/Untitled"),
                                                     plain + QStringLiteral(";;") + forLocale, &filter);
    if (typed.isEmpty())
        return;
    const QString fileName = WithFilterEnding(typed, filter);
    const CsvDialect dialect = filter == forLocale ? localeCsvDialect(QLocale()) : CsvDialect{};
    const QString error = SaveFileContents(fileName, chartDataCsv(*c_.ui.iPlot1, dialect));
    if (!error.isEmpty()) {
        openDialog(DialogKind::Error, QStringLiteral("Cannot write the file \"%1\": %2").arg(fileName, error));
        return;
    }
    lastExportFolder_ = QFileInfo(fileName).absolutePath();
}

void RunRecords::openRecordsFolder()
{
    // Before the first record there is nothing to open; an empty folder says more than an error.
    const QString folder = recordsFolder();
    QDir().mkpath(folder);
    // Without a file manager the operator still learns where to look.
    if (!platform().shellOpen(QUrl::fromLocalFile(folder).toString()))
        openDialog(DialogKind::Info, QStringLiteral("No file manager could be started. The records are in\n%1")
                                .arg(QDir::toNativeSeparators(folder)));
}

}  // namespace velmar
