#include "widgets/dials/positioncontrol.h"

#include "platform/named_colours.h"
#include "platform/platform_services.h"
#include "widgets/display_paint_guard.h"
#include "widgets/property_assign.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

#include <exception>

namespace velmar {

bool wheelEventDue(std::uint32_t now, std::uint32_t last, bool hasLast)
{
    // Unsigned subtraction keeps the spacing right across the counter's wrap-around.
    return !hasLast || static_cast<std::uint32_t>(now - last) >= WheelIntervalMs;
}

PositionControl::PositionControl(QWidget* parent) : QWidget(parent)
{
    // The scale is drawn over the window colour; the whole area is ours.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

PositionControl::~PositionControl() = default;

void PositionControl::invalidateStaticLayer()
{
    staticValid_ = false;
    update();
}

bool PositionControl::pressStartsDrag(const QPointF&) { return false; }
void PositionControl::dragTo(const QPointF&) {}
bool PositionControl::stepByKey(int) { return false; }
void PositionControl::stepByWheel(int) {}

void PositionControl::finishIfChanged()
{
    if (!changedMark_)
        return;
    changedMark_ = false;
    emit OnPositionChangeFinished();
}

void PositionControl::interactionChanged() { update(); }

void PositionControl::setInteraction(Interaction state)
{
    if (assign(interaction_, state))
        interactionChanged();
}

void PositionControl::ensureStaticLayer()
{
    const qreal ratio = devicePixelRatioF();
    const QSize pixels = (QSizeF(size()) * ratio).toSize();
    if (staticValid_ && staticLayer_.size() == pixels && staticLayer_.devicePixelRatio() == ratio)
        return;
    staticValid_ = false;
    QPixmap layer(pixels);
    layer.setDevicePixelRatio(ratio);
    layer.fill(colours::ButtonFace);
    {
        QPainter painter(&layer);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setFont(font());
        paintStatic(painter);
    }
    staticLayer_ = std::move(layer);
    staticValid_ = true;
    ++staticLayerBuilds_;
}

void PositionControl::paintEvent(QPaintEvent*)
{
    bool drawn = false;
    paintGuarded(*this, [&](QPainter& painter) {
        ensureStaticLayer();
        painter.drawPixmap(0, 0, staticLayer_);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setFont(font());
        paintDynamic(painter);
        drawn = true;
    });
    // After a failure the static layer is built afresh next time rather than trusted.
    if (!drawn)
        staticValid_ = false;
}

void PositionControl::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    event->accept();
    if (focusPolicy() != Qt::NoFocus)
        setFocus(Qt::MouseFocusReason);
    if (pressClearsChangedMark())
        changedMark_ = false;
    if (!pressStartsDrag(event->position()))
        return;
    setInteraction(Interaction::Dragging);
    if (pressIsMove())
        dragTo(event->position());
}

void PositionControl::mouseMoveEvent(QMouseEvent* event)
{
    if (interaction_ != Interaction::Dragging) {
        QWidget::mouseMoveEvent(event);
        return;
    }
    event->accept();
    dragTo(event->position());
}

void PositionControl::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || interaction_ != Interaction::Dragging) {
        QWidget::mouseReleaseEvent(event);
        return;
    }
    event->accept();
    setInteraction(Interaction::Idle);
    finishIfChanged();
}

void PositionControl::keyPressEvent(QKeyEvent* event)
{
    keyDown_ = true;
    if (!stepByKey(event->key())) {
        QWidget::keyPressEvent(event);
        return;
    }
    event->accept();
    if (interaction_ == Interaction::Idle)
        setInteraction(Interaction::KeyAdjusting);
}

void PositionControl::keyReleaseEvent(QKeyEvent* event)
{
    // Held keys repeat as press/release pairs here; only the real release ends the step.
    if (event->isAutoRepeat() || !keyDown_) {
        QWidget::keyReleaseEvent(event);
        return;
    }
    keyDown_ = false;
    if (interaction_ == Interaction::KeyAdjusting)
        setInteraction(Interaction::Idle);
    finishIfChanged();
}

void PositionControl::wheelEvent(QWheelEvent* event)
{
    event->accept();
    const std::uint32_t now = platform().tickCount();
    if (!wheelEventDue(now, lastWheelTick_, wheelActed_))
        return;
    wheelActed_ = true;
    lastWheelTick_ = now;
    QPoint delta = event->angleDelta();
    if (delta.isNull())
        delta = event->pixelDelta();
    const int amount = delta.y() != 0 ? delta.y() : delta.x();
    if (amount == 0)
        return;
    stepByWheel(amount > 0 ? 1 : -1);
    if (wheelFinishes())
        finishIfChanged();
}

void PositionControl::focusOutEvent(QFocusEvent* event)
{
    // Losing the focus (another window, a dialog) ends the interaction without a notice.
    keyDown_ = false;
    setInteraction(Interaction::Idle);
    QWidget::focusOutEvent(event);
}

bool PositionControl::event(QEvent* event)
{
    // Arrow keys would otherwise move the focus between controls; the control keeps them.
    if (event->type() == QEvent::ShortcutOverride) {
        auto* key = static_cast<QKeyEvent*>(event);
        switch (key->key()) {
        case Qt::Key_Left: case Qt::Key_Right: case Qt::Key_Up: case Qt::Key_Down:
        case Qt::Key_PageUp: case Qt::Key_PageDown: case Qt::Key_Home: case Qt::Key_End:
            if (key->modifiers() == Qt::NoModifier || key->modifiers() == Qt::KeypadModifier) {
                event->accept();
                return true;
            }
            break;
        default:
            break;
        }
    }
    return QWidget::event(event);
}

}  // namespace velmar
