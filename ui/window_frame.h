#pragma once

#include <QAbstractNativeEventFilter>
#include <QMargins>
#include <QObject>

#include <functional>

class QWidget;

namespace velmar {

// What the window manager's frame adds around `window`'s client area on each side, as the
// platform reports it now (zero before the window is mapped, and without a window manager).
QMargins frameExtents(const QWidget& window);

// Calls `changed` whenever the frame extents of `window` may have changed. Qt raises no event
// for that: a window manager that draws a maximised window with a thinner frame changes the
// extents without moving or resizing the client. On X11 the window manager announces new
// extents as a property of the window, so every property change of the window is passed on
// (queued, so the platform has read the new extents by then); the window's own moves and
// resizes are for the owner to pass on.
class FrameExtentsWatch : public QObject, public QAbstractNativeEventFilter {
public:
    FrameExtentsWatch(QWidget* window, std::function<void()> changed);
    ~FrameExtentsWatch() override;
    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

private:
    QWidget* window_;
    std::function<void()> changed_;
};

}  // namespace velmar
