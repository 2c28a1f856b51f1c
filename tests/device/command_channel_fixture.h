#pragma once

#include "device/command_channel.h"
#include "device/d2xx/d2xx.h"
#include "device/link_state.h"
#include "device/usb_channel_driver.h"
#include "sim/kestrom_sim.h"
#include "sim/simulated_backend.h"
#include "tests/support/recording_platform.h"
#include "timers/tithreadtimers.h"

#include <QLabel>

#include <gtest/gtest.h>

#include <memory>

namespace velmar::test {

// A command channel wired to a fresh simulated instrument that runs on real time (the
// channel's waits do), with dialogs recorded.
class CommandChannelTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        d2xx::closeAll();
        sim::installSimulator(instrument);
        channel.onReply = [this](const QString& reply) { label4.setText(reply); };
    }
    void TearDown() override { d2xx::closeAll(); }

    QStringList dialogs() const { return platform.dialogs; }

    RecordingPlatform platform;
    std::shared_ptr<sim::KestromSim> instrument = std::make_shared<sim::KestromSim>();
    LinkState state;
    std::unique_ptr<UsbChannelDriver> driver = std::make_unique<UsbChannelDriver>();
    TiThreadTimers timers;
    QLabel label4;
    CommandChannel channel{state, *driver, timers};
};

}  // namespace velmar::test
