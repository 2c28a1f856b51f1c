#pragma once

#include "controller/record_end.h"
#include "controller/record_folder.h"
#include "controller/run_record.h"

#include <QString>

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
    // Ends the newest record of `kind` with endReason(). A record that could not be written in
    // full is then told in one Information dialog.
    void end(RecordKind kind);
    // Ends it with "error: <message>"; the dialog, if any, follows the error's own.
    void endByError(RecordKind kind, const QString& message);

    bool recording(RecordKind kind) const { return !open_[index(kind)].empty(); }
    // The folder of the newest record of `kind`, empty when none is open.
    QString folder(RecordKind kind) const;

    // "File" > "Export Chart Data...": the chart's points as CSV, through the save dialog.
    void exportChartData();
    // "File" > "Open Records Folder": the records folder in the file manager.
    void openRecordsFolder();

private:
    struct Open {
        std::unique_ptr<RunRecord> record;
        std::uint32_t startTick = 0;
        std::optional<RecordEnd> noted;
        bool notedByFailSafe = false;
    };
    enum class Tell { Now, AfterTheError, LogOnly };

    static int index(RecordKind kind) { return static_cast<int>(kind); }
    Open* newest(RecordKind kind);
    QList<RecordSetting> settings(RecordKind kind) const;
    void finish(RecordKind kind, const QString& reason, Tell tell);
    const Open* newest(RecordKind kind) const;
    RecordEnd reasonNow(const Open& open) const;

    Controller& c_;
    std::vector<Open> open_[3];
    QString lastExportFolder_;
};

}  // namespace velmar
