#include "platform/conversions.h"

#include <QLocale>

#include <gtest/gtest.h>

using namespace velmar;

TEST(StrToInt, AcceptsBlanksSignAndHex)
{
    struct Case {
        const char* text;
        int value;
    } cases[] = {{"156", 156},      {"  -12", -12},   {"+7", 7},      {"0x9C", 156},
                 {"$9c", 156},      {"-$10", -16},    {"0", 0},       {"2147483647", 2147483647},
                 {"-2147483648", -2147483647 - 1},   {"0xFFFFFFFF", -1}};
    for (const Case& c : cases)
        EXPECT_EQ(StrToInt(QString::fromLatin1(c.text)), c.value) << c.text;
}

TEST(StrToInt, RefusesEverythingElseWithTheRuntimeMessage)
{
    for (const char* text : {"", " ", "2.5", "abc", "12 ", "0x", "$", "-", "2147483648", "1e3", "0x1FFFFFFFF"}) {
        int value = 0;
        EXPECT_FALSE(TryStrToInt(QString::fromLatin1(text), value)) << text;
    }
    try {
        StrToInt(QStringLiteral("2.5"));
        FAIL();
    } catch (const ConversionError& e) {
        EXPECT_EQ(e.message(), QStringLiteral("'2.5' is not a valid integer value"));
    }
}

TEST(StrToFloat, UsesTheLocaleSeparator)
{
    EXPECT_DOUBLE_EQ(StrToFloat(QStringLiteral(" 12.5 ")), 12.5);
    EXPECT_DOUBLE_EQ(StrToFloat(QStringLiteral("-1e3")), -1000.0);
    for (const char* text : {"", "abc", "1,5", "nan", "inf", "1e", "1e400", "0x10"}) {
        double value = 0;
        EXPECT_FALSE(TryStrToFloat(QString::fromLatin1(text), value)) << text;
    }
    const QLocale before;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_DOUBLE_EQ(StrToFloat(QStringLiteral("3,1")), 3.1);
    try {
        StrToFloat(QStringLiteral("12.5"));
        ADD_FAILURE();
    } catch (const ConversionError& e) {
        EXPECT_EQ(e.message(), QStringLiteral("'12.5' is not a valid floating point value"));
    }
    QLocale::setDefault(before);
}
