#include "widgets/displays/segment_glyphs.h"

#include <QPainter>
#include <QPainterPathStroker>
#include <QPolygonF>

#include <algorithm>

namespace velmar::segments {

std::uint32_t glyphMask(QChar c)
{
    switch (c.toUpper().unicode()) {
    case '0': return A | B | C | D | E | F;
    case '1': return B | C;
    case '2': return A | B | G | E | D;
    case '3': return A | B | G | C | D;
    case '4': return F | G | B | C;
    case '5': return A | F | G | C | D;
    case '6': return A | F | G | E | D | C;
    case '7': return A | B | C;
    case '8': return A | B | C | D | E | F | G;
    case '9': return A | B | C | F | G;  // the open nine, without the bottom bar
    case 'A': return A | B | C | E | F | G;
    case 'B': return C | D | E | F | G;  // lower-case b, told apart from 8
    case 'C': return A | D | E | F;
    case 'D': return B | C | D | E | G;  // lower-case d, told apart from 0
    case 'E': return A | D | E | F | G;
    case 'F': return A | E | F | G;
    case '-': return G;
    case '_': return D;
    case '+': return G | PlusUpper | PlusLower;
    case ':': return DotUpper | DotLower;
    case ';': return DotUpper | DotLower | CommaTail;
    case '<': return LessThan;
    case '>': return GreaterThan;
    default: return 0;
    }
}

namespace {

// A bar with pointed ends, the usual segment outline, from `from` to `to` (axis-parallel).
QPainterPath bar(QPointF from, QPointF to, double thickness)
{
    const double h = thickness / 2;
    QPolygonF outline;
    if (from.y() == to.y()) {
        const double y = from.y();
        const double x0 = std::min(from.x(), to.x());
        const double x1 = std::max(from.x(), to.x());
        const double tip = std::min(h, (x1 - x0) / 2);
        outline << QPointF(x0, y) << QPointF(x0 + tip, y - h) << QPointF(x1 - tip, y - h)
                << QPointF(x1, y) << QPointF(x1 - tip, y + h) << QPointF(x0 + tip, y + h);
    } else {
        const double x = from.x();
        const double y0 = std::min(from.y(), to.y());
        const double y1 = std::max(from.y(), to.y());
        const double tip = std::min(h, (y1 - y0) / 2);
        outline << QPointF(x, y0) << QPointF(x + h, y0 + tip) << QPointF(x + h, y1 - tip)
                << QPointF(x, y1) << QPointF(x - h, y1 - tip) << QPointF(x - h, y0 + tip);
    }
    QPainterPath path;
    path.addPolygon(outline);
    path.closeSubpath();
    return path;
}

QPainterPath square(QPointF centre, double size)
{
    QPainterPath path;
    path.addRect(QRectF(centre.x() - size / 2, centre.y() - size / 2, size, size));
    return path;
}

QPainterPath stroked(const QPainterPath& line, double thickness)
{
    QPainterPathStroker stroker;
    stroker.setWidth(thickness);
    stroker.setCapStyle(Qt::FlatCap);
    stroker.setJoinStyle(Qt::MiterJoin);
    return stroker.createStroke(line).simplified();
}

}  // namespace

SegmentGlyph::SegmentGlyph(const QRectF& cell, double thickness, double separation)
    : cell_(cell)
{
    const double t = thickness;
    const double s = separation;
    const double left = cell.left() + t / 2;
    const double right = cell.right() - t / 2;
    const double top = cell.top() + t / 2;
    const double bottom = cell.bottom() - t / 2;
    const double middle = (top + bottom) / 2;
    const double centreX = (left + right) / 2;
    const double halfWidth = (right - left) / 2;

    shapes_[0] = bar({left + s, top}, {right - s, top}, t);           // A
    shapes_[1] = bar({right, top + s}, {right, middle - s}, t);       // B
    shapes_[2] = bar({right, middle + s}, {right, bottom - s}, t);    // C
    shapes_[3] = bar({left + s, bottom}, {right - s, bottom}, t);     // D
    shapes_[4] = bar({left, middle + s}, {left, bottom - s}, t);      // E
    shapes_[5] = bar({left, top + s}, {left, middle - s}, t);         // F
    shapes_[6] = bar({left + s, middle}, {right - s, middle}, t);     // G
    // The plus sign's upright, split around G; a little taller than G is wide, or the
    // two short halves read as the dots of a division sign.
    const double upright = std::min(halfWidth + t, (bottom - top) / 2);
    shapes_[7] = bar({centreX, middle - upright}, {centreX, middle - t / 2 - s / 2}, t);
    shapes_[8] = bar({centreX, middle + t / 2 + s / 2}, {centreX, middle + upright}, t);

    const double reach = std::min(halfWidth * 2, bottom - middle);
    QPainterPath less;
    less.moveTo(right, middle - reach);
    less.lineTo(left, middle);
    less.lineTo(right, middle + reach);
    shapes_[9] = stroked(less, t);
    QPainterPath greater;
    greater.moveTo(left, middle - reach);
    greater.lineTo(right, middle);
    greater.lineTo(left, middle + reach);
    shapes_[10] = stroked(greater, t);

    const QPointF upperDot(centreX, (top + middle) / 2);
    const QPointF lowerDot(centreX, (middle + bottom) / 2);
    shapes_[11] = square(upperDot, t * 1.2);
    shapes_[12] = square(lowerDot, t * 1.2);
    QPainterPath tail;
    tail.moveTo(lowerDot.x() + t * 0.6, lowerDot.y());
    tail.lineTo(lowerDot.x() - t * 0.4, lowerDot.y() + t * 2);
    shapes_[13] = stroked(tail, t * 0.7);
}

void SegmentGlyph::draw(QPainter& painter, std::uint32_t mask, const QColor& color) const
{
    if (mask == 0)
        return;
    painter.setPen(Qt::NoPen);
    painter.setBrush(color);
    for (int i = 0; i < SegmentCount; ++i) {
        if (mask & (1u << i))
            painter.drawPath(shapes_[i]);
    }
}

SeparatorGlyph::SeparatorGlyph(double centreX, const QRectF& cell, double width, bool comma)
{
    const double size = std::max(1.0, width);
    const QPointF centre(centreX, cell.bottom() - size / 2);
    shape_ = square(centre, size);
    if (comma) {
        QPainterPath tail;
        tail.moveTo(centre.x() + size / 2, centre.y());
        tail.lineTo(centre.x() - size / 2, centre.y() + size * 1.6);
        shape_ = shape_.united(stroked(tail, size * 0.6));
    }
}

void SeparatorGlyph::draw(QPainter& painter, const QColor& color) const
{
    painter.setPen(Qt::NoPen);
    painter.setBrush(color);
    painter.drawPath(shape_);
}

}  // namespace velmar::segments
