#pragma once

#include "platform/named_colours.h"
#include "widgets/dials/position_model.h"

#include <QColor>
#include <QPolygonF>

#include <memory>
#include <vector>

namespace velmar {

class TiLinearGauge;

// ---- pure scale geometry (no window needed) -------------------------------------------------

// The vertical scale's pixel rows: `top` and `bottom` are the rows of the two ends.
struct LinearScaleRows {
    int top = 0;
    int bottom = 0;
    double min = 0;
    double max = 100;
    bool reverse = false;  // minimum at the top

    // The row a value is drawn at (not clamped); the middle row when the range is empty.
    int rowOf(double value) const;
    // The value at a row, along the same straight line and not clamped; the minimum when the
    // range or the row span is empty, so a drag over a degenerate scale moves nothing.
    double valueAt(double row) const;
};

// Outline of a pointer whose value row is `row`: `size` pixels high, 2 x `size` long, the tip
// pointing along the row. `bandLeft`/`bandRight` are the tick band's edges; a pointer on the
// scale side ends at the right edge (tip to the left), the others start `margin` from the left
// edge (tip to the right).
QPolygonF linearGaugePointerOutline(int row, int size, int margin, bool scaleSide, int bandLeft,
                                    int bandRight);

// ---- pointers -------------------------------------------------------------------------------

// One marker on the gauge. Setters go through the gauge, which repaints and raises its events.
class TiLinearGaugePointer {
public:
    enum TStyle { ilgpsPointer = 0 };

    double position() const { return position_; }
    void setPosition(double value);
    bool visible() const { return visible_; }
    void setVisible(bool value);
    bool enabled() const { return enabled_; }
    void setEnabled(bool value);
    int size() const { return size_; }
    void setSize(int value);
    int margin() const { return margin_; }
    void setMargin(int value);
    QColor color() const { return color_; }
    void setColor(const QColor& value);
    QColor disabledColor() const { return disabledColor_; }
    void setDisabledColor(const QColor& value);
    bool useDisabledColor() const { return useDisabledColor_; }
    void setUseDisabledColor(bool value);
    int style() const { return style_; }
    void setStyle(int value);
    bool style3D() const { return style3D_; }
    void setStyle3D(bool value);
    bool drawScaleSide() const { return drawScaleSide_; }
    void setDrawScaleSide(bool value);
    bool userCanMove() const { return userCanMove_; }
    void setUserCanMove(bool value);

    // Run-time state of the operator interaction.
    bool selected() const { return selected_; }
    bool dragging() const { return dragging_; }
    int index() const { return index_; }

private:
    friend class TiLinearGauge;
    TiLinearGaugePointer(TiLinearGauge& gauge, int index) : gauge_(gauge), index_(index) {}
    void changed(bool geometry);

    TiLinearGauge& gauge_;
    int index_;
    double position_ = 0;
    bool visible_ = true;
    bool enabled_ = true;
    int size_ = 10;
    int margin_ = 0;
    QColor color_ = colours::Blue;
    QColor disabledColor_ = colours::Gray;
    bool useDisabledColor_ = false;
    int style_ = ilgpsPointer;
    bool style3D_ = false;
    bool drawScaleSide_ = false;
    bool userCanMove_ = false;
    bool selected_ = false;
    bool dragging_ = false;
};

// How a stored pointer is described when the pointer list is loaded; unset fields keep the
// defaults of a new pointer (blue, size 10, style 0, position 0).
struct LinearGaugePointerSpec {
    double position = 0;
    bool visible = true;
    int size = 10;
    QColor color = colours::Blue;
    bool drawScaleSide = false;
    bool userCanMove = false;
};

// ---- the gauge ------------------------------------------------------------------------------

// A vertical millimetre scale with a list of pointers. Pointer 0 is the gauge's Position
// (clamped into the range); the other pointers, and pointer 0 when set directly, take any
// finite value and are drawn pinned at the nearer end. The operator drags pointers that have
// UserCanMove; each changed row raises OnPointerPositionChanged, and the release raises
// OnMouseUp after the last of them.
class TiLinearGauge : public TiPositionComponent {
    Q_OBJECT
    Q_PROPERTY(double Position READ position WRITE setPosition)
    Q_PROPERTY(TOrientation Orientation READ orientation WRITE setOrientation)
    Q_PROPERTY(TOrientationSide OrientationTickMarks READ orientationTickMarks WRITE setOrientationTickMarks)
    Q_PROPERTY(bool ReverseScale READ reverseScale WRITE setReverseScale)
    Q_PROPERTY(int EndsMargin READ endsMargin WRITE setEndsMargin)
    Q_PROPERTY(bool AutoCenter READ autoCenter WRITE setAutoCenter)
    Q_PROPERTY(bool AllowFocus READ allowFocus WRITE setAllowFocus)
    Q_PROPERTY(double KeyArrowStepSize READ keyArrowStepSize WRITE setKeyArrowStepSize)
    Q_PROPERTY(double KeyPageStepSize READ keyPageStepSize WRITE setKeyPageStepSize)
    Q_PROPERTY(double MouseWheelStepSize READ mouseWheelStepSize WRITE setMouseWheelStepSize)
    Q_PROPERTY(QColor PointerColor READ pointerColor WRITE setPointerColor)
    Q_PROPERTY(int PointerSize READ pointerSize WRITE setPointerSize)
    Q_PROPERTY(int PointerStyle READ pointerStyle WRITE setPointerStyle)
    Q_PROPERTY(int PointerOffSet READ pointerOffSet WRITE setPointerOffSet)
    Q_PROPERTY(TBorderStyle BorderStyle READ borderStyle WRITE setBorderStyle)
    Q_PROPERTY(bool MinMaxUserCanMove READ minMaxUserCanMove WRITE setMinMaxUserCanMove)
    Q_PROPERTY(QColor MinPointerColor READ minPointerColor WRITE setMinPointerColor)
    Q_PROPERTY(QColor MaxPointerColor READ maxPointerColor WRITE setMaxPointerColor)
    Q_PROPERTY(bool MinMaxStyle3D READ minMaxStyle3D WRITE setMinMaxStyle3D)
    Q_PROPERTY(int SectionCount READ sectionCount WRITE setSectionCount)
public:
    enum TOrientation { ioVertical, ioHorizontal };
    Q_ENUM(TOrientation)
    enum TOrientationSide { iosBottomRight, iosTopLeft };
    Q_ENUM(TOrientationSide)
    enum TBorderStyle { ibsNone, ibsLowered, ibsRaised };
    Q_ENUM(TBorderStyle)

    explicit TiLinearGauge(QWidget* parent = nullptr);
    ~TiLinearGauge() override;

    // Pointer 0's position. While loading it is stored unchanged; otherwise clamped into the
    // range, and a change raises OnPointerPositionChanged(0), then OnPositionChange.
    double position() const { return TiPositionComponent::position(); }
    void setPosition(double value);

    int pointerCount() const { return int(pointers_.size()); }
    // The pointer at `index`; an index outside 0 ... count - 1 throws std::out_of_range.
    TiLinearGaugePointer& pointer(int index);
    const TiLinearGaugePointer& pointer(int index) const;
    double pointerPosition(int index) const { return pointer(index).position(); }
    void setPointerPosition(int index, double value) { pointer(index).setPosition(value); }
    bool pointerVisible(int index) const { return pointer(index).visible(); }
    void setPointerVisible(int index, bool visible) { pointer(index).setVisible(visible); }
    // Replaces the whole pointer list, as loading a stored list does: each item starts as a
    // new pointer and takes its stored properties, so OnPointerPositionChanged is raised for
    // every stored position other than 0, in index order.
    void setPointers(const std::vector<LinearGaugePointerSpec>& specs);
    TiLinearGaugePointer& addPointer();

    TOrientation orientation() const { return orientation_; }
    void setOrientation(TOrientation value);  // stored; the scale is drawn vertically
    TOrientationSide orientationTickMarks() const { return orientationTickMarks_; }
    void setOrientationTickMarks(TOrientationSide value);  // stored; ticks grow rightwards
    bool reverseScale() const { return reverseScale_; }
    void setReverseScale(bool value);
    int endsMargin() const { return endsMargin_; }
    void setEndsMargin(int value);
    bool autoCenter() const { return autoCenter_; }
    void setAutoCenter(bool value) { autoCenter_ = value; }
    bool allowFocus() const { return allowFocus_; }
    void setAllowFocus(bool value);
    double keyArrowStepSize() const { return keyArrowStepSize_; }
    void setKeyArrowStepSize(double value) { keyArrowStepSize_ = value; }
    double keyPageStepSize() const { return keyPageStepSize_; }
    void setKeyPageStepSize(double value) { keyPageStepSize_ = value; }
    double mouseWheelStepSize() const { return mouseWheelStepSize_; }
    void setMouseWheelStepSize(double value) { mouseWheelStepSize_ = value; }
    QColor pointerColor() const { return pointer(0).color(); }
    void setPointerColor(const QColor& value) { pointer(0).setColor(value); }
    int pointerSize() const { return pointer(0).size(); }
    void setPointerSize(int value) { pointer(0).setSize(value); }
    int pointerStyle() const { return pointer(0).style(); }
    void setPointerStyle(int value) { pointer(0).setStyle(value); }
    int pointerOffSet() const { return pointer(0).margin(); }
    void setPointerOffSet(int value) { pointer(0).setMargin(value); }
    TBorderStyle borderStyle() const { return borderStyle_; }
    void setBorderStyle(TBorderStyle value);
    // Stored for the hidden running-minimum and -maximum markers, which are never drawn.
    bool minMaxUserCanMove() const { return minMaxUserCanMove_; }
    void setMinMaxUserCanMove(bool value) { minMaxUserCanMove_ = value; }
    QColor minPointerColor() const { return minPointerColor_; }
    void setMinPointerColor(const QColor& value) { minPointerColor_ = value; }
    QColor maxPointerColor() const { return maxPointerColor_; }
    void setMaxPointerColor(const QColor& value) { maxPointerColor_ = value; }
    bool minMaxStyle3D() const { return minMaxStyle3D_; }
    void setMinMaxStyle3D(bool value) { minMaxStyle3D_ = value; }
    int sectionCount() const { return sectionCount_; }
    void setSectionCount(int value) { sectionCount_ = value; }

    // The scale's rows at the present size and range.
    LinearScaleRows scaleRows() const;
    // The tick band's left and right edges.
    int bandLeft() const;
    int bandRight() const { return bandLeft() + tickMajorLength(); }
    // The outline pointer `index` is drawn with (its hit region).
    QPolygonF pointerOutline(int index) const;

    QSize sizeHint() const override { return {60, 200}; }

signals:
    void OnPointerPositionChanged(int Index);
    void OnClickPointer(int Index);
    void OnMouseUp(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);

protected:
    void paintStatic(QPainter& painter) override;
    void paintDynamic(QPainter& painter) override;
    bool pressStartsDrag(const QPointF& point) override;
    void dragTo(const QPointF& point) override;
    bool stepByKey(int key) override;
    void positionStored(bool byOperator) override;
    void pullIntoRange() override;

    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    friend class TiLinearGaugePointer;
    // The one place a pointer's position changes: compare, store, repaint, raise.
    void changePointerPosition(int index, double value, bool byOperator);
    void pointerLookChanged(bool geometry);
    // Visible, enabled pointers under `point`, lowest index first.
    std::vector<int> pointersAt(const QPointF& point) const;
    void updateCursor(const QPointF& point);
    int borderWidth() const;

    std::vector<std::unique_ptr<TiLinearGaugePointer>> pointers_;
    TOrientation orientation_ = ioVertical;
    TOrientationSide orientationTickMarks_ = iosBottomRight;
    bool reverseScale_ = false;
    int endsMargin_ = 10;
    bool autoCenter_ = false;
    bool allowFocus_ = false;
    double keyArrowStepSize_ = 0.1;
    double keyPageStepSize_ = 1;
    double mouseWheelStepSize_ = 1;
    TBorderStyle borderStyle_ = ibsNone;
    bool minMaxUserCanMove_ = false;
    QColor minPointerColor_ = colours::Yellow;
    QColor maxPointerColor_ = colours::Aqua;
    bool minMaxStyle3D_ = false;
    int sectionCount_ = 0;

    // The drag under way: which pointer, its value at the press, the scale value of the press.
    int dragPointer_ = -1;
    double dragStartValue_ = 0;
    double pressValue_ = 0;
};

}  // namespace velmar
