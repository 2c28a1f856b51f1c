#include "device/current_stream.h"

#include "controller/controller_state.h"
#include "controller/main_window_controls.h"
#include "platform/number_format.h"
#include "device/channel_setup.h"
#include "device/usb_channel_driver.h"
#include "platform/conversions.h"
#include "platform/platform_services.h"
#include "widgets/tiledround.h"

#include <QLabel>
#include <QString>

#include <algorithm>
#include <cstring>

namespace velmar {

namespace {
constexpr std::int32_t kCurrentFlag = 10000;
}  // namespace

void CurrentStream::OpenDataChannel()
{
    if (driver_.OpenBySerialNumber(UsbChannel::B, channelSerial(UsbChannel::B)) != d2xx::FT_OK) {
        state_.LinkFailed = true;
        platform().showMessage(QStringLiteral("Kestrom channel B not found. Check USB connection and restart"));
        return;
    }
    ConfigureChannel(driver_, UsbChannel::B, 200);
}

void CurrentStream::ReadCurrentFrame()
{
    if (!state_.DataChannelOpen) {
        OpenDataChannel();
        state_.DataChannelOpen = true;
        driver_.PurgeTx(UsbChannel::B);
        driver_.PurgeRx(UsbChannel::B);
        carriedCount_ = 0;
    }

    if (driver_.GetQueueStatus(UsbChannel::B) != d2xx::FT_OK)
        state_.LinkFailed = true;
    if (state_.LinkFailed)
        return;

    driver_.GetQueueStatus(UsbChannel::B);
    if (ui_.Label12)
        ui_.Label12->setText(QString::number(driver_.QueueCountB));

    // Only what is already waiting is read, so the call never meets the read time-out.
    if (std::uint64_t{carriedCount_} + driver_.QueueCountB < FrameSize)
        return;

    std::array<char, FrameSize> bytes{};
    std::memcpy(bytes.data(), carried_.data(), carriedCount_);
    const std::uint32_t wanted = FrameSize - carriedCount_;
    const std::uint32_t got = std::min(driver_.ReadBytes(UsbChannel::B, wanted), wanted);
    std::memcpy(bytes.data() + carriedCount_, driver_.RxBufferB.data(), got);
    const std::uint32_t total = carriedCount_ + got;
    carriedCount_ = 0;

    const auto end = bytes.begin() + total;
    const auto cr = std::find(bytes.begin(), end, '\r');
    if (cr == end) {
        // A short read is the start of a frame still arriving: keep it. Six bytes without a
        // carriage return are no frame at all and are dropped.
        if (total < FrameSize) {
            std::memcpy(carried_.data(), bytes.data(), total);
            carriedCount_ = total;
        }
        return;
    }
    const auto position = static_cast<std::uint32_t>(cr - bytes.begin());
    if (position < FrameSize - 1) {
        // The carriage return ended a frame whose start we never saw; what follows it starts
        // the next one.
        carriedCount_ = total - position - 1;
        std::memcpy(carried_.data(), bytes.data() + position + 1, carriedCount_);
        return;
    }

    takeFrame(QString::fromLatin1(bytes.data(), FrameSize - 1));
}

void CurrentStream::takeFrame(const QString& text)
{
    if (ui_.Label6)
        ui_.Label6->setText(text);

    // A garbled frame is dropped without a word: raising an error here would end the poll
    // cycle before it re-arms its timer, and polling would stop for good.
    int v = 0;
    if (!TryStrToInt(text, v))
        return;

    auto& samples = state_.CurrentSamples;
    if (v < kCurrentFlag) {
        ui_.iLedRound1->setActive(false);
        samples[0] = 0.0;
        return;
    }

    ui_.iLedRound1->setActive(true);
    state_.RawCurrent = v - kCurrentFlag;
    // The difference wraps as a 32-bit integer would; the product is taken in extended
    // precision and then stored as a double.
    const auto difference = static_cast<std::int32_t>(static_cast<std::uint32_t>(state_.RawCurrent) -
                                                      static_cast<std::uint32_t>(state_.ZeroOffset));
    samples[0] = static_cast<double>(static_cast<long double>(difference) *
                                     static_cast<long double>(state_.CurrentCal));

    const std::int32_t slot = state_.SampleSlot;
    if (slot >= 0 && slot < static_cast<std::int32_t>(samples.size()))
        samples[static_cast<std::size_t>(slot)] = samples[0];
    QLabel* label = slot == 1 ? ui_.Label7 : slot == 2 ? ui_.Label8 : ui_.Label9;
    if (label)
        label->setText(FormatGeneral(samples[0]));
    state_.SampleSlot = slot + 1;
    if (state_.SampleSlot == 4)
        state_.SampleSlot = 1;
}

}  // namespace velmar
