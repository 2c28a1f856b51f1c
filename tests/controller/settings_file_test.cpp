#include "controller/settings_file.h"

#include "controller/records/ini_file.h"

#include "tests/support/log_capture.h"
#include "tests/support/recording_platform.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLocale>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <malloc.h>
#include <sys/stat.h>
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

    // The dialog of a settings file that is not read at all.
    QString notRead(const QString& why) const
    {
        return QStringLiteral("Info: The settings file %1 was not read: %2.\r\r"
                              "The default positions and calibration are used, and the file is "
                              "left as it is.")
            .arg(fileName(), why);
    }

    // The dialog listing values replaced by their defaults, one line each.
    QString replaced(const QStringList& lines) const
    {
        return QStringLiteral("Info: Settings out of range in %1 were replaced by their defaults:"
                              "\r\r%2\r\rThe file is left as it is until the program saves the "
                              "positions in use when it closes.")
            .arg(fileName(), lines.join(u'\r'));
    }

    QTemporaryDir folder;
    test::RecordingPlatform platform;
};

// What is at a path, without following a link: enough to tell that nothing replaced or
// changed it.
QString identity(const QString& path)
{
    struct stat info {};
    if (::lstat(QFile::encodeName(path).constData(), &info) != 0)
        return QStringLiteral("<nothing>");
    return QStringLiteral("mode %1 inode %2 size %3 modified %4.%5")
        .arg(info.st_mode, 0, 8)
        .arg(info.st_ino)
        .arg(info.st_size)
        .arg(info.st_mtim.tv_sec)
        .arg(info.st_mtim.tv_nsec);
}

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

// Each value reads as written or falls back to its own default. Positions off the gauge would
// drive the axis off its scale, and a calibration of 1e308 shows an overflowing readout and
// ends a run with an infinite total: each such value gives way to its default, and one dialog
// lists them with the value as written. Reading never changes the file.
TEST_F(SettingsFile, ReadsEachValueOrItsDefaultAndListsThoseOutOfRange)
{
    const QByteArray zeros(2047, '0');
    const QByteArray padded = QByteArray(56, '0') + "4000";
    struct Case {
        QByteArray contents;
        std::int32_t home, polish, electrolyte;
        double cal;
        QStringList listed = {};
    } cases[] = {
        // hexadecimal after "0x" / "$", blanks and sign, the calibration with a point
        {"[Motion]\nHomeSteps=0x9C\nPolishSteps=$1f4\nElectrolyteSteps=  +0X10\n"
         "[Calibrate]\nCurrentCal=3.1\n",
         156, 500, 16, 3.1},
        // not numbers: each value falls back to its own default, quietly as a typing error
        // always did
        {"[Motion]\nHomeSteps=abc\nPolishSteps=\nElectrolyteSteps=0x\n[Calibrate]\nCurrentCal=3,1\n",
         156, 312, 2343, 2.9},
        {"[Motion]\nHomeSteps=2147483648\nPolishSteps=-0\nElectrolyteSteps=12 34\n"
         "[Calibrate]\nCurrentCal=\n",
         156, 0, 2343, 2.9},
        {"[Calibrate]\nCurrentCal=0x10\n", 156, 312, 2343, 2.9},
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
        // the ends of the ranges are kept
        {"[Motion]\nHomeSteps=0\nPolishSteps=3125\nElectrolyteSteps=$C35\n[Calibrate]\nCurrentCal=1000\n",
         0, 3125, 3125, 1000.0},
        {"[Calibrate]\nCurrentCal=1e-300\n", 156, 312, 2343, 1e-300},
        // just outside them, and far outside
        {"[Motion]\nHomeSteps=-1\nPolishSteps=3126\nElectrolyteSteps=0x7FFFFFFF\n[Calibrate]\nCurrentCal=0\n",
         156, 312, 2343, 2.9,
         {"HomeSteps=-1 (allowed: 0 to 3125): 156 used", "PolishSteps=3126 (allowed: 0 to 3125): 312 used",
          "ElectrolyteSteps=0x7FFFFFFF (allowed: 0 to 3125): 2343 used",
          "CurrentCal=0 (allowed: above 0 up to 1000): 2.9 used"}},
        {"[Motion]\nHomeSteps=2147483647\nPolishSteps=-5000\nElectrolyteSteps=2000\n"
         "[Calibrate]\nCurrentCal=1e308\n",
         156, 312, 2000, 2.9,
         {"HomeSteps=2147483647 (allowed: 0 to 3125): 156 used",
          "PolishSteps=-5000 (allowed: 0 to 3125): 312 used",
          "CurrentCal=1e308 (allowed: above 0 up to 1000): 2.9 used"}},
        // calibrations that name no finite number: the conversion refuses them like any text,
        // but they are plainly meant as a factor, so the operator hears that it was not used
        {"[Calibrate]\nCurrentCal=NaN\n", 156, 312, 2343, 2.9,
         {"CurrentCal=NaN (allowed: above 0 up to 1000): 2.9 used"}},
        {"[Calibrate]\nCurrentCal=-inf\n", 156, 312, 2343, 2.9,
         {"CurrentCal=-inf (allowed: above 0 up to 1000): 2.9 used"}},
        {"[Calibrate]\nCurrentCal=+Infinity\n", 156, 312, 2343, 2.9,
         {"CurrentCal=+Infinity (allowed: above 0 up to 1000): 2.9 used"}},
        {"[Calibrate]\nCurrentCal=1e400\n", 156, 312, 2343, 2.9,
         {"CurrentCal=1e400 (allowed: above 0 up to 1000): 2.9 used"}},
        {"[Calibrate]\nCurrentCal=-2.9\n", 156, 312, 2343, 2.9,
         {"CurrentCal=-2.9 (allowed: above 0 up to 1000): 2.9 used"}},
        {"[Calibrate]\nCurrentCal=1000.001\n", 156, 312, 2343, 2.9,
         {"CurrentCal=1000.001 (allowed: above 0 up to 1000): 2.9 used"}},
        // a long value is cut in the dialog
        {"[Motion]\nElectrolyteSteps=" + padded + "\n", 156, 312, 2343, 2.9,
         {"ElectrolyteSteps=" + QString(40, '0') + "... (allowed: 0 to 3125): 2343 used"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.contents.left(120).toStdString());
        write(c.contents);
        platform.dialogs.clear();
        ControllerState state;
        test::LogCapture log;
        LoadSettings(state);
        // Each value replaced is in the log as well, one line each.
        QStringList logged;
        for (const QString& line : c.listed)
            logged << fileName() + QStringLiteral(": replaced ") + line;
        EXPECT_EQ(log.messages(QStringLiteral("velmar.settings"), QtWarningMsg), logged);
        EXPECT_EQ(state.HomeSteps, c.home);
        EXPECT_EQ(state.PolishSteps, c.polish);
        EXPECT_EQ(state.ElectrolyteSteps, c.electrolyte);
        EXPECT_DOUBLE_EQ(state.CurrentCal, c.cal);
        EXPECT_TRUE(state.SettingsLoaded);
        EXPECT_EQ(platform.dialogs, c.listed.isEmpty() ? QStringList() : QStringList{replaced(c.listed)});
        EXPECT_EQ(read(), c.contents);  // reading changes nothing
    }
}

// Only a regular file of at most 1 MiB is a settings file. Anything else is never opened
// (a named pipe would block the start-up for good, a device may never end) nor read whole
// (a file of 50 MB took gigabytes), gives every default with one dialog saying why, and is
// never replaced by a save.
TEST_F(SettingsFile, AnythingButARegularFileOfAtMostOneMebibyteIsLeftAlone)
{
    const QString path = fileName();
    const QString pipe = folder.path() + QStringLiteral("/pipe");
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    const QByteArray settings = "[Motion]\nHomeSteps=200\n";
    struct Case {
        const char* name;
        std::function<void()> make;
        QString why;
    } cases[] = {
        {"named pipe", [&] { ::mkfifo(QFile::encodeName(path).constData(), 0600); },
         QStringLiteral("it is a named pipe (FIFO)")},
        {"link to a named pipe", [&] { QFile::link(pipe, path); }, QStringLiteral("it is a named pipe (FIFO)")},
        {"folder", [&] { QDir().mkdir(path); }, QStringLiteral("it is a folder")},
        {"device that never ends", [&] { QFile::link(QStringLiteral("/dev/zero"), path); },
         QStringLiteral("it is a device")},
        {"2 MiB of blank lines", [&] { write(QByteArray(2 * 1024 * 1024, '\n')); },
         QStringLiteral("it is larger than 1 MiB (2097152 bytes)")},
        {"settings followed by 1 byte too many",
         [&] { write(settings + QByteArray(1024 * 1024 - settings.size() + 1, ' ')); },
         QStringLiteral("it is larger than 1 MiB (1048577 bytes)")},
        {"50 MB", [&] { write(settings); QFile::resize(path, 50'000'000); },
         QStringLiteral("it is larger than 1 MiB (50000000 bytes)")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        c.make();
        const QString before = identity(path);
        platform.dialogs.clear();

        ControllerState state;
        LoadSettings(state);
        EXPECT_EQ(state.HomeSteps, 156);
        EXPECT_EQ(state.PolishSteps, 312);
        EXPECT_EQ(state.ElectrolyteSteps, 2343);
        EXPECT_DOUBLE_EQ(state.CurrentCal, 2.9);
        EXPECT_TRUE(state.SettingsLoaded);
        EXPECT_EQ(platform.dialogs, QStringList{notRead(c.why)});

        EXPECT_THROW(SaveSettings(state), SettingsWriteError);
        EXPECT_EQ(identity(path), before);

        if (!QFile::remove(path))
            QDir().rmdir(path);
    }
}

TEST_F(SettingsFile, AFileOfOneMebibyteAndALinkToAFileAreRead)
{
    // Exactly at the limit, the values at its very end.
    const QByteArray tail = "[Motion]\nHomeSteps=200";
    write(QByteArray(1024 * 1024 - tail.size(), '\n') + tail);
    ControllerState state;
    LoadSettings(state);
    EXPECT_EQ(state.HomeSteps, 200);
    EXPECT_TRUE(platform.dialogs.isEmpty()) << platform.dialogs.join('|').toStdString();

    // A link is followed, and the save writes through it: the link stays a link.
    const QString target = folder.path() + QStringLiteral("/elsewhere.ini");
    QFile::remove(fileName());
    {
        QFile file(target);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("[Motion]\nHomeSteps=300\n");
    }
    ASSERT_TRUE(QFile::link(target, fileName()));
    LoadSettings(state);
    EXPECT_EQ(state.HomeSteps, 300);
    state.HomeSteps = 400;
    SaveSettings(state);
    EXPECT_TRUE(QFileInfo(fileName()).isSymLink());
    QFile file(target);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), "[Motion]\nHomeSteps=400\nPolishSteps=312\nElectrolyteSteps=2343\n");
    EXPECT_TRUE(platform.dialogs.isEmpty()) << platform.dialogs.join('|').toStdString();
}

// A file of blank lines once cost some hundred bytes a line; the profile now holds about the
// file's own size however it is cut into lines.
TEST_F(SettingsFile, AProfileTakesAboutTheMemoryOfItsText)
{
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the sanitizer's allocator keeps its own accounts";
#else
    const QByteArray blank(1024 * 1024, '\n');
    const auto allocated = [] { return static_cast<qint64>(mallinfo2().uordblks); };
    const qint64 before = allocated();
    IniFile profile(blank);
    EXPECT_EQ(profile.value(QStringLiteral("Motion"), QStringLiteral("HomeSteps")), std::nullopt);
    profile.setValue(QStringLiteral("Motion"), QStringLiteral("HomeSteps"), QStringLiteral("200"));
    EXPECT_LT(allocated() - before, 3 * blank.size());
    EXPECT_TRUE(profile.contents().endsWith("\n[Motion]\nHomeSteps=200\n"));
#endif
}

TEST_F(SettingsFile, CalibrationReadsWithTheUsersDecimalSeparator)
{
    const QLocale previous;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    struct Case {
        const char* text;
        double cal;
    } cases[] = {{"3,1", 3.1}, {"3.1", 2.9}, {"0,5e1", 5.0}};
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
         "; Kestrom settings\r\n[Calibrate]\r\nCurrentCal=3.1\r\n\r\n[motion]\r\nhomesteps=1234\r\n"
         "Speed=4\r\nPolishSteps=312\r\nElectrolyteSteps=2343\r\n\r\n[Other]\r\nx=y"},
        // no Motion section, last line without its line break
        {"[Calibrate]\nCurrentCal=3.1",
         "[Calibrate]\nCurrentCal=3.1\n[Motion]\nHomeSteps=1234\nPolishSteps=312\nElectrolyteSteps=2343\n"},
        // a Motion section that ends the file without a final line break; byte order mark kept
        {"\xEF\xBB\xBF[Motion]\nElectrolyteSteps=0x10\nPolishSteps=7",
         "\xEF\xBB\xBF[Motion]\nElectrolyteSteps=2343\nPolishSteps=312\nHomeSteps=1234\n"},
        {"", "[Motion]\nHomeSteps=1234\nPolishSteps=312\nElectrolyteSteps=2343\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.before.toStdString());
        write(c.before);
        SaveSettings(positions(1234, 312, 2343));
        EXPECT_EQ(read(), c.after);

        // What was saved reads back, and a second save changes nothing.
        ControllerState state;
        LoadSettings(state);
        EXPECT_EQ(state.HomeSteps, 1234);
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
    test::LogCapture log;
    try {
        SaveSettings(positions(1, 2, 3));
        FAIL() << "no error";
    } catch (const SettingsWriteError& error) {
        EXPECT_EQ(QString::fromUtf8(error.what()), QStringLiteral("Unable to write to ") + underFile);
        EXPECT_EQ(error.fileName(), underFile);
    }
    // The log has it too, where a report of what went wrong looks.
    EXPECT_EQ(log.messages(QStringLiteral("velmar.settings"), QtWarningMsg),
              QStringList{QStringLiteral("Unable to write to ") + underFile});

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

    // Unreadable: the defaults, with a word why; saving would drop the lines it cannot see, so
    // it refuses as well.
    QFile::setPermissions(fileName(), QFile::WriteOwner);
    ControllerState state;
    LoadSettings(state);
    EXPECT_EQ(platform.dialogs, QStringList{notRead(QStringLiteral("it cannot be read (Permission denied)"))});
    EXPECT_DOUBLE_EQ(state.CurrentCal, 2.9);
    EXPECT_THROW(SaveSettings(positions(1, 2, 3)), SettingsWriteError);
    QFile::setPermissions(fileName(), QFile::ReadOwner | QFile::WriteOwner);
    EXPECT_EQ(read(), before);
}

}  // namespace
