#include "controller/current_readout.h"

#include "controller/controller_state.h"
#include "controller/main_window_controls.h"
#include "device/current_stream.h"
#include "platform/number_format.h"
#include "widgets/displays/tiledround.h"

#include <QLabel>

namespace velmar {

double AverageOfLastThree(const ControllerState& s)
{
    return (0.0 + s.CurrentSamples[1] + s.CurrentSamples[2] + s.CurrentSamples[3]) / 3.0;
}

double CurrentReadout::ReadCurrentFrame() { return show(stream_.ReadCurrentFrame()); }

double CurrentReadout::show(const StreamRead& read)
{
    auto& samples = state_.CurrentSamples;
    if (read.polled && ui_.Label12)
        ui_.Label12->setText(QString::number(read.queued));
    if (!read.frame)
        return samples[0];
    if (ui_.Label6)
        ui_.Label6->setText(read.frame->text);

    // A garbled frame is dropped without a word: raising an error here would end the poll
    // cycle before it re-arms its timer, and polling would stop for good.
    if (!read.frame->value)
        return samples[0];
    const std::int32_t v = *read.frame->value;
    if (v < CurrentFrame::Flag) {
        ui_.iLedRound1->setActive(false);
        samples[0] = 0.0;
        return samples[0];
    }

    ui_.iLedRound1->setActive(true);
    state_.RawCurrent = v - CurrentFrame::Flag;
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
    return samples[0];
}

}  // namespace velmar
