#pragma once

#include "platform/named_colours.h"
#include "widgets/dials/position_model.h"

namespace velmar {

// ---- knob geometry and text, free of any window ------------------------------------------

// Screen angle of the indicator for a position at `fraction` of the range.
double knobIndicatorAngle(double fraction, double startDegrees, double travelDegrees);

// One drag step: the mouse went from screen angle `previousDegrees` to `newDegrees` about
// the centre (clockwise-positive, as atan2 gives on a y-down screen). Returns the new,
// unclamped position. A jump of more than 200 degrees is taken as crossing the +/-180 seam,
// so turning past the gap only pushes against the end of the range.
double knobDragPosition(double position, double min, double max, double travelDegrees,
                        double previousDegrees, double newDegrees);

// The centre display: fixed decimals, blanks trimmed, units appended ("4.0V").
QString knobPositionText(double position, int precision, const QString& units);

// Radius left for the knob once the scale around it fits in `width` x `height`.
int knobAutoRadius(int width, int height, int outerMargin, int labelExtent, int tickMargin,
                   int tickMajorLength, int tickLabelMargin);

// Rotary knob. The value follows the position model (clamped into the range, nothing on an
// unchanged value); the operator turns it by dragging inside the knob's circle, with the
// arrow, page, Home and End keys, and with the wheel (one step per 30 ms).
class TiKnob : public TiPositionComponent {
    Q_OBJECT
    Q_PROPERTY(double RotationStartDegrees READ rotationStartDegrees WRITE setRotationStartDegrees)
    Q_PROPERTY(double RotationMaxDegrees READ rotationMaxDegrees WRITE setRotationMaxDegrees)
    Q_PROPERTY(int KnobRadius READ knobRadius WRITE setKnobRadius)
    Q_PROPERTY(bool AutoSize READ autoSize WRITE setAutoSize)
    Q_PROPERTY(int KnobEdgeWidth READ knobEdgeWidth WRITE setKnobEdgeWidth)
    Q_PROPERTY(int IndicatorSize READ indicatorSize WRITE setIndicatorSize)
    Q_PROPERTY(int IndicatorMargin READ indicatorMargin WRITE setIndicatorMargin)
    Q_PROPERTY(QColor IndicatorActiveColor READ indicatorActiveColor WRITE setIndicatorActiveColor)
    Q_PROPERTY(QColor IndicatorInactiveColor READ indicatorInactiveColor WRITE setIndicatorInactiveColor)
    Q_PROPERTY(double KeyArrowStepSize READ keyArrowStepSize WRITE setKeyArrowStepSize)
    Q_PROPERTY(double KeyPageStepSize READ keyPageStepSize WRITE setKeyPageStepSize)
    Q_PROPERTY(double MouseWheelStepSize READ mouseWheelStepSize WRITE setMouseWheelStepSize)
    Q_PROPERTY(bool UseKeyboard READ useKeyboard WRITE setUseKeyboard)
    Q_PROPERTY(bool ShowFocusRect READ showFocusRect WRITE setShowFocusRect)
    Q_PROPERTY(bool ShowPositionDisplay READ showPositionDisplay WRITE setShowPositionDisplay)
    Q_PROPERTY(int PositionDisplayPrecision READ positionDisplayPrecision WRITE setPositionDisplayPrecision)
    Q_PROPERTY(QString PositionDisplayUnits READ positionDisplayUnits WRITE setPositionDisplayUnits)
    Q_PROPERTY(int OuterMargin READ outerMargin WRITE setOuterMargin)

public:
    enum TKnobStyle { iksRaised, iksLowered, iksSunken };
    enum TIndicatorStyle { ikisDotLowered, ikisDotRaised, ikisLineCustom };

    explicit TiKnob(QWidget* parent = nullptr);
    ~TiKnob() override;

    double rotationStartDegrees() const { return rotationStart_; }
    void setRotationStartDegrees(double value);
    double rotationMaxDegrees() const { return rotationMax_; }
    void setRotationMaxDegrees(double value);
    // With AutoSize the radius is recomputed from the widget's size and font at each layout.
    int knobRadius() const;
    void setKnobRadius(int value);
    bool autoSize() const { return autoSize_; }
    void setAutoSize(bool value);
    TKnobStyle knobStyle() const { return knobStyle_; }
    void setKnobStyle(TKnobStyle value);
    int knobEdgeWidth() const { return knobEdgeWidth_; }
    void setKnobEdgeWidth(int value);
    TIndicatorStyle indicatorStyle() const { return indicatorStyle_; }
    void setIndicatorStyle(TIndicatorStyle value);
    int indicatorSize() const { return indicatorSize_; }
    void setIndicatorSize(int value);   // below 1 becomes 1
    int indicatorMargin() const { return indicatorMargin_; }
    void setIndicatorMargin(int value);
    QColor indicatorActiveColor() const { return indicatorActiveColor_; }
    void setIndicatorActiveColor(const QColor& value);
    QColor indicatorInactiveColor() const { return indicatorInactiveColor_; }
    void setIndicatorInactiveColor(const QColor& value);
    double keyArrowStepSize() const { return keyArrowStep_; }
    void setKeyArrowStepSize(double value) { keyArrowStep_ = value; }
    double keyPageStepSize() const { return keyPageStep_; }
    void setKeyPageStepSize(double value) { keyPageStep_ = value; }
    double mouseWheelStepSize() const { return wheelStep_; }
    void setMouseWheelStepSize(double value) { wheelStep_ = value; }
    bool useKeyboard() const { return useKeyboard_; }
    void setUseKeyboard(bool value) { useKeyboard_ = value; }
    bool showFocusRect() const { return showFocusRect_; }
    void setShowFocusRect(bool value);
    bool showPositionDisplay() const { return showPositionDisplay_; }
    void setShowPositionDisplay(bool value);
    int positionDisplayPrecision() const { return displayPrecision_; }
    void setPositionDisplayPrecision(int value);   // below 0 becomes 0
    QString positionDisplayUnits() const { return displayUnits_; }
    void setPositionDisplayUnits(const QString& value);   // blank is stored as empty
    int outerMargin() const { return outerMargin_; }
    void setOuterMargin(int value);

    // Text of the centre display as painted ("4.0V").
    QString positionDisplayText() const;
    // Centre of the knob in widget coordinates.
    QPointF knobCentre() const;

    QSize sizeHint() const override { return {150, 150}; }

protected:
    void paintStatic(QPainter& painter) override;
    void paintDynamic(QPainter& painter) override;
    bool pressStartsDrag(const QPointF& point) override;
    void dragTo(const QPointF& point) override;
    bool stepByKey(int key) override;
    void stepByWheel(int direction) override;
    void interactionChanged() override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    int computeRadius() const;
    double screenAngle(const QPointF& point) const;

    double rotationStart_ = 225;
    double rotationMax_ = 270;
    int knobRadius_ = 35;
    bool autoSize_ = true;
    TKnobStyle knobStyle_ = iksRaised;
    int knobEdgeWidth_ = 3;
    TIndicatorStyle indicatorStyle_ = ikisDotLowered;
    int indicatorSize_ = 4;
    int indicatorMargin_ = 5;
    QColor indicatorActiveColor_ = colours::Aqua;
    QColor indicatorInactiveColor_ = colours::Red;
    double keyArrowStep_ = 0.1;
    double keyPageStep_ = 1;
    double wheelStep_ = 1;
    bool useKeyboard_ = true;
    bool showFocusRect_ = true;
    bool showPositionDisplay_ = false;
    int displayPrecision_ = 1;
    QString displayUnits_;
    int outerMargin_ = 2;
    double dragAngle_ = 0;
    mutable int radiusCache_ = -1;   // AutoSize result; -1 until computed for the present layout
};

}  // namespace velmar
