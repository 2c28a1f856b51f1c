#include "controller/settings_file.h"

#include "tests/support/recording_platform.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLocale>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <climits>
#include <unistd.h>

using namespace velmar;

namespace {

const QString kFirstRun = QStringLiteral(
    "Info: Creating Configuration File\r\rThis should only happen the first time on a new Computer");

class SettingsFile : public ::testing::Test {
protected:
    SettingsFile() { platform.dataFolder = folder.path(); }

    QString fileName() const { return folder.path() + QStringLiteral("/Velmar.ini"); }

    void write(const QByteArray& contents)
    {
        QFile file(fileName());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(contents);
    }

    QByteArray read() const
    {
        QFile file(fileName());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<no file>");
    }

    static ControllerState positions(std::int32_t home, std::int32_t polish, std::int32_t electrolyte)
    {
        ControllerState state;
        state.HomeSteps = home;
        state.PolishSteps = polish;
        state.ElectrolyteSteps = electrolyte;
        return state;
    }

    QTemporaryDir folder;
    test::RecordingPlatform platform;
};

TEST_F(SettingsFile, FirstRunShowsTheMessageUsesDefaultsAndCreatesNothing)
{
    ControllerState state;
    LoadSettings(state);

    EXPECT_EQ(platform.dialogs, QStringList{kFirstRun});
    EXPECT_EQ(state.HomeSteps, 156);
    EXPECT_EQ(state.PolishSteps, 312);
    EXPECT_EQ(state.ElectrolyteSteps, 2343);
    EXPECT_DOUBLE_EQ(state.CurrentCal, 2.9);
    EXPECT_FALSE(QFile::exists(fileName()));
    EXPECT_EQ(SettingsFileName(), fileName());
}

TEST_F(SettingsFile, ReadsIntegerFormsAndFallsBackPerValue)
{
    const QByteArray zeros(2047, '0');
    struct Case {
        QByteArray contents;
        std::int32_t home, polish, electrolyte;
        double cal;
    } cases[] = {
        // hexadecimal after "0x" / "$", blanks and sign, the calibration with a point
        {"[Motion]\nHomeSteps=0x9C\nPolishSteps=$1f4\nElectrolyteSteps=  -0X10\n"
         "[Calibrate]\nCurrentCal=3.1\n",
         156, 500, -16, 3.1},
        // not numbers: each value falls back to its own default
        {"[Motion]\nHomeSteps=abc\nPolishSteps=\nElectrolyteSteps=0x\n[Calibrate]\nCurrentCal=3,1\n",
         156, 312, 2343, 2.9},
        {"[Motion]\nHomeSteps=2147483648\nPolishSteps=-2147483648\nElectrolyteSteps=12 34\n"
         "[Calibrate]\nCurrentCal=\n",
         156, INT_MIN, 2343, 2.9},
        // keys outside their section do not count; no Motion section at all
        {"HomeSteps=1\n[Other]\nPolishSteps=2\n[Calibrate]\nElectrolyteSteps=3\n", 156, 312, 2343, 2.9},
        // names without regard to case or blanks, CRLF, comments skipped, the first key wins
        {"; HomeSteps=7\r\n[MOTION]\r\n;homesteps=8\r\n homesteps = 200 \r\nHomeSteps=9\r\n"
         "POLISHSTEPS=+300\r\n[calibrate]\r\ncurrentcal = 3.5 \r\n",
         200, 300, 2343, 3.5},
        // values are cut at 2047 characters before conversion
        {"[Motion]\nHomeSteps=" + zeros.left(2046) + "5\nPolishSteps=" + zeros + "5\n", 5, 0, 2343, 2.9},
        // a UTF-8 byte order mark in front of the first section
        {"\xEF\xBB\xBF[Motion]\nHomeSteps=100\n", 100, 312, 2343, 2.9},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.contents.left(120).toStdString());
        write(c.contents);
        ControllerState state;
        LoadSettings(state);
        EXPECT_EQ(state.HomeSteps, c.home);
        EXPECT_EQ(state.PolishSteps, c.polish);
        EXPECT_EQ(state.ElectrolyteSteps, c.electrolyte);
        EXPECT_DOUBLE_EQ(state.CurrentCal, c.cal);
        EXPECT_EQ(read(), c.contents);  // reading changes nothing
    }
    EXPECT_TRUE(platform.dialogs.isEmpty());
}

TEST_F(SettingsFile, CalibrationReadsWithTheUsersDecimalSeparator)
{
    const QLocale previous;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    struct Case {
        const char* text;
        double cal;
    } cases[] = {{"3,1", 3.1}, {"3.1", 2.9}, {"-0,5", -0.5}};
    for (const Case& c : cases) {
        write(QByteArray("[Calibrate]\nCurrentCal=") + c.text + "\n");
        ControllerState state;
        LoadSettings(state);
        EXPECT_DOUBLE_EQ(state.CurrentCal, c.cal) << c.text;
    }
    QLocale::setDefault(previous);
}

TEST_F(SettingsFile, SaveOverNoFileWritesExactlyTheMotionSection)
{
    SaveSettings(positions(234, 312, 2343));

    EXPECT_EQ(read(), "[Motion]\nHomeSteps=234\nPolishSteps=312\nElectrolyteSteps=2343\n");
    EXPECT_TRUE(platform.dialogs.isEmpty());
    // Nothing but the settings file is left in the folder (no temporary file).
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
              QStringList{QStringLiteral("Velmar.ini")});
}

TEST_F(SettingsFile, SaveUpdatesInPlaceAndKeepsEveryOtherLine)
{
    struct Case {
        QByteArray before, after;
    } cases[] = {
        // a hand-written calibration, comments, unknown keys and blank lines; CRLF kept; keys
        // the file lacks go after the section's last line, before its blank separator
        {"; Kestrom settings\r\n[Calibrate]\r\nCurrentCal=3.1\r\n\r\n[motion]\r\nhomesteps = 1\r\n"
         "Speed=4\r\n\r\n[Other]\r\nx=y",
         "; Kestrom settings\r\n[Calibrate]\r\nCurrentCal=3.1\r\n\r\n[motion]\r\nhomesteps=-5\r\n"
         "Speed=4\r\nPolishSteps=312\r\nElectrolyteSteps=2343\r\n\r\n[Other]\r\nx=y"},
        // no Motion section, last line without its line break
        {"[Calibrate]\nCurrentCal=3.1",
         "[Calibrate]\nCurrentCal=3.1\n[Motion]\nHomeSteps=-5\nPolishSteps=312\nElectrolyteSteps=2343\n"},
        // a Motion section that ends the file without a final line break; byte order mark kept
        {"\xEF\xBB\xBF[Motion]\nElectrolyteSteps=0x10\nPolishSteps=7",
         "\xEF\xBB\xBF[Motion]\nElectrolyteSteps=2343\nPolishSteps=312\nHomeSteps=-5\n"},
        {"", "[Motion]\nHomeSteps=-5\nPolishSteps=312\nElectrolyteSteps=2343\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.before.toStdString());
        write(c.before);
        SaveSettings(positions(-5, 312, 2343));
        EXPECT_EQ(read(), c.after);

        // What was saved reads back, and a second save changes nothing.
        ControllerState state;
        LoadSettings(state);
        EXPECT_EQ(state.HomeSteps, -5);
        EXPECT_EQ(state.PolishSteps, 312);
        EXPECT_EQ(state.ElectrolyteSteps, 2343);
        SaveSettings(state);
        EXPECT_EQ(read(), c.after);
    }
    EXPECT_TRUE(platform.dialogs.isEmpty());
}

TEST_F(SettingsFile, SaveCreatesAMissingDataFolder)
{
    platform.dataFolder = folder.path() + QStringLiteral("/new/folder");
    SaveSettings(positions(156, 312, 2343));
    EXPECT_TRUE(QFile::exists(folder.path() + QStringLiteral("/new/folder/Velmar.ini")));
}

TEST_F(SettingsFile, UnwritableFileFailsWithItsNameAndLeavesTheOldFileWhole)
{
    // A folder below a regular file can never be created, not even by root.
    QFile plain(folder.path() + QStringLiteral("/plain"));
    ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
    plain.close();
    platform.dataFolder = plain.fileName() + QStringLiteral("/data");
    const QString underFile = plain.fileName() + QStringLiteral("/data/Velmar.ini");
    try {
        SaveSettings(positions(1, 2, 3));
        FAIL() << "no error";
    } catch (const SettingsWriteError& error) {
        EXPECT_EQ(QString::fromUtf8(error.what()), QStringLiteral("Unable to write to ") + underFile);
        EXPECT_EQ(error.fileName(), underFile);
    }

    // A directory in the file's place stays as it was.
    platform.dataFolder = folder.path();
    ASSERT_TRUE(QDir(folder.path()).mkdir(QStringLiteral("Velmar.ini")));
    EXPECT_THROW(SaveSettings(positions(1, 2, 3)), SettingsWriteError);
    EXPECT_TRUE(QFileInfo(fileName()).isDir());
    ASSERT_TRUE(QDir(folder.path()).rmdir(QStringLiteral("Velmar.ini")));

    // Raised in a handler, the message reaches the application's error dialog.
    QMetaObject::invokeMethod(
        qApp, [] { SaveSettings(ControllerState()); }, Qt::QueuedConnection);
    platform.dataFolder = plain.fileName();
    QCoreApplication::processEvents();
    EXPECT_EQ(platform.dialogs,
              QStringList{QStringLiteral("AppError: Unable to write to ") + plain.fileName() +
                          QStringLiteral("/Velmar.ini")});
}

TEST_F(SettingsFile, ReadOnlyFileIsNotReplaced)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "permissions do not apply to root";
    const QByteArray before = "[Calibrate]\nCurrentCal=3.1\n";
    write(before);
    QFile::setPermissions(fileName(), QFile::ReadOwner);
    EXPECT_THROW(SaveSettings(positions(1, 2, 3)), SettingsWriteError);
    EXPECT_EQ(read(), before);

    // Unreadable: saving would drop the lines it cannot see, so it refuses as well.
    QFile::setPermissions(fileName(), QFile::WriteOwner);
    EXPECT_THROW(SaveSettings(positions(1, 2, 3)), SettingsWriteError);
    QFile::setPermissions(fileName(), QFile::ReadOwner | QFile::WriteOwner);
    EXPECT_EQ(read(), before);
}

}  // namespace
