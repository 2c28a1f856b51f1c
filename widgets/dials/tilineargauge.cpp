#include "widgets/dials/tilineargauge.h"

#include "platform/named_colours.h"
#include "widgets/property_assign.h"

#include <QMouseEvent>
#include <QPainter>
#include <qdrawutil.h>

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <string>

namespace velmar {

// ---- geometry ---------------------------------------------------------------------------------

int LinearScaleRows::rowOf(double value) const
{
    if (max == min)
        return int(std::lround((top + bottom) / 2.0));
    const double f = positionFraction(value, min, max);
    const double row = reverse ? top + f * (bottom - top) : bottom - f * (bottom - top);
    return int(std::lround(row));
}

double LinearScaleRows::valueAt(double row) const
{
    if (max == min || bottom == top)
        return min;
    const double f = (row - top) / double(bottom - top);
    return reverse ? min + f * (max - min) : max - f * (max - min);
}

QPolygonF linearGaugePointerOutline(int row, int size, int margin, bool scaleSide, int bandLeft,
                                    int bandRight)
{
    // Pixel rows are addressed by their centres, so the outline sits symmetrically on the row.
    const double centre = row + 0.5;
    const double top = centre - size / 2.0;
    const double bottom = centre + size / 2.0;
    const double length = 2.0 * size;
    const double tip = size / 2.0;
    QPolygonF outline;
    if (scaleSide) {
        const double right = bandRight - margin;
        const double left = right - length;
        outline << QPointF(left, centre) << QPointF(left + tip, top) << QPointF(right, top)
                << QPointF(right, bottom) << QPointF(left + tip, bottom);
    } else {
        const double left = bandLeft + margin;
        const double right = left + length;
        outline << QPointF(left, top) << QPointF(right - tip, top) << QPointF(right, centre)
                << QPointF(right - tip, bottom) << QPointF(left, bottom);
    }
    return outline;
}

namespace {

// The pointer shape: flat fill with a darker rim, or with a bevel when `style3D`.
void drawPointerShape(QPainter& painter, const QPolygonF& outline, const QColor& fill, bool style3D)
{
    painter.setBrush(fill);
    QPen rim(fill.darker(220));
    rim.setWidthF(1.0);
    rim.setJoinStyle(Qt::MiterJoin);
    painter.setPen(rim);
    painter.drawPolygon(outline);
    if (!style3D || outline.size() < 5)
        return;
    // Light along the upper edges, shadow along the lower ones.
    const QRectF box = outline.boundingRect();
    QPen light(fill.lighter(170));
    light.setWidthF(1.0);
    painter.setPen(light);
    painter.drawLine(QPointF(box.left() + 1, box.top() + 1), QPointF(box.right() - 1, box.top() + 1));
    QPen shadow(fill.darker(170));
    shadow.setWidthF(1.0);
    painter.setPen(shadow);
    painter.drawLine(QPointF(box.left() + 1, box.bottom() - 1),
                     QPointF(box.right() - 1, box.bottom() - 1));
}

}  // namespace

// ---- pointers ---------------------------------------------------------------------------------

void TiLinearGaugePointer::setPosition(double value)
{
    gauge_.changePointerPosition(index_, value, false);
}

void TiLinearGaugePointer::changed(bool geometry) { gauge_.pointerLookChanged(geometry); }

void TiLinearGaugePointer::setVisible(bool value) { if (assign(visible_, value)) changed(false); }
void TiLinearGaugePointer::setEnabled(bool value) { if (assign(enabled_, value)) changed(false); }
void TiLinearGaugePointer::setColor(const QColor& value) { if (assign(color_, value)) changed(false); }
void TiLinearGaugePointer::setDisabledColor(const QColor& value) { if (assign(disabledColor_, value)) changed(false); }
void TiLinearGaugePointer::setUseDisabledColor(bool value) { if (assign(useDisabledColor_, value)) changed(false); }
void TiLinearGaugePointer::setStyle(int value) { if (assign(style_, value)) changed(false); }
void TiLinearGaugePointer::setStyle3D(bool value) { if (assign(style3D_, value)) changed(false); }
void TiLinearGaugePointer::setDrawScaleSide(bool value) { if (assign(drawScaleSide_, value)) changed(false); }
void TiLinearGaugePointer::setUserCanMove(bool value) { if (assign(userCanMove_, value)) changed(false); }
// The largest margin offsets the tick band, so margins move the scale.
void TiLinearGaugePointer::setMargin(int value) { if (assign(margin_, value)) changed(true); }

void TiLinearGaugePointer::setSize(int value)
{
    value = std::max(1, value);
    if (assign(size_, value))
        changed(false);
}

// ---- the gauge --------------------------------------------------------------------------------

TiLinearGauge::TiLinearGauge(QWidget* parent) : TiPositionComponent(parent)
{
    setTickMajorCount(5);
    setTickMajorLength(20);
    setTickMinorCount(4);
    setTickMinorLength(7);
    setTickMargin(0);
    setTickLabelMargin(5);
    setTickLabelPrecision(0);
    setFocusPolicy(Qt::NoFocus);
    // The cursor shows whether the pointer under the mouse can be dragged, button or not.
    setMouseTracking(true);
    addPointer();
    resize(sizeHint());
}

TiLinearGauge::~TiLinearGauge() = default;

TiLinearGaugePointer& TiLinearGauge::pointer(int index)
{
    if (index < 0 || index >= pointerCount())
        throw std::out_of_range("Pointer index out of range: " + std::to_string(index));
    return *pointers_[size_t(index)];
}

const TiLinearGaugePointer& TiLinearGauge::pointer(int index) const
{
    return const_cast<TiLinearGauge*>(this)->pointer(index);
}

TiLinearGaugePointer& TiLinearGauge::addPointer()
{
    pointers_.push_back(std::unique_ptr<TiLinearGaugePointer>(
        new TiLinearGaugePointer(*this, pointerCount())));
    update();
    return *pointers_.back();
}

void TiLinearGauge::setPointers(const std::vector<LinearGaugePointerSpec>& specs)
{
    pointers_.clear();
    dragPointer_ = -1;
    storePosition(0);
    invalidateStaticLayer();
    for (const LinearGaugePointerSpec& spec : specs) {
        TiLinearGaugePointer& p = addPointer();
        const int index = p.index();
        p.setVisible(spec.visible);
        p.setSize(spec.size);
        p.setColor(spec.color);
        p.setDrawScaleSide(spec.drawScaleSide);
        p.setUserCanMove(spec.userCanMove);
        // Last, and through the pointer's own setter: a handler may look at the pointer.
        changePointerPosition(index, spec.position, false);
    }
    if (pointers_.empty())
        addPointer();  // the gauge's Position always has a pointer behind it
}

void TiLinearGauge::setPosition(double value)
{
    if (isLoading()) {
        if (std::isnan(value))
            return;
        pointers_.front()->position_ = value;
        storePosition(value);
        return;
    }
    changePosition(value, false);
}

void TiLinearGauge::positionStored(bool)
{
    // The model has stored the clamped value; pointer 0 is where the gauge keeps it.
    pointers_.front()->position_ = position();
    emit OnPointerPositionChanged(0);
}

void TiLinearGauge::changePointerPosition(int index, double value, bool byOperator)
{
    TiLinearGaugePointer& p = pointer(index);
    // Positions are not limited to the range, but a NaN or an infinity would reach whoever
    // turns the position into motor steps; they are refused and the pointer stays.
    if (!std::isfinite(value) || value == p.position_)
        return;
    p.position_ = value;
    if (index == 0) {
        storePosition(value);
        if (!isLoading())
            markChanged();
    }
    update();
    emit OnPointerPositionChanged(index);
    if (isLoading())
        return;
    emit OnPositionChange();
    if (byOperator)
        emit OnPositionChangeUser();
}

void TiLinearGauge::pullIntoRange()
{
    changePosition(position(), false);
    for (int i = 1; i < pointerCount(); ++i)
        changePointerPosition(i, clampPosition(pointer(i).position(), positionMin(), positionMax()),
                              false);
}

void TiLinearGauge::pointerLookChanged(bool geometry)
{
    if (geometry)
        invalidateStaticLayer();
    else
        update();
}

void TiLinearGauge::setOrientation(TOrientation value) { if (assign(orientation_, value)) invalidateStaticLayer(); }
void TiLinearGauge::setOrientationTickMarks(TOrientationSide value) { if (assign(orientationTickMarks_, value)) invalidateStaticLayer(); }
void TiLinearGauge::setReverseScale(bool value) { if (assign(reverseScale_, value)) invalidateStaticLayer(); }
void TiLinearGauge::setBorderStyle(TBorderStyle value) { if (assign(borderStyle_, value)) invalidateStaticLayer(); }

void TiLinearGauge::setEndsMargin(int value)
{
    value = std::max(0, value);
    if (assign(endsMargin_, value))
        invalidateStaticLayer();
}

void TiLinearGauge::setAllowFocus(bool value)
{
    allowFocus_ = value;
    setFocusPolicy(value ? Qt::StrongFocus : Qt::NoFocus);
}

int TiLinearGauge::borderWidth() const { return borderStyle_ == ibsNone ? 0 : 2; }

int TiLinearGauge::bandLeft() const
{
    int margin = 0;
    for (const auto& p : pointers_)
        margin = std::max(margin, p->margin());
    return borderWidth() + margin;
}

LinearScaleRows TiLinearGauge::scaleRows() const
{
    LinearScaleRows rows;
    rows.top = endsMargin_;
    rows.bottom = height() - 1 - endsMargin_;
    rows.min = positionMin();
    rows.max = positionMax();
    rows.reverse = reverseScale_;
    return rows;
}

QPolygonF TiLinearGauge::pointerOutline(int index) const
{
    const TiLinearGaugePointer& p = pointer(index);
    // Drawn pinned at the nearer end; the stored value is left as it is.
    const double shown = clampPosition(p.position(), positionMin(), positionMax());
    return linearGaugePointerOutline(scaleRows().rowOf(shown), p.size(), p.margin(),
                                     p.drawScaleSide(), bandLeft(), bandRight());
}

std::vector<int> TiLinearGauge::pointersAt(const QPointF& point) const
{
    // Mouse points name pixels; test the pixel's centre against the outlines.
    const QPointF centre = QPointF(std::floor(point.x()), std::floor(point.y())) + QPointF(0.5, 0.5);
    std::vector<int> hits;
    for (int i = 0; i < pointerCount(); ++i) {
        const TiLinearGaugePointer& p = *pointers_[size_t(i)];
        if (p.visible() && p.enabled() && pointerOutline(i).containsPoint(centre, Qt::OddEvenFill))
            hits.push_back(i);
    }
    return hits;
}

void TiLinearGauge::paintStatic(QPainter& painter)
{
    if (borderStyle_ != ibsNone)
        qDrawWinPanel(&painter, rect(), designPalette(), borderStyle_ == ibsLowered);

    const LinearScaleRows rows = scaleRows();
    const int x0 = bandLeft() + tickMargin();
    const int majorCount = tickMajorCount();
    painter.setRenderHint(QPainter::Antialiasing, false);

    // The scale's spine along the ticks' roots.
    painter.setPen(tickMajorColor());
    painter.drawLine(x0, rows.top, x0, rows.bottom);

    if (showTicksMinor() && tickMinorCount() > 0 && majorCount > 1) {
        painter.setPen(tickMinorColor());
        for (int i = 0; i + 1 < majorCount; ++i) {
            const double from = tickValue(positionMin(), positionMax(), majorCount, i);
            const double to = tickValue(positionMin(), positionMax(), majorCount, i + 1);
            for (int j = 1; j <= tickMinorCount(); ++j) {
                const int row = rows.rowOf(from + j * (to - from) / (tickMinorCount() + 1));
                painter.drawLine(x0, row, x0 + tickMinorLength() - 1, row);
            }
        }
    }
    for (int i = 0; i < majorCount; ++i) {
        const int row = rows.rowOf(tickValue(positionMin(), positionMax(), majorCount, i));
        if (showTicksMajor()) {
            painter.setPen(tickMajorColor());
            painter.drawLine(x0, row, x0 + tickMajorLength() - 1, row);
        }
        if (showTickLabels()) {
            painter.setPen(colours::WindowText);
            const int x = x0 + tickMajorLength() + tickLabelMargin();
            const int h = painter.fontMetrics().height();
            painter.drawText(QRect(x, row - h / 2, width() - x, h), Qt::AlignLeft | Qt::AlignVCenter,
                             tickLabel(i));
        }
    }
}

void TiLinearGauge::paintDynamic(QPainter& painter)
{
    // Index order, so a higher index lies on top where pointers overlap.
    for (int i = 0; i < pointerCount(); ++i) {
        const TiLinearGaugePointer& p = *pointers_[size_t(i)];
        if (!p.visible())
            continue;
        const QColor fill = !p.enabled() && p.useDisabledColor() ? p.disabledColor() : p.color();
        drawPointerShape(painter, pointerOutline(i), fill, p.style3D());
    }
}

bool TiLinearGauge::pressStartsDrag(const QPointF& point)
{
    const std::vector<int> hits = pointersAt(point);
    dragPointer_ = -1;
    if (hits.empty())
        return false;
    // Each hit pointer in turn, from the top of the stack down, becomes the one selected, so
    // the lowest index wins; all of them are flagged for the click test at the release.
    for (auto it = hits.rbegin(); it != hits.rend(); ++it) {
        for (auto& p : pointers_)
            p->selected_ = false;
        pointers_[size_t(*it)]->selected_ = true;
    }
    for (int i : hits) {
        pointers_[size_t(i)]->dragging_ = true;
        if (dragPointer_ < 0 && pointers_[size_t(i)]->userCanMove())
            dragPointer_ = i;
    }
    pressValue_ = scaleRows().valueAt(std::floor(point.y()));
    if (dragPointer_ >= 0)
        dragStartValue_ = pointer(dragPointer_).position();
    return true;
}

void TiLinearGauge::dragTo(const QPointF& point)
{
    if (dragPointer_ < 0)
        return;
    const double value = dragStartValue_ + (scaleRows().valueAt(std::floor(point.y())) - pressValue_);
    changePointerPosition(dragPointer_, value, true);
}

bool TiLinearGauge::stepByKey(int key)
{
    // Keys act only on a gauge that may take the focus; otherwise they are not ours even when
    // sent straight to the control.
    if (!allowFocus_)
        return false;
    int selected = -1;
    for (int i = 0; i < pointerCount() && selected < 0; ++i)
        if (pointers_[size_t(i)]->selected())
            selected = i;
    if (selected < 0)
        return false;
    const std::optional<double> value = keyStepTarget(key, pointer(selected).position(), keyArrowStepSize_,
                                                      keyPageStepSize_, positionMin(), positionMax());
    if (!value)
        return false;
    if (selected == 0)
        changePosition(*value, true);
    else
        changePointerPosition(selected, *value, true);
    return true;
}

void TiLinearGauge::updateCursor(const QPointF& point)
{
    const std::vector<int> hits = pointersAt(point);
    if (hits.empty()) {
        if (testAttribute(Qt::WA_SetCursor))
            unsetCursor();
        return;
    }
    const Qt::CursorShape shape =
        pointers_[size_t(hits.front())]->userCanMove() ? Qt::PointingHandCursor : Qt::ArrowCursor;
    if (!testAttribute(Qt::WA_SetCursor) || cursor().shape() != shape)
        setCursor(shape);
}

void TiLinearGauge::mouseMoveEvent(QMouseEvent* event)
{
    updateCursor(event->position());
    TiPositionComponent::mouseMoveEvent(event);
}

void TiLinearGauge::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        const std::vector<int> under = pointersAt(event->position());
        std::vector<int> clicked;
        for (int i = 0; i < pointerCount(); ++i) {
            TiLinearGaugePointer& p = *pointers_[size_t(i)];
            if (p.dragging_ && std::find(under.begin(), under.end(), i) != under.end())
                clicked.push_back(i);
            p.dragging_ = false;
        }
        dragPointer_ = -1;
        for (int i : clicked)
            emit OnClickPointer(i);
    }
    TiPositionComponent::mouseReleaseEvent(event);
    event->accept();
    // Last: a listener acting on the pointers' final positions sees every change of the drag.
    emit OnMouseUp(event->button(), event->modifiers(), qRound(event->position().x()),
                   qRound(event->position().y()));
}

}  // namespace velmar
