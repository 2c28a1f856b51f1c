#pragma once

#include "controller/records/csv_format.h"
#include "controller/records/ini_file.h"
#include "controller/records/record_folder.h"
#include "controller/records/record_writer.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>

namespace velmar {

// One key of a record's [Settings], in the order written.
struct RecordSetting {
    QString key;
    QString value;
};

// The chart as it stood at the end of a record, as file contents.
struct RecordPictures {
    QByteArray png;
    QByteArray svg;
};

// The files of one record, written as the run goes: a folder of its own with
//   data.csv     one line per row, appended as it arrives (RecordWriter);
//   record.ini   what was recorded, with what settings, and how it ended; written at the
//                start with the end "incomplete", replaced at the end;
//   chart.png, chart.svg   the chart at the end.
// Pure data in, files out: the caller reads the controls and the clock. A failure anywhere
// is kept (failure()) and never thrown: the run goes on as if there were no record.
class RunRecord {
public:
    static constexpr const char* Incomplete = "incomplete";

    // Makes the folder below `parent` and writes record.ini and the header line of data.csv.
    RunRecord(RecordKind kind, const QString& parent, const QDateTime& start, const QString& title,
              const QList<RecordSetting>& settings);
    RunRecord(const RunRecord&) = delete;
    RunRecord& operator=(const RunRecord&) = delete;

    RecordKind kind() const { return kind_; }
    // The record's folder (the one it was meant to get, when it could not be made).
    QString folder() const { return folder_; }

    // Rows, each at its time in milliseconds since 1970 (UTC), written in local time.
    // A polish run: one row per half-cycle evaluation, as charted, its cycle and total
    // counted from the start of the run.
    void addPolishRow(qint64 time, double elapsedSeconds, double cycle, double current, double total);
    // A volt-versus-current test: one row per step.
    void addViTestRow(qint64 time, int volts, double current, int zeroOffset);
    // A manual recording: one row per charted point.
    void addManualRow(qint64 time, double elapsedSeconds, double current);
    int rows() const { return rows_; }

    // Closes data.csv (fsync), writes the pictures and the end into record.ini, with `results`
    // after the rows' own in [Result]. Once.
    void finish(const QDateTime& end, const QString& reason, const RecordPictures& pictures,
                const QList<RecordSetting>& results = {});
    bool finished() const { return finished_; }

    // Why the record is not whole: empty while everything asked for was written.
    QString failure() const;

private:
    void addRow(qint64 time, std::initializer_list<double> values);
    bool saveIni();
    void writeFile(const QString& name, const QByteArray& bytes);
    void fail(const QString& reason);

    RecordKind kind_;
    QString folder_;
    IniFile ini_;
    RecordWriter data_;
    LocalUtcOffset localOffset_;
    QByteArray line_;  // one row's text, its storage kept from row to row
    bool folderMade_ = false;
    bool finished_ = false;
    int rows_ = 0;
    double lastCurrent_ = qQNaN();
    double total_ = qQNaN();
    double cycles_ = qQNaN();
    QString failure_;
};

}  // namespace velmar
