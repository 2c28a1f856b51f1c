#pragma once

#include "platform/named_colours.h"
#include "widgets/dials/positioncontrol.h"

#include <QColor>
#include <QString>
#include <QStringList>

namespace velmar {

// ---- pure scale logic (no window needed) -------------------------------------------------

struct AutoScaleResult {
    double min = 0;
    double max = 0;
    int tickCount = 0;
    // False when no rounded range covering the input was found; min/max are then the input
    // and tickCount is 0 (keep the present count).
    bool fitted = false;
};

// Rounds the range lo..hi out to "simple" numbers and picks a major tick count close to
// `desiredTicks` (at most `maxTicks`) whose step is one of 1, 2, 2.5, 5, 7.5 times a power of
// ten. 0..500 with 7/7 gives 0..500 with six ticks. The inputs are taken in ascending order;
// counts beyond MaxScaleTicks are not tried.
AutoScaleResult autoScale(double lo, double hi, int desiredTicks, int maxTicks);

// Whether `step` is a simple tick step (the mantissa test of the auto-scale).
bool isSimpleTickStep(double step);

// Value of major tick `index` of `majorCount` evenly spread over min..max (first at min,
// last at max). A single tick stands at min.
double tickValue(double min, double max, int majorCount, int index);

// Fraction 0..1 along the scale for `value` (0 when the range is empty). Not clamped.
double positionFraction(double value, double min, double max);

// Clamps into min..max the way the controls do: above max gives max, then below min gives min.
double clampPosition(double value, double min, double max);

// A tick label: `value` with exactly `precision` decimals (or, with `significantDigits`,
// `precision` significant digits), locale decimal separator, no group separators, no "-0".
QString formatTickLabel(double value, int precision, bool significantDigits = false);

// ---- the position model shared by the knob, the meter and the position gauge --------------

// Position, range, running minimum and maximum, the scale's tick settings and the auto-scale.
//
// Setter rules: while loading (beginLoading()..endLoading()) values are stored as given, with
// no clamping, repaint, event or auto-scale. Otherwise a position is clamped into the range,
// an unchanged value does nothing at all, and a change is stored, marks the control changed,
// moves the running min/max, requests a repaint and raises OnPositionChange (and
// OnPositionChangeUser for operator changes).
//
// Non-finite input never poisons the model: a NaN position is ignored (the last value
// stays), +/-infinity clamps to the nearer end, and non-finite range bounds are ignored.
class TiPositionComponent : public PositionControl {
    Q_OBJECT
    Q_PROPERTY(double Position READ position WRITE setPosition)
    Q_PROPERTY(double PositionMin READ positionMin WRITE setPositionMin)
    Q_PROPERTY(double PositionMax READ positionMax WRITE setPositionMax)
    Q_PROPERTY(double CurrentMin READ currentMin WRITE setCurrentMin)
    Q_PROPERTY(double CurrentMax READ currentMax WRITE setCurrentMax)
    Q_PROPERTY(bool MinMaxFixed READ minMaxFixed WRITE setMinMaxFixed)
    Q_PROPERTY(bool ShowMinPointer READ showMinPointer WRITE setShowMinPointer)
    Q_PROPERTY(bool ShowMaxPointer READ showMaxPointer WRITE setShowMaxPointer)
    Q_PROPERTY(int TickMajorCount READ tickMajorCount WRITE setTickMajorCount)
    Q_PROPERTY(int TickMinorCount READ tickMinorCount WRITE setTickMinorCount)
    Q_PROPERTY(int TickMajorLength READ tickMajorLength WRITE setTickMajorLength)
    Q_PROPERTY(int TickMinorLength READ tickMinorLength WRITE setTickMinorLength)
    Q_PROPERTY(int TickMargin READ tickMargin WRITE setTickMargin)
    Q_PROPERTY(int TickLabelMargin READ tickLabelMargin WRITE setTickLabelMargin)
    Q_PROPERTY(int TickLabelPrecision READ tickLabelPrecision WRITE setTickLabelPrecision)
    Q_PROPERTY(QColor TickMajorColor READ tickMajorColor WRITE setTickMajorColor)
    Q_PROPERTY(QColor TickMinorColor READ tickMinorColor WRITE setTickMinorColor)
    Q_PROPERTY(bool ShowTickLabels READ showTickLabels WRITE setShowTickLabels)
    Q_PROPERTY(bool ShowTicksMajor READ showTicksMajor WRITE setShowTicksMajor)
    Q_PROPERTY(bool ShowTicksMinor READ showTicksMinor WRITE setShowTicksMinor)
    Q_PROPERTY(bool AutoScaleEnabled READ autoScaleEnabled WRITE setAutoScaleEnabled)
    Q_PROPERTY(int AutoScaleDesiredTicks READ autoScaleDesiredTicks WRITE setAutoScaleDesiredTicks)
    Q_PROPERTY(int AutoScaleMaxTicks READ autoScaleMaxTicks WRITE setAutoScaleMaxTicks)

public:
    enum TPrecisionStyle { ipsSignificantDigits, ipsFixedDecimalPoints };
    enum TAutoScaleStyle { iassAutoMinMax, iassFixedMinMax };

    explicit TiPositionComponent(QWidget* parent = nullptr);
    ~TiPositionComponent() override;

    // Loading a stored configuration: between these calls every setter stores its
    // value unchanged. endLoading() then finishes loading (the auto-scale runs once when
    // enabled). Calls nest; only the outermost endLoading() finishes.
    void beginLoading();
    void endLoading();
    bool isLoading() const { return loading_ > 0; }

    double position() const { return position_; }
    void setPosition(double value) { changePosition(value, false); }
    double positionMin() const { return positionMin_; }
    void setPositionMin(double value);
    double positionMax() const { return positionMax_; }
    void setPositionMax(double value);
    // Both bounds at once (one auto-scale, one pull of the position).
    void setRange(double min, double max);

    double currentMin() const { return currentMin_; }
    void setCurrentMin(double value);
    double currentMax() const { return currentMax_; }
    void setCurrentMax(double value);
    bool minMaxFixed() const { return minMaxFixed_; }
    void setMinMaxFixed(bool value) { minMaxFixed_ = value; }
    bool showMinPointer() const { return showMinPointer_; }
    void setShowMinPointer(bool value);
    bool showMaxPointer() const { return showMaxPointer_; }
    void setShowMaxPointer(bool value);

    // Held within 0..MaxScaleTicks majors and 0..MaxMinorTicks minors per interval.
    int tickMajorCount() const { return tickMajorCount_; }
    void setTickMajorCount(int value);
    int tickMinorCount() const { return tickMinorCount_; }
    void setTickMinorCount(int value);
    int tickMajorLength() const { return tickMajorLength_; }
    void setTickMajorLength(int value);
    int tickMinorLength() const { return tickMinorLength_; }
    void setTickMinorLength(int value);
    int tickMargin() const { return tickMargin_; }
    void setTickMargin(int value);
    int tickLabelMargin() const { return tickLabelMargin_; }
    void setTickLabelMargin(int value);
    int tickLabelPrecision() const { return tickLabelPrecision_; }
    void setTickLabelPrecision(int value);
    TPrecisionStyle precisionStyle() const { return precisionStyle_; }
    void setPrecisionStyle(TPrecisionStyle value);
    QColor tickMajorColor() const { return tickMajorColor_; }
    void setTickMajorColor(const QColor& value);
    QColor tickMinorColor() const { return tickMinorColor_; }
    void setTickMinorColor(const QColor& value);
    bool showTickLabels() const { return showTickLabels_; }
    void setShowTickLabels(bool value);
    bool showTicksMajor() const { return showTicksMajor_; }
    void setShowTicksMajor(bool value);
    bool showTicksMinor() const { return showTicksMinor_; }
    void setShowTicksMinor(bool value);

    bool autoScaleEnabled() const { return autoScaleEnabled_; }
    void setAutoScaleEnabled(bool value);
    int autoScaleDesiredTicks() const { return autoScaleDesiredTicks_; }
    void setAutoScaleDesiredTicks(int value);   // below 2 is ignored, above MaxScaleTicks held there
    int autoScaleMaxTicks() const { return autoScaleMaxTicks_; }
    void setAutoScaleMaxTicks(int value);       // below 2 is ignored, above MaxScaleTicks held there
    TAutoScaleStyle autoScaleStyle() const { return autoScaleStyle_; }
    void setAutoScaleStyle(TAutoScaleStyle value);

    // Label text of major tick `index`, and the fraction of the scale where it stands.
    QString tickLabel(int index) const;
    QStringList tickLabels() const;
    // Fraction of the range at the present position (0 when the range is empty).
    double positionFractionNow() const { return positionFraction(position_, positionMin_, positionMax_); }

signals:
    void OnCurrentMinChange();
    void OnCurrentMaxChange();
    void OnPositionOverMax();
    void OnPositionUnderMin();

protected:
    // The whole position setter: loading rule, clamp, compare, store, changed mark, running
    // min/max, repaint, positionStored(), OnPositionChange (+ OnPositionChangeUser when
    // `byOperator`). Returns true when the position changed.
    bool changePosition(double value, bool byOperator);
    // Hook between storing a changed position and raising OnPositionChange (the position
    // gauge raises its pointer event here). Not called while loading.
    virtual void positionStored(bool byOperator);
    // Stores without any rule or event (for subclasses that keep the position elsewhere too).
    void storePosition(double value) { position_ = value; }
    // After the range changed: pulls the position into it. The gauge overrides this to pull
    // all its pointers.
    virtual void pullIntoRange();
    // Runs once when the outermost endLoading() is reached.
    virtual void loadingFinished();
    // Runs the auto-scale on lo..hi (when enabled) and stores the result; then holds the
    // running min/max, pulls the position and invalidates the scale.
    void applyRange(double lo, double hi);
    void runAutoScale();

    // Keyboard steps shared by the knob and the gauge; return true when consumed.
    bool stepPositionByKey(int key, double arrowStep, double pageStep);

private:
    void holdRunningMinMax();

    int loading_ = 0;
    double position_ = 0;
    double positionMin_ = 0;
    double positionMax_ = 100;
    double currentMin_ = 0;
    double currentMax_ = 0;
    bool minMaxFixed_ = false;
    bool showMinPointer_ = false;
    bool showMaxPointer_ = false;
    int tickMajorCount_ = 5;
    int tickMinorCount_ = 4;
    int tickMajorLength_ = 7;
    int tickMinorLength_ = 3;
    int tickMargin_ = 5;
    int tickLabelMargin_ = 15;
    int tickLabelPrecision_ = 0;
    TPrecisionStyle precisionStyle_ = ipsFixedDecimalPoints;
    QColor tickMajorColor_ = colours::Black;
    QColor tickMinorColor_ = colours::Gray;
    bool showTickLabels_ = true;
    bool showTicksMajor_ = true;
    bool showTicksMinor_ = true;
    bool autoScaleEnabled_ = false;
    int autoScaleDesiredTicks_ = 5;
    int autoScaleMaxTicks_ = 6;
    TAutoScaleStyle autoScaleStyle_ = iassAutoMinMax;
};

}  // namespace velmar
