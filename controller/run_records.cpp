#include "controller/run_records.h"

#include "controller/chart_data_export.h"
#include "controller/controller.h"
#include "controller/csv_format.h"
#include "platform/delay.h"
#include "platform/file_save.h"
#include "platform/platform_services.h"
#include "widgets/tiknob.h"
#include "widgets/tiplot.h"
#include "widgets/tiswitchslider.h"

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

QString speedName(int position)
{
    return position == 2 ? QStringLiteral("Normal") : position == 1 ? QStringLiteral("Medium") : QStringLiteral("Low");
}

}  // namespace

RunRecords::~RunRecords()
{
    // A polish run or test cannot be on the stack any more; a manual recording can be open.
    while (recording(RecordKind::Manual))
        finish(RecordKind::Manual, reasonNow(*newest(RecordKind::Manual)->record), Tell::LogOnly);
}

void RunRecords::begin(RecordKind kind)
{
    const MainWindowControls& ui = c_.ui;
    open_[index(kind)].push_back({std::make_unique<RunRecord>(kind, recordsFolder(), platform().now(),
                                                              ui.Edit5->text(), settings(kind)),
                                  platform().tickCount()});
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
        out.append({QStringLiteral("SetPointVolts"), csvNumberText(ui.iKnob1->position())});
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

QString RunRecords::folder(RecordKind kind) const
{
    const std::vector<Open>& records = open_[index(kind)];
    return records.empty() ? QString() : records.back().record->folder();
}

void RunRecords::polishRow(double cycle, double current, double total)
{
    if (Open* open = newest(RecordKind::Polish)) {
        const double elapsed = static_cast<double>(platform().tickCount() - open->startTick) / 1000.0;
        open->record->addPolishRow(platform().nowMSecsSinceEpoch(), elapsed, cycle, current, total);
    }
}

void RunRecords::viTestRow(int volts, double current, int zeroOffset)
{
    if (Open* open = newest(RecordKind::ViTest))
        open->record->addViTestRow(platform().nowMSecsSinceEpoch(), volts, current, zeroOffset);
}

void RunRecords::manualRow(double elapsedSeconds, double current)
{
    if (Open* open = newest(RecordKind::Manual))
        open->record->addManualRow(platform().nowMSecsSinceEpoch(), elapsedSeconds, current);
}

void RunRecords::noteEnd(RecordKind kind, const char* reason)
{
    if (Open* open = newest(kind))
        open->record->noteEnd(QString::fromLatin1(reason));
}

QString RunRecords::reasonNow(const RunRecord& record) const
{
    // A lost link or the program's end is why the loop stopped, whatever it was doing.
    if (c_.state.LinkFailed)
        return QString::fromLatin1(RecordEnd::LinkLost);
    if (platform().terminating())
        return QString::fromLatin1(RecordEnd::ProgramEnded);
    if (!record.notedEnd().isEmpty())
        return record.notedEnd();
    return QString::fromLatin1(RecordEnd::Stopped);
}

void RunRecords::end(RecordKind kind)
{
    if (const Open* open = newest(kind))
        finish(kind, reasonNow(*open->record), Tell::Now);
}

void RunRecords::endByError(RecordKind kind, const QString& message)
{
    if (newest(kind))
        finish(kind, QStringLiteral("error: ") + message, Tell::AfterTheError);
}

void RunRecords::finish(RecordKind kind, const QString& reason, Tell tell)
{
    std::vector<Open>& records = open_[index(kind)];
    const std::unique_ptr<RunRecord> record = std::move(records.back().record);
    records.pop_back();

    const TiPlot& plot = *c_.ui.iPlot1;
    record->finish(platform().now(), reason, {plot.pictureBytes(PictureFormat::Png), plot.pictureBytes(PictureFormat::Svg)});
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
        ShowInfo(text);
        return;
    }
    // The error goes on to the application's error dialog, which the operator should see
    // first: what stopped the run matters more than its record.
    QTimer::singleShot(0, c_.ui.iPlot1, [text] { ShowInfo(text); });
}

void RunRecords::exportChartData()
{
    const QString folder = lastExportFolder_.isEmpty()
                               ? platform().userFolder(PlatformServices::UserFolder::Documents)
                               : lastExportFolder_;
    QString filter = QStringLiteral("CSV (*.csv)");
    const QString typed = platform().askSaveFileName(QStringLiteral("Export Chart Data"),
                                                     folder + QStringLiteral("/Untitled"), filter, &filter);
    if (typed.isEmpty())
        return;
    const QString fileName = WithFilterEnding(typed, filter);
    const QString error = SaveFileContents(fileName, chartDataCsv(*c_.ui.iPlot1));
    if (!error.isEmpty()) {
        platform().showError(QStringLiteral("Cannot write the file \"%1\": %2").arg(fileName, error));
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
        platform().showInfo(QStringLiteral("No file manager could be started. The records are in\n%1")
                                .arg(QDir::toNativeSeparators(folder)));
}

}  // namespace velmar
