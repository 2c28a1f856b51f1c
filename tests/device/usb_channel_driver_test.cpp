#include "device/usb_channel_driver.h"

#include "device/d2xx/d2xx.h"
#include "device/frame_tally.h"
#include "sim/kestrom_sim.h"
#include "sim/simulated_backend.h"
#include "tests/support/log_capture.h"
#include "tests/support/recording_platform.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <memory>

namespace velmar {
namespace {

using namespace d2xx;

class UsbChannelDriverTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        closeAll();
        sim::installSimulator(instrument);
        driver = std::make_unique<UsbChannelDriver>();
    }
    void TearDown() override { closeAll(); }

    test::RecordingPlatform platform;
    sim::ManualClock clock;
    std::shared_ptr<sim::KestromSim> instrument = std::make_shared<sim::KestromSim>(clock.clock());
    std::unique_ptr<UsbChannelDriver> driver;
};

TEST_F(UsbChannelDriverTest, SerialNumberIsCutTo49CharactersAndZeroTerminated)
{
    const QString serial49 = QString(48, QLatin1Char('7')) + QLatin1Char('A');
    instrument->serialNumber = serial49.chopped(1);
    struct Case {
        QString given;
        QByteArray passed;
        FT_STATUS status;
    };
    const Case cases[] = {
        {serial49, serial49.toLatin1(), FT_OK},
        {serial49 + QLatin1Char('Z'), serial49.toLatin1(), FT_OK},  // 50: the first 49 go
        {QString(), QByteArray(), FT_DEVICE_NOT_FOUND},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.given.size());
        closeAll();
        driver->HandleA = nullptr;
        driver->SerialBuffer.fill('#');
        EXPECT_EQ(driver->OpenBySerialNumber(UsbChannel::A, c.given), c.status);
        EXPECT_EQ(QByteArray(driver->SerialBuffer.data()), c.passed);
        EXPECT_EQ(driver->HandleA != nullptr, c.status == FT_OK);
    }
}

TEST_F(UsbChannelDriverTest, MissingDeviceLeavesHandleNullAndLaterCallsFailAsInvalidHandle)
{
    instrument->faults.noDevice = true;
    EXPECT_EQ(driver->OpenBySerialNumber(UsbChannel::B, "KS265000B"), FT_DEVICE_NOT_FOUND);
    EXPECT_EQ(driver->HandleB, nullptr);
    EXPECT_EQ(driver->GetQueueStatus(UsbChannel::B), FT_INVALID_HANDLE);
    EXPECT_EQ(platform.dialogs, QStringList({"Error: Open_USB_Device_By_Serial_Number2 - Device Not Found....",
                                             "Error: FT_GetQueueStatus2 - Invalid Handle..."}));
}

TEST_F(UsbChannelDriverTest, EveryOperationReportsWithItsOwnLabelPerChannel)
{
    // Nothing is open: every call fails with an invalid handle and names itself.
    using Op = std::function<void(UsbChannel)>;
    UsbChannelDriver& d = *driver;
    const std::pair<Op, const char*> ops[] = {
        {[&](UsbChannel c) { d.PurgeTx(c); }, "FT_Purge TX"},
        {[&](UsbChannel c) { d.PurgeRx(c); }, "FT_Purge RX"},
        {[&](UsbChannel c) { d.SetBaudRate(c); }, "FT_SetBaudRate"},
        {[&](UsbChannel c) { d.SetDataCharacteristics(c); }, "FT_SetDataCharacteristics"},
        {[&](UsbChannel c) { d.SetFlowControl(c); }, "FT_SetFlowControl"},
        {[&](UsbChannel c) { d.SetTimeouts(c, 100, 100); }, "FT_SetTimeouts"},
        {[&](UsbChannel c) { d.GetQueueStatus(c); }, "FT_GetQueueStatus"},
        {[&](UsbChannel c) { EXPECT_EQ(d.ReadBytes(c, 6), 0u); }, "FT_Read"},
    };
    QStringList expected;
    for (const auto& [op, label] : ops) {
        op(UsbChannel::A);
        op(UsbChannel::B);
        expected << QStringLiteral("Error: %1 - Invalid Handle...").arg(label)
                 << QStringLiteral("Error: %1%2 - Invalid Handle...").arg(label, "2");
    }
    EXPECT_EQ(d.WriteBytes(3), 0u);
    expected << "Error: FT_Write - Invalid Handle...";
    EXPECT_EQ(platform.dialogs, expected);
}

TEST_F(UsbChannelDriverTest, ErrorTextsPerStatus)
{
    const std::pair<FT_STATUS, const char*> table[] = {
        {1, "L - Invalid Handle..."},          {2, "L - Device Not Found...."},
        {3, "L - Device Not Opened..."},       {4, "L - General IO Error..."},
        {5, "L - Insufficient Resources..."},  {6, "L - Invalid Parameter ..."},
        {17, "L - Unknown Error 17..."},
    };
    driver->ReportDeviceError("L", 0);
    EXPECT_TRUE(platform.dialogs.isEmpty());
    for (const auto& [status, text] : table) {
        platform.dialogs.clear();
        driver->ReportDeviceError("L", status);
        EXPECT_EQ(platform.dialogs, QStringList{QStringLiteral("Error: ") + text});
    }
}

TEST_F(UsbChannelDriverTest, ReportErrorsOffSilencesDialogsButKeepsResults)
{
    driver->ReportErrors = false;
    instrument->faults.noDevice = true;
    EXPECT_EQ(driver->OpenBySerialNumber(UsbChannel::A, "KS265000A"), FT_DEVICE_NOT_FOUND);
    EXPECT_EQ(driver->PurgeTx(UsbChannel::A), FT_INVALID_HANDLE);
    driver->ReportDeviceError("L", FT_IO_ERROR);
    EXPECT_TRUE(platform.dialogs.isEmpty());
}

TEST_F(UsbChannelDriverTest, ConfiguresWritesAndReadsBothChannels)
{
    ASSERT_EQ(driver->OpenBySerialNumber(UsbChannel::A, "KS265000A"), FT_OK);
    ASSERT_EQ(driver->OpenBySerialNumber(UsbChannel::B, "KS265000B"), FT_OK);
    for (UsbChannel c : {UsbChannel::A, UsbChannel::B}) {
        driver->FlowControl = 0;
        driver->WordLength = 8;
        driver->StopBits = 0;
        driver->Parity = 0;
        driver->BaudRate = 19200;
        EXPECT_EQ(driver->SetFlowControl(c), FT_OK);
        EXPECT_EQ(driver->SetDataCharacteristics(c), FT_OK);
        EXPECT_EQ(driver->SetBaudRate(c), FT_OK);
        EXPECT_EQ(driver->PurgeRx(c), FT_OK);
        EXPECT_EQ(driver->PurgeTx(c), FT_OK);
        EXPECT_EQ(driver->SetTimeouts(c, 100, 100), FT_OK);
    }

    std::memcpy(driver->TxBuffer.data(), "TP\r", 3);
    EXPECT_EQ(driver->WriteBytes(3), 3u);
    EXPECT_EQ(instrument->wireBytes(), QByteArray("TP\r"));
    clock.advance(2000);
    EXPECT_EQ(driver->GetQueueStatus(UsbChannel::A), FT_OK);
    EXPECT_EQ(driver->QueueCountA, 3u);
    EXPECT_EQ(driver->ReadBytes(UsbChannel::A, driver->QueueCountA), 3u);
    EXPECT_EQ(QByteArray(driver->RxBufferA.data(), 3), "OK\r");

    // Eleven bytes and more waiting: a 6-byte read takes exactly one frame.
    EXPECT_EQ(driver->GetQueueStatus(UsbChannel::B), FT_OK);
    ASSERT_GE(driver->QueueCountB, 11u);
    const std::uint32_t before = driver->QueueCountB;
    EXPECT_EQ(driver->ReadBytes(UsbChannel::B, 6), 6u);
    EXPECT_EQ(driver->RxBufferB[5], '\r');
    driver->GetQueueStatus(UsbChannel::B);
    EXPECT_EQ(driver->QueueCountB, before - 6);
    EXPECT_TRUE(platform.dialogs.isEmpty()) << platform.dialogs.join('\n').toStdString();
}

TEST_F(UsbChannelDriverTest, LogHasTheCommandsAndRepliesButNotEachFrame)
{
    test::LogCapture log;
    driver->ReportErrors = false;
    ASSERT_EQ(driver->OpenBySerialNumber(UsbChannel::A, "KS265000A"), FT_OK);
    ASSERT_EQ(driver->OpenBySerialNumber(UsbChannel::B, "KS265000B"), FT_OK);
    std::memcpy(driver->TxBuffer.data(), "GT -100\r", 8);
    driver->WriteBytes(8);
    clock.advance(2000);
    driver->GetQueueStatus(UsbChannel::A);
    driver->ReadBytes(UsbChannel::A, driver->QueueCountA);
    driver->GetQueueStatus(UsbChannel::B);
    driver->ReadBytes(UsbChannel::B, 6);
    instrument->unplug();
    driver->PurgeTx(UsbChannel::A);

    EXPECT_EQ(log.messages("velmar.wire", QtInfoMsg), QStringList({R"(A sent "GT -100\r")", R"(A received "OK\r")"}));
    // Shown or not, a failure is in the log.
    EXPECT_EQ(log.messages("velmar.device", QtWarningMsg), QStringList({"FT_Purge TX - General IO Error..."}));
}

TEST(FrameTally, CountsFramesByTheirCarriageReturnsAndSumsUpEveryTenSeconds)
{
    FrameTally tally;
    EXPECT_EQ(tally.add(1000, "10237\r10", 8), std::nullopt);
    tally.accepted();
    EXPECT_EQ(tally.add(5000, nullptr, 0), std::nullopt);
    EXPECT_EQ(tally.add(10999, "240\r", 4), std::nullopt);
    EXPECT_EQ(tally.add(11000, "", 0), QStringLiteral("B received 2 frames (12 bytes), 1 accepted, in 10.0 s"));
    // A stream gone quiet still gets its line, counting from the last one.
    EXPECT_EQ(tally.add(20000, nullptr, 0), std::nullopt);
    EXPECT_EQ(tally.add(21500, nullptr, 0), QStringLiteral("B received 0 frames (0 bytes), 0 accepted, in 10.5 s"));
}

TEST_F(UsbChannelDriverTest, UnpluggedDeviceFailsAsIoError)
{
    ASSERT_EQ(driver->OpenBySerialNumber(UsbChannel::B, "KS265000B"), FT_OK);
    instrument->unplug();
    EXPECT_EQ(driver->GetQueueStatus(UsbChannel::B), FT_IO_ERROR);
    EXPECT_EQ(driver->ReadBytes(UsbChannel::B, 6), 0u);
    EXPECT_EQ(platform.dialogs, QStringList({"Error: FT_GetQueueStatus2 - General IO Error...",
                                             "Error: FT_Read2 - General IO Error..."}));
}

}  // namespace
}  // namespace velmar
