// labels: slow
#include "tests/support/private_display.h"

#include "controller/records/ini_file.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <cstdio>

#include <unistd.h>

namespace {

using velmar::test::waitFor;

// The real program on a private X display, driven by synthetic mouse and keyboard input as an
// operator would drive it; what it showed and sent comes back through its transcript.
class RealBinary : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (QStandardPaths::findExecutable(QStringLiteral("Xvfb")).isEmpty() ||
            QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty())
            GTEST_SKIP() << "needs Xvfb and xdotool (scripts/setup.sh installs them)";
        ASSERT_TRUE(dir.isValid());
        display = velmar::test::freeDisplay();
        ASSERT_TRUE(velmar::test::startXvfb(xvfb, display, QStringLiteral("1024x665")));
    }

    void TearDown() override
    {
        for (QProcess* p : {&velmar, &xvfb}) {
            if (p->state() != QProcess::NotRunning) {
                p->kill();
                p->waitForFinished(5000);
            }
        }
    }

    QStringList transcript() const
    {
        QFile file(dir.filePath(QStringLiteral("transcript.txt")));
        if (!file.open(QIODevice::ReadOnly))
            return {};
        return QString::fromUtf8(file.readAll()).split(u'\n', Qt::SkipEmptyParts);
    }

    bool waitForLine(const QString& line, int ms) const
    {
        return waitFor([&] { return transcript().contains(line); }, ms);
    }

    void xdotool(const QStringList& args)
    {
        QProcess tool;
        tool.setProcessEnvironment(environment());
        tool.start(QStringLiteral("xdotool"), args);
        ASSERT_TRUE(tool.waitForFinished(10000));
    }

    QProcessEnvironment environment() const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DISPLAY"), display);
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        env.insert(QStringLiteral("XDG_DATA_HOME"), dir.filePath(QStringLiteral("data")));
        return env;
    }

    // Starts the program on the simulated instrument with this settings file (by default the
    // taught positions at their defaults, so the first-run message stays away) and waits until
    // it has homed and polls.
    void startHomed(const QByteArray& settingsText = "[Motion]\nHomeSteps=156\nPolishSteps=312\nElectrolyteSteps=2343\n")
    {
        ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("data")));
        QFile settings(settingsPath());
        ASSERT_TRUE(settings.open(QIODevice::WriteOnly));
        settings.write(settingsText);
        settings.close();

        velmar.setProcessEnvironment(environment());
        velmar.start(QString::fromLocal8Bit(qgetenv("VELMAR_BINARY")),
                     {QStringLiteral("--simulate=20"),
                      QStringLiteral("--transcript=") + dir.filePath(QStringLiteral("transcript.txt"))});
        ASSERT_TRUE(velmar.waitForStarted());
        ASSERT_TRUE(waitForLine(QStringLiteral("wire: GT -156"), 30000)) << transcript().join('\n').toStdString();
        QThread::msleep(1500);  // the sequence ends, polling starts
    }
    QString settingsPath() const { return dir.filePath(QStringLiteral("data/Velmar.ini")); }

    QTemporaryDir dir;
    QString display;
    QProcess xvfb;
    QProcess velmar;
};

}  // namespace

TEST_F(RealBinary, PolishRunToTwoCyclesFinishesWithItsDialogAndTheRelayOff)
{
    ASSERT_NO_FATAL_FAILURE(startHomed());

    // The window fills the 1024 x 665 screen; the lower boxes keep their distance to the
    // bottom edge, so the controls' centres are fixed: "Number Cycles" and "Run".
    xdotool({"mousemove", "148", "528", "click", "1"});
    xdotool({"type", "--delay", "50", "2"});
    xdotool({"mousemove", "488", "626", "click", "1"});

    const QString finished = QStringLiteral("dialog: Information: Run Stopped: Number Cycles");
    ASSERT_TRUE(waitForLine(finished, 60000)) << transcript().join('\n').toStdString();
    xdotool({"search", "--sync", "--name", "^Information$", "windowfocus", "key", "Return"});
    ASSERT_TRUE(waitFor([&] { return transcript().last() == QStringLiteral("wire: RY 0"); }, 20000))
        << transcript().join('\n').toStdString();

    const QStringList expected = {
        "wire: GT -100", "wire: TP", "wire: GT -156",                    // start-up
        "wire: RY 0", "wire: SP 1024 64", "wire: DC",                    // the run's power set-up
        "wire: RY 1", "wire: SS 2", "wire: GT -2187", "wire: GT 2187",   // the dip
        "wire: SS 2", "wire: GP -154 2", "wire: GP 154 2",               // two strokes
        "wire: GP -154 2", "wire: GP 154 2", finished,
        "wire: GP -2 2", "wire: RY 0"};
    EXPECT_EQ(transcript(), expected) << transcript().join('\n').toStdString();
}

// A kill during a run (logout, shutdown, `kill`): the program switches the relay off, saves
// the taught positions and says goodbye, the way closing its window does, and then ends.
TEST_F(RealBinary, SigtermDuringARunSwitchesOffSavesAndSaysGoodbye)
{
    // Electrolyte is left to its default: only a save writes it into the file.
    ASSERT_NO_FATAL_FAILURE(startHomed("[Motion]\nHomeSteps=156\nPolishSteps=312\n"));

    xdotool({"mousemove", "488", "626", "click", "1"});  // "Run", no limits
    ASSERT_TRUE(waitForLine(QStringLiteral("wire: GP -154 2"), 30000)) << transcript().join('\n').toStdString();

    QElapsedTimer took;
    took.start();
    velmar.terminate();  // SIGTERM
    // A bound against a hang only; how fast it ends is measured, not judged, here.
    ASSERT_TRUE(velmar.waitForFinished(30000)) << transcript().join('\n').toStdString();
    std::printf("SIGTERM to exit: %lld ms\n", static_cast<long long>(took.elapsed()));
    EXPECT_EQ(velmar.exitStatus(), QProcess::NormalExit);

    const QStringList lines = transcript();
    const auto relayOn = lines.indexOf(QStringLiteral("wire: RY 1"));
    const auto relayOff = lines.lastIndexOf(QStringLiteral("wire: RY 0"));
    const auto goodbye = lines.indexOf(QStringLiteral("wire: X"));
    ASSERT_GE(relayOn, 0) << lines.join('\n').toStdString();
    EXPECT_GT(relayOff, relayOn) << lines.join('\n').toStdString();
    EXPECT_GT(goodbye, relayOff) << lines.join('\n').toStdString();
    EXPECT_EQ(goodbye, lines.size() - 1) << lines.join('\n').toStdString();
    for (const QString& line : lines)
        EXPECT_FALSE(line.startsWith(QStringLiteral("dialog:"))) << line.toStdString();

    QFile settings(settingsPath());
    ASSERT_TRUE(settings.open(QIODevice::ReadOnly));
    EXPECT_TRUE(settings.readAll().contains("ElectrolyteSteps=2343"));
}

// The record is written as the run goes: a program killed outright mid-run leaves a CSV that
// parses, and a record.ini that says the run never ended.
TEST_F(RealBinary, KilledMidRunLeavesAParseableRecordThatReadsIncomplete)
{
    ASSERT_NO_FATAL_FAILURE(startHomed());
    xdotool({"mousemove", "488", "626", "click", "1"});  // "Run", no limits

    const QDir records(dir.filePath(QStringLiteral("data/Velmar/records")));
    const auto csvName = [&] {
        const QStringList folders = records.entryList({QStringLiteral("*_polish")}, QDir::Dirs);
        return folders.isEmpty() ? QString() : records.filePath(folders.first() + QStringLiteral("/data.csv"));
    };
    const auto csv = [&] {
        QFile file(csvName());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    };
    ASSERT_TRUE(waitFor([&] { return csv().count('\n') >= 6; }, 60000)) << transcript().join('\n').toStdString();
    velmar.kill();  // SIGKILL: no handler, no clean-up
    ASSERT_TRUE(velmar.waitForFinished(10000));

    QList<QByteArray> lines = csv().split('\n');
    ASSERT_EQ(lines.takeFirst(), "time,elapsed_s,cycle,current_mA,total_mA\r");
    // Every complete line (one ended by its line break) is a whole row; at most the very last
    // line may have been cut.
    const QByteArray cut = lines.takeLast();
    EXPECT_TRUE(cut.isEmpty() || !cut.endsWith('\r'));
    ASSERT_GE(lines.size(), 5);
    for (const QByteArray& line : lines) {
        ASSERT_TRUE(line.endsWith('\r')) << line.toStdString();
        const QList<QByteArray> fields = line.chopped(1).split(',');
        ASSERT_EQ(fields.size(), 5) << line.toStdString();
        EXPECT_TRUE(QDateTime::fromString(QString::fromLatin1(fields[0]), Qt::ISODateWithMs).isValid());
        for (int i = 1; i < 5; ++i) {
            bool number = false;
            fields[i].toDouble(&number);
            EXPECT_TRUE(number) << line.toStdString();
        }
    }

    const velmar::IniFile ini = velmar::IniFile::load(QFileInfo(csvName()).path() + QStringLiteral("/record.ini")).value();
    const auto value = [&](const char* key) {
        return ini.value(QStringLiteral("Record"), QString::fromLatin1(key)).value_or(QStringLiteral("<missing>"));
    };
    EXPECT_EQ(value("Kind"), QStringLiteral("polish"));
    EXPECT_EQ(value("EndReason"), QStringLiteral("incomplete"));
    EXPECT_EQ(value("End"), QString());
}
