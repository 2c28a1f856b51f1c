#include "widgets/dials/dial_painters.h"

#include "platform/named_colours.h"
#include "widgets/scale_ticks.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QRadialGradient>
#include <QLinearGradient>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace velmar {

namespace {
constexpr double DegToRad = std::numbers::pi / 180.0;
}

QPointF dialPoint(QPointF centre, double radius, double degrees)
{
    const double a = degrees * DegToRad;
    return {centre.x() + radius * std::cos(a), centre.y() - radius * std::sin(a)};
}

QPointF dialLabelCentre(QPointF centre, double innerRadius, double degrees, QSizeF size)
{
    const double a = degrees * DegToRad;
    const double c = std::cos(a);
    const double s = std::sin(a);
    // Distance from the box centre to its edge along the direction (c, s).
    const double half = std::abs(c) * size.width() / 2 + std::abs(s) * size.height() / 2;
    const double r = innerRadius + half;
    return {centre.x() + r * c, centre.y() - r * s};
}

void DialScale::draw(QPainter& painter) const
{
    const int majorCount = std::clamp(this->majorCount, 0, MaxScaleTicks);
    const int minorCount = std::clamp(this->minorCount, 0, MaxMinorTicks);
    const int intervals = majorCount - 1;
    painter.save();
    if (showMinor && minorCount > 0 && intervals > 0) {
        painter.setPen(QPen(minorColor, 1));
        for (int i = 0; i < intervals; ++i)
            for (int j = 1; j <= minorCount; ++j) {
                const double f = (i + double(j) / (minorCount + 1)) / intervals;
                const double a = angleAt(f);
                painter.drawLine(dialPoint(centre, tickRadius, a), dialPoint(centre, tickRadius + minorLength, a));
            }
    }
    if (showMajor && majorCount > 0) {
        painter.setPen(QPen(majorColor, 1.5));
        for (int i = 0; i < majorCount; ++i) {
            const double a = angleAt(intervals > 0 ? double(i) / intervals : 0);
            painter.drawLine(dialPoint(centre, tickRadius, a), dialPoint(centre, tickRadius + majorLength, a));
        }
    }
    if (showLabels) {
        const QFontMetricsF metrics(painter.font());
        painter.setPen(labelColor);
        for (int i = 0; i < majorCount && i < labels.size(); ++i) {
            const double a = angleAt(intervals > 0 ? double(i) / intervals : 0);
            const QSizeF size(metrics.horizontalAdvance(labels[i]), metrics.height());
            QRectF box(QPointF(), size);
            box.moveCenter(dialLabelCentre(centre, labelRadius, a, size));
            painter.drawText(box, Qt::AlignCenter, labels[i]);
        }
    }
    painter.restore();
}

QRectF DialScale::labelBounds(const QFontMetricsF& metrics) const
{
    QRectF bounds;
    const int majorCount = std::clamp(this->majorCount, 0, MaxScaleTicks);
    const int intervals = majorCount - 1;
    for (int i = 0; i < majorCount && i < labels.size(); ++i) {
        const double a = angleAt(intervals > 0 ? double(i) / intervals : 0);
        const QSizeF size(metrics.horizontalAdvance(labels[i]), metrics.height());
        QRectF box(QPointF(), size);
        box.moveCenter(dialLabelCentre(centre, labelRadius, a, size));
        bounds = bounds.isNull() ? box : bounds.united(box);
    }
    return bounds;
}

void DialNeedle::draw(QPainter& painter, QPointF centre, double length, double degrees) const
{
    painter.save();
    painter.setPen(QPen(color, width, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(centre, dialPoint(centre, length, degrees));
    painter.restore();
}

void KnobFace::draw(QPainter& painter, QPointF centre, double radius) const
{
    painter.save();
    painter.setPen(Qt::NoPen);
    // Rim: a light-to-dark sweep from the top left (raised) or the reverse (lowered).
    const QPointF topLeft = centre + QPointF(-radius, -radius);
    const QPointF bottomRight = centre + QPointF(radius, radius);
    QLinearGradient rim(raised ? topLeft : bottomRight, raised ? bottomRight : topLeft);
    rim.setColorAt(0, lighterBy(face, 60));
    rim.setColorAt(0.5, face);
    rim.setColorAt(1, face.darker(170));
    painter.setBrush(rim);
    painter.drawEllipse(centre, radius, radius);
    // Face: slightly domed.
    const double inner = std::max(1.0, radius - edgeWidth);
    QRadialGradient dome(centre + QPointF(-inner / 3, -inner / 3), inner * 1.4);
    dome.setColorAt(0, lighterBy(face, 24));
    dome.setColorAt(1, face.darker(112));
    painter.setBrush(dome);
    painter.drawEllipse(centre, inner, inner);
    painter.setPen(QPen(face.darker(200), 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(centre, radius - 0.5, radius - 0.5);
    painter.restore();
}

void drawBevel(QPainter& painter, const QRectF& rect, int width, bool lowered)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    const QColor dark(160, 160, 160);
    const QColor darker(105, 105, 105);
    const QColor light(255, 255, 255);
    const QColor mid(227, 227, 227);
    QRect r = rect.toRect();
    for (int i = 0; i < width; ++i) {
        const QColor tl = lowered ? (i == 0 ? dark : darker) : (i == 0 ? mid : light);
        const QColor br = lowered ? (i == 0 ? light : mid) : (i == 0 ? darker : dark);
        painter.setPen(tl);
        painter.drawLine(r.topLeft(), r.topRight() - QPoint(1, 0));
        painter.drawLine(r.topLeft(), r.bottomLeft() - QPoint(0, 1));
        painter.setPen(br);
        painter.drawLine(r.bottomLeft(), r.bottomRight());
        painter.drawLine(r.topRight(), r.bottomRight());
        r.adjust(1, 1, -1, -1);
    }
    painter.restore();
}

void drawFocusFrame(QPainter& painter, const QRect& rect)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(colours::Highlight, 2, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    painter.drawRect(QRectF(rect).adjusted(1, 1, -1, -1));
    painter.restore();
}

QColor lighterBy(const QColor& color, int amount)
{
    return QColor(std::min(255, color.red() + amount), std::min(255, color.green() + amount),
                  std::min(255, color.blue() + amount), color.alpha());
}

}  // namespace velmar
