#pragma once

#include "platform/desktop_notification.h"
#include "platform/platform_services.h"

#include <QElapsedTimer>
#include <QList>
#include <QPointer>

#include <memory>

class QMessageBox;

namespace velmar {

class QtPlatformServices final : public PlatformServices {
public:
    QtPlatformServices();

    void showInfo(const QString& text) override;
    void showError(const QString& text) override;
    void showMessage(const QString& text) override;
    void showApplicationError(const QString& text) override;
    // An application-modal box like the ones above, shown without waiting for it.
    void openDialog(DialogKind kind, const QString& text, std::function<void()> answered) override;
    void beep() override;
    std::uint32_t tickCount() override;
    QDateTime now() override;
    qint64 nowMSecsSinceEpoch() override;
    QString localAppDataFolder() override;
    QString userFolder(UserFolder which) override;
    QString askSaveFileName(const QString& caption, const QString& initialPath, const QString& filters,
                            QString* selectedFilter) override;
    bool shellOpen(const QString& address) override;
    QRect workArea() override;
    // Through the freedesktop notification service, else the system tray; only while no
    // window of the program is active.
    void notifyWhenInactive(const QString& summary, const QString& body) override;
    void dismissDialogs() override;
    void terminate() override;
    bool terminating() override;

private:
    // Writes the dialog to the transcript and the log, and makes its box (none once nobody
    // answers any more).
    std::unique_ptr<QMessageBox> makeBox(DialogKind kind, const QString& text);
    void showBox(DialogKind kind, const QString& text);

    QElapsedTimer clock_;
    DesktopNotifier notifier_;
    bool terminating_ = false;
    bool dismissing_ = false;
    QList<QPointer<QMessageBox>> openBoxes_;  // the boxes of openDialog not yet answered
};

}  // namespace velmar
