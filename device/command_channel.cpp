#include "device/command_channel.h"

#include "controller/controller_state.h"
#include "device/channel_setup.h"
#include "device/usb_channel_driver.h"
#include "platform/delay.h"
#include "platform/platform_services.h"
#include "timers/tithreadtimers.h"

#include <QLabel>

#include <algorithm>
#include <cstring>

namespace velmar {

CommandChannel::CommandChannel(ControllerState& state, UsbChannelDriver& driver, TiThreadTimers& timers,
                               QLabel* label4)
    : state_(state), driver_(driver), timers_(timers), label4_(label4)
{
    timers_.setInterval(WatchdogTimer, WatchdogIntervalMs);
    timers_.setOnTimer(WatchdogTimer, [this](QObject* sender) { iThreadTimers1Timer8(sender); });
}

void CommandChannel::setLabel4Text(const QString& text)
{
    if (label4_)
        label4_->setText(text);
}

void CommandChannel::OpenCommandChannel()
{
    if (driver_.OpenBySerialNumber(UsbChannel::A, channelSerial(UsbChannel::A)) != d2xx::FT_OK) {
        state_.LinkFailed = true;
        platform().showMessage(QStringLiteral("Kestrom channel A not found. Check USB connection and restart"));
        return;
    }
    ConfigureChannel(driver_, UsbChannel::A, 100);
}

bool CommandChannel::SendCommand(const QString& command)
{
    if (state_.CommandBusy || state_.LinkFailed)
        return false;

    state_.CommandBusy = true;
    QString reply(13, QLatin1Char(' '));
    setLabel4Text(QStringLiteral(" "));

    if (!state_.CommandChannelOpen) {
        OpenCommandChannel();
        state_.CommandChannelOpen = true;
        Delay(1000);
    }

    if (driver_.PurgeTx(UsbChannel::A) != d2xx::FT_OK) {
        ShowInfo(QStringLiteral("USB Communications Error with the KS Command Channel"));
        state_.CommandFailed = true;
        setLabel4Text(reply);
        state_.CommandBusy = false;
        return false;
    }
    driver_.PurgeRx(UsbChannel::A);

    // The last byte of the buffer is kept for the carriage return.
    const QByteArray text = command.toLatin1();
    const auto length = static_cast<std::uint32_t>(std::min<qsizetype>(text.size(), UsbChannelDriver::BufferSize - 1));
    std::memcpy(driver_.TxBuffer.data(), text.constData(), length);
    driver_.TxBuffer[length] = '\r';
    driver_.WriteBytes(length + 1);

    // restart(), not a plain enable: the watchdog must measure its full interval from the
    // write, and enabling a paused timer would only resume its previous wait.
    state_.ReplyTimedOut = false;
    timers_.restart(WatchdogTimer);

    d2xx::FT_STATUS status = driver_.GetQueueStatus(UsbChannel::A);
    while (driver_.QueueCountA < 2 && status == d2xx::FT_OK && !state_.ReplyTimedOut) {
        status = driver_.GetQueueStatus(UsbChannel::A);
        Delay(10);
    }

    timers_.setEnabled(WatchdogTimer, false);

    if (state_.ReplyTimedOut) {
        ShowInfo(QStringLiteral("Communications Timeout"));
        state_.CommandBusy = false;
        return false;
    }

    driver_.ReadBytes(UsbChannel::A, std::min<std::uint32_t>(driver_.QueueCountA, UsbChannelDriver::BufferSize));
    for (int i = 0; i < 4; ++i)
        reply[i] = QLatin1Char(driver_.RxBufferA[static_cast<std::size_t>(i)]);
    setLabel4Text(reply);

    state_.CommandFailed = false;
    state_.CommandBusy = false;
    return true;
}

void CommandChannel::iThreadTimers1Timer8(QObject* /*sender*/)
{
    timers_.setEnabled(WatchdogTimer, false);
    state_.ReplyTimedOut = true;
}

}  // namespace velmar
