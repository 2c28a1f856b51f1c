#include "controller/csv_format.h"

#include <charconv>
#include <cmath>
#include <cstdlib>

namespace velmar {
namespace {

const QByteArray kLineEnd("\r\n");

void appendTwoDigits(QByteArray& line, int value)
{
    line += char('0' + value / 10 % 10);
    line += char('0' + value % 10);
}

}  // namespace

void appendCsvNumber(QByteArray& line, double value)
{
    if (std::isnan(value))
        return;
    // std::to_chars ignores the locale and gives the shortest round-trip form.
    char text[32];
    const auto result = std::to_chars(text, text + sizeof text, value);
    line.append(text, result.ptr - text);
}

QString csvNumberText(double value)
{
    QByteArray text;
    appendCsvNumber(text, value);
    return QString::fromLatin1(text);
}

void appendCsvText(QByteArray& line, const QString& text)
{
    const QByteArray bytes = text.toUtf8();
    if (!bytes.contains(',') && !bytes.contains('"') && !bytes.contains('\n') && !bytes.contains('\r')) {
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

void appendIsoTime(QByteArray& line, const QDateTime& time)
{
    // By hand: QDateTime::toString() with a format is several times slower, and this runs
    // for every row on the window's thread.
    const QDate date = time.date();
    const QTime clock = time.time();
    const int year = date.year();
    appendTwoDigits(line, year / 100);
    appendTwoDigits(line, year % 100);
    line += '-';
    appendTwoDigits(line, date.month());
    line += '-';
    appendTwoDigits(line, date.day());
    line += 'T';
    appendTwoDigits(line, clock.hour());
    line += ':';
    appendTwoDigits(line, clock.minute());
    line += ':';
    appendTwoDigits(line, clock.second());
    line += '.';
    line += char('0' + clock.msec() / 100);
    appendTwoDigits(line, clock.msec() % 100);
    const int offset = time.offsetFromUtc() / 60;
    line += offset < 0 ? '-' : '+';
    appendTwoDigits(line, std::abs(offset) / 60);
    line += ':';
    appendTwoDigits(line, std::abs(offset) % 60);
}

QString isoTime(const QDateTime& time)
{
    QByteArray text;
    appendIsoTime(text, time);
    return QString::fromLatin1(text);
}

QByteArray csvRow(const QDateTime& time, std::initializer_list<double> values)
{
    QByteArray line;
    line.reserve(96);
    appendIsoTime(line, time);
    for (const double value : values) {
        line += ',';
        appendCsvNumber(line, value);
    }
    line += kLineEnd;
    return line;
}

QByteArray csvHeader(std::initializer_list<const char*> names)
{
    QByteArray line;
    for (const char* name : names) {
        if (!line.isEmpty())
            line += ',';
        line += name;
    }
    line += kLineEnd;
    return line;
}

}  // namespace velmar
