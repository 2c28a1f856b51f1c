#pragma once

#include <QColor>
#include <QPalette>
#include <QString>

namespace velmar {

// The named colours of the instrument's original palette, which every widget and every stored
// configuration of the window uses: the classic sixteen, and the dark green that a lamp's and a
// readout's unlit parts are drawn in. They are not Qt's colours of the same names: "green" is
// (0, 128, 0) where Qt's green is (0, 255, 0), this palette's "lime"; "gray" is (128, 128, 128)
// where Qt's gray is (160, 160, 164).
namespace colours {

inline constexpr QColor Black{0, 0, 0};
inline constexpr QColor Maroon{128, 0, 0};
inline constexpr QColor Green{0, 128, 0};
inline constexpr QColor Olive{128, 128, 0};
inline constexpr QColor Navy{0, 0, 128};
inline constexpr QColor Purple{128, 0, 128};
inline constexpr QColor Teal{0, 128, 128};
inline constexpr QColor Gray{128, 128, 128};
inline constexpr QColor Silver{192, 192, 192};
inline constexpr QColor Red{255, 0, 0};
inline constexpr QColor Lime{0, 255, 0};
inline constexpr QColor Yellow{255, 255, 0};
inline constexpr QColor Blue{0, 0, 255};
inline constexpr QColor Fuchsia{255, 0, 255};
inline constexpr QColor Aqua{0, 255, 255};
inline constexpr QColor White{255, 255, 255};
inline constexpr QColor DarkGreen{0, 85, 0};

// The desktop colours the window and its widgets were drawn with ("button face", "window
// text", ...), fixed at the values of the desktop they were designed on. The window and the
// instrument widgets use these rather than the desktop's palette of the day, so a dark desktop
// scheme cannot leave black numerals on a dark grey face.
inline constexpr QColor ButtonFace{240, 240, 240};
inline constexpr QColor ButtonHighlight{255, 255, 255};
inline constexpr QColor ButtonLight{227, 227, 227};
inline constexpr QColor ButtonShadow{160, 160, 160};
inline constexpr QColor ButtonDarkShadow{105, 105, 105};
inline constexpr QColor WindowText{0, 0, 0};
inline constexpr QColor WindowBackground{255, 255, 255};
inline constexpr QColor GrayText{109, 109, 109};
inline constexpr QColor Highlight{0, 120, 215};
inline constexpr QColor HighlightText{255, 255, 255};
inline constexpr QColor InfoBackground{255, 255, 225};

}  // namespace colours

// A palette of the desktop colours above, for the windows and for the widgets' own parts
// drawn by the style (bevels, a toolbar).
QPalette designPalette();

// The colour of a palette name ("green", "Navy", "dark green"; "grey" is "gray"), ignoring
// letter case; an invalid QColor for a name the palette does not have.
QColor namedColour(const QString& name);

}  // namespace velmar
