#include "platform/delay.h"

#include "platform/platform_services.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

#include <algorithm>
#include <limits>

namespace velmar {

void Delay(std::uint32_t milliseconds)
{
    PlatformServices& services = platform();
    const std::uint32_t start = services.tickCount();
    const std::uint32_t end = start + milliseconds;
    if (end <= start)
        return;

    // The tick may wrap only by passing `end` first (end > start without wrapping), so a tick
    // below `start` also means the wait is over.
    const auto due = [&](std::uint32_t now) { return now >= end || now < start; };

    // The single-shot timer only exists to wake the event loop at the deadline: between
    // events the thread sleeps in the loop's poll instead of spinning. Timers of nested waits
    // that fire in here are harmless: each wait re-reads the tick.
    QTimer wake;
    wake.setSingleShot(true);
    wake.setTimerType(Qt::PreciseTimer);
    for (;;) {
        const std::uint32_t now = services.tickCount();
        if (due(now)) {
            // Runs at least once, even when the tick passed the end before the first look.
            QCoreApplication::processEvents(QEventLoop::AllEvents);
            return;
        }
        const std::uint32_t rest = end - now;
        wake.start(static_cast<int>(std::min<std::uint32_t>(rest, std::numeric_limits<int>::max())));
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        if (due(services.tickCount()))
            return;
    }
}


}  // namespace velmar
