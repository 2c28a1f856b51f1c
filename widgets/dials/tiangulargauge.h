#pragma once

#include "platform/named_colours.h"
#include "widgets/dials/position_model.h"

#include <array>

namespace velmar {

// Screen angle of the needle for a position at `fraction` of the range (counter-clockwise
// from 3 o'clock). With `reverse` the scale runs the other way round.
double gaugeNeedleAngle(double fraction, double startDegrees, double rangeDegrees, bool reverse);

// Analogue meter on an arc: scale, labels, optional coloured sections and two free labels in
// a cached layer; the needle and its hub painted live. It takes no operator input.
class TiAngularGauge : public TiPositionComponent {
    Q_OBJECT
    Q_PROPERTY(double ArcStartDegrees READ arcStartDegrees WRITE setArcStartDegrees)
    Q_PROPERTY(double ArcRangeDegrees READ arcRangeDegrees WRITE setArcRangeDegrees)
    Q_PROPERTY(int ArcRadius READ arcRadius WRITE setArcRadius)
    Q_PROPERTY(bool ReverseScale READ reverseScale WRITE setReverseScale)
    Q_PROPERTY(bool AutoSize READ autoSize WRITE setAutoSize)
    Q_PROPERTY(bool AutoCenter READ autoCenter WRITE setAutoCenter)
    Q_PROPERTY(int PointerSize READ pointerSize WRITE setPointerSize)
    Q_PROPERTY(QColor PointerColor READ pointerColor WRITE setPointerColor)
    Q_PROPERTY(bool ShowHub READ showHub WRITE setShowHub)
    Q_PROPERTY(int HubSize READ hubSize WRITE setHubSize)
    Q_PROPERTY(QColor HubColor READ hubColor WRITE setHubColor)
    Q_PROPERTY(bool ShowFace READ showFace WRITE setShowFace)
    Q_PROPERTY(bool ShowLabel1 READ showLabel1 WRITE setShowLabel1)
    Q_PROPERTY(QString Label1Text READ label1Text WRITE setLabel1Text)
    Q_PROPERTY(int Label1OffsetX READ label1OffsetX WRITE setLabel1OffsetX)
    Q_PROPERTY(int Label1OffsetY READ label1OffsetY WRITE setLabel1OffsetY)
    Q_PROPERTY(bool ShowLabel2 READ showLabel2 WRITE setShowLabel2)
    Q_PROPERTY(QString Label2Text READ label2Text WRITE setLabel2Text)
    Q_PROPERTY(int Label2OffsetX READ label2OffsetX WRITE setLabel2OffsetX)
    Q_PROPERTY(int Label2OffsetY READ label2OffsetY WRITE setLabel2OffsetY)
    Q_PROPERTY(int SectionCount READ sectionCount WRITE setSectionCount)

public:
    enum TPointerStyle { iagpsArrowLine, iagpsArrow, iagpsLine, iagpsTriangle };

    explicit TiAngularGauge(QWidget* parent = nullptr);
    ~TiAngularGauge() override;

    double arcStartDegrees() const { return arcStart_; }
    void setArcStartDegrees(double value);
    double arcRangeDegrees() const { return arcRange_; }
    void setArcRangeDegrees(double value);
    int arcRadius() const { return arcRadius_; }
    void setArcRadius(int value);
    bool reverseScale() const { return reverseScale_; }
    void setReverseScale(bool value);
    // Kept for the stored configuration; the arc radius is always used as stored.
    bool autoSize() const { return autoSize_; }
    void setAutoSize(bool value) { autoSize_ = value; }
    bool autoCenter() const { return autoCenter_; }
    void setAutoCenter(bool value);
    TPointerStyle pointerStyle() const { return pointerStyle_; }
    void setPointerStyle(TPointerStyle value);
    int pointerSize() const { return pointerSize_; }
    void setPointerSize(int value);
    QColor pointerColor() const { return pointerColor_; }
    void setPointerColor(const QColor& value);
    bool showHub() const { return showHub_; }
    void setShowHub(bool value);
    int hubSize() const { return hubSize_; }
    void setHubSize(int value);
    QColor hubColor() const { return hubColor_; }
    void setHubColor(const QColor& value);
    bool showFace() const { return showFace_; }
    void setShowFace(bool value);
    bool showLabel1() const { return showLabel1_; }
    void setShowLabel1(bool value);
    QString label1Text() const { return label1Text_; }
    void setLabel1Text(const QString& value);
    int label1OffsetX() const { return label1Offset_.x(); }
    void setLabel1OffsetX(int value);
    int label1OffsetY() const { return label1Offset_.y(); }
    void setLabel1OffsetY(int value);
    bool showLabel2() const { return showLabel2_; }
    void setShowLabel2(bool value);
    QString label2Text() const { return label2Text_; }
    void setLabel2Text(const QString& value);
    int label2OffsetX() const { return label2Offset_.x(); }
    void setLabel2OffsetX(int value);
    int label2OffsetY() const { return label2Offset_.y(); }
    void setLabel2OffsetY(int value);
    int sectionCount() const { return sectionCount_; }
    void setSectionCount(int value);   // held within 0 .. 5
    // Ends 1..4 and colours 1..5 of the coloured sections.
    double sectionEnd(int index) const;
    void setSectionEnd(int index, double value);
    QColor sectionColor(int index) const;
    void setSectionColor(int index, const QColor& value);

    // Where the arc's centre lies in the widget (after centring).
    QPointF arcCentre() const;
    // Screen angle of the needle at the present position.
    double needleAngle() const;

    QSize sizeHint() const override { return {150, 150}; }

protected:
    void paintStatic(QPainter& painter) override;
    void paintDynamic(QPainter& painter) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void scaleChanged();
    double needleLength() const;

    double arcStart_ = 180;
    double arcRange_ = 90;
    int arcRadius_ = 60;
    bool reverseScale_ = false;
    bool autoSize_ = false;
    bool autoCenter_ = true;
    TPointerStyle pointerStyle_ = iagpsTriangle;
    int pointerSize_ = 10;
    QColor pointerColor_ = colours::Black;
    bool showHub_ = true;
    int hubSize_ = 14;
    QColor hubColor_ = colours::Black;
    bool showFace_ = false;
    bool showLabel1_ = false;
    QString label1Text_;
    QPoint label1Offset_{-15, -35};
    bool showLabel2_ = false;
    QString label2Text_;
    QPoint label2Offset_{-15, -20};
    int sectionCount_ = 0;
    std::array<double, 4> sectionEnds_{50, 75, 100, 100};
    std::array<QColor, 5> sectionColors_{colours::Green, colours::Yellow, colours::Red,
                                         colours::Yellow, colours::Yellow};
    mutable bool centreValid_ = false;
    mutable QPointF centre_;
};

}  // namespace velmar
