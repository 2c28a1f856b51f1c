#include "tests/support/recording_platform.h"
#include "ui/validate_number.h"

#include <gtest/gtest.h>

using namespace velmar;

TEST(IsDecimalNumber, WholeTextMustMatchTheGrammar)
{
    struct Case {
        const char* text;
        bool valid;
    } cases[] = {
        {"5", true},      {"5.", true},     {".5", true},     {".", true},     {"12.5", true},
        {" 7", true},     {"-3", true},     {"+3", true},     {"1e5", true},   {"1E-5", true},
        {"e5", true},     {"-.5e+3", true}, {"7 ", false},    {"-", false},    {"+", false},
        {"   ", false},   {"1,5", false},   {"1a", false},    {"1e", false},   {"1e+", false},
        {"1.2.3", false}, {"\t5", false},   {"--5", false},   {"1e5000", false}, {"1e-5000", true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(IsDecimalNumber(QString::fromLatin1(c.text)), c.valid) << '"' << c.text << '"';
}

TEST(ValidateNumber, EmptyPassesQuietlyAndBadTextBeepsAndExplains)
{
    test::RecordingPlatform platform;
    EXPECT_TRUE(ValidateNumber(QString()));
    EXPECT_TRUE(ValidateNumber(QStringLiteral("12.5")));
    EXPECT_TRUE(platform.dialogs.isEmpty());
    EXPECT_TRUE(platform.beepTicks.isEmpty());

    EXPECT_FALSE(ValidateNumber(QStringLiteral("7 ")));
    EXPECT_EQ(platform.beepTicks.size(), 1);
    EXPECT_EQ(platform.dialogs, QStringList{QStringLiteral("Info: 7  not a valid number")});
}
