#include "controller/csv_format.h"

#include <QLocale>
#include <QTimeZone>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace velmar;

TEST(CsvNumber, ShortestRoundTripWithAPointInEveryLocale)
{
    struct Case {
        double value;
        const char* text;
    } cases[] = {
        {0.1, "0.1"},    {652.5, "652.5"}, {12.0, "12"},        {-3.25, "-3.25"}, {1e-5, "1e-05"},
        {1e20, "1e+20"}, {0.0, "0"},       {2.0 / 3.0, "0.6666666666666666"},
        {std::numeric_limits<double>::quiet_NaN(), ""},
        {std::numeric_limits<double>::infinity(), "inf"},
    };
    const QLocale before;
    QLocale::setDefault(QLocale(QLocale::German));
    for (const Case& c : cases) {
        QByteArray line;
        appendCsvNumber(line, c.value);
        EXPECT_EQ(line.toStdString(), c.text) << c.value;
        if (std::isfinite(c.value)) {
            EXPECT_EQ(line.toDouble(), c.value);
        }
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
    };
    for (const Case& c : cases) {
        QByteArray line;
        appendCsvText(line, QString::fromUtf8(c.text));
        EXPECT_EQ(line.toStdString(), c.field);
    }
}

TEST(IsoTime, LocalTimeWithMillisecondsAndOffset)
{
    const QDate day(2026, 3, 4);
    const QTime clock(14, 5, 9, 7);
    EXPECT_EQ(isoTime(QDateTime(day, clock, QTimeZone(3600))),
              "2026-03-04T14:05:09.007+01:00");
    EXPECT_EQ(isoTime(QDateTime(day, clock, QTimeZone(-(5 * 3600 + 30 * 60)))),
              "2026-03-04T14:05:09.007-05:30");
    EXPECT_EQ(isoTime(QDateTime(day, clock, Qt::UTC)), "2026-03-04T14:05:09.007+00:00");

    // The machine's own zone reads back as the same instant.
    const QDateTime local(day, QTime(23, 59, 59, 999));
    const QString text = isoTime(local);
    EXPECT_EQ(text.left(23), "2026-03-04T23:59:59.999");
    EXPECT_EQ(QDateTime::fromString(text, Qt::ISODateWithMs).toMSecsSinceEpoch(), local.toMSecsSinceEpoch());
}

TEST(CsvRow, TimeThenNumbersThenCrLf)
{
    const QDateTime at(QDate(2026, 3, 4), QTime(14, 5, 9, 120), QTimeZone(7200));
    EXPECT_EQ(csvRow(at, {1.5, 652.5, std::nan("")}), "2026-03-04T14:05:09.120+02:00,1.5,652.5,\r\n");
    EXPECT_EQ(csvHeader({"time", "current_mA"}), "time,current_mA\r\n");
}
