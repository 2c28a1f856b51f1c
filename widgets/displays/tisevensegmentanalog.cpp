#include "widgets/displays/tisevensegmentanalog.h"

#include "platform/named_colours.h"
#include "widgets/display_paint_guard.h"
#include "widgets/property_assign.h"

#include <QLocale>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace velmar {

double sevenSegmentStoredValue(double requested)
{
    if (std::isnan(requested) || requested > TiSevenSegmentAnalog::MaxValue)
        return TiSevenSegmentAnalog::MaxValue;
    if (std::isinf(requested))
        return -TiSevenSegmentAnalog::MaxValue;
    return requested;
}

SevenSegmentCells sevenSegmentCells(double value, int digitCount, int precision, bool showSign,
                                    TiSevenSegmentAnalog::TLeadingStyle leading,
                                    QChar decimalPoint)
{
    value = sevenSegmentStoredValue(value);
    const bool negative = value < 0;
    SevenSegmentCells cells;
    if (showSign)
        cells.sign = negative ? QLatin1Char('-') : QLatin1Char('+');

    // Printed with a point whatever the locale; only the drawn separator follows the locale,
    // and it has the same width in the text either way.
    const QString text = QString::number(std::fabs(value), 'f', precision);
    const qsizetype limit = precision > 0 ? digitCount + 1 : digitCount;
    if (text.size() > limit) {
        cells.digits = QString(digitCount, negative ? QLatin1Char('>') : QLatin1Char('<'));
        return cells;
    }

    const qsizetype dot = text.indexOf(QLatin1Char('.'));
    QString integerPart = dot < 0 ? text : text.left(dot);
    const QString fraction = dot < 0 ? QString() : text.mid(dot + 1);
    const int integerWidth = digitCount - precision;
    if (leading == TiSevenSegmentAnalog::ilsSpaces)
        integerPart = integerPart.rightJustified(integerWidth, QLatin1Char(' '));
    else if (leading == TiSevenSegmentAnalog::ilsZeros)
        integerPart = integerPart.rightJustified(integerWidth, QLatin1Char('0'));

    cells.digits = integerPart + fraction.left(std::min(precision, digitCount - 1));
    if (precision > 0 && digitCount > 1) {
        cells.pointAfter = int(integerPart.size()) - 1;
        cells.point = decimalPoint;
    }
    cells.digits = cells.digits.leftJustified(digitCount, QLatin1Char(' '), true);
    return cells;
}

SevenSegmentLayout sevenSegmentLayout(QSize size, int cellCount, int margin, int spacing)
{
    SevenSegmentLayout layout;
    cellCount = std::max(1, cellCount);
    layout.spacing = spacing;
    layout.cellWidth =
        std::max(0, (size.width() - 2 * margin - (cellCount - 1) * spacing) / cellCount);
    layout.cellHeight = std::max(0, size.height() - 2 * margin);
    const int rowWidth = cellCount * layout.cellWidth + (cellCount - 1) * spacing;
    layout.left = (size.width() - rowWidth) / 2;
    layout.top = margin;
    return layout;
}

QColor thirdOfColor(const QColor& color)
{
    const QColor rgb = color.toRgb();
    return QColor(rgb.red() / 3, rgb.green() / 3, rgb.blue() / 3);
}

TiSevenSegmentAnalog::TiSevenSegmentAnalog(QWidget* parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    resize(sizeHint());
}

void TiSevenSegmentAnalog::setValue(double value)
{
    value = sevenSegmentStoredValue(value);
    if (!assign(value_, value))
        return;
    update();
    if (!loading_)
        emit OnValueChange();
}

void TiSevenSegmentAnalog::setDigitCount(int count)
{
    count = std::clamp(count, 1, 32);
    if (assign(digitCount_, count))
        invalidateLayout();
}

void TiSevenSegmentAnalog::setPrecision(int precision)
{
    precision = std::clamp(precision, 0, 13);
    if (assign(precision_, precision))
        invalidateLayout();
}

void TiSevenSegmentAnalog::setShowSign(bool show)
{
    if (assign(showSign_, show))
        invalidateLayout();
}

void TiSevenSegmentAnalog::setLeadingStyle(TLeadingStyle style)
{
    if (assign(leadingStyle_, style))
        invalidateLayout();
}

void TiSevenSegmentAnalog::setSegmentColor(const QColor& color)
{
    if (assign(segmentColor_, color))
        invalidateStatic();
}

void TiSevenSegmentAnalog::setAutoSegmentOffColor(bool automatic)
{
    if (assign(autoSegmentOffColor_, automatic))
        invalidateStatic();
}

void TiSevenSegmentAnalog::setSegmentOffColor(const QColor& color)
{
    if (assign(segmentOffColor_, color))
        invalidateStatic();
}

void TiSevenSegmentAnalog::setShowOffSegments(bool show)
{
    if (assign(showOffSegments_, show))
        invalidateStatic();
}

void TiSevenSegmentAnalog::setPowerOff(bool off)
{
    if (assign(powerOff_, off))
        update();
}

void TiSevenSegmentAnalog::setDigitSpacing(int spacing)
{
    spacing = std::max(0, spacing);
    if (assign(digitSpacing_, spacing))
        invalidateLayout();
}

void TiSevenSegmentAnalog::setSegmentMargin(int margin)
{
    margin = std::max(0, margin);
    if (assign(segmentMargin_, margin))
        invalidateLayout();
}

void TiSevenSegmentAnalog::setSegmentSize(int size)
{
    size = std::max(0, size);
    if (assign(segmentSize_, size))
        invalidateLayout();
}

void TiSevenSegmentAnalog::setSegmentSeperation(int separation)
{
    separation = std::max(0, separation);
    if (assign(segmentSeperation_, separation))
        invalidateLayout();
}

void TiSevenSegmentAnalog::setBackGroundColor(const QColor& color)
{
    if (assign(backGroundColor_, color))
        invalidateStatic();
}

QColor TiSevenSegmentAnalog::effectiveSegmentOffColor() const
{
    return autoSegmentOffColor_ ? thirdOfColor(segmentColor_) : segmentOffColor_;
}

void TiSevenSegmentAnalog::invalidateLayout()
{
    layoutValid_ = false;
    invalidateStatic();
}

void TiSevenSegmentAnalog::invalidateStatic()
{
    staticValid_ = false;
    update();
}

void TiSevenSegmentAnalog::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    invalidateLayout();
}

void TiSevenSegmentAnalog::ensureLayout()
{
    if (layoutValid_)
        return;
    const int cellCount = digitCount_ + (showSign_ ? 1 : 0);
    layout_ = sevenSegmentLayout(size(), cellCount, segmentMargin_, digitSpacing_);
    const double w = layout_.cellWidth;
    const double h = layout_.cellHeight;
    // Stroke width grows with SegmentSize but never crowds a cell: a digit needs room for three
    // bars stacked with gaps between them.
    const double thickness =
        std::clamp(w * (0.12 + 0.06 * segmentSize_), 1.0, std::max(1.0, h / 7));
    glyphs_.clear();
    glyphs_.reserve(cellCount);
    for (int i = 0; i < cellCount; ++i) {
        const QRectF cell(layout_.cellLeft(i), layout_.top, w, h);
        glyphs_.emplace_back(cell, thickness, segmentSeperation_);
    }
    separatorChar_ = QLocale().decimalPoint().at(0);
    separator_ = {};
    if (precision_ > 0 && digitCount_ > 1 && leadingStyle_ != ilsNone) {
        const int cell = (showSign_ ? 1 : 0) + digitCount_ - precision_ - 1;
        if (cell >= 0 && cell + 1 < cellCount) {
            const double centreX = layout_.cellLeft(cell) + w + layout_.spacing / 2.0;
            separator_ = segments::SeparatorGlyph(centreX, QRectF(0, layout_.top, w, h), w / 5,
                                                  separatorChar_ == QLatin1Char(','));
        }
    }
    layoutValid_ = true;
}

void TiSevenSegmentAnalog::ensureStaticLayer(qreal dpr)
{
    const QSize pixels = (QSizeF(size()) * dpr).toSize();
    if (staticValid_ && staticLayer_.size() == pixels && staticLayer_.devicePixelRatio() == dpr)
        return;
    staticLayer_ = QPixmap(pixels);
    staticLayer_.setDevicePixelRatio(dpr);
    staticLayer_.fill(backGroundColor_);
    if (showOffSegments_) {
        QPainter painter(&staticLayer_);
        painter.setRenderHint(QPainter::Antialiasing);
        const QColor off = effectiveSegmentOffColor();
        for (size_t i = 0; i < glyphs_.size(); ++i) {
            const bool signCell = showSign_ && i == 0;
            glyphs_[i].draw(painter,
                            signCell ? segments::SignCellSegments : segments::DigitCellSegments,
                            off);
        }
        if (!separator_.isNull())
            separator_.draw(painter, off);
    }
    staticValid_ = true;
}

void TiSevenSegmentAnalog::paintEvent(QPaintEvent*)
{
    paintGuarded(*this, [this](QPainter& painter) { paintContent(painter); });
}

void TiSevenSegmentAnalog::paintContent(QPainter& painter)
{
    ensureLayout();
    ensureStaticLayer(devicePixelRatioF());
    painter.drawPixmap(0, 0, staticLayer_);
    if (powerOff_)
        return;

    const SevenSegmentCells cells = sevenSegmentCells(value_, digitCount_, precision_, showSign_,
                                                      leadingStyle_, separatorChar_);
    painter.setRenderHint(QPainter::Antialiasing);
    const int first = showSign_ ? 1 : 0;
    if (showSign_)
        glyphs_[0].draw(painter, segments::glyphMask(cells.sign), segmentColor_);
    for (int i = 0; i < cells.digits.size() && first + i < int(glyphs_.size()); ++i)
        glyphs_[first + i].draw(painter, segments::glyphMask(cells.digits[i]), segmentColor_);
    if (cells.pointAfter >= 0) {
        const int cell = first + cells.pointAfter;
        if (cell + 1 < int(glyphs_.size())) {
            const double w = layout_.cellWidth;
            const double centreX = layout_.cellLeft(cell) + w + layout_.spacing / 2.0;
            segments::SeparatorGlyph(centreX, QRectF(0, layout_.top, w, layout_.cellHeight),
                                     w / 5, cells.point == QLatin1Char(','))
                .draw(painter, segmentColor_);
        }
    }
}

void TiSevenSegmentAnalog::mouseDoubleClickEvent(QMouseEvent* event)
{
    QWidget::mouseDoubleClickEvent(event);
    emit OnDblClick();
}

}  // namespace velmar
