#include "widgets/displays/tiledround.h"

#include "platform/named_colours.h"
#include "widgets/display_paint_guard.h"
#include "widgets/displays/tisevensegmentanalog.h"
#include "widgets/property_assign.h"

#include <QPainter>
#include <QResizeEvent>

#include <algorithm>

namespace velmar {

TiLedRound::TiLedRound(QWidget* parent)
    : QWidget(parent)
{
    resize(sizeHint());
}

void TiLedRound::setActive(bool active)
{
    if (!assign(active_, active))
        return;
    update();
    if (!loading_)
        emit OnChange();
}

void TiLedRound::setActiveColor(const QColor& color)
{
    if (assign(activeColor_, color))
        update();
}

void TiLedRound::setAutoInactiveColor(bool automatic)
{
    if (assign(autoInactiveColor_, automatic))
        update();
}

void TiLedRound::setInactiveColor(const QColor& color)
{
    if (assign(inactiveColor_, color))
        update();
}

void TiLedRound::setBevelStyle(TBevelStyle style)
{
    if (assign(bevelStyle_, style))
        update();
}

void TiLedRound::setShowReflection(bool show)
{
    if (assign(showReflection_, show))
        update();
}

void TiLedRound::setTransparent(bool transparent)
{
    if (assign(transparent_, transparent))
        update();
}

QColor TiLedRound::displayedColor() const
{
    if (active_)
        return activeColor_;
    return autoInactiveColor_ ? thirdOfColor(activeColor_) : inactiveColor_;
}

void TiLedRound::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    if (loading_ || width() == height())
        return;
    // A round lamp stays square: the side that changed decides.
    const int side = event->oldSize().width() != width() ? width() : height();
    resize(side, side);
}

void TiLedRound::paintEvent(QPaintEvent*)
{
    paintGuarded(*this, [this](QPainter& painter) { paintContent(painter); });
}

void TiLedRound::paintContent(QPainter& painter)
{
    if (!transparent_)
        painter.fillRect(rect(), colours::ButtonFace);
    painter.setRenderHint(QPainter::Antialiasing);

    const QRectF outer = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    const double ring = bevelStyle_ == ibsNone ? 0.0 : 2.0;
    if (ring > 0) {
        // Lowered: the light falls on the lower right of the ring, raised the other way round.
        const QColor dark = colours::ButtonShadow;
        const QColor light = colours::ButtonHighlight;
        const bool lowered = bevelStyle_ == ibsLowered;
        QLinearGradient shade(outer.topLeft(), outer.bottomRight());
        shade.setColorAt(0, lowered ? dark : light);
        shade.setColorAt(1, lowered ? light : dark);
        painter.setPen(Qt::NoPen);
        painter.setBrush(shade);
        painter.drawEllipse(outer);
    }

    const QRectF face = outer.adjusted(ring, ring, -ring, -ring);
    painter.setPen(Qt::NoPen);
    painter.setBrush(displayedColor());
    painter.drawEllipse(face);

    if (showReflection_) {
        const double inset = width() / 4.0;
        const QRectF glint = QRectF(rect()).adjusted(inset, inset, -inset, -inset);
        QPen pen(QColor(255, 255, 255, active_ ? 230 : 140));
        pen.setWidthF(std::max(1.0, width() / 16.0));
        pen.setCapStyle(Qt::RoundCap);
        painter.setPen(pen);
        painter.setBrush(Qt::NoBrush);
        // Two short arcs at the upper left, as a window would reflect in a glass dome.
        painter.drawArc(glint, 100 * 16, 40 * 16);
        painter.drawArc(glint, 150 * 16, 25 * 16);
    }
}

}  // namespace velmar
