#include "platform/platform_services.h"

#include "platform/qt_platform_services.h"

#include <QCoreApplication>

namespace velmar {
namespace {

PlatformServices* installed = nullptr;

PlatformServices& defaultServices()
{
    static QtPlatformServices services;
    return services;
}

}  // namespace

void PlatformServices::showDialog(DialogKind kind, const QString& text)
{
    switch (kind) {
    case DialogKind::Info:
        showInfo(text);
        return;
    case DialogKind::Error:
        showError(text);
        return;
    case DialogKind::Message:
        showMessage(text);
        return;
    case DialogKind::ApplicationError:
        showApplicationError(text);
        return;
    }
}

void PlatformServices::answerLater(std::function<void()> answered, QObject* context)
{
    if (answered)
        QMetaObject::invokeMethod(context ? context : QCoreApplication::instance(), std::move(answered),
                                  Qt::QueuedConnection);
}

void PlatformServices::openDialog(DialogKind kind, const QString& text, std::function<void()> answered)
{
    showDialog(kind, text);
    answerLater(std::move(answered));
}

PlatformServices& platform() { return installed ? *installed : defaultServices(); }

PlatformServices* installPlatform(PlatformServices* services)
{
    PlatformServices* previous = installed;
    installed = services;
    return previous;
}

}  // namespace velmar
