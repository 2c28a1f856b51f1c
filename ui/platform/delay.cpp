#include "ui/platform/delay.h"

#include "ui/platform/platform_services.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

namespace velmar {

void Delay(std::uint32_t milliseconds)
{
    PlatformServices& services = platform();
    const std::uint32_t start = services.tickCount();
    const std::uint32_t end = start + milliseconds;
    if (end <= start)
        return;

    // The single-shot timer only exists to wake the event loop at the deadline: between
    // events the thread sleeps in the loop's poll instead of spinning.
    QTimer wake;
    wake.setSingleShot(true);
    wake.setTimerType(Qt::PreciseTimer);
    for (;;) {
        const std::uint32_t now = services.tickCount();
        const bool due = now >= end || now < start;
        if (!due)
            wake.start(static_cast<int>(end - now));
        QCoreApplication::processEvents(due ? QEventLoop::AllEvents : QEventLoop::WaitForMoreEvents);
        if (due)
            return;
        const std::uint32_t after = services.tickCount();
        if (after >= end || after < start) {
            return;
        }
    }
}

void ShowInfo(const QString& text) { platform().showInfo(text); }

}  // namespace velmar
