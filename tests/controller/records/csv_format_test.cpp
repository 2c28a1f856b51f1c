#include "controller/records/csv_format.h"

#include <QLocale>
#include <QTimeZone>

#include <gtest/gtest.h>

#include <cmath>
#include <ctime>
#include <limits>

using namespace velmar;

// Numbers as a reader wants them: a '.' in every locale, no binary noise in the last digits,
// a column's own resolution where it has one.
TEST(CsvNumber, APointInEveryLocaleAndNoBinaryNoise)
{
    const int any = kCsvAnyResolution;
    struct Case {
        double value;
        int decimals;
        const char* text;
    } cases[] = {
        {0.1, any, "0.1"},
        {652.5, any, "652.5"},
        {12.0, any, "12"},
        {-3.25, any, "-3.25"},
        {1e-5, any, "1e-05"},
        {1e20, any, "1e+20"},
        {0.0, any, "0"},
        {2.0 / 3.0, any, "0.666666666666667"},
        {153.70000000000002, any, "153.7"},  // a sum of currents
        {11.999999999999996, any, "12"},     // the knob's volts
        {0.1 + 0.2, any, "0.3"},
        {150.26666666666668, 3, "150.267"},  // three samples averaged, to a microampere
        {1.0 / 3.0 * 3.0 * 1000.1, 3, "1000.1"},
        {12.0625, 4, "12.0625"},  // a sixteenth of a volt
        {7.0, 3, "7"},
        {-0.0001, 3, "0"},  // rounded away: no "-0"
        {-2.5, 1, "-2.5"},
        {4.0, 0, "4"},
        {std::numeric_limits<double>::quiet_NaN(), any, ""},
        {std::numeric_limits<double>::quiet_NaN(), 3, ""},
        {std::numeric_limits<double>::infinity(), any, "inf"},
        {std::numeric_limits<double>::infinity(), 3, "inf"},
    };
    const QLocale before;
    QLocale::setDefault(QLocale(QLocale::German));
    for (const Case& c : cases) {
        QByteArray line;
        appendCsvNumber(line, c.value, c.decimals);
        EXPECT_EQ(line.toStdString(), c.text) << c.value << " to " << c.decimals;
        EXPECT_EQ(csvNumberText(c.value, c.decimals).toStdString(), c.text);
    }
    QLocale::setDefault(before);
}

TEST(CsvText, QuotedOnlyWhenItHasTo)
{
    struct Case {
        const char* text;
        const char* field;
    } cases[] = {
        {"Title", "Title"},
        {"", ""},
        {"a,b", "\"a,b\""},
        {"say \"hi\"", "\"say \"\"hi\"\"\""},
        {"two\nlines", "\"two\nlines\""},
        {"Ni 5% / H\xc3\xa9", "Ni 5% / H\xc3\xa9"},
        {"a;b", "a;b"},
    };
    for (const Case& c : cases) {
        QByteArray line;
        appendCsvText(line, QString::fromUtf8(c.text));
        EXPECT_EQ(line.toStdString(), c.field);
    }
    // With ';' between fields, a ';' is what needs the quotes.
    QByteArray semicolon;
    appendCsvText(semicolon, "a;b", ';');
    appendCsvText(semicolon, "a,b", ';');
    EXPECT_EQ(semicolon, "\"a;b\"a,b");
}

TEST(IsoTime, TheInstantAsAClockAtTheOffsetShowsIt)
{
    const auto iso = [](const QDateTime& at, int offset) {
        QByteArray text;
        appendIsoTime(text, at.toMSecsSinceEpoch(), offset);
        return text.toStdString();
    };
    const QDateTime noonUtc(QDate(2026, 3, 4), QTime(12, 0, 9, 7), Qt::UTC);
    EXPECT_EQ(iso(noonUtc, 3600), "2026-03-04T13:00:09.007+01:00");
    EXPECT_EQ(iso(noonUtc, -(5 * 3600 + 30 * 60)), "2026-03-04T06:30:09.007-05:30");
    EXPECT_EQ(iso(noonUtc, 0), "2026-03-04T12:00:09.007+00:00");
    // Across midnight, a month's and a leap day's end, and before 1970.
    EXPECT_EQ(iso(QDateTime(QDate(2024, 2, 28), QTime(23, 30), Qt::UTC), 3600), "2024-02-29T00:30:00.000+01:00");
    EXPECT_EQ(iso(QDateTime(QDate(2025, 12, 31), QTime(23, 59, 59, 999), Qt::UTC), 60), "2026-01-01T00:00:59.999+00:01");
    EXPECT_EQ(iso(QDateTime(QDate(1969, 12, 31), QTime(23, 0), Qt::UTC), 0), "1969-12-31T23:00:00.000+00:00");

    // A date-time in its own spec, and the local clock read back as the same instant.
    EXPECT_EQ(isoTime(QDateTime(QDate(2026, 3, 4), QTime(14, 5, 9, 120), QTimeZone(7200))),
              "2026-03-04T14:05:09.120+02:00");
    const QDateTime local(QDate(2026, 3, 4), QTime(23, 59, 59, 999));
    const QString text = isoTime(local);
    EXPECT_EQ(text.left(23), "2026-03-04T23:59:59.999");
    EXPECT_EQ(QDateTime::fromString(text, Qt::ISODateWithMs).toMSecsSinceEpoch(), local.toMSecsSinceEpoch());
}

// The cached offset is the one QDateTime's local time has, across a whole year of quarter
// hours, whatever zone the machine is in (a zone with daylight saving is tried as well).
TEST(LocalUtcOffset, AgreesWithQDateTimesLocalTime)
{
    const QByteArray before = qgetenv("TZ");
    for (const char* zone : {"", "Europe/Berlin", "America/St_Johns", "Australia/Lord_Howe"}) {
        SCOPED_TRACE(zone);
        if (*zone)
            qputenv("TZ", zone);
        tzset();
        LocalUtcOffset offset;
        const qint64 start = QDateTime(QDate(2026, 1, 1), QTime(0, 0), Qt::UTC).toMSecsSinceEpoch();
        for (qint64 t = start; t < start + 366LL * 86400000; t += 7 * 60000 + 13) {
            const int expected = QDateTime::fromMSecsSinceEpoch(t, Qt::LocalTime).offsetFromUtc();
            if (offset.at(t) != expected) {
                ADD_FAILURE() << "at " << t << ": " << offset.at(t) << " instead of " << expected;
                break;
            }
        }
    }
    if (before.isNull())
        qunsetenv("TZ");
    else
        qputenv("TZ", before);
    tzset();
}

TEST(CsvRow, TimeThenNumbersThenCrLf)
{
    const qint64 at = QDateTime(QDate(2026, 3, 4), QTime(12, 5, 9, 120), Qt::UTC).toMSecsSinceEpoch();
    QByteArray line = "kept,";
    const CsvColumn columns[] = {{"elapsed_s", 3}, {"current_mA", 3}, {"total_mA", 3}};
    appendCsvRow(line, at, 7200, columns, {1.5, 652.50000000000011, std::nan("")});
    EXPECT_EQ(line, "kept,2026-03-04T14:05:09.120+02:00,1.5,652.5,\r\n");
    EXPECT_EQ(csvHeader({"time", "current_mA"}), "time,current_mA\r\n");
    EXPECT_EQ(csvHeader({"channel", "x"}, ';'), "channel;x\r\n");
    EXPECT_EQ(csvHeader(columns), "elapsed_s,current_mA,total_mA\r\n");
}
