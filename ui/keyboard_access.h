#pragma once

#include <QAccessible>
#include <QList>
#include <QObject>
#include <QPointer>

class QWidget;

namespace velmar {

// True when `widget` does not lie wholly inside each of its parents up to `root`: some of it
// is clipped away, so the operator cannot see all of it.
bool isClippedAway(const QWidget* widget, const QWidget* root);

// Keeps the keyboard away from every control under `root` that is clipped away, so no key acts
// on a control the operator cannot see. A control its own group clips away at the design size
// (the motion group's "Run") is out for good: no focus, and to assistive technology invisible
// with nothing to press (a program may still click it). One that only the window's edge clips
// (a window smaller than its design, on a small screen) loses the focus while it is clipped
// and takes it again once it shows in full: `follow()` after every change of layout. Whatever
// puts the focus on a clipped control anyway (a program's setFocus), it ignores every key.
class KeyboardReach : public QObject {
public:
    KeyboardReach() = default;
    // Call with `root` at its design size, every control in place.
    void keepOut(QWidget* root);
    void follow();
    // The controls out for good.
    const QList<QWidget*>& outForGood() const { return outForGood_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Control {
        QPointer<QWidget> widget;
        Qt::FocusPolicy policy;
    };
    void apply(const Control& control) const;
    QWidget* root_ = nullptr;
    QList<Control> controls_;
    QList<QWidget*> outForGood_;
};

// Assistive technology sees `widget` in `role` (a dial, a slider, an indicator, a chart)
// rather than as a plain client area. For a widget whose own class knows no better.
void setAccessibleRole(QWidget* widget, QAccessible::Role role);

}  // namespace velmar
