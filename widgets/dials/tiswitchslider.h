#pragma once

#include "platform/handler_error.h"
#include "platform/named_colours.h"
#include "widgets/dials/positioncontrol.h"

#include <QColor>
#include <QFont>
#include <QStringList>

namespace velmar {

// ---- pure logic --------------------------------------------------------------------------

// Longest accepted PositionLabels text.
inline constexpr int MaxPositionLabelsLength = 255;

// Splits a comma-separated label list: pieces are trimmed, an empty piece becomes "???",
// except an empty piece after the last comma, which is dropped ("a,,b," gives a, ???, b).
QStringList parsePositionLabels(const QString& text);

// Travel of the pointer's centre along a vertical track of `height` pixels.
int sliderTravel(int height, int pointerHeight, int endsMargin, bool ledPointer);
// Pixels from the bottom end of the travel to position `position` of `count`.
int sliderPointerOffset(int travel, int count, int position);
// The position nearest to the mouse row `y` (halves to the even neighbour), not clamped.
int sliderPositionAt(double y, int height, int pointerHeight, int endsMargin, bool ledPointer, int count);

// Refused PositionLabels text: ends the setting handler and is shown in the application's
// error dialog.
class PositionLabelError : public HandlerError {
public:
    PositionLabelError();
};

// Multi-position slider switch (vertical). Position 0 is at the bottom. The operator drags
// the pointer (a press anywhere jumps to the nearest position), uses the arrow, page, Home
// and End keys, or the wheel (one step per 30 ms).
class TiSwitchSlider : public PositionControl {
    Q_OBJECT
    Q_PROPERTY(int Position READ position WRITE setPosition)
    Q_PROPERTY(QString PositionLabels READ positionLabels WRITE setPositionLabels)
    Q_PROPERTY(bool AutoCenter READ autoCenter WRITE setAutoCenter)
    Q_PROPERTY(int EndsMargin READ endsMargin WRITE setEndsMargin)
    Q_PROPERTY(int PointerHeight READ pointerHeight WRITE setPointerHeight)
    Q_PROPERTY(int PointerWidth READ pointerWidth WRITE setPointerWidth)
    Q_PROPERTY(QColor PointerColor READ pointerColor WRITE setPointerColor)
    Q_PROPERTY(QColor PointerHighLightColor READ pointerHighLightColor WRITE setPointerHighLightColor)
    Q_PROPERTY(QColor PointerIndicatorActiveColor READ pointerIndicatorActiveColor WRITE setPointerIndicatorActiveColor)
    Q_PROPERTY(QColor PointerIndicatorInactiveColor READ pointerIndicatorInactiveColor WRITE setPointerIndicatorInactiveColor)
    Q_PROPERTY(QColor TrackColor READ trackColor WRITE setTrackColor)
    Q_PROPERTY(bool ShowPositionLabels READ showPositionLabels WRITE setShowPositionLabels)
    Q_PROPERTY(bool ShowPositionIndicators READ showPositionIndicators WRITE setShowPositionIndicators)
    Q_PROPERTY(bool ShowFocusRect READ showFocusRect WRITE setShowFocusRect)
    Q_PROPERTY(int PositionLabelMargin READ positionLabelMargin WRITE setPositionLabelMargin)
    Q_PROPERTY(int PositionIndicatorSize READ positionIndicatorSize WRITE setPositionIndicatorSize)
    Q_PROPERTY(int PositionIndicatorMargin READ positionIndicatorMargin WRITE setPositionIndicatorMargin)
    Q_PROPERTY(QColor PositionIndicatorColor READ positionIndicatorColor WRITE setPositionIndicatorColor)
    Q_PROPERTY(int KeyArrowStepSize READ keyArrowStepSize WRITE setKeyArrowStepSize)
    Q_PROPERTY(int KeyPageStepSize READ keyPageStepSize WRITE setKeyPageStepSize)
    Q_PROPERTY(QFont PositionLabelActiveFont READ positionLabelActiveFont WRITE setPositionLabelActiveFont)
    Q_PROPERTY(QFont PositionLabelInactiveFont READ positionLabelInactiveFont WRITE setPositionLabelInactiveFont)

public:
    enum TBorderStyle { ibsNone, ibsRaised, ibsLowered };
    enum TPointerStyle { ispsPointer, ispsLed, ispsBar };

    explicit TiSwitchSlider(QWidget* parent = nullptr);
    ~TiSwitchSlider() override;

    // Between these calls values are stored as given (no clamping, no events).
    void beginLoading() { ++loading_; }
    void endLoading();
    bool isLoading() const { return loading_ > 0; }

    int position() const { return position_; }
    void setPosition(int value) { changePosition(value, false); }
    // Throws PositionLabelError for 256 characters or more; the previous labels then stay.
    QString positionLabels() const { return labelsText_; }
    void setPositionLabels(const QString& text);
    // The parsed labels; position N is label N.
    QStringList labels() const { return labels_; }
    int positionCount() const { return int(labels_.size()); }

    bool autoCenter() const { return autoCenter_; }
    void setAutoCenter(bool value);
    TBorderStyle borderStyle() const { return borderStyle_; }
    void setBorderStyle(TBorderStyle value);
    int endsMargin() const { return endsMargin_; }
    void setEndsMargin(int value);
    TPointerStyle pointerStyle() const { return pointerStyle_; }
    void setPointerStyle(TPointerStyle value);
    int pointerHeight() const { return pointerHeight_; }
    void setPointerHeight(int value);
    int pointerWidth() const { return pointerWidth_; }
    void setPointerWidth(int value);
    QColor pointerColor() const { return pointerColor_; }
    void setPointerColor(const QColor& value);
    QColor pointerHighLightColor() const { return pointerHighLightColor_; }
    void setPointerHighLightColor(const QColor& value);
    QColor pointerIndicatorActiveColor() const { return indicatorActiveColor_; }
    void setPointerIndicatorActiveColor(const QColor& value);
    QColor pointerIndicatorInactiveColor() const { return indicatorInactiveColor_; }
    void setPointerIndicatorInactiveColor(const QColor& value);
    QColor trackColor() const { return trackColor_; }
    void setTrackColor(const QColor& value);
    bool showPositionLabels() const { return showLabels_; }
    void setShowPositionLabels(bool value);
    bool showPositionIndicators() const { return showIndicators_; }
    void setShowPositionIndicators(bool value);
    bool showFocusRect() const { return showFocusRect_; }
    void setShowFocusRect(bool value);
    int positionLabelMargin() const { return labelMargin_; }
    void setPositionLabelMargin(int value);
    int positionIndicatorSize() const { return indicatorSize_; }
    void setPositionIndicatorSize(int value);
    int positionIndicatorMargin() const { return indicatorMargin_; }
    void setPositionIndicatorMargin(int value);
    QColor positionIndicatorColor() const { return indicatorColor_; }
    void setPositionIndicatorColor(const QColor& value);
    int keyArrowStepSize() const { return keyArrowStep_; }
    void setKeyArrowStepSize(int value) { keyArrowStep_ = value; }
    int keyPageStepSize() const { return keyPageStep_; }
    void setKeyPageStepSize(int value) { keyPageStep_ = value; }
    QFont positionLabelActiveFont() const { return activeFont_; }
    void setPositionLabelActiveFont(const QFont& value);
    QFont positionLabelInactiveFont() const { return inactiveFont_; }
    void setPositionLabelInactiveFont(const QFont& value);

    // Centre row of the pointer at `position`, and the left edge of the pointer column.
    int pointerCentreY(int position) const;
    int pointerLeft() const;

    QSize sizeHint() const override { return {80, 80}; }

protected:
    void paintStatic(QPainter& painter) override;
    void paintDynamic(QPainter& painter) override;
    bool pressStartsDrag(const QPointF& point) override;
    bool pressIsMove() const override { return true; }
    bool pressClearsChangedMark() const override { return false; }
    void dragTo(const QPointF& point) override;
    bool stepByKey(int key) override;
    void stepByWheel(int direction) override;
    bool wheelFinishes() const override { return false; }
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    bool changePosition(int value, bool byOperator);
    bool ledPointer() const { return pointerStyle_ == ispsLed; }
    int labelColumnWidth() const;
    void layoutChanged() { invalidateStaticLayer(); }

    int loading_ = 0;
    int position_ = 0;
    QString labelsText_;
    QStringList labels_;
    bool autoCenter_ = false;
    TBorderStyle borderStyle_ = ibsNone;
    int endsMargin_ = 5;
    TPointerStyle pointerStyle_ = ispsPointer;
    int pointerHeight_ = 8;
    int pointerWidth_ = 13;
    QColor pointerColor_;
    QColor pointerHighLightColor_;
    QColor indicatorActiveColor_ = colours::Red;
    QColor indicatorInactiveColor_ = colours::Black;
    QColor trackColor_ = colours::White;
    bool showLabels_ = true;
    bool showIndicators_ = true;
    bool showFocusRect_ = true;
    int labelMargin_ = 5;
    int indicatorSize_ = 3;
    int indicatorMargin_ = 10;
    QColor indicatorColor_ = colours::Aqua;
    int keyArrowStep_ = 1;
    int keyPageStep_ = 2;
    QFont activeFont_;
    QFont inactiveFont_;
};

}  // namespace velmar
