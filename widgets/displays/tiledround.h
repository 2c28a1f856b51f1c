#pragma once

#include "platform/named_colours.h"

#include <QColor>
#include <QWidget>

namespace velmar {

// A round indicator lamp: a filled circle in a bevelled ring.
class TiLedRound : public QWidget {
    Q_OBJECT
    Q_PROPERTY(bool Active READ active WRITE setActive NOTIFY OnChange)
    Q_PROPERTY(QColor ActiveColor READ activeColor WRITE setActiveColor)
    Q_PROPERTY(bool AutoInactiveColor READ autoInactiveColor WRITE setAutoInactiveColor)
    Q_PROPERTY(QColor InactiveColor READ inactiveColor WRITE setInactiveColor)
    Q_PROPERTY(TBevelStyle BevelStyle READ bevelStyle WRITE setBevelStyle)
    Q_PROPERTY(bool ShowReflection READ showReflection WRITE setShowReflection)
    Q_PROPERTY(bool Transparent READ transparent WRITE setTransparent)
public:
    enum TBevelStyle { ibsNone, ibsLowered, ibsRaised };
    Q_ENUM(TBevelStyle)

    explicit TiLedRound(QWidget* parent = nullptr);

    bool active() const { return active_; }
    void setActive(bool active);
    QColor activeColor() const { return activeColor_; }
    void setActiveColor(const QColor& color);
    bool autoInactiveColor() const { return autoInactiveColor_; }
    void setAutoInactiveColor(bool automatic);
    QColor inactiveColor() const { return inactiveColor_; }
    void setInactiveColor(const QColor& color);
    TBevelStyle bevelStyle() const { return bevelStyle_; }
    void setBevelStyle(TBevelStyle style);
    bool showReflection() const { return showReflection_; }
    void setShowReflection(bool show);
    bool transparent() const { return transparent_; }
    void setTransparent(bool transparent);

    // The colour the lamp is filled with in its present state.
    QColor displayedColor() const;

    // While loading, values are stored without raising OnChange and the lamp may be non-square.
    void beginLoading() { loading_ = true; }
    void endLoading() { loading_ = false; }

    QSize sizeHint() const override { return {20, 20}; }

signals:
    void OnChange();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    // Draws the whole lamp; an exception thrown here is shown inside the control.
    virtual void paintContent(QPainter& painter);

private:
    bool active_ = false;
    QColor activeColor_ = colours::Lime;
    bool autoInactiveColor_ = true;
    QColor inactiveColor_ = colours::DarkGreen;
    TBevelStyle bevelStyle_ = ibsLowered;
    bool showReflection_ = true;
    bool transparent_ = false;
    bool loading_ = false;
};

}  // namespace velmar
