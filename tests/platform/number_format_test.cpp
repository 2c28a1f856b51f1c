#include "platform/number_format.h"

#include <QLocale>

#include <gtest/gtest.h>

using namespace velmar;

TEST(FormatNumber, RoundsOnceToDigitsAndDecimals)
{
    struct Case {
        double x;
        int p, d;
        const char* text;
    } cases[] = {
        {123.456, 4, 2, "123.50"},  {0.9984, 4, 2, "1.00"},     {1234.4, 4, 0, "1,234"},
        {12345.6, 4, 0, "1.235E4"}, {12.0, 4, 1, "12.0"},       {-0.5, 4, 2, "-0.50"},
        {0.125, 4, 2, "0.13"},      {-0.125, 4, 2, "-0.13"},    {0.0, 4, 2, "0.00"},
        {-0.001, 4, 2, "0.00"},     {0.005, 4, 2, "0.01"},      {9999.6, 4, 0, "1E4"},
        {652.5, 4, 2, "652.50"},    {14.9952, 4, 2, "15.00"},   {1.5, 4, 2, "1.50"},
        {999.999, 4, 2, "1,000.00"}, {-1234.4, 4, 0, "-1,234"}, {1.005, 4, 2, "1.00"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FormatNumber(c.x, c.p, c.d).toStdString(), c.text) << c.x << " (" << c.p << "," << c.d << ")";
}

TEST(FormatGeneral, ShortestFormWithScientificEnds)
{
    struct Case {
        double x;
        const char* text;
    } cases[] = {
        {1.5, "1.5"},     {2.0, "2"},         {652.5, "652.5"},   {0.0, "0"},
        {1e-5, "1E-5"},   {1.5e20, "1.5E20"}, {0.0001, "0.0001"}, {-2.25, "-2.25"},
        {0.1, "0.1"},     {1.0 / 3, "0.333333333333333"},         {123456789012345.0, "123456789012345"},
        {1234567890123456.0, "1.23456789012346E15"},             {-1e-7, "-1E-7"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FormatGeneral(c.x).toStdString(), c.text) << c.x;
}

TEST(FormatNumber, FollowsTheUsersLocale)
{
    const QLocale before;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(FormatNumber(1234.4, 4, 0), QStringLiteral("1.234"));
    EXPECT_EQ(FormatNumber(1.5, 4, 2), QStringLiteral("1,50"));
    EXPECT_EQ(FormatGeneral(652.5), QStringLiteral("652,5"));
    QLocale::setDefault(before);
}

TEST(RoundToInt, NearestWithTiesToEven)
{
    EXPECT_EQ(RoundToInt(0.5), 0);
    EXPECT_EQ(RoundToInt(1.5), 2);
    EXPECT_EQ(RoundToInt(2.5), 2);
    EXPECT_EQ(RoundToInt(-2.5), -2);
    EXPECT_EQ(RoundToInt(191.6), 192);
    EXPECT_EQ(RoundToInt(1e12), 2147483647);
}
