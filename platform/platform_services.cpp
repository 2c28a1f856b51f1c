#include "platform/platform_services.h"

#include "platform/qt_platform_services.h"

namespace velmar {
namespace {

PlatformServices* installed = nullptr;

PlatformServices& defaultServices()
{
    static QtPlatformServices services;
    return services;
}

}  // namespace

PlatformServices& platform() { return installed ? *installed : defaultServices(); }

PlatformServices* installPlatform(PlatformServices* services)
{
    PlatformServices* previous = installed;
    installed = services;
    return previous;
}

}  // namespace velmar
