#pragma once

#include <QPixmap>
#include <QWidget>

#include <cstdint>
#include <optional>

namespace velmar {

// Minimum spacing of wheel events that are acted on. Mice with free-spinning or
// high-resolution wheels deliver bursts of small deltas; one step per 30 ms keeps a flick
// from racing through the whole range.
inline constexpr std::uint32_t WheelIntervalMs = 30;

// True when a wheel event at tick `now` may act, given the tick of the last event that acted
// (`hasLast` false before the first one). The tick counter wraps at 2^32.
bool wheelEventDue(std::uint32_t now, std::uint32_t last, bool hasLast);

// The keys of every slider-like control: the arrows step by `arrowStep` (Left and Down back,
// Right and Up forward), Page Up and Page Down by `pageStep`, Home and End go to `first` and
// `last`. The position `now` stepped by `key`, or nothing when the key is not one of these.
template <typename T>
std::optional<T> keyStepTarget(int key, T now, T arrowStep, T pageStep, T first, T last)
{
    switch (key) {
    case Qt::Key_Left: case Qt::Key_Down: return now - arrowStep;
    case Qt::Key_Right: case Qt::Key_Up: return now + arrowStep;
    case Qt::Key_PageUp: return now + pageStep;
    case Qt::Key_PageDown: return now - pageStep;
    case Qt::Key_Home: return first;
    case Qt::Key_End: return last;
    default: return std::nullopt;
    }
}

// Base of the instrument controls that the operator can set (knob, slider switch) and of the
// scale displays that share the position model (meter, position gauge).
//
// Painting: a static layer (face, scale, ticks, labels) is cached in a pixmap at the
// widget's size and device pixel ratio and rebuilt only after invalidateStaticLayer(); the
// moving parts are painted live over it. An exception while painting turns the control
// black with the message in white, and the program carries on.
//
// Input: mouse press/move/release, keys, the wheel (one step per WheelIntervalMs), focus
// and the "adjusting" state live here; subclasses supply the geometry through the virtual
// hooks below. A disabled control gets no input from Qt and its painting ignores the
// enabled state, so it looks the same.
class PositionControl : public QWidget {
    Q_OBJECT
public:
    enum class Interaction { Idle, Dragging, KeyAdjusting };

    explicit PositionControl(QWidget* parent = nullptr);
    ~PositionControl() override;

    Interaction interaction() const { return interaction_; }
    // True while a drag or a key press is in progress (the highlight colours are on).
    bool isAdjusting() const { return interaction_ != Interaction::Idle; }
    // Whether the position changed since the current interaction began (or since the last
    // OnPositionChangeFinished).
    bool changedMark() const { return changedMark_; }

    // How many times the static layer was rebuilt; lets tests and benchmarks check that a
    // position change does not redraw the scale.
    int staticLayerBuilds() const { return staticLayerBuilds_; }

signals:
    void OnPositionChange();
    void OnPositionChangeUser();
    void OnPositionChangeFinished();

protected:
    // --- painting -------------------------------------------------------------------------
    // Draws what changes only with scale or style properties, in widget coordinates.
    virtual void paintStatic(QPainter& painter) = 0;
    // Draws the moving parts over the static layer.
    virtual void paintDynamic(QPainter& painter) = 0;
    // Call from every setter that changes what paintStatic draws; schedules a repaint.
    void invalidateStaticLayer();

    // --- input hooks ----------------------------------------------------------------------
    // Left press on an enabled control, after the focus was taken. Return true to start a
    // drag; the press is then also passed to dragTo when pressIsMove() is true.
    virtual bool pressStartsDrag(const QPointF& point);
    virtual bool pressIsMove() const { return false; }
    // Whether a press clears the changed mark (the knob does; the switch keeps a pending
    // wheel notice for the end of the next interaction).
    virtual bool pressClearsChangedMark() const { return true; }
    virtual void dragTo(const QPointF& point);
    // Handle a key; return true when it was consumed (it then starts key-adjusting).
    virtual bool stepByKey(int key);
    // One wheel step, +1 forward or -1 back.
    virtual void stepByWheel(int direction);
    // Whether a wheel step raises OnPositionChangeFinished by itself.
    virtual bool wheelFinishes() const { return true; }

    // Subclasses call this whenever the stored position changes (by code or operator).
    void markChanged() { changedMark_ = true; }
    // Raises OnPositionChangeFinished when the changed mark is set, and clears the mark.
    void finishIfChanged();
    // Called when the adjusting state changes; default repaints the moving parts.
    virtual void interactionChanged();

    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    bool event(QEvent* event) override;

private:
    void setInteraction(Interaction state);
    void ensureStaticLayer();

    Interaction interaction_ = Interaction::Idle;
    bool changedMark_ = false;
    bool keyDown_ = false;
    bool wheelActed_ = false;
    std::uint32_t lastWheelTick_ = 0;
    QPixmap staticLayer_;
    bool staticValid_ = false;
    int staticLayerBuilds_ = 0;
};

}  // namespace velmar
