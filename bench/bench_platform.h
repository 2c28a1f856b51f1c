#pragma once

#include "platform/platform_services.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QList>
#include <QTemporaryDir>

#include <cstdio>
#include <functional>

namespace velmar::bench {

// Platform services for benchmarks: real clocks, no sound, dialogs answered at once and
// reported (to stderr unless `onDialog` says otherwise), settings in a folder of the run's own.
class BenchPlatform final : public PlatformServices {
public:
    explicit BenchPlatform(QString folder = {}) : folder_(std::move(folder))
    {
        clock_.start();
        if (folder_.isEmpty())
            folder_ = temporary_.path();
    }

    void showInfo(const QString& text) override { shown("Info", text); }
    void showError(const QString& text) override { shown("Error", text); }
    void showMessage(const QString& text) override { shown("Message", text); }
    void showApplicationError(const QString& text) override { shown("AppError", text); }
    void beep() override {}
    std::uint32_t tickCount() override { return static_cast<std::uint32_t>(clock_.elapsed()); }
    QDateTime now() override { return QDateTime::currentDateTime(); }
    QString localAppDataFolder() override { return folder_; }
    QString userFolder(UserFolder) override { return folder_; }
    QString askSaveFileName(const QString&, const QString&, const QString&, QString*) override { return {}; }
    bool shellOpen(const QString&) override { return true; }
    QRect workArea() override { return {0, 0, 1280, 800}; }
    void terminate() override { terminating_ = true; }
    bool terminating() override { return terminating_; }

    void dismissDialogs() override
    {
        holdDialogs = false;
        releaseDialogs();
    }

    int dialogs = 0;
    QString lastDialog;
    std::function<void(const char* kind, const QString& text)> onDialog;
    // Nobody answers: each dialog stays open (events go on) until releaseDialogs().
    bool holdDialogs = false;
    void releaseDialogs()
    {
        for (QEventLoop* loop : held_)
            loop->quit();
    }

private:
    void shown(const char* kind, const QString& text)
    {
        ++dialogs;
        lastDialog = text;
        if (onDialog)
            onDialog(kind, text);
        else
            std::fprintf(stderr, "  (%s: %s)\n", kind, qPrintable(QString(text).replace(u'\r', u' ')));
        if (!holdDialogs)
            return;
        QEventLoop open;
        held_ << &open;
        open.exec();
        held_.removeOne(&open);
    }

    QList<QEventLoop*> held_;

    QTemporaryDir temporary_;
    QString folder_;
    QElapsedTimer clock_;
    bool terminating_ = false;
};

}  // namespace velmar::bench
