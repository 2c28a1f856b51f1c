#pragma once

#include <QString>

class QLabel;
class QObject;

namespace velmar {

struct ControllerState;
class TiThreadTimers;
class UsbChannelDriver;

// Channel A: one text command at a time, each acknowledged by a reply of at least two bytes.
// The exchange waits on the window's thread while events keep running, so poll cycles, clicks
// and timers go on during it; CommandBusy turns away any command issued meanwhile.
class CommandChannel {
public:
    static constexpr int WatchdogTimer = 8;
    static constexpr int WatchdogIntervalMs = 10000;

    // Takes over timer 8 of `timers` as the reply watchdog (interval and handler). `label4` is
    // the window's hidden reply label; it may be null.
    CommandChannel(ControllerState& state, UsbChannelDriver& driver, TiThreadTimers& timers, QLabel* label4);

    void OpenCommandChannel();
    bool SendCommand(const QString& command);
    void iThreadTimers1Timer8(QObject* sender);

    void setLabel4(QLabel* label4) { label4_ = label4; }

private:
    void setLabel4Text(const QString& text);

    ControllerState& state_;
    UsbChannelDriver& driver_;
    TiThreadTimers& timers_;
    QLabel* label4_;
};

}  // namespace velmar
