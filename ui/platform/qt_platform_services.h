#pragma once

#include "ui/platform/platform_services.h"

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
    void shellOpen(const QString& address) override;
    QRect workArea() override;
    void terminate() override;
    bool terminating() override;

private:
    QElapsedTimer clock_;
    bool terminating_ = false;
};

}  // namespace velmar
