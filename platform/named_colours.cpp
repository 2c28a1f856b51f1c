#include "platform/named_colours.h"

#include <iterator>

namespace velmar {

namespace {

struct Name {
    const char* name;
    QColor colour;
};

constexpr Name Names[] = {
    {"black", colours::Black},   {"maroon", colours::Maroon}, {"green", colours::Green},
    {"olive", colours::Olive},   {"navy", colours::Navy},     {"purple", colours::Purple},
    {"teal", colours::Teal},     {"gray", colours::Gray},     {"grey", colours::Gray},
    {"silver", colours::Silver}, {"red", colours::Red},       {"lime", colours::Lime},
    {"yellow", colours::Yellow}, {"blue", colours::Blue},     {"fuchsia", colours::Fuchsia},
    {"aqua", colours::Aqua},     {"white", colours::White},   {"dark green", colours::DarkGreen},
};

}  // namespace

QColor namedColour(const QString& name)
{
    for (const Name& n : Names)
        if (name.compare(QLatin1String(n.name), Qt::CaseInsensitive) == 0)
            return n.colour;
    return {};
}

QPalette designPalette()
{
    using namespace colours;
    // button, light, dark, mid, text, bright text, base, window
    QPalette palette(WindowText, ButtonFace, ButtonHighlight, ButtonShadow, ButtonShadow, WindowText,
                     White, WindowBackground, ButtonFace);
    palette.setColor(QPalette::Midlight, ButtonLight);
    palette.setColor(QPalette::Shadow, ButtonDarkShadow);
    palette.setColor(QPalette::Highlight, Highlight);
    palette.setColor(QPalette::HighlightedText, HighlightText);
    palette.setColor(QPalette::ToolTipBase, InfoBackground);
    palette.setColor(QPalette::ToolTipText, WindowText);
    palette.setColor(QPalette::PlaceholderText, GrayText);
    palette.setColor(QPalette::Link, Blue);
    palette.setColor(QPalette::LinkVisited, Purple);
    palette.setColor(QPalette::AlternateBase, ButtonLight);
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        palette.setColor(QPalette::Disabled, role, GrayText);
    return palette;
}

}  // namespace velmar
