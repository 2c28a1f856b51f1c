// labels: e2e
#include "device/d2xx/backend.h"
#include "device/d2xx/d2xx.h"

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <pty.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

struct RunResult {
    int status;
    QByteArray out, err;
};

QString velmarBinary() { return QString::fromLocal8Bit(qgetenv("VELMAR_BINARY")); }

// `prefix` runs the program through another one (setpriv, to be another user). Without a
// display of any kind: what these options do must never need one.
RunResult runVelmar(const QStringList& args, const QStringList& prefix = {})
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        env.remove(QString::fromLatin1(name));
    process.setProcessEnvironment(env);
    if (prefix.isEmpty())
        process.start(velmarBinary(), args);
    else
        process.start(prefix.first(), prefix.mid(1) + QStringList{velmarBinary()} + args);
    EXPECT_TRUE(process.waitForFinished(20000));
    return {process.exitCode(), process.readAllStandardOutput(), process.readAllStandardError()};
}

// The slave side of a fresh pseudo-terminal, standing in for one channel's tty; the master
// stays open as long as this lives.
struct PseudoTerminal {
    PseudoTerminal()
    {
        char name[128] = {};
        int slave = -1;
        if (::openpty(&master, &slave, name, nullptr, nullptr) == 0) {
            ::close(slave);
            path = QString::fromLatin1(name);
        }
    }
    ~PseudoTerminal()
    {
        if (master >= 0)
            ::close(master);
    }
    int master = -1;
    QString path;
};

}  // namespace

TEST(VelmarCommandLine, HelpAndVersionAnswerOnStdout)
{
    const RunResult help = runVelmar({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_TRUE(help.out.contains("--simulate")) << help.out.constData();
    const RunResult version = runVelmar({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_TRUE(version.out.startsWith("velmar 2.2.1")) << version.out.constData();
}

TEST(VelmarCommandLine, MalformedOptionExitsWithStatusTwo)
{
    const RunResult run = runVelmar({"--port", "KS265000A"});
    EXPECT_EQ(run.status, 2);
    EXPECT_TRUE(run.out.isEmpty());
    EXPECT_TRUE(run.err.contains("SERIAL=PATH")) << run.err.constData();
}

TEST(VelmarCommandLine, UnopenableLogFileExitsWithStatusTwoBeforeAnyWindow)
{
    const RunResult run = runVelmar({"--simulate", "--log=/nonexistent-folder/velmar.log"});
    EXPECT_EQ(run.status, 2);
    EXPECT_TRUE(run.out.isEmpty());
    EXPECT_TRUE(run.err.contains("cannot open the log file '/nonexistent-folder/velmar.log': No such file or directory"))
        << run.err.constData();
}

// --log and --transcript name a file to append to. Whatever else the path is, the program says
// so and ends with status 2 at once, before any window: a FIFO without a reader (which a plain
// open would wait on for ever), one with a reader, a folder, a character device. A terminal
// does for the transcript. Run with --list-devices, which needs no window: an accepted file
// lets it go on to its report (status 0 or 1).
TEST(VelmarCommandLine, LogAndTranscriptOnlyToRegularFilesNeverWaiting)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString fifo = dir.filePath("fifo"), readFifo = dir.filePath("read-fifo");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    ASSERT_EQ(::mkfifo(QFile::encodeName(readFifo).constData(), 0600), 0);
    // A reader on the second FIFO, so that opening it for writing would succeed.
    const int reader = ::open(QFile::encodeName(readFifo).constData(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    PseudoTerminal terminal;
    ASSERT_FALSE(terminal.path.isEmpty());

    struct Case {
        const char* what;
        QString path;
        bool logTakes, transcriptTakes;
    } cases[] = {
        {"a new regular file", dir.filePath("new.txt"), true, true},
        {"a FIFO without a reader", fifo, false, false},
        {"a FIFO with a reader", readFifo, false, false},
        {"a folder", dir.path(), false, false},
        {"a character device", QStringLiteral("/dev/null"), false, false},
        {"a terminal", terminal.path, false, true},
    };
    for (const Case& c : cases) {
        for (const char* option : {"--log=", "--transcript="}) {
            const bool takes = QByteArray(option) == "--log=" ? c.logTakes : c.transcriptTakes;
            SCOPED_TRACE(std::string(option) + " " + c.what);
            QElapsedTimer clock;
            clock.start();
            const RunResult run = runVelmar({QString::fromLatin1(option) + c.path, "--list-devices", "--port", "KS265000A=/nonexistent"});
            EXPECT_LT(clock.elapsed(), 10000);
            if (takes) {
                EXPECT_NE(run.status, 2) << run.err.constData();
            } else {
                EXPECT_EQ(run.status, 2);
                EXPECT_TRUE(run.err.contains("cannot open the")) << run.err.constData();
                EXPECT_TRUE(run.out.isEmpty()) << run.out.constData();
            }
        }
    }
    ::close(reader);
}

TEST(VelmarListDevices, SaysForEachChannelWhetherItOpensAndWhyNot)
{
    PseudoTerminal a, b, held;
    ASSERT_FALSE(a.path.isEmpty());
    ASSERT_FALSE(b.path.isEmpty());
    ASSERT_FALSE(held.path.isEmpty());
    // This process holds one line the way the program does.
    using namespace velmar::d2xx;
    setBackend(makeSerialBackend({{"KS265000A", held.path}}));
    char serial[] = "KS265000A";
    FT_HANDLE handle = nullptr;
    ASSERT_EQ(FT_OpenEx(serial, FT_OPEN_BY_SERIAL_NUMBER, &handle), FT_OK);

    struct Case {
        QString pathA, pathB;
        int status;
        QString lineA, lineB;
    };
    const QString pid = QString::number(::getpid());
    const Case cases[] = {
        {a.path, b.path, 0, a.path + " (given by --port): can be opened", b.path + " (given by --port): can be opened"},
        {held.path, "/dev/null", 1, held.path + " (given by --port): held by another program (PID " + pid,
         "/dev/null (given by --port): not a tty"},
        {"/nonexistent-tty", b.path, 1, "/nonexistent-tty (given by --port): absent (No such file or directory)",
         b.path + " (given by --port): can be opened"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.lineA.toStdString());
        const RunResult run = runVelmar({"--list-devices", "--port", "KS265000A=" + c.pathA, "--port", "KS265000B=" + c.pathB});
        EXPECT_EQ(run.status, c.status);
        const QString out = QString::fromLocal8Bit(run.out);
        EXPECT_TRUE(out.startsWith("USB serial ports:")) << run.out.constData();
        EXPECT_TRUE(out.contains("Kestrom channel A (KS265000A, commands): " + c.lineA)) << run.out.constData();
        EXPECT_TRUE(out.contains("Kestrom channel B (KS265000B, current): " + c.lineB)) << run.out.constData();
        EXPECT_TRUE(run.err.isEmpty()) << run.err.constData();
    }
    closeAll();
    setBackend(makeSerialBackend({}));
}

TEST(VelmarListDevices, PermissionDeniedComesWithWhatToDo)
{
    PseudoTerminal tty;
    ASSERT_FALSE(tty.path.isEmpty());
    ASSERT_EQ(::chmod(tty.path.toLocal8Bit().constData(), 0600), 0);
    QStringList asOtherUser;
    if (::geteuid() == 0) {
        // Root opens anything: look as nobody, as an operator without the udev rule would.
        const QString setpriv = QStandardPaths::findExecutable("setpriv");
        if (setpriv.isEmpty())
            GTEST_SKIP() << "needs setpriv (util-linux) to look as another user";
        asOtherUser = {setpriv, "--reuid=65534", "--regid=65534", "--clear-groups"};
    } else {
        ASSERT_EQ(::chmod(tty.path.toLocal8Bit().constData(), 0), 0);
    }
    const RunResult run = runVelmar({"--list-devices", "--port", "KS265000A=" + tty.path, "--port", "KS265000B=" + tty.path},
                                    asOtherUser);
    if (run.err.startsWith("setpriv:"))
        GTEST_SKIP() << "the other user cannot run the test build: " << run.err.constData();
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(run.out.contains(tty.path.toLocal8Bit() + " (given by --port): permission denied; install the "
                                                          "package's udev rule (60-velmar-kestrom.rules)"))
        << run.out.constData();
    EXPECT_TRUE(run.out.contains("join the dialout group")) << run.out.constData();
}

TEST(VelmarLog, SimulatedStartUpLogsHowTheChannelOpenedAndTheCommandsOnTheWire)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString log = dir.filePath("velmar.log");
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_DATA_HOME", dir.path());
    env.insert("QT_QPA_PLATFORM", "offscreen");
    process.setProcessEnvironment(env);
    process.start(velmarBinary(), {"--simulate=50", "--log=" + log});
    ASSERT_TRUE(process.waitForStarted());
    // The start-up sequence sends "GT -100" then "TP" about two seconds after the window opens.
    QElapsedTimer clock;
    clock.start();
    QByteArray text;
    while (clock.elapsed() < 60000 && !text.contains(R"(A received)")) {
        QThread::msleep(100);
        QFile file(log);
        if (file.open(QIODevice::ReadOnly))
            text = file.readAll();
    }
    process.kill();
    process.waitForFinished(5000);
    EXPECT_TRUE(text.contains(" info velmar.device: KS265000A opened on the simulated instrument\n")) << text.constData();
    EXPECT_TRUE(text.contains(R"( info velmar.wire: A sent "GT -100\r")")) << text.constData();
    EXPECT_TRUE(text.contains(R"( info velmar.wire: A received "OK\r")")) << text.constData();
    EXPECT_FALSE(text.contains(" debug ")) << "debug lines only with --verbose";
}

// Told to end while a dialog nobody answers is open and the settings file cannot be written
// (a pipe at its path): the program ends anyway, soon, says why on stderr and in its log, and
// its status says it went wrong.
TEST(VelmarSignal, EndsWithStatusOneWhenThePositionsCannotBeSaved)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString log = dir.filePath("velmar.log");
    ASSERT_EQ(::mkfifo(QFile::encodeName(dir.filePath("Velmar.ini")).constData(), 0600), 0);
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_DATA_HOME", dir.path());
    env.insert("QT_QPA_PLATFORM", "offscreen");
    process.setProcessEnvironment(env);
    process.start(velmarBinary(), {"--simulate=50", "--log=" + log});
    ASSERT_TRUE(process.waitForStarted());
    const auto logText = [&] {
        QFile file(log);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    };
    // The start-up reads the settings after its first two moves and tells, in a dialog that
    // stays open, that the pipe was not read.
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 60000 && !logText().contains(R"(A sent "TP\r")"))
        QThread::msleep(50);
    QThread::msleep(500);

    QElapsedTimer took;
    took.start();
    process.terminate();  // SIGTERM
    ASSERT_TRUE(process.waitForFinished(20000)) << logText().constData();
    std::printf("SIGTERM to exit: %lld ms\n", static_cast<long long>(took.elapsed()));
    EXPECT_LE(took.elapsed(), 5000);
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(process.exitCode(), 1);
    const QByteArray err = process.readAllStandardError();
    EXPECT_TRUE(err.contains("ending after a signal without saving the taught positions: Unable to write to"))
        << err.constData();
    const QByteArray text = logText();
    EXPECT_TRUE(text.contains("info velmar.run: signal 15 (Terminated) received: closing")) << text.constData();
    EXPECT_TRUE(text.contains("warning velmar.run: close abandoned: Unable to write to")) << text.constData();
    EXPECT_TRUE(text.contains("info velmar.run: program ended, exit status 1")) << text.constData();
}
