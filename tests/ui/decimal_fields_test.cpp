#include "tests/support/recording_platform.h"
#include "platform/conversions.h"
#include "ui/validate_number.h"

#include <QLocale>

#include <gtest/gtest.h>

#include <string>

using namespace velmar;

namespace {

// What a text typed into a checked field becomes: the number check's message (the field is
// then emptied and never converted), or what the run reads from it: the value, or the
// conversion's message. `real` picks the conversion of "Minimum Current" and "Total Charge";
// the others are whole numbers.
QString outcome(const QString& text, bool real)
{
    test::RecordingPlatform platform;
    if (!ValidateNumber(text))
        return platform.dialogs.join(QLatin1Char('|'));
    try {
        return QString::number(real ? FieldToFloat(text) : StrToInt(text));
    } catch (const ConversionError& e) {
        return e.message();
    }
}

struct Case {
    const char* text;
    bool real;
    const char* pointLocale;  // C
    const char* commaLocale;  // de_DE
};

// Either separator reads the same in a comma locale; the point alone in a point locale. One
// separator per number, never a group separator; whole-number fields refuse both.
const Case Cases[] = {
    {"12.5", true, "12.5", "12.5"},
    {"12,5", true, "Info: 12,5 not a valid number", "12.5"},
    {" -1,5e2", true, "Info:  -1,5e2 not a valid number", "-150"},
    {".5", true, "0.5", "0.5"},
    {",5", true, "Info: ,5 not a valid number", "0.5"},
    {"5,", true, "Info: 5, not a valid number", "5"},
    {"1.5E3", true, "1500", "1500"},
    {"1.234,5", true, "Info: 1.234,5 not a valid number", "Info: 1.234,5 not a valid number"},
    {"1,234.5", true, "Info: 1,234.5 not a valid number", "Info: 1,234.5 not a valid number"},
    {"1,2,3", true, "Info: 1,2,3 not a valid number", "Info: 1,2,3 not a valid number"},
    {"1.2.3", true, "Info: 1.2.3 not a valid number", "Info: 1.2.3 not a valid number"},
    {",", true, "Info: , not a valid number", "',' is not a valid floating point value"},
    {".", true, "'.' is not a valid floating point value", "'.' is not a valid floating point value"},
    {"7", false, "7", "7"},
    {"2.5", false, "'2.5' is not a valid integer value", "'2.5' is not a valid integer value"},
    {"2,5", false, "Info: 2,5 not a valid number", "'2,5' is not a valid integer value"},
};

void expectTable(const QLocale& locale, bool comma)
{
    const QLocale before;
    QLocale::setDefault(locale);
    for (const Case& c : Cases) {
        const QString text = QString::fromLatin1(c.text);
        EXPECT_EQ(outcome(text, c.real).toStdString(), comma ? c.commaLocale : c.pointLocale)
            << locale.name().toStdString() << " \"" << c.text << '"';
    }
    QLocale::setDefault(before);
}

}  // namespace

TEST(DecimalFields, ReadThePointEverywhereAndTheCommaInACommaLocale)
{
    expectTable(QLocale::c(), false);
    expectTable(QLocale(QLocale::German, QLocale::Germany), true);
}

// The program takes its locale from the environment (LC_ALL, LANG), as Qt reads it: CTest runs
// this once more under LC_ALL=C and LC_ALL=de_DE.UTF-8, naming the one expected. Qt parses the
// variables itself, so no generated system locale is needed.
TEST(DecimalFields, FollowTheEnvironmentsLocale)
{
    const QString expected = qEnvironmentVariable("VELMAR_EXPECT_LOCALE");
    if (expected.isEmpty())
        GTEST_SKIP() << "run by CTest with the locale in the environment";
    const QLocale system = QLocale::system();
    ASSERT_EQ(system.name(), expected);
    expectTable(system, system.decimalPoint() == QStringLiteral(","));
}
