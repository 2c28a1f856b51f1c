#pragma once

#include "platform/desktop_notification.h"
#include "platform/platform_services.h"

#include <QElapsedTimer>

namespace velmar {

class QtPlatformServices final : public PlatformServices {
public:
    QtPlatformServices();

    void showInfo(const QString& text) override;
    void showError(const QString& text) override;
    void showMessage(const QString& text) override;
    void showApplicationError(const QString& text) override;
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
    void showBox(int icon, const QString& caption, const QString& text);

    QElapsedTimer clock_;
    DesktopNotifier notifier_;
    bool terminating_ = false;
    bool dismissing_ = false;
};

}  // namespace velmar
