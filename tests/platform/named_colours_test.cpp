#include "platform/named_colours.h"

#include <gtest/gtest.h>

using namespace velmar;

// The palette's names mean the instrument's colours, not Qt's colours of the same names.
TEST(NamedColours, NamesAreThoseOfTheOriginalPalette)
{
    struct Case {
        const char* name;
        QColor colour;
    } cases[] = {{"green", {0, 128, 0}},     {"lime", {0, 255, 0}},    {"gray", {128, 128, 128}},
                 {"Grey", {128, 128, 128}},  {"silver", {192, 192, 192}}, {"navy", {0, 0, 128}},
                 {"maroon", {128, 0, 0}},    {"olive", {128, 128, 0}}, {"teal", {0, 128, 128}},
                 {"purple", {128, 0, 128}},  {"fuchsia", {255, 0, 255}}, {"aqua", {0, 255, 255}},
                 {"dark green", {0, 85, 0}}, {"RED", {255, 0, 0}}};
    for (const Case& c : cases)
        EXPECT_EQ(namedColour(QString::fromLatin1(c.name)), c.colour) << c.name;
    EXPECT_FALSE(namedColour(QStringLiteral("darkgray")).isValid());
}
