#include "controller/records/csv_format.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <ctime>

namespace velmar {
namespace {

constexpr qint64 kMsPerDay = 86400000;
constexpr qint64 kMsPerQuarterHour = 900000;

qint64 floorDiv(qint64 a, qint64 b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0))); }

void appendTwoDigits(QByteArray& line, int value)
{
    line += char('0' + value / 10 % 10);
    line += char('0' + value % 10);
}

struct CivilDate {
    qint64 year;
    int month, day;
};

// Days since 1970-01-01 to a proleptic Gregorian date (H. Hinnant's civil_from_days).
CivilDate civilFromDays(qint64 days)
{
    days += 719468;
    const qint64 era = floorDiv(days, 146097);
    const qint64 dayOfEra = days - era * 146097;
    const qint64 yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const qint64 dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const qint64 monthIndex = (5 * dayOfYear + 2) / 153;
    const int day = static_cast<int>(dayOfYear - (153 * monthIndex + 2) / 5 + 1);
    const int month = static_cast<int>(monthIndex < 10 ? monthIndex + 3 : monthIndex - 9);
    return {yearOfEra + era * 400 + (month <= 2), month, day};
}

}  // namespace

void appendCsvNumber(QByteArray& line, double value, int decimals)
{
    if (std::isnan(value))
        return;
    // std::to_chars ignores the locale.
    char text[400];
    if (decimals < 0 || !std::isfinite(value)) {
        const auto result = std::to_chars(text, text + sizeof text, value, std::chars_format::general,
                                          kCsvSignificantDigits);
        line.append(text, result.ptr - text);
        return;
    }
    const auto result = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, decimals);
    std::size_t size = static_cast<std::size_t>(result.ptr - text);
    if (decimals > 0) {
        while (text[size - 1] == '0')
            --size;
        if (text[size - 1] == '.')
            --size;
    }
    // A small negative value rounded away is no negative zero.
    if (size == 2 && text[0] == '-' && text[1] == '0')
        line += '0';
    else
        line.append(text, static_cast<qsizetype>(size));
}

QString csvNumberText(double value, int decimals)
{
    QByteArray text;
    appendCsvNumber(text, value, decimals);
    return QString::fromLatin1(text);
}

void appendCsvText(QByteArray& line, const QString& text, char separator)
{
    const QByteArray bytes = text.toUtf8();
    if (!bytes.contains(separator) && !bytes.contains('"') && !bytes.contains('\n') && !bytes.contains('\r')) {
        line += bytes;
        return;
    }
    line += '"';
    for (const char ch : bytes) {
        if (ch == '"')
            line += '"';
        line += ch;
    }
    line += '"';
}

CsvDialect localeCsvDialect(const QLocale& locale) { return {';', locale.decimalPoint().toUtf8()}; }

void appendCsvNumber(QByteArray& line, double value, const CsvDialect& dialect)
{
    const qsizetype start = line.size();
    appendCsvNumber(line, value);
    if (dialect.decimalPoint == ".")
        return;
    if (const qsizetype point = line.indexOf('.', start); point >= 0)
        line.replace(point, 1, dialect.decimalPoint);
}

void appendIsoTime(QByteArray& line, qint64 msecsSinceEpoch, int offsetSeconds)
{
    // By integer arithmetic: QDateTime's own conversions cost microseconds, and this runs for
    // every row on the window's thread.
    const qint64 local = msecsSinceEpoch + qint64(offsetSeconds) * 1000;
    const qint64 days = floorDiv(local, kMsPerDay);
    const int msOfDay = static_cast<int>(local - days * kMsPerDay);
    const CivilDate date = civilFromDays(days);
    const int year = static_cast<int>(date.year);
    appendTwoDigits(line, year / 100);
    appendTwoDigits(line, year % 100);
    line += '-';
    appendTwoDigits(line, date.month);
    line += '-';
    appendTwoDigits(line, date.day);
    line += 'T';
    appendTwoDigits(line, msOfDay / 3600000);
    line += ':';
    appendTwoDigits(line, msOfDay / 60000 % 60);
    line += ':';
    appendTwoDigits(line, msOfDay / 1000 % 60);
    line += '.';
    line += char('0' + msOfDay % 1000 / 100);
    appendTwoDigits(line, msOfDay % 100);
    const int minutes = std::abs(offsetSeconds) / 60;
    line += offsetSeconds < 0 ? '-' : '+';
    appendTwoDigits(line, minutes / 60);
    line += ':';
    appendTwoDigits(line, minutes % 60);
}

QString isoTime(const QDateTime& time)
{
    QByteArray text;
    appendIsoTime(text, time.toMSecsSinceEpoch(), time.offsetFromUtc());
    return QString::fromLatin1(text);
}

int LocalUtcOffset::at(qint64 msecsSinceEpoch)
{
    const qint64 quarter = floorDiv(msecsSinceEpoch, kMsPerQuarterHour);
    if (quarter != quarter_) {
        // The C library's local time, which QDateTime's local time is too.
        const std::time_t seconds = static_cast<std::time_t>(quarter * (kMsPerQuarterHour / 1000));
        std::tm parts{};
        offset_ = localtime_r(&seconds, &parts) ? static_cast<int>(parts.tm_gmtoff) : 0;
        quarter_ = quarter;
    }
    return offset_;
}

void appendCsvRow(QByteArray& line, qint64 msecsSinceEpoch, int offsetSeconds, std::span<const CsvColumn> columns,
                  std::initializer_list<double> values)
{
    appendIsoTime(line, msecsSinceEpoch, offsetSeconds);
    std::size_t column = 0;
    for (const double value : values) {
        line += ',';
        appendCsvNumber(line, value, column < columns.size() ? columns[column].decimals : kCsvAnyResolution);
        ++column;
    }
    line += "\r\n";
}

QByteArray csvHeader(std::initializer_list<const char*> names, char separator)
{
    QByteArray line;
    for (const char* name : names) {
        if (!line.isEmpty())
            line += separator;
        line += name;
    }
    line += "\r\n";
    return line;
}

QByteArray csvHeader(std::span<const CsvColumn> columns)
{
    QByteArray line;
    for (const CsvColumn& column : columns)
        line += column.name + QByteArray(",");
    line.chop(1);
    line += "\r\n";
    return line;
}

}  // namespace velmar
