#include "tests/support/window_fixture.h"
#include "widgets/tilineargauge.h"

#include <QFile>
#include <QTest>

using namespace velmar;

namespace {

class CloseSaves : public test::WindowTest {
protected:
    // Homed, then Home taught at 1.5 mm (234 steps) as a drag of its pointer would.
    void teachHome()
    {
        form->show();
        startUp();
        platform.dialogs.clear();
        TiLinearGauge& gauge = *form->iLinearGauge1;
        gauge.setPointerPosition(2, 1.5);
        QTest::mouseClick(&gauge, Qt::LeftButton, {},
                          QPoint(gauge.width() - 3, gauge.scaleRows().rowOf(10)));
        ASSERT_EQ(commands().last(), QStringLiteral("GT -78"));
    }
};

}  // namespace

TEST_F(CloseSaves, TaughtPositionsAreWrittenBeforeTheExitCommand)
{
    writeSettings("[Calibrate]\r\nCurrentCal=3.1\r\n[Motion]\r\nHomeSteps=156\r\n");
    teachHome();
    EXPECT_TRUE(form->close());

    QFile file(settingsFile());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray saved = file.readAll();
    EXPECT_TRUE(saved.contains("HomeSteps=234")) << saved.toStdString();
    EXPECT_TRUE(saved.contains("PolishSteps=312"));
    EXPECT_TRUE(saved.contains("ElectrolyteSteps=2343"));
    EXPECT_TRUE(saved.contains("CurrentCal=3.1"));
    EXPECT_EQ(commands().last(), QStringLiteral("X"));
    EXPECT_TRUE(instrument->exitReceived());
    EXPECT_TRUE(platform.dialogs.isEmpty()) << platform.dialogs.join('|').toStdString();
}

TEST_F(CloseSaves, AnUnwritableSettingsFileStopsTheCloseBeforeTheExitCommand)
{
    // A folder where the file should be: readable as "no values", never writable.
    ASSERT_TRUE(QDir(dataDir.path()).mkdir(QStringLiteral("Velmar.ini")));
    teachHome();
    const qsizetype sent = commands().size();

    EXPECT_FALSE(form->close());
    EXPECT_EQ(platform.dialogs,
              QStringList{QStringLiteral("AppError: Unable to write to %1").arg(settingsFile())});
    EXPECT_EQ(commands().size(), sent);
    EXPECT_FALSE(instrument->exitReceived());
    EXPECT_TRUE(form->isVisible());
}

TEST_F(CloseSaves, ClosingBeforeTheSettingsAreReadKeepsTheTaughtPositions)
{
    // In the first two seconds the positions are still the window's loading-time values;
    // writing those would lose what the operator taught.
    const QByteArray taught = "[Motion]\nHomeSteps=500\nPolishSteps=600\nElectrolyteSteps=2500\n";
    writeSettings(taught);
    form->show();
    EXPECT_TRUE(form->close());

    QFile file(settingsFile());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), taught);
    EXPECT_EQ(commands().last(), QStringLiteral("X"));
}
