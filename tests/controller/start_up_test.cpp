#include "tests/support/window_fixture.h"
#include "widgets/dials/tilineargauge.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>

#include <cmath>
#include <ostream>

using namespace velmar;

// Readable failure messages for command lists.
inline void PrintTo(const QString& text, std::ostream* os) { *os << '"' << text.toStdString() << '"'; }

namespace {

const QString FirstRun = QStringLiteral(
    "Info: Creating Configuration File\r\rThis should only happen the first time on a new Computer");

QColor textColour(QLabel* label)
{
    label->ensurePolished();
    return label->palette().color(label->foregroundRole());
}

class StartUp : public test::WindowTest {
protected:
    TiLinearGauge& gauge() { return *form->iLinearGauge1; }

    void SetUp() override
    {
        test::WindowTest::SetUp();
        form->show();
        // What the operator sees while the first dialog of the sequence is open.
        platform.onDialog = [this](const QString&) {
            if (splashSeen.isEmpty())
                splashSeen = QStringLiteral("%1 %2 %3")
                                 .arg(about->isVisible())
                                 .arg(form->Form2Button1->isVisible())
                                 .arg(form->Form2Button2->isVisible());
        };
    }

    void expectOperatingState()
    {
        EXPECT_FALSE(form->iThreadTimers1->enabled(1));
        EXPECT_FALSE(about->isVisible());
        EXPECT_FALSE(form->Form2Button1->isHidden());
        EXPECT_FALSE(form->Form2Button2->isHidden());
        EXPECT_FALSE(state().HomeMovePending || state().PolishMovePending ||
                     state().ElectrolyteMovePending);
        EXPECT_FALSE(state().MoveBusy);
        EXPECT_FALSE(state().CommandBusy);
        EXPECT_EQ(state().SampleSlot, 1);
        EXPECT_EQ(state().CurrentSamples[1], -1.0);
        EXPECT_EQ(textColour(form->Label5), QColor(0, 0, 128));
    }

    QString splashSeen;  // "<splash visible> <button 1 visible> <button 2 visible>"
};

}  // namespace

TEST_F(StartUp, WithoutASettingsFileHomesToTheDefaultsAndStartsPolling)
{
    // Leftovers of the first two seconds that the sequence resets.
    state().ZeroOffset = 7;
    state().ChartOn = true;
    state().TotalCharge = 3.5;
    state().SampleSlot = 3;
    startUp();

    EXPECT_EQ(platform.dialogs, QStringList{FirstRun});
    EXPECT_EQ(splashSeen, QStringLiteral("1 0 0"));
    EXPECT_EQ(commands(), (QStringList{QStringLiteral("GT -100"), QStringLiteral("TP"),
                                       QStringLiteral("GT -156")}));
    EXPECT_EQ(instrument->positionSteps(), 156);
    EXPECT_EQ(state().CurrentSteps, 156);
    EXPECT_DOUBLE_EQ(gauge().pointerPosition(2), 0.9984);
    EXPECT_DOUBLE_EQ(gauge().pointerPosition(3), 1.9968);
    EXPECT_DOUBLE_EQ(gauge().pointerPosition(5), 14.9952);
    EXPECT_DOUBLE_EQ(gauge().position(), 0.9984);
    EXPECT_EQ(form->Label5->text(), QStringLiteral("1.00"));
    EXPECT_EQ(state().CurrentCal, 2.9);
    EXPECT_EQ(state().ZeroOffset, 0);
    EXPECT_FALSE(state().ChartOn);
    EXPECT_EQ(state().TotalCharge, 0.0);
    expectOperatingState();
    EXPECT_TRUE(form->iThreadTimers1->enabled(9));
    EXPECT_FALSE(QFile::exists(settingsFile()));

    // Placing the pointers taught nothing that a release would apply.
    QTest::mouseClick(&gauge(), Qt::LeftButton, {},
                      QPoint(gauge().width() - 3, gauge().scaleRows().rowOf(10)));
    pump(100);
    EXPECT_EQ(commands().size(), 3);
}

struct FileCase {
    const char* name;
    QByteArray file;
    QStringList sent;
    double pointers[3];  // Home, End Polish, Electrolyte in mm
};

class StartUpFromFile : public StartUp, public ::testing::WithParamInterface<FileCase> {};

TEST_P(StartUpFromFile, TaughtPositionsComeFromTheSettingsFileAsTheyAre)
{
    const FileCase& c = GetParam();
    writeSettings(c.file);
    startUp();
    EXPECT_TRUE(platform.dialogs.isEmpty()) << platform.dialogs.join('|').toStdString();
    EXPECT_EQ(commands(), c.sent);
    EXPECT_DOUBLE_EQ(gauge().pointerPosition(2), c.pointers[0]);
    EXPECT_DOUBLE_EQ(gauge().pointerPosition(3), c.pointers[1]);
    EXPECT_DOUBLE_EQ(gauge().pointerPosition(5), c.pointers[2]);
    EXPECT_EQ(state().ElectrolyteSteps, std::lround(c.pointers[2] / 0.0064));
    expectOperatingState();
    EXPECT_TRUE(form->iThreadTimers1->enabled(9));
}

INSTANTIATE_TEST_SUITE_P(
    Files, StartUpFromFile,
    ::testing::Values(
        // At the top already: no Home move.
        FileCase{"HomeAtTheTop", "[Motion]\r\nHomeSteps=0\r\n",
                 {QStringLiteral("GT -100"), QStringLiteral("TP")},
                 {0.0, 1.9968, 14.9952}},
        // At the end of the scale's 20 mm: still on it (further is replaced by the default).
        FileCase{"AtTheEndOfTheScale",
                 "[Motion]\r\nHomeSteps=200\r\nPolishSteps=400\r\nElectrolyteSteps=3125\r\n",
                 {QStringLiteral("GT -100"), QStringLiteral("TP"), QStringLiteral("GT -200")},
                 {1.28, 2.56, 20.0}}),
    [](const ::testing::TestParamInfo<FileCase>& info) { return std::string(info.param.name); });

TEST_F(StartUp, WithoutADeviceShowsTheDialogsAndDoesNotPoll)
{
    instrument->faults.noDevice = true;
    startUp();
    pump(100);

    EXPECT_EQ(platform.dialogs,
              (QStringList{QStringLiteral("Error: Open_USB_Device_By_Serial_Number - Device Not Found...."),
                           QStringLiteral("Message: Kestrom channel A not found. Check USB connection and restart"),
                           QStringLiteral("Error: FT_Purge TX - Invalid Handle..."),
                           QStringLiteral("Info: USB Communications Error with the KS Command Channel"),
                           FirstRun}));
    EXPECT_EQ(splashSeen, QStringLiteral("1 0 0"));
    EXPECT_TRUE(commands().isEmpty());
    EXPECT_TRUE(state().LinkFailed);
    EXPECT_TRUE(state().CommandFailed);

    // Everything else still happened.
    EXPECT_EQ(state().CurrentSteps, 156);
    EXPECT_DOUBLE_EQ(gauge().pointerPosition(2), 0.9984);
    EXPECT_EQ(form->Label5->text(), QStringLiteral("1.00"));
    expectOperatingState();
    EXPECT_FALSE(form->iThreadTimers1->enabled(9));
}
