#include "platform/desktop_notification.h"

#include <QApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QGuiApplication>
#include <QStyle>
#include <QSystemTrayIcon>
#include <QVariantMap>

namespace velmar {

namespace {

const QString NotificationService = QStringLiteral("org.freedesktop.Notifications");

bool notificationServiceAvailable(QDBusConnection& bus)
{
    if (!bus.isConnected())
        return false;
    QDBusConnectionInterface* daemon = bus.interface();
    if (!daemon)
        return false;
    // A notification daemon that the bus starts on demand is not registered until then.
    return daemon->isServiceRegistered(NotificationService).value()
           || daemon->activatableServiceNames().value().contains(NotificationService);
}

}  // namespace

bool DesktopNotifier::show(const QString& summary, const QString& body)
{
    // The session bus is looked up on the first notification, not when the program starts.
    QDBusConnection bus = busConnection_.isEmpty() ? QDBusConnection::sessionBus() : QDBusConnection(busConnection_);
    if (notificationServiceAvailable(bus)) {
        QDBusMessage notify = QDBusMessage::createMethodCall(NotificationService, QStringLiteral("/org/freedesktop/Notifications"),
                                                             NotificationService, QStringLiteral("Notify"));
        // The desktop entry names the program to the desktop (its notification settings, its
        // icon beside the message); the icon is installed under the entry's name.
        const QString entry = QGuiApplication::desktopFileName();
        QVariantMap hints;
        if (!entry.isEmpty())
            hints.insert(QStringLiteral("desktop-entry"), entry);
        const QString icon = entry.isEmpty() ? QStringLiteral("dialog-information") : entry;
        // application, replaces id, icon, summary, body, actions, hints, time-out (server's)
        notify << QCoreApplication::applicationName() << 0u << icon << summary << body << QStringList() << hints << -1;
        // Sent without waiting for the reply: a slow notification daemon must not hold the
        // window's thread, which also runs the instrument.
        return bus.send(notify);
    }
    if (qobject_cast<QApplication*>(QCoreApplication::instance()) && QSystemTrayIcon::isSystemTrayAvailable()
        && QSystemTrayIcon::supportsMessages()) {
        if (!tray_) {
            QIcon icon = QApplication::windowIcon();
            if (icon.isNull())
                icon = QApplication::style()->standardIcon(QStyle::SP_MessageBoxInformation);
            tray_ = new QSystemTrayIcon(icon, QCoreApplication::instance());
        }
        tray_->show();
        tray_->showMessage(summary, body);
        return true;
    }
    return false;
}

}  // namespace velmar
