#include "controller/records/run_record.h"

#include "platform/file_save.h"

namespace velmar {
namespace {

#ifndef VELMAR_VERSION
#define VELMAR_VERSION ""
#endif

const QString kRecord = QStringLiteral("Record");
const QString kSettings = QStringLiteral("Settings");
const QString kResult = QStringLiteral("Result");

// A found file has to explain itself without this program at hand.
const QByteArray kIniPreamble =
    "; A record of the Kestrom electropolishing instrument: data.csv holds the rows, chart.png\n"
    "; and chart.svg the chart at the end. Currents in mA, voltages in V, positions in motor\n"
    "; steps below the top and in mm, times ISO 8601 local time. An EndReason of \"incomplete\"\n"
    "; means the program ended before the record did.\n";

// The columns after the time, each with its unit and written to the resolution of what it
// holds: times to the millisecond, currents (three raw counts averaged) to a microampere, the
// cycle count in halves.
const CsvColumn kPolishColumns[] = {{"elapsed_s", 3}, {"cycle", 1}, {"current_mA", 3}, {"total_mA", 3}};
const CsvColumn kViTestColumns[] = {{"voltage_V", 0}, {"current_mA", 3}, {"zero_offset_counts", 0}};
const CsvColumn kManualColumns[] = {{"elapsed_s", 3}, {"current_mA", 3}};
constexpr int kCurrentDecimals = 3;

std::span<const CsvColumn> columnsFor(RecordKind kind)
{
    switch (kind) {
    case RecordKind::Polish:
        return kPolishColumns;
    case RecordKind::ViTest:
        return kViTestColumns;
    case RecordKind::Manual:
        break;
    }
    return kManualColumns;
}

}  // namespace

RunRecord::RunRecord(RecordKind kind, const QString& parent, const QDateTime& start, const QString& title,
                     const QList<RecordSetting>& settings)
    : kind_(kind), ini_(kIniPreamble)
{
    line_.reserve(128);
    const QString name = recordFolderName(start, kind);
    const CreatedFolder created = createRecordFolder(parent, name);
    folder_ = created.path.isEmpty() ? parent + QLatin1Char('/') + name : created.path;
    if (!created.error.isEmpty()) {
        fail(created.error);
        return;
    }
    folderMade_ = true;

    ini_.setValue(kRecord, QStringLiteral("Kind"), recordKindName(kind));
    ini_.setValue(kRecord, QStringLiteral("Version"), QStringLiteral(VELMAR_VERSION));
    ini_.setValue(kRecord, QStringLiteral("Start"), isoTime(start));
    ini_.setValue(kRecord, QStringLiteral("End"), QString());
    ini_.setValue(kRecord, QStringLiteral("EndReason"), QString::fromLatin1(Incomplete));
    ini_.setValue(kRecord, QStringLiteral("Title"), title);
    for (const RecordSetting& setting : settings)
        ini_.setValue(kSettings, setting.key, setting.value);
    saveIni();

    if (data_.open(folder_ + QStringLiteral("/data.csv")))
        data_.append("time," + csvHeader(columnsFor(kind)));
    else
        fail(QStringLiteral("data.csv: ") + data_.error());
}

void RunRecord::addRow(qint64 time, std::initializer_list<double> values)
{
    if (finished_)
        return;
    // The run's own count, whatever reached the file: when the writer fails (a full disk) is
    // up to its thread, and the count must not depend on that.
    ++rows_;
    // Without a file to go to, a row is not even formatted: a failed record costs the run
    // nothing.
    if (!data_.isOpen() || data_.failed())
        return;
    line_.truncate(0);
    appendCsvRow(line_, time, localOffset_.at(time), columnsFor(kind_), values);
    data_.append(line_);
}

void RunRecord::addPolishRow(qint64 time, double elapsedSeconds, double cycle, double current, double total)
{
    addRow(time, {elapsedSeconds, cycle, current, total});
    lastCurrent_ = current;
    total_ = total;
    cycles_ = cycle;
}

void RunRecord::addViTestRow(qint64 time, int volts, double current, int zeroOffset)
{
    addRow(time, {static_cast<double>(volts), current, static_cast<double>(zeroOffset)});
    lastCurrent_ = current;
}

void RunRecord::addManualRow(qint64 time, double elapsedSeconds, double current)
{
    addRow(time, {elapsedSeconds, current});
    lastCurrent_ = current;
}

void RunRecord::finish(const QDateTime& end, const QString& reason, const RecordPictures& pictures,
                       const QList<RecordSetting>& results)
{
    if (finished_)
        return;
    finished_ = true;
    if (!folderMade_)
        return;
    if (data_.isOpen() && !data_.close())
        fail(QStringLiteral("data.csv: ") + data_.error());
    writeFile(QStringLiteral("chart.png"), pictures.png);
    writeFile(QStringLiteral("chart.svg"), pictures.svg);

    ini_.setValue(kRecord, QStringLiteral("End"), isoTime(end));
    ini_.setValue(kRecord, QStringLiteral("EndReason"), reason);
    ini_.setValue(kResult, QStringLiteral("Rows"), QString::number(rows_));
    ini_.setValue(kResult, QStringLiteral("LastCurrent"), csvNumberText(lastCurrent_, kCurrentDecimals));
    if (kind_ == RecordKind::Polish) {
        ini_.setValue(kResult, QStringLiteral("Total"), csvNumberText(total_, kCurrentDecimals));
        ini_.setValue(kResult, QStringLiteral("Cycles"), csvNumberText(cycles_, 1));
    }
    for (const RecordSetting& result : results)
        ini_.setValue(kResult, result.key, result.value);
    saveIni();
}

QString RunRecord::failure() const
{
    if (!failure_.isEmpty())
        return failure_;
    // The writer fails on its own thread; its reason is picked up here.
    return data_.failed() ? QStringLiteral("data.csv: ") + data_.error() : QString();
}

bool RunRecord::saveIni()
{
    QString error;
    if (ini_.save(folder_ + QStringLiteral("/record.ini"), &error))
        return true;
    fail(QStringLiteral("record.ini: ") + error);
    return false;
}

void RunRecord::writeFile(const QString& name, const QByteArray& bytes)
{
    if (bytes.isEmpty()) {
        fail(name + QStringLiteral(": the chart could not be drawn"));
        return;
    }
    const QString error = SaveFileContents(folder_ + QLatin1Char('/') + name, bytes);
    if (!error.isEmpty())
        fail(name + QStringLiteral(": ") + error);
}

void RunRecord::fail(const QString& reason)
{
    if (failure_.isEmpty())
        failure_ = reason;
}

}  // namespace velmar
