#include "widgets/dials/tiknob.h"

#include "platform/named_colours.h"
#include "widgets/dials/dial_painters.h"
#include "widgets/property_assign.h"

#include <QFocusEvent>
#include <QFontMetricsF>
#include <QLocale>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace velmar {

double knobIndicatorAngle(double fraction, double startDegrees, double travelDegrees)
{
    return startDegrees - fraction * travelDegrees;
}

double knobDragPosition(double position, double min, double max, double travelDegrees,
                        double previousDegrees, double newDegrees)
{
    if (travelDegrees == 0)
        return position;
    double d = previousDegrees - newDegrees;
    if (d > 200)
        d -= 360;
    else if (d < -200)
        d += 360;
    const double a = positionFraction(position, min, max) * travelDegrees;
    return min + (max - min) * (a - d) / travelDegrees;
}

QString knobPositionText(double position, int precision, const QString& units)
{
    QLocale locale;
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    return locale.toString(position, 'f', std::max(0, precision)).trimmed() + units;
}

int knobAutoRadius(int width, int height, int outerMargin, int labelExtent, int tickMargin,
                   int tickMajorLength, int tickLabelMargin)
{
    const int room = std::min(width, height) - 2 * outerMargin - labelExtent
        - 2 * (tickMargin + tickMajorLength + tickLabelMargin + 4);
    return std::max(1, room / 2);
}

TiKnob::TiKnob(QWidget* parent) : TiPositionComponent(parent)
{
    setFocusPolicy(Qt::StrongFocus);
    resize(150, 150);
}

TiKnob::~TiKnob() = default;

void TiKnob::setRotationStartDegrees(double value) { if (std::isfinite(value) && assign(rotationStart_, value)) invalidateStaticLayer(); }
void TiKnob::setRotationMaxDegrees(double value) { if (std::isfinite(value) && assign(rotationMax_, value)) invalidateStaticLayer(); }
void TiKnob::setKnobRadius(int value) { if (assign(knobRadius_, std::max(1, value))) invalidateStaticLayer(); }
void TiKnob::setAutoSize(bool value) { if (assign(autoSize_, value)) { radiusCache_ = -1; invalidateStaticLayer(); } }
void TiKnob::setKnobStyle(TiKnob::TKnobStyle value) { if (assign(knobStyle_, value)) invalidateStaticLayer(); }
void TiKnob::setKnobEdgeWidth(int value) { if (assign(knobEdgeWidth_, std::max(0, value))) invalidateStaticLayer(); }
void TiKnob::setIndicatorStyle(TiKnob::TIndicatorStyle value) { if (assign(indicatorStyle_, value)) update(); }
void TiKnob::setIndicatorSize(int value) { if (assign(indicatorSize_, std::max(1, value))) update(); }
void TiKnob::setIndicatorMargin(int value) { if (assign(indicatorMargin_, value)) update(); }
void TiKnob::setIndicatorActiveColor(const QColor& value) { if (assign(indicatorActiveColor_, value)) update(); }
void TiKnob::setIndicatorInactiveColor(const QColor& value) { if (assign(indicatorInactiveColor_, value)) update(); }
void TiKnob::setShowFocusRect(bool value) { if (assign(showFocusRect_, value)) update(); }
void TiKnob::setShowPositionDisplay(bool value) { if (assign(showPositionDisplay_, value)) update(); }
void TiKnob::setPositionDisplayPrecision(int value) { if (assign(displayPrecision_, std::max(0, value))) update(); }
void TiKnob::setOuterMargin(int value) { if (assign(outerMargin_, value)) { radiusCache_ = -1; invalidateStaticLayer(); } }

void TiKnob::setPositionDisplayUnits(const QString& value)
{
    const QString units = value.trimmed().isEmpty() ? QString() : value;
    if (assign(displayUnits_, units))
        update();
}

int TiKnob::knobRadius() const
{
    if (!autoSize_)
        return knobRadius_;
    if (radiusCache_ < 0)
        radiusCache_ = computeRadius();
    return radiusCache_;
}

int TiKnob::computeRadius() const
{
    // The widest extent of any label in the direction it stands out from the knob: its width
    // at the sides, its height at the top and bottom.
    const QFontMetricsF metrics(font());
    int extent = 0;
    const int count = tickMajorCount();
    if (showTickLabels())
        for (int i = 0; i < count; ++i) {
            const double f = count > 1 ? double(i) / (count - 1) : 0;
            const double a = knobIndicatorAngle(f, rotationStart_, rotationMax_) * std::numbers::pi / 180;
            const bool side = std::abs(std::cos(a)) >= std::abs(std::sin(a));
            const double size = side ? metrics.horizontalAdvance(tickLabel(i)) : metrics.height();
            extent = std::max(extent, int(std::ceil(size)));
        }
    return knobAutoRadius(width(), height(), outerMargin_, extent, tickMargin(), tickMajorLength(),
                          tickLabelMargin());
}

QPointF TiKnob::knobCentre() const { return {width() / 2.0, height() / 2.0}; }

QString TiKnob::positionDisplayText() const
{
    return knobPositionText(position(), displayPrecision_, displayUnits_);
}

void TiKnob::paintStatic(QPainter& painter)
{
    radiusCache_ = -1;   // the radius follows the size and the labels at every rebuild
    const int radius = knobRadius();
    const QPointF centre = knobCentre();

    DialScale scale;
    scale.centre = centre;
    scale.startDegrees = rotationStart_;
    scale.sweepDegrees = rotationMax_;
    scale.tickRadius = radius + tickMargin();
    scale.majorCount = tickMajorCount();
    scale.minorCount = tickMinorCount();
    scale.majorLength = tickMajorLength();
    scale.minorLength = tickMinorLength();
    scale.showMajor = showTicksMajor();
    scale.showMinor = showTicksMinor();
    scale.showLabels = showTickLabels();
    scale.labelRadius = radius + tickMargin() + tickMajorLength() + tickLabelMargin();
    scale.majorColor = tickMajorColor();
    scale.minorColor = tickMinorColor();
    scale.labels = tickLabels();
    scale.draw(painter);

    // The face lights up a little while the operator is turning the knob.
    QColor face = colours::ButtonFace;
    if (isAdjusting())
        face = lighterBy(face, 16);
    KnobFace{face, knobEdgeWidth_, knobStyle_ == iksRaised}.draw(painter, centre, radius);
}

void TiKnob::paintDynamic(QPainter& painter)
{
    const int radius = knobRadius();
    const QPointF centre = knobCentre();
    const double angle = knobIndicatorAngle(positionFractionNow(), rotationStart_, rotationMax_);
    const QColor color = isAdjusting() ? indicatorActiveColor_ : indicatorInactiveColor_;

    if (showPositionDisplay_) {
        painter.setPen(colours::WindowText);
        const QRectF box(centre.x() - radius, centre.y() - radius, 2.0 * radius, 2.0 * radius);
        painter.drawText(box, Qt::AlignCenter, positionDisplayText());
    }

    const double outer = radius - indicatorMargin_;
    if (indicatorStyle_ == ikisLineCustom) {
        const double inner = std::max(0.0, outer - indicatorSize_);
        painter.setPen(QPen(color, 2.5, Qt::SolidLine, Qt::RoundCap));
        painter.drawLine(dialPoint(centre, inner, angle), dialPoint(centre, outer, angle));
    } else {
        // A dot set into (or standing out of) the face.
        const double r = indicatorSize_ / 2.0 + 0.5;
        const QPointF at = dialPoint(centre, outer - r, angle);
        painter.setPen(QPen(indicatorStyle_ == ikisDotLowered ? color.darker(160) : color.lighter(140), 1));
        painter.setBrush(color);
        painter.drawEllipse(at, r, r);
        painter.setBrush(Qt::NoBrush);
    }

    // Around the whole control, so the frame crosses none of the scale's numerals.
    if (showFocusRect_ && hasFocus())
        drawFocusFrame(painter, rect());
}

double TiKnob::screenAngle(const QPointF& point) const
{
    const QPointF d = point - knobCentre();
    return std::atan2(d.y(), d.x()) * 180 / std::numbers::pi;
}

bool TiKnob::pressStartsDrag(const QPointF& point)
{
    const QPointF d = point - knobCentre();
    if (std::lround(std::hypot(d.x(), d.y())) >= knobRadius())
        return false;
    dragAngle_ = screenAngle(point);
    return true;
}

void TiKnob::dragTo(const QPointF& point)
{
    const double angle = screenAngle(point);
    changePosition(knobDragPosition(position(), positionMin(), positionMax(), rotationMax_, dragAngle_, angle), true);
    dragAngle_ = angle;
}

bool TiKnob::stepByKey(int key)
{
    if (!useKeyboard_)
        return false;
    return stepPositionByKey(key, keyArrowStep_, keyPageStep_);
}

void TiKnob::stepByWheel(int direction)
{
    changePosition(position() + direction * wheelStep_, true);
}

void TiKnob::interactionChanged()
{
    // The face colour is part of the cached layer.
    invalidateStaticLayer();
}

void TiKnob::focusInEvent(QFocusEvent* event)
{
    TiPositionComponent::focusInEvent(event);
    update();
}

void TiKnob::focusOutEvent(QFocusEvent* event)
{
    TiPositionComponent::focusOutEvent(event);
    update();
}

void TiKnob::resizeEvent(QResizeEvent* event)
{
    radiusCache_ = -1;
    TiPositionComponent::resizeEvent(event);
}

void TiKnob::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::FontChange || event->type() == QEvent::PaletteChange) {
        radiusCache_ = -1;
        invalidateStaticLayer();
    }
    TiPositionComponent::changeEvent(event);
}

}  // namespace velmar
