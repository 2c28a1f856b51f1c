#pragma once

#include "controller/record_folder.h"
#include "controller/run_record.h"

#include <QString>

#include <cstdint>
#include <memory>
#include <vector>

namespace velmar {

class Controller;

// How a record ended, as record.ini says it.
namespace RecordEnd {
inline constexpr const char* NumberOfCycles = "number-of-cycles";
inline constexpr const char* MinimumCurrent = "minimum-current";
inline constexpr const char* TotalCharge = "total-charge";
inline constexpr const char* Stopped = "stopped";            // the operator's stop
inline constexpr const char* Completed = "completed";        // a test that went through its range
inline constexpr const char* WindowClosed = "window-closed";
inline constexpr const char* LinkLost = "link-lost";
inline constexpr const char* ProgramEnded = "program-ended";
}  // namespace RecordEnd

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
    void noteEnd(RecordKind kind, const char* reason);
    // Ends the newest record of `kind`: "link-lost" when the link has failed, "program-ended"
    // when the program is ending, else the reason noted, else "stopped". A record that could
    // not be written in full is then told in one Information dialog.
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
    };
    enum class Tell { Now, AfterTheError, LogOnly };

    static int index(RecordKind kind) { return static_cast<int>(kind); }
    Open* newest(RecordKind kind);
    QList<RecordSetting> settings(RecordKind kind) const;
    void finish(RecordKind kind, const QString& reason, Tell tell);
    QString reasonNow(const RunRecord& record) const;

    Controller& c_;
    std::vector<Open> open_[3];
    QString lastExportFolder_;
};

}  // namespace velmar
