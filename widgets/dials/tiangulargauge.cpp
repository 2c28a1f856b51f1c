#include "widgets/dials/tiangulargauge.h"

#include "platform/named_colours.h"
#include "widgets/dials/dial_painters.h"
#include "widgets/property_assign.h"

#include <QEvent>
#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace velmar {

double gaugeNeedleAngle(double fraction, double startDegrees, double rangeDegrees, bool reverse)
{
    if (reverse)
        return fraction * rangeDegrees + (startDegrees - rangeDegrees);
    return startDegrees - fraction * rangeDegrees;
}

TiAngularGauge::TiAngularGauge(QWidget* parent) : TiPositionComponent(parent)
{
    setFocusPolicy(Qt::NoFocus);
    resize(150, 150);
}

TiAngularGauge::~TiAngularGauge() = default;

void TiAngularGauge::scaleChanged()
{
    centreValid_ = false;
    invalidateStaticLayer();
}

void TiAngularGauge::setArcStartDegrees(double value) { if (std::isfinite(value) && assign(arcStart_, value)) scaleChanged(); }
void TiAngularGauge::setArcRangeDegrees(double value) { if (std::isfinite(value) && assign(arcRange_, value)) scaleChanged(); }
void TiAngularGauge::setArcRadius(int value) { if (assign(arcRadius_, std::max(1, value))) scaleChanged(); }
void TiAngularGauge::setReverseScale(bool value) { if (assign(reverseScale_, value)) scaleChanged(); }
void TiAngularGauge::setAutoCenter(bool value) { if (assign(autoCenter_, value)) scaleChanged(); }
void TiAngularGauge::setPointerStyle(TiAngularGauge::TPointerStyle value) { if (assign(pointerStyle_, value)) update(); }
void TiAngularGauge::setPointerSize(int value) { if (assign(pointerSize_, std::max(1, value))) update(); }
void TiAngularGauge::setPointerColor(const QColor& value) { if (assign(pointerColor_, value)) update(); }
void TiAngularGauge::setShowHub(bool value) { if (assign(showHub_, value)) scaleChanged(); }
void TiAngularGauge::setHubSize(int value) { if (assign(hubSize_, std::max(0, value))) scaleChanged(); }
void TiAngularGauge::setHubColor(const QColor& value) { if (assign(hubColor_, value)) update(); }
void TiAngularGauge::setShowFace(bool value) { if (assign(showFace_, value)) scaleChanged(); }
void TiAngularGauge::setShowLabel1(bool value) { if (assign(showLabel1_, value)) scaleChanged(); }
void TiAngularGauge::setLabel1Text(const QString& value) { if (assign(label1Text_, value)) scaleChanged(); }
void TiAngularGauge::setLabel1OffsetX(int value) { if (assign(label1Offset_.rx(), value)) scaleChanged(); }
void TiAngularGauge::setLabel1OffsetY(int value) { if (assign(label1Offset_.ry(), value)) scaleChanged(); }
void TiAngularGauge::setShowLabel2(bool value) { if (assign(showLabel2_, value)) scaleChanged(); }
void TiAngularGauge::setLabel2Text(const QString& value) { if (assign(label2Text_, value)) scaleChanged(); }
void TiAngularGauge::setLabel2OffsetX(int value) { if (assign(label2Offset_.rx(), value)) scaleChanged(); }
void TiAngularGauge::setLabel2OffsetY(int value) { if (assign(label2Offset_.ry(), value)) scaleChanged(); }
void TiAngularGauge::setSectionCount(int value) { if (assign(sectionCount_, std::clamp(value, 0, 5))) scaleChanged(); }

double TiAngularGauge::sectionEnd(int index) const
{
    return index >= 1 && index <= 4 ? sectionEnds_[index - 1] : 0;
}

void TiAngularGauge::setSectionEnd(int index, double value)
{
    if (index >= 1 && index <= 4 && std::isfinite(value) && assign(sectionEnds_[index - 1], value))
        scaleChanged();
}

QColor TiAngularGauge::sectionColor(int index) const
{
    return index >= 1 && index <= 5 ? sectionColors_[index - 1] : QColor();
}

void TiAngularGauge::setSectionColor(int index, const QColor& value)
{
    if (index >= 1 && index <= 5 && assign(sectionColors_[index - 1], value))
        scaleChanged();
}

double TiAngularGauge::needleAngle() const
{
    return gaugeNeedleAngle(positionFractionNow(), arcStart_, arcRange_, reverseScale_);
}

double TiAngularGauge::needleLength() const
{
    return arcRadius_ + tickMargin() + std::max(tickMinorLength(), 1);
}

namespace {

// The scale as laid out about `centre`; labels and the free texts are placed with `metrics`.
struct GaugeLayout {
    DialScale scale;
    QRectF label1;
    QRectF label2;
};

}  // namespace

static GaugeLayout layoutGauge(const TiAngularGauge& g, QPointF centre, const QFontMetricsF& metrics)
{
    GaugeLayout layout;
    DialScale& s = layout.scale;
    s.centre = centre;
    // A reversed scale starts at the far end of the arc and sweeps back.
    s.startDegrees = g.reverseScale() ? g.arcStartDegrees() - g.arcRangeDegrees() : g.arcStartDegrees();
    s.sweepDegrees = g.reverseScale() ? -g.arcRangeDegrees() : g.arcRangeDegrees();
    s.tickRadius = g.arcRadius() + g.tickMargin();
    s.majorCount = g.tickMajorCount();
    s.minorCount = g.tickMinorCount();
    s.majorLength = g.tickMajorLength();
    s.minorLength = g.tickMinorLength();
    s.showMajor = g.showTicksMajor();
    s.showMinor = g.showTicksMinor();
    s.showLabels = g.showTickLabels();
    s.labelRadius = s.tickRadius + g.tickMajorLength() + g.tickLabelMargin();
    s.majorColor = g.tickMajorColor();
    s.minorColor = g.tickMinorColor();
    s.labels = g.tickLabels();
    auto textBox = [&](const QString& text, QPoint offset) {
        QRectF box(0, 0, metrics.horizontalAdvance(text), metrics.height());
        box.moveCenter(centre + QPointF(offset));
        return box;
    };
    if (g.showLabel1())
        layout.label1 = textBox(g.label1Text(), {g.label1OffsetX(), g.label1OffsetY()});
    if (g.showLabel2())
        layout.label2 = textBox(g.label2Text(), {g.label2OffsetX(), g.label2OffsetY()});
    return layout;
}

QPointF TiAngularGauge::arcCentre() const
{
    if (centreValid_)
        return centre_;
    const QPointF middle(width() / 2.0, height() / 2.0);
    centre_ = middle;
    if (autoCenter_) {
        // Centre the whole drawing (arc and ticks, labels, hub, free texts), not the arc's
        // centre: a half-circle meter would otherwise sit low in its box.
        const QFontMetricsF metrics(font());
        const GaugeLayout layout = layoutGauge(*this, QPointF(0, 0), metrics);
        const double outer = layout.scale.tickRadius + std::max(tickMajorLength(), tickMinorLength());
        QRectF bounds(-hubSize_ / 2.0, -hubSize_ / 2.0, hubSize_, hubSize_);
        for (int i = 0; i <= 32; ++i) {
            const QPointF p = dialPoint({}, outer, layout.scale.angleAt(i / 32.0));
            bounds = bounds.united(QRectF(p, QSizeF(0.01, 0.01)));
        }
        if (showTickLabels())
            bounds = bounds.united(layout.scale.labelBounds(metrics));
        if (!layout.label1.isNull())
            bounds = bounds.united(layout.label1);
        if (!layout.label2.isNull())
            bounds = bounds.united(layout.label2);
        centre_ = middle - bounds.center();
    }
    centreValid_ = true;
    return centre_;
}

void TiAngularGauge::paintStatic(QPainter& painter)
{
    centreValid_ = false;
    const QPointF centre = arcCentre();
    const QFontMetricsF metrics(painter.font());
    const GaugeLayout layout = layoutGauge(*this, centre, metrics);
    const DialScale& scale = layout.scale;

    if (showFace_) {
        const double r = scale.labelRadius + metrics.height() + 4;
        painter.setPen(QPen(colours::Gray, 1));
        painter.setBrush(colours::White);
        painter.drawEllipse(centre, r, r);
        painter.setBrush(Qt::NoBrush);
    }

    // Coloured bands from the minimum through the section ends; the last reaches the maximum.
    if (sectionCount_ > 0) {
        const double band = std::max(tickMajorLength(), 3);
        const double r = scale.tickRadius + band / 2;
        const QRectF arcBox(centre.x() - r, centre.y() - r, 2 * r, 2 * r);
        double from = positionMin();
        for (int k = 0; k < sectionCount_; ++k) {
            const double to = k == sectionCount_ - 1 ? positionMax() : std::clamp(sectionEnds_[k], positionMin(), positionMax());
            const double a0 = scale.angleAt(positionFraction(from, positionMin(), positionMax()));
            const double a1 = scale.angleAt(positionFraction(to, positionMin(), positionMax()));
            painter.setPen(QPen(sectionColors_[k], band, Qt::SolidLine, Qt::FlatCap));
            painter.drawArc(arcBox, int(std::lround(a0 * 16)), int(std::lround((a1 - a0) * 16)));
            from = to;
        }
    }

    // The scale's base line, under the ticks.
    {
        const double r = scale.tickRadius;
        const QRectF arcBox(centre.x() - r, centre.y() - r, 2 * r, 2 * r);
        painter.setPen(QPen(tickMajorColor(), 1));
        painter.drawArc(arcBox, int(std::lround(scale.startDegrees * 16)), int(std::lround(-scale.sweepDegrees * 16)));
    }
    scale.draw(painter);

    painter.setPen(colours::WindowText);
    if (!layout.label1.isNull())
        painter.drawText(layout.label1, Qt::AlignCenter, label1Text_);
    if (!layout.label2.isNull())
        painter.drawText(layout.label2, Qt::AlignCenter, label2Text_);
}

void TiAngularGauge::paintDynamic(QPainter& painter)
{
    const QPointF centre = arcCentre();
    const double angle = needleAngle();
    const double length = needleLength();
    switch (pointerStyle_) {
    case iagpsLine:
        DialNeedle{pointerColor_, 1.5}.draw(painter, centre, length, angle);
        break;
    case iagpsTriangle:
    case iagpsArrow:
    case iagpsArrowLine: {
        // A slim wedge from the hub to the tip.
        const double half = pointerSize_ / 2.0;
        QPainterPath wedge;
        wedge.moveTo(dialPoint(centre, half, angle + 90));
        wedge.lineTo(dialPoint(centre, length, angle));
        wedge.lineTo(dialPoint(centre, half, angle - 90));
        wedge.closeSubpath();
        painter.setPen(Qt::NoPen);
        painter.setBrush(pointerColor_);
        painter.drawPath(wedge);
        painter.setBrush(Qt::NoBrush);
        break;
    }
    }
    if (showHub_ && hubSize_ > 0) {
        const double r = hubSize_ / 2.0;
        painter.setPen(Qt::NoPen);
        painter.setBrush(hubColor_);
        painter.drawEllipse(centre, r, r);
        painter.setBrush(Qt::NoBrush);
    }
}

void TiAngularGauge::resizeEvent(QResizeEvent* event)
{
    centreValid_ = false;
    TiPositionComponent::resizeEvent(event);
}

void TiAngularGauge::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::FontChange || event->type() == QEvent::PaletteChange)
        scaleChanged();
    TiPositionComponent::changeEvent(event);
}

}  // namespace velmar
