#pragma once

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
    QString localAppDataFolder() override;
    void shellOpen(const QString& address) override;
    QRect workArea() override;
    void terminate() override;
    bool terminating() override;

private:
    QElapsedTimer clock_;
    bool terminating_ = false;
};

}  // namespace velmar
