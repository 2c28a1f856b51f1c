#include "platform/desktop_notification.h"

#include <QDBusConnection>
#include <QGuiApplication>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>
#include <QVariantMap>

#include <gtest/gtest.h>

using namespace velmar;

namespace {

// A notification daemon as the desktop runs one: the freedesktop interface on the bus.
class FakeNotificationDaemon : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
public:
    QStringList received;
    QStringList icons, entries;

public slots:
    uint Notify(const QString& application, uint replaces, const QString& icon, const QString& summary,
                const QString& body, const QStringList& actions, const QVariantMap& hints, int timeout)
    {
        Q_UNUSED(replaces);
        Q_UNUSED(actions);
        Q_UNUSED(timeout);
        received << application + QStringLiteral(" | ") + summary + QStringLiteral(" | ") + body;
        icons << icon;
        entries << hints.value(QStringLiteral("desktop-entry")).toString();
        return 1;
    }
};

}  // namespace

// No bus to reach and (on the offscreen platform) no system tray: nothing is shown and
// nothing fails.
TEST(DesktopNotifier, NothingWhereTheDesktopHasNeitherWay)
{
    QDBusConnection::connectToBus(QStringLiteral("unix:path=/nonexistent/velmar-bus"), QStringLiteral("nowhere"));
    DesktopNotifier notifier(QStringLiteral("nowhere"));
    EXPECT_FALSE(notifier.show(QStringLiteral("Velmar"), QStringLiteral("Finished after 0:01: stopped by the operator")));
    QDBusConnection::disconnectFromBus(QStringLiteral("nowhere"));
}

// On a bus of the test's own with a notification daemon on it, the notification reaches the
// daemon in the freedesktop call's form, naming the program's desktop entry and its icon.
TEST(DesktopNotifier, ReachesTheNotificationServiceOnTheBus)
{
    const QString daemon = QStandardPaths::findExecutable(QStringLiteral("dbus-daemon"));
    if (daemon.isEmpty())
        GTEST_SKIP() << "no dbus-daemon to run a bus";
    QProcess bus;
    bus.start(daemon, {QStringLiteral("--session"), QStringLiteral("--nofork"), QStringLiteral("--print-address=1")});
    ASSERT_TRUE(bus.waitForStarted(5000));
    ASSERT_TRUE(bus.waitForReadyRead(5000));
    const QString address = QString::fromUtf8(bus.readLine()).trimmed();
    {
        QDBusConnection connection = QDBusConnection::connectToBus(address, QStringLiteral("private"));
        ASSERT_TRUE(connection.isConnected());
        FakeNotificationDaemon fake;
        ASSERT_TRUE(connection.registerObject(QStringLiteral("/org/freedesktop/Notifications"), &fake,
                                              QDBusConnection::ExportAllSlots));
        ASSERT_TRUE(connection.registerService(QStringLiteral("org.freedesktop.Notifications")));

        const QString entryBefore = QGuiApplication::desktopFileName();
        QGuiApplication::setDesktopFileName(QStringLiteral("org.example.velmar-test"));
        DesktopNotifier notifier(QStringLiteral("private"));
        EXPECT_TRUE(notifier.show(QStringLiteral("Velmar"), QStringLiteral("Finished after 12:34: minimum current reached")));
        QTRY_COMPARE_WITH_TIMEOUT(fake.received.size(), 1, 5000);
        EXPECT_TRUE(fake.received.value(0).endsWith(
            QStringLiteral(" | Velmar | Finished after 12:34: minimum current reached")));
        EXPECT_EQ(fake.entries.value(0), QStringLiteral("org.example.velmar-test"));
        EXPECT_EQ(fake.icons.value(0), QStringLiteral("org.example.velmar-test"));
        QGuiApplication::setDesktopFileName(entryBefore);
    }
    QDBusConnection::disconnectFromBus(QStringLiteral("private"));
    bus.kill();
    bus.waitForFinished(5000);
}

#include "desktop_notification_test.moc"
