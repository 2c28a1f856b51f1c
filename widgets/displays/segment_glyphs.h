#pragma once

#include <QChar>
#include <QColor>
#include <QPainterPath>
#include <QRectF>

#include <array>
#include <cstdint>

class QPainter;

namespace velmar::segments {

// The strokes a readout cell can light. A to G are the classic seven (A top, then clockwise,
// G the middle bar); the rest give the plus sign, the comparison signs and the colon shapes
// that the seven cannot form.
enum Segment : std::uint32_t {
    A = 1u << 0,
    B = 1u << 1,
    C = 1u << 2,
    D = 1u << 3,
    E = 1u << 4,
    F = 1u << 5,
    G = 1u << 6,
    PlusUpper = 1u << 7,
    PlusLower = 1u << 8,
    LessThan = 1u << 9,
    GreaterThan = 1u << 10,
    DotUpper = 1u << 11,
    DotLower = 1u << 12,
    CommaTail = 1u << 13,
};
constexpr int SegmentCount = 14;

// What an unlit digit cell shows, and what an unlit sign cell shows (the plus sign).
constexpr std::uint32_t DigitCellSegments = A | B | C | D | E | F | G;
constexpr std::uint32_t SignCellSegments = G | PlusUpper | PlusLower;

// The segments that draw `c`; 0 (a dark cell) for characters the readout has no shape for.
std::uint32_t glyphMask(QChar c);

// The outlines of every segment for one cell rectangle. Built once per layout and reused for
// every paint, since the geometry only changes with the control's size.
class SegmentGlyph {
public:
    SegmentGlyph() = default;
    // `thickness` is the stroke width; `separation` the gap left between neighbouring strokes.
    SegmentGlyph(const QRectF& cell, double thickness, double separation);

    void draw(QPainter& painter, std::uint32_t mask, const QColor& color) const;
    const QRectF& cell() const { return cell_; }

private:
    QRectF cell_;
    std::array<QPainterPath, SegmentCount> shapes_;
};

// The decimal separator dot (or comma) standing in the gap whose centre is `centreX`, on the
// baseline of `cell`; `width` is the dot's size.
class SeparatorGlyph {
public:
    SeparatorGlyph() = default;
    SeparatorGlyph(double centreX, const QRectF& cell, double width, bool comma);

    void draw(QPainter& painter, const QColor& color) const;
    bool isNull() const { return shape_.isEmpty(); }

private:
    QPainterPath shape_;
};

}  // namespace velmar::segments
