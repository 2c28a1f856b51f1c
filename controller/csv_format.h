#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <cstdint>
#include <initializer_list>

namespace velmar {

// The text of the records' CSV files (RFC 4180): comma-separated fields, lines ended by
// CR LF, a field quoted only when it holds a comma, a quote or a line break (its quotes then
// doubled). A spreadsheet and a script read them the same in any locale: numbers always use
// '.' as the decimal point and no group separators.

// The shortest text that reads back as the same double ("0.1", "652.5", "1e-05", "inf"); a
// NaN (a point without a value) is an empty field.
void appendCsvNumber(QByteArray& line, double value);
QString csvNumberText(double value);
// A text field, quoted when it has to be.
void appendCsvText(QByteArray& line, const QString& text);

// ISO 8601 with milliseconds and the offset from UTC, e.g. "2026-03-04T14:05:09.123+01:00":
// the instant `msecsSinceEpoch` as a clock `offsetSeconds` ahead of UTC shows it. Unambiguous
// across a change of daylight saving time.
void appendIsoTime(QByteArray& line, qint64 msecsSinceEpoch, int offsetSeconds);
// The same for a date-time in its own time spec (local time: the local offset then).
QString isoTime(const QDateTime& time);

// The local time's offset from UTC at an instant, as QDateTime's local time has it. Asking the
// C library costs microseconds, so the answer is kept for the quarter hour (UTC) it falls in:
// every time zone changes its offset only at quarter-hour boundaries.
class LocalUtcOffset {
public:
    int at(qint64 msecsSinceEpoch);

private:
    qint64 quarter_ = INT64_MIN;
    int offset_ = 0;
};

// One data line: the time, then the numbers, then CR LF, appended to `line`.
void appendCsvRow(QByteArray& line, qint64 msecsSinceEpoch, int offsetSeconds, std::initializer_list<double> values);
// A header line of plain names, then CR LF.
QByteArray csvHeader(std::initializer_list<const char*> names);

}  // namespace velmar
