#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QLocale>
#include <QString>

#include <cstdint>
#include <initializer_list>
#include <span>

namespace velmar {

// The text of the records' CSV files (RFC 4180): comma-separated fields, lines ended by
// CR LF, a field quoted only when it holds the separator, a quote or a line break (its quotes
// then doubled). A spreadsheet and a script read them the same in any locale: numbers always
// use '.' as the decimal point and no group separators.

// Significant digits of a number written without a resolution of its own: all a measured
// value can carry, and none of the binary noise of its last bits (153.7, not
// 153.70000000000002).
inline constexpr int kCsvSignificantDigits = 15;
inline constexpr int kCsvAnyResolution = -1;

// `value` rounded to `decimals` places (kCsvAnyResolution: to kCsvSignificantDigits
// significant digits), trailing zeros dropped ("0.1", "652.5", "12", "1e-05", "inf"); a NaN
// (a point without a value) is an empty field.
void appendCsvNumber(QByteArray& line, double value, int decimals = kCsvAnyResolution);
QString csvNumberText(double value, int decimals = kCsvAnyResolution);
// A text field, quoted when it has to be.
void appendCsvText(QByteArray& line, const QString& text, char separator = ',');

// The other way of writing a CSV file: for a spreadsheet that reads numbers in the locale's
// form, ';' between fields and the locale's decimal separator (2,334 under German).
struct CsvDialect {
    char separator = ',';
    QByteArray decimalPoint = ".";
};
CsvDialect localeCsvDialect(const QLocale& locale);
// appendCsvNumber() in `dialect`.
void appendCsvNumber(QByteArray& line, double value, const CsvDialect& dialect);

// One column of a record's data: its name with its unit ("current_mA"), and the places it is
// written to, at the resolution of what it holds.
struct CsvColumn {
    const char* name;
    int decimals = kCsvAnyResolution;
};

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

// One data line: the time, then the numbers, each to its column's places, then CR LF,
// appended to `line`. `columns` are those after the time.
void appendCsvRow(QByteArray& line, qint64 msecsSinceEpoch, int offsetSeconds, std::span<const CsvColumn> columns,
                  std::initializer_list<double> values);
// A header line of plain names, then CR LF.
QByteArray csvHeader(std::initializer_list<const char*> names, char separator = ',');
QByteArray csvHeader(std::span<const CsvColumn> columns);

}  // namespace velmar
