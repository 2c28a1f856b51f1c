#include "widgets/dials/tiswitchslider.h"

#include "platform/named_colours.h"
#include "widgets/dials/dial_painters.h"
#include "widgets/property_assign.h"

#include <QFocusEvent>
#include <QFontMetrics>
#include <QPainter>
#include <QPolygonF>

#include <algorithm>
#include <cmath>

namespace velmar {

QStringList parsePositionLabels(const QString& text)
{
    const QStringList pieces = text.split(QLatin1Char(','));
    QStringList labels;
    for (qsizetype i = 0; i < pieces.size(); ++i) {
        const QString piece = pieces[i].trimmed();
        if (!piece.isEmpty())
            labels << piece;
        else if (i + 1 < pieces.size())
            labels << QStringLiteral("???");
    }
    return labels;
}

int sliderTravel(int height, int pointerHeight, int endsMargin, bool ledPointer)
{
    return height - pointerHeight - 2 * endsMargin - 2 * (ledPointer ? 2 : 0);
}

int sliderPointerOffset(int travel, int count, int position)
{
    if (count < 2)
        return 0;
    return int(std::lround(double(travel) / (count - 1) * position));
}

int sliderPositionAt(double y, int height, int pointerHeight, int endsMargin, bool ledPointer, int count)
{
    const int travel = sliderTravel(height, pointerHeight, endsMargin, ledPointer);
    if (count < 2 || travel <= 0)
        return 0;
    const double e = ledPointer ? 2 : 0;
    const double fromBottom = height - y - endsMargin - e - pointerHeight / 2;
    // std::nearbyint rounds halves to the even neighbour in the default rounding mode.
    const double steps = std::nearbyint(fromBottom / (double(travel) / (count - 1)));
    return int(std::clamp(steps, -1e6, 1e6));
}

PositionLabelError::PositionLabelError()
    : HandlerError(QStringLiteral("Position Label String Must be < 256 Characters"))
{
}

TiSwitchSlider::TiSwitchSlider(QWidget* parent) : PositionControl(parent)
{
    setFocusPolicy(Qt::StrongFocus);
    pointerColor_ = colours::ButtonFace;
    pointerHighLightColor_ = colours::ButtonHighlight;
    activeFont_ = font();
    inactiveFont_ = font();
    setPositionLabels(QStringLiteral("Low, Medium, High"));
    resize(80, 80);
}

TiSwitchSlider::~TiSwitchSlider() = default;

void TiSwitchSlider::endLoading()
{
    if (loading_ > 0)
        --loading_;
    if (loading_ == 0)
        invalidateStaticLayer();
}

void TiSwitchSlider::setPositionLabels(const QString& text)
{
    if (text.size() > MaxPositionLabelsLength)
        throw PositionLabelError();
    labelsText_ = text;
    labels_ = parsePositionLabels(text);
    const int last = std::max(0, positionCount() - 1);
    if (position_ > last) {
        // Fewer positions now: the switch moves down to the last one that exists.
        if (isLoading())
            position_ = last;
        else
            changePosition(last, false);
    }
    invalidateStaticLayer();
}

bool TiSwitchSlider::changePosition(int value, bool byOperator)
{
    if (isLoading()) {
        position_ = value;
        return false;
    }
    value = std::clamp(value, 0, std::max(0, positionCount() - 1));
    if (!assign(position_, value))
        return false;
    markChanged();
    update();
    emit OnPositionChange();
    if (byOperator)
        emit OnPositionChangeUser();
    return true;
}

void TiSwitchSlider::setAutoCenter(bool value) { if (assign(autoCenter_, value)) layoutChanged(); }
void TiSwitchSlider::setBorderStyle(TiSwitchSlider::TBorderStyle value) { if (assign(borderStyle_, value)) layoutChanged(); }
void TiSwitchSlider::setEndsMargin(int value) { if (assign(endsMargin_, value)) layoutChanged(); }
void TiSwitchSlider::setPointerStyle(TiSwitchSlider::TPointerStyle value) { if (assign(pointerStyle_, value)) layoutChanged(); }
void TiSwitchSlider::setPointerHeight(int value) { if (assign(pointerHeight_, std::max(1, value))) layoutChanged(); }
void TiSwitchSlider::setPointerWidth(int value) { if (assign(pointerWidth_, std::max(1, value))) layoutChanged(); }
void TiSwitchSlider::setPointerColor(const QColor& value) { if (assign(pointerColor_, value)) update(); }
void TiSwitchSlider::setPointerHighLightColor(const QColor& value) { if (assign(pointerHighLightColor_, value)) update(); }
void TiSwitchSlider::setPointerIndicatorActiveColor(const QColor& value) { if (assign(indicatorActiveColor_, value)) update(); }
void TiSwitchSlider::setPointerIndicatorInactiveColor(const QColor& value) { if (assign(indicatorInactiveColor_, value)) update(); }
void TiSwitchSlider::setTrackColor(const QColor& value) { if (assign(trackColor_, value)) layoutChanged(); }
void TiSwitchSlider::setShowPositionLabels(bool value) { if (assign(showLabels_, value)) layoutChanged(); }
void TiSwitchSlider::setShowPositionIndicators(bool value) { if (assign(showIndicators_, value)) layoutChanged(); }
void TiSwitchSlider::setShowFocusRect(bool value) { if (assign(showFocusRect_, value)) update(); }
void TiSwitchSlider::setPositionLabelMargin(int value) { if (assign(labelMargin_, value)) layoutChanged(); }
void TiSwitchSlider::setPositionIndicatorSize(int value) { if (assign(indicatorSize_, std::max(0, value))) layoutChanged(); }
void TiSwitchSlider::setPositionIndicatorMargin(int value) { if (assign(indicatorMargin_, value)) layoutChanged(); }
void TiSwitchSlider::setPositionIndicatorColor(const QColor& value) { if (assign(indicatorColor_, value)) layoutChanged(); }
void TiSwitchSlider::setPositionLabelActiveFont(const QFont& value) { if (assign(activeFont_, value)) layoutChanged(); }
void TiSwitchSlider::setPositionLabelInactiveFont(const QFont& value) { if (assign(inactiveFont_, value)) layoutChanged(); }

int TiSwitchSlider::pointerCentreY(int position) const
{
    const int e = ledPointer() ? 2 : 0;
    const int travel = sliderTravel(height(), pointerHeight_, endsMargin_, ledPointer());
    const int bottom = height() - endsMargin_ - e - pointerHeight_ / 2;
    return bottom - sliderPointerOffset(travel, positionCount(), position);
}

int TiSwitchSlider::labelColumnWidth() const
{
    if (!showLabels_)
        return 0;
    const QFontMetrics active(activeFont_);
    const QFontMetrics inactive(inactiveFont_);
    int widest = 0;
    for (const QString& label : labels_)
        widest = std::max({widest, active.horizontalAdvance(label), inactive.horizontalAdvance(label)});
    return widest + labelMargin_;
}

int TiSwitchSlider::pointerLeft() const
{
    if (!autoCenter_)
        return borderStyle_ == ibsNone ? 0 : 2;
    const int indicators = showIndicators_ ? indicatorSize_ + indicatorMargin_ : 0;
    const int group = pointerWidth_ + indicators + labelColumnWidth();
    return (width() - group) / 2;
}

void TiSwitchSlider::paintStatic(QPainter& painter)
{
    if (borderStyle_ != ibsNone)
        drawBevel(painter, rect(), 2, borderStyle_ == ibsLowered);

    const int count = positionCount();
    const int left = pointerLeft();
    const int trackWidth = 5;
    const double trackX = left + (pointerWidth_ - trackWidth) / 2.0;
    const int top = pointerCentreY(std::max(0, count - 1)) - pointerHeight_ / 2;
    const int bottom = pointerCentreY(0) + pointerHeight_ - pointerHeight_ / 2;
    const QRectF track(trackX, top, trackWidth, std::max(0, bottom - top));
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.fillRect(track, trackColor_);
    drawBevel(painter, track.adjusted(-1, -1, 1, 1), 1, true);

    if (showIndicators_ && indicatorSize_ > 0) {
        // One unlit mark per position; the selected one is lit over it.
        const int x = left + pointerWidth_ + indicatorMargin_ / 2;
        const QColor unlit(indicatorColor_.red() / 3, indicatorColor_.green() / 3, indicatorColor_.blue() / 3);
        for (int p = 0; p < count; ++p) {
            const QRect mark(x, pointerCentreY(p) - indicatorSize_ / 2, indicatorSize_, indicatorSize_);
            painter.fillRect(mark, unlit);
            drawBevel(painter, mark.adjusted(-1, -1, 1, 1), 1, true);
        }
    }
}

void TiSwitchSlider::paintDynamic(QPainter& painter)
{
    const int count = positionCount();
    const int left = pointerLeft();
    const int markX = left + pointerWidth_ + indicatorMargin_ / 2;

    if (showIndicators_ && indicatorSize_ > 0 && count > 0) {
        painter.fillRect(QRect(markX, pointerCentreY(position_) - indicatorSize_ / 2, indicatorSize_, indicatorSize_),
                         indicatorColor_);
    }

    if (showLabels_) {
        const int x = left + pointerWidth_ + (showIndicators_ ? indicatorSize_ + indicatorMargin_ : 0) + labelMargin_;
        painter.setPen(colours::WindowText);
        for (int p = 0; p < count; ++p) {
            painter.setFont(p == position_ ? activeFont_ : inactiveFont_);
            const int rowHeight = QFontMetrics(painter.font()).height();
            const QRect box(x, pointerCentreY(p) - rowHeight / 2, width() - x, rowHeight);
            painter.drawText(box, Qt::AlignLeft | Qt::AlignVCenter, labels_[p]);
        }
        painter.setFont(font());
    }

    if (count > 0) {
        // The pointer: a bevelled cap across the track, pointing toward the labels, with a
        // mark along its middle.
        const double yc = pointerCentreY(position_);
        const double y0 = yc - pointerHeight_ / 2.0;
        const double y1 = y0 + pointerHeight_;
        const double x0 = left;
        const double x1 = left + pointerWidth_;
        const double tip = std::min(3.0, pointerHeight_ / 2.0);
        QPolygonF shape;
        shape << QPointF(x0, y0) << QPointF(x1 - tip, y0) << QPointF(x1, yc) << QPointF(x1 - tip, y1) << QPointF(x0, y1);
        const QColor body = isAdjusting() ? pointerHighLightColor_ : pointerColor_;
        painter.setRenderHint(QPainter::Antialiasing, true);
        painter.setPen(QPen(QColor(105, 105, 105), 1));
        painter.setBrush(body);
        painter.drawPolygon(shape.translated(0.5, 0.5));
        painter.setBrush(Qt::NoBrush);
        painter.setPen(QPen(colours::White, 1));
        painter.drawLine(QPointF(x0 + 1.5, y0 + 1.5), QPointF(x1 - tip, y0 + 1.5));
        painter.drawLine(QPointF(x0 + 1.5, y0 + 1.5), QPointF(x0 + 1.5, y1 - 0.5));
        painter.setRenderHint(QPainter::Antialiasing, false);
        const QColor mark = isAdjusting() ? indicatorActiveColor_ : indicatorInactiveColor_;
        painter.fillRect(QRectF(x0 + 3, yc - 0.5, pointerWidth_ - 3 - tip - 1, 2), mark);
    }

    if (showFocusRect_ && hasFocus())
        drawFocusFrame(painter, rect().adjusted(2, 2, -2, -2));
}

bool TiSwitchSlider::pressStartsDrag(const QPointF&) { return true; }

void TiSwitchSlider::dragTo(const QPointF& point)
{
    changePosition(sliderPositionAt(point.y(), height(), pointerHeight_, endsMargin_, ledPointer(), positionCount()), true);
}

bool TiSwitchSlider::stepByKey(int key)
{
    const std::optional<int> target = keyStepTarget(key, position_, keyArrowStep_, keyPageStep_, 0, positionCount() - 1);
    if (target)
        changePosition(*target, true);
    return target.has_value();
}

void TiSwitchSlider::stepByWheel(int direction) { changePosition(position_ + direction, true); }

void TiSwitchSlider::focusInEvent(QFocusEvent* event)
{
    PositionControl::focusInEvent(event);
    update();
}

void TiSwitchSlider::focusOutEvent(QFocusEvent* event)
{
    PositionControl::focusOutEvent(event);
    update();
}

void TiSwitchSlider::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::FontChange || event->type() == QEvent::PaletteChange)
        layoutChanged();
    PositionControl::changeEvent(event);
}

}  // namespace velmar
