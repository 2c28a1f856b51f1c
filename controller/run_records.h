#pragma once

#include "controller/records/record_end.h"
#include "controller/records/record_folder.h"
#include "controller/records/run_record.h"

#include <QString>
#include <QtNumeric>

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

namespace velmar {

class Controller;

// The records of what the operator runs: every polish run, volt-versus-current test and
// manual recording gets a folder of its own below recordsFolder() (RunRecord), written as it
// goes. The loops call in at their start, once per charted row and at their end; this part
// reads the settings from the controls and the clock, so the loops hand over only what they
// chart. Records never touch the wire, the run's dialogs or its timing: a record that cannot
// be written is told once, after its run has returned, and the run is as it would have been.
class RunRecords {
public:
    explicit RunRecords(Controller& c) : c_(c) {}
    // Ends a manual recording still open when the program goes: "link-lost" or
    // "program-ended", told only in the log.
    ~RunRecords();
    RunRecords(const RunRecords&) = delete;
    RunRecords& operator=(const RunRecords&) = delete;

    // A record of `kind` starts, with the settings in force now. Runs nest (a run started
    // while the last one winds down): rows go to the newest record of the kind.
    void begin(RecordKind kind);

    // One row each, the values as the chart receives them.
    void polishRow(double cycle, double current, double total);
    void viTestRow(int volts, double current, int zeroOffset);
    void manualRow(double elapsedSeconds, double current);

    // How the newest record of `kind` will end, when that is known before its loop returns
    // (a finish criterion, a stop click, the window's close). The first reason stands.
    void noteEnd(RecordKind kind, RecordEnd reason);
    // The fail-safe has stopped the run and test in progress for `reason` (a lost link, a
    // silent instrument, a stalled stream, the program's end). Unless something else had
    // already ended them, that is how their records end, whatever happens while they wind down.
    void noteSupervisionEnded(RecordEnd reason);
    // How the newest record of `kind` ends if it ends now: the fail-safe's reason, else
    // "link-lost" when the link has failed, "program-ended" when the program is ending, else
    // the reason noted, else "stopped".
    RecordEnd endReason(RecordKind kind) const;
    // The tick count at which the newest record of `kind` was given its end (the moment a
    // criterion was met or the stop was asked, not when the operator answered the dialog that
    // followed); nothing before that. Its End, and the time of any row after it, are this moment.
    std::optional<std::uint32_t> endTick(RecordKind kind) const;
    // Ends the newest record of `kind` with endReason(). A record that could not be written in
    // full is then told in one Information dialog.
    void end(RecordKind kind);
    // Ends it with "error: <message>"; the dialog, if any, follows the error's own.
    void endByError(RecordKind kind, const QString& message);

    bool recording(RecordKind kind) const { return !open_[index(kind)].empty(); }
    // The folder of the newest record of `kind`, empty when none is open.
    QString folder(RecordKind kind) const;

    // "File" > "Export Chart Data...": the chart's points as CSV, through the save dialog; the
    // filter "CSV for this locale" writes them for a spreadsheet in the locale's number form.
    void exportChartData();
    // "File" > "Open Records Folder": the records folder in the file manager.
    void openRecordsFolder();

private:
    struct Open {
        std::unique_ptr<RunRecord> record;
        std::uint32_t startTick = 0;
        std::optional<RecordEnd> noted;
        bool notedByFailSafe = false;
        // When the end was noted: the tick count and the wall clock.
        std::uint32_t endTick = 0;
        qint64 endMSecs = 0;
        // The run's own count: a chart that was not cleared carries on the last run's.
        long long evaluations = 0;
        double total = 0.0;
        std::vector<RecordEnd> criteriaMet;
        // The X range of the run's points on the chart, for pictures of the whole run.
        double xLow = qInf();
        double xHigh = -qInf();
    };
    enum class Tell { Now, AfterTheError, LogOnly };

    static int index(RecordKind kind) { return static_cast<int>(kind); }
    Open* newest(RecordKind kind);
    QList<RecordSetting> settings(RecordKind kind) const;
    void note(Open& open, RecordEnd reason, bool byFailSafe);
    // The time of a row now: the end's once the end has been noted.
    qint64 rowTime(const Open& open) const;
    double elapsedSeconds(const Open& open) const;
    QList<RecordSetting> results(RecordKind kind, const Open& open) const;
    RecordPictures wholeRunPictures(const Open& open) const;
    void finish(RecordKind kind, const QString& reason, Tell tell);
    const Open* newest(RecordKind kind) const;
    RecordEnd reasonNow(const Open& open) const;

    Controller& c_;
    std::vector<Open> open_[3];
    QString lastExportFolder_;
};

}  // namespace velmar
