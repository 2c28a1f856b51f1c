#include "ui/window_frame.h"

#include <QCoreApplication>
#include <QWidget>
#include <QWindow>

#if __has_include(<xcb/xcb.h>)
#include <xcb/xcb.h>
#define VELMAR_HAVE_XCB 1
#endif

namespace velmar {

QMargins frameExtents(const QWidget& window)
{
    // The window's own extents, read afresh: QWidget's frame geometry keeps the ones of the
    // last move or resize.
    const QWindow* handle = window.windowHandle();
    return handle ? handle->frameMargins() : QMargins();
}

FrameExtentsWatch::FrameExtentsWatch(QWidget* window, std::function<void()> changed)
    : QObject(window), window_(window), changed_(std::move(changed))
{
    QCoreApplication::instance()->installNativeEventFilter(this);
}

FrameExtentsWatch::~FrameExtentsWatch()
{
    if (QCoreApplication* app = QCoreApplication::instance())
        app->removeNativeEventFilter(this);
}

bool FrameExtentsWatch::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*)
{
#ifdef VELMAR_HAVE_XCB
    if (eventType != "xcb_generic_event_t")
        return false;
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    if ((event->response_type & 0x7f) != XCB_PROPERTY_NOTIFY)
        return false;
    const auto* notify = static_cast<const xcb_property_notify_event_t*>(message);
    const WId id = window_->internalWinId();
    if (id != 0 && notify->window == id)
        QMetaObject::invokeMethod(this, [this] { changed_(); }, Qt::QueuedConnection);
#else
    Q_UNUSED(eventType);
    Q_UNUSED(message);
#endif
    return false;
}

}  // namespace velmar
