#include "platform/qt_platform_services.h"

#include "platform/transcript.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QGuiApplication>
#include <QMessageBox>
#include <QScreen>
#include <QStandardPaths>
#include <QUrl>

namespace velmar {
namespace {

void showBox(QMessageBox::Icon icon, const QString& caption, const QString& text)
{
    // Owned by the active window so it stays in front of it; exec() keeps the event loop
    // (and with it the timers) running while the operator reads.
    // Messages break lines with carriage returns, which a label does not; show them as breaks.
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
    WriteTranscript(QStringLiteral("dialog"), caption + QStringLiteral(": ") + text);
    QMessageBox box(icon, caption, shown, QMessageBox::Ok, QApplication::activeWindow());
    box.exec();
}

}  // namespace

QtPlatformServices::QtPlatformServices() { clock_.start(); }

void QtPlatformServices::showInfo(const QString& text)
{
    showBox(QMessageBox::Information, QStringLiteral("Information"), text);
}

void QtPlatformServices::showError(const QString& text)
{
    showBox(QMessageBox::Critical, QStringLiteral("Error"), text);
}

void QtPlatformServices::showMessage(const QString& text)
{
    showBox(QMessageBox::NoIcon, QGuiApplication::applicationDisplayName(), text);
}

void QtPlatformServices::showApplicationError(const QString& text)
{
    showBox(QMessageBox::Critical, QGuiApplication::applicationDisplayName(), text);
}

void QtPlatformServices::beep() { QApplication::beep(); }

std::uint32_t QtPlatformServices::tickCount()
{
    return static_cast<std::uint32_t>(clock_.elapsed());
}

QDateTime QtPlatformServices::now() { return QDateTime::currentDateTime(); }

QString QtPlatformServices::localAppDataFolder()
{
    return QDir::cleanPath(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation));
}

void QtPlatformServices::shellOpen(const QString& address)
{
    // The outcome is deliberately not examined: no browser is not the operator's problem here.
    QDesktopServices::openUrl(QUrl(address));
}

QRect QtPlatformServices::workArea()
{
    if (QScreen* screen = QGuiApplication::primaryScreen())
        return screen->availableGeometry();
    return {};
}

void QtPlatformServices::terminate()
{
    terminating_ = true;
    // Queued, so it takes effect when the main loop next processes events. exit() rather than
    // quit(): quit() would first close every window, and closing the main window saves the
    // settings and sends "X", which ending this way must not do.
    QMetaObject::invokeMethod(
        QCoreApplication::instance(), [] { QCoreApplication::exit(0); }, Qt::QueuedConnection);
}

bool QtPlatformServices::terminating() { return terminating_; }

}  // namespace velmar
