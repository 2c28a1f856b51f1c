#pragma once

#include <QLoggingCategory>
#include <QString>

// The program's own log: what went over the wire, how the channels were found and opened, and
// what a run did. It sits beside the platform seam so the device and controller layers can
// write to it without knowing where it goes.
//
//   velmar.wire    every command sent and every reply's bytes (info); channel-B frame counts
//                  (debug, one summary line every 10 s)
//   velmar.device  discovery and open decisions (info; the reasons behind a failure at warning)
//   velmar.run     run start, finish criterion, stop (info)
//   velmar.dialog  the text of every dialog shown (info)
//   velmar.settings  the settings file: what was not read or replaced, and "Unable to write" (warning)
Q_DECLARE_LOGGING_CATEGORY(lcWire)
Q_DECLARE_LOGGING_CATEGORY(lcDevice)
Q_DECLARE_LOGGING_CATEGORY(lcRun)
Q_DECLARE_LOGGING_CATEGORY(lcDialog)
Q_DECLARE_LOGGING_CATEGORY(lcSettings)

namespace velmar {

struct LogOptions {
    QString file;          // append the log here; empty: no file
    bool verbose = false;  // debug level instead of info
};

// Installs the message handler and the level filter for the whole process. Without a file or
// verbose, only warnings and errors are written, to stderr; with a file, every line enabled
// goes to it and warnings and errors also to stderr. Returns false, with the reason in
// `error`, when the file cannot be opened for appending; nothing is installed then.
bool StartLog(const LogOptions& options, QString* error);

// Milliseconds on the monotonic clock since the log started (the timestamp of every line).
qint64 LogClockMs();

// One log line, without its line break:
//   2025-03-04T10:11:12.345+01:00 12345 info velmar.wire: A sent "TP\r"
QString FormatLogLine(const QDateTime& when, qint64 monotonicMs, QtMsgType type, const char* category,
                      const QString& message);

// Bytes as printable text for the log: printable ASCII as is, \r \n \t and \xNN escapes, quoted.
QString LogBytes(const char* bytes, qsizetype n);

}  // namespace velmar
