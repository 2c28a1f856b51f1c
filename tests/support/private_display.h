#pragma once

// A private X display for the tests that run the real program: a free display number, an Xvfb
// on it, and a poll for what the program does there.

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QString>
#include <QThread>

#include <unistd.h>

namespace velmar::test {

// Polls `condition` every 50 ms until it holds (true) or `ms` have passed (false).
template <typename Condition>
bool waitFor(Condition condition, int ms)
{
    QElapsedTimer clock;
    clock.start();
    while (!condition()) {
        if (clock.elapsed() > ms)
            return false;
        QThread::msleep(50);
    }
    return true;
}

// A display name (":123") that no X server on this machine holds.
inline QString freeDisplay()
{
    for (int n = 100 + getpid() % 700;; ++n)
        if (!QFile::exists(QStringLiteral("/tmp/.X%1-lock").arg(n)))
            return QStringLiteral(":%1").arg(n);
}

// Starts Xvfb on `display` with one screen of `size` ("1024x665") and waits for its socket.
inline bool startXvfb(QProcess& xvfb, const QString& display, const QString& size)
{
    xvfb.start(QStringLiteral("Xvfb"), {display, QStringLiteral("-screen"), QStringLiteral("0"),
                                        size + QStringLiteral("x24"), QStringLiteral("-nolisten"), QStringLiteral("tcp")});
    return xvfb.waitForStarted() &&
           waitFor([&] { return QFile::exists(QStringLiteral("/tmp/.X11-unix/X") + display.mid(1)); }, 10000);
}

}  // namespace velmar::test
