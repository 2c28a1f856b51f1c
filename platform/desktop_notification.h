#pragma once

#include <QPointer>
#include <QString>

class QSystemTrayIcon;

namespace velmar {

// Desktop notifications: through the freedesktop notification service on the session bus,
// else as a message of an icon in the system tray (one icon, shown from the first message on).
class DesktopNotifier {
public:
    // On the D-Bus connection of that name (one the caller opened), or the session bus.
    explicit DesktopNotifier(QString busConnection = {}) : busConnection_(std::move(busConnection)) {}

    // Shows `body` under `summary`. Returns false, having done nothing, where the desktop offers
    // neither way. Never waits for the notification to be shown.
    bool show(const QString& summary, const QString& body);

private:
    QString busConnection_;
    QPointer<QSystemTrayIcon> tray_;
};

}  // namespace velmar
