#include "tests/support/window_fixture.h"
#include "widgets/dials/tilineargauge.h"

#include <QFile>
#include <QTest>

#include <functional>
#include <ostream>
#include <sys/stat.h>

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
    EXPECT_TRUE(closeWindow());

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

    EXPECT_FALSE(closeWindow());
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
    EXPECT_TRUE(closeWindow());

    QFile file(settingsFile());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), taught);
    EXPECT_EQ(commands().last(), QStringLiteral("X"));
}

namespace {

// A settings file as found at start-up: what is made at the path, the positions the program
// then uses, the one dialog it shows (a fragment of it), and what the path holds after the
// window is closed.
struct BadFile {
    const char* name;
    std::function<void(const QString& path)> make;
    std::int32_t home, polish;  // the Electrolyte position is the default in every case
    double cal;
    QString dialog;             // empty: no dialog
    QByteArray afterClose;      // empty: the close is refused and the path left as it was
};

void writeFile(const QString& path, const QByteArray& contents)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(contents);
}

std::function<void(const QString&)> fileWith(const QByteArray& contents)
{
    return [contents](const QString& path) { writeFile(path, contents); };
}

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<not a readable file>");
}

void PrintTo(const BadFile& file, std::ostream* os) { *os << file.name; }

class BadSettingsFile : public test::WindowTest, public ::testing::WithParamInterface<BadFile> {};

}  // namespace

TEST_P(BadSettingsFile, DefaultsMoveTheAxisOneDialogTellsAndTheCloseKeepsWhatItCannotWrite)
{
    const BadFile& c = GetParam();
    c.make(settingsFile());
    const bool refused = c.afterClose.isEmpty();
    const QByteArray before = refused && QFileInfo(settingsFile()).isFile() ? readAll(settingsFile()) : QByteArray();
    form->show();
    startUp();

    EXPECT_EQ(commands(), (QStringList{"GT -100", "TP", QStringLiteral("GT -%1").arg(c.home)}));
    EXPECT_EQ(state().HomeSteps, c.home);
    EXPECT_EQ(state().PolishSteps, c.polish);
    EXPECT_EQ(state().ElectrolyteSteps, 2343);
    EXPECT_DOUBLE_EQ(state().CurrentCal, c.cal);
    if (c.dialog.isEmpty()) {
        EXPECT_TRUE(platform.dialogs.isEmpty()) << platform.dialogs.join('|').toStdString();
    } else {
        ASSERT_EQ(platform.dialogs.size(), 1) << platform.dialogs.join('|').toStdString();
        EXPECT_TRUE(platform.dialogs.first().startsWith("Info: ")) << platform.dialogs.first().toStdString();
        EXPECT_TRUE(platform.dialogs.first().contains(c.dialog)) << platform.dialogs.first().toStdString();
        EXPECT_TRUE(platform.dialogs.first().contains(settingsFile()));
    }
    platform.dialogs.clear();

    struct stat info {};
    ASSERT_EQ(::stat(QFile::encodeName(settingsFile()).constData(), &info), 0);
    const mode_t type = info.st_mode & S_IFMT;
    if (refused) {
        EXPECT_FALSE(closeWindow());
        EXPECT_EQ(platform.dialogs,
                  QStringList{QStringLiteral("AppError: Unable to write to %1").arg(settingsFile())});
        EXPECT_FALSE(instrument->exitReceived());
        ASSERT_EQ(::stat(QFile::encodeName(settingsFile()).constData(), &info), 0);
        EXPECT_EQ(info.st_mode & S_IFMT, type);
        if (type == S_IFREG) {
            EXPECT_TRUE(readAll(settingsFile()) == before) << "the file was changed";
        }
    } else {
        EXPECT_TRUE(closeWindow());
        EXPECT_TRUE(platform.dialogs.isEmpty()) << platform.dialogs.join('|').toStdString();
        EXPECT_EQ(readAll(settingsFile()), c.afterClose);
        EXPECT_EQ(commands().last(), QStringLiteral("X"));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Files, BadSettingsFile,
    ::testing::Values(
        BadFile{"HugePosition", fileWith("[Motion]\r\nHomeSteps=2147483647\r\nPolishSteps=400\r\n"), 156,
                400, 2.9, "HomeSteps=2147483647 (allowed: 0 to 3125): 156 used",
                "[Motion]\r\nHomeSteps=156\r\nPolishSteps=400\r\nElectrolyteSteps=2343\r\n"},
        BadFile{"NegativePosition", fileWith("[Motion]\nHomeSteps=-5000\nElectrolyteSteps=2343\n"), 156, 312,
                2.9, "HomeSteps=-5000 (allowed: 0 to 3125): 156 used",
                "[Motion]\nHomeSteps=156\nElectrolyteSteps=2343\nPolishSteps=312\n"},
        BadFile{"NonNumeric", fileWith("[Motion]\nHomeSteps=200\nPolishSteps=x12\n"), 200, 312, 2.9, {},
                "[Motion]\nHomeSteps=200\nPolishSteps=312\nElectrolyteSteps=2343\n"},
        // The calibration is never written: it stays as found, and is told of at every start.
        BadFile{"HugeCalibration", fileWith("[Calibrate]\nCurrentCal=1e308\n"), 156, 312, 2.9,
                "CurrentCal=1e308 (allowed: above 0 up to 1000): 2.9 used",
                "[Calibrate]\nCurrentCal=1e308\n[Motion]\nHomeSteps=156\nPolishSteps=312\nElectrolyteSteps=2343\n"},
        BadFile{"NaNCalibration", fileWith("[Calibrate]\nCurrentCal=NaN\n[Motion]\nHomeSteps=200\n"), 200, 312,
                2.9, "CurrentCal=NaN (allowed: above 0 up to 1000): 2.9 used",
                "[Calibrate]\nCurrentCal=NaN\n[Motion]\nHomeSteps=200\nPolishSteps=312\nElectrolyteSteps=2343\n"},
        BadFile{"NamedPipe", [](const QString& path) { ::mkfifo(QFile::encodeName(path).constData(), 0600); },
                156, 312, 2.9, "was not read: it is a named pipe (FIFO).", {}},
        BadFile{"Folder", [](const QString& path) { QDir().mkdir(path); }, 156, 312, 2.9,
                "was not read: it is a folder.", {}},
        BadFile{"BlankLines2MiB", fileWith(QByteArray(2 * 1024 * 1024, '\n') + "[Motion]\nHomeSteps=200\n"),
                156, 312, 2.9, "was not read: it is larger than 1 MiB (2097175 bytes).", {}}),
    [](const ::testing::TestParamInfo<BadFile>& info) { return std::string(info.param.name); });
