#include "ui/keyboard_access.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QEvent>
#include <QWidget>

namespace velmar {
namespace {

// What assistive technology sees of a control the operator cannot see: present in the tree
// (a program may still use it), but invisible, off screen and without an action to press.
class OutOfReachAccessible : public QAccessibleWidget {
public:
    explicit OutOfReachAccessible(QWidget* widget) : QAccessibleWidget(widget, QAccessible::Button) {}
    QAccessible::State state() const override
    {
        QAccessible::State s = QAccessibleWidget::state();
        s.invisible = true;
        s.offscreen = true;
        s.focusable = false;
        return s;
    }
    QStringList actionNames() const override { return {}; }
    void doAction(const QString&) override {}
};

// The interface assistive technology gets for `widget` from now on, in place of any made
// before.
void replaceAccessible(QWidget* widget, QAccessibleInterface* accessible)
{
    if (const QAccessible::Id old = QAccessible::uniqueId(QAccessible::queryAccessibleInterface(widget)))
        QAccessible::deleteAccessibleInterface(old);
    QAccessible::registerAccessibleInterface(accessible);
}

}  // namespace

bool isClippedAway(const QWidget* widget, const QWidget* root)
{
    for (const QWidget* w = widget; w && w != root; w = w->parentWidget()) {
        const QWidget* parent = w->parentWidget();
        if (!parent)
            break;
        if (!parent->rect().contains(w->geometry()))
            return true;
    }
    return false;
}

void KeyboardReach::keepOut(QWidget* root)
{
    root_ = root;
    for (QWidget* w : root->findChildren<QWidget*>()) {
        if (w->isWindow() || w->focusPolicy() == Qt::NoFocus)
            continue;
        w->installEventFilter(this);
        if (isClippedAway(w, root)) {
            w->setFocusPolicy(Qt::NoFocus);
            replaceAccessible(w, new OutOfReachAccessible(w));
            outForGood_ << w;
        } else {
            controls_.push_back({w, w->focusPolicy()});
        }
    }
}

void KeyboardReach::apply(const Control& c) const
{
    if (!c.widget)
        return;
    // A hidden control is judged when it shows (its layout may place it only then).
    const bool clipped = c.widget->isVisibleTo(root_) && isClippedAway(c.widget, root_);
    if (clipped && c.widget->hasFocus())
        c.widget->clearFocus();
    c.widget->setFocusPolicy(clipped ? Qt::NoFocus : c.policy);
}

void KeyboardReach::follow()
{
    for (const Control& c : controls_)
        apply(c);
}

bool KeyboardReach::eventFilter(QObject* watched, QEvent* event)
{
    auto* widget = static_cast<QWidget*>(watched);
    switch (event->type()) {
    case QEvent::Show:
    case QEvent::Move:
    case QEvent::Resize:
        for (const Control& c : controls_)
            if (c.widget == widget)
                apply(c);
        break;
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
        if (outForGood_.contains(widget) || isClippedAway(widget, root_)) {
            event->accept();
            return true;
        }
        break;
    default:
        break;
    }
    return false;
}

void setAccessibleRole(QWidget* widget, QAccessible::Role role)
{
    replaceAccessible(widget, new QAccessibleWidget(widget, role));
}

}  // namespace velmar
