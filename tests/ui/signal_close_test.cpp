#include "tests/controller/wire_watch.h"
#include "tests/support/log_capture.h"
#include "tests/support/window_fixture.h"
#include "ui/signal_close.h"
#include "widgets/dials/tiknob.h"
#include "widgets/dials/tiswitchslider.h"

#include <QElapsedTimer>
#include <QFile>
#include <QPushButton>

#include <csignal>
#include <optional>

#include <sys/stat.h>

using namespace velmar;
using test::clickFromEventLoop;
using test::OnCommand;

namespace {

TEST(SignalCloseTest, EachSignalReachesTheEventLoopNotTheHandler)
{
    QList<int> received;
    SignalClose closeOnSignals([&](int signal) { received << signal; });
    ASSERT_TRUE(closeOnSignals.installed());

    for (int signal : {SIGTERM, SIGINT, SIGHUP})
        ASSERT_EQ(std::raise(signal), 0);
    EXPECT_TRUE(received.isEmpty()) << "nothing of ours runs inside the handler";

    QElapsedTimer waited;
    waited.start();
    while (received.size() < 3 && waited.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    EXPECT_EQ(received, QList<int>({SIGTERM, SIGINT, SIGHUP}));
}

using SignalDuringARun = test::WindowTest;

// A kill in the middle of a stroke: the supply and relay go off at once, the run winds down
// without sending more, and the program closes as the window's close does: saved, then "X".
TEST_F(SignalDuringARun, SwitchesOffThenClosesAsTheWindowDoes)
{
    startUpAt12VoltsDc();
    click(form->Button11);  // Power On
    SignalClose closeOnSignals([&](int signal) { form->closeForSignal(signal); });
    ASSERT_TRUE(closeOnSignals.installed());
    OnCommand killMidStroke(instrument, QStringLiteral("GP -154 2"), [] { std::raise(SIGTERM); });

    clickFromEventLoop(form->BitBtn1);
    pump(100);

    const QStringList sent = commands();
    const auto stroke = sent.indexOf(QStringLiteral("GP -154 2"));
    ASSERT_GE(stroke, 0);
    QStringList after = sent.mid(stroke + 1);
    after.removeAll(QStringLiteral("GP 154 2"));  // the stroke's up move may still have gone out
    EXPECT_EQ(after, QStringList({"RY 0", "PO 0", "X"}));
    EXPECT_FALSE(instrument->relayOn());
    EXPECT_FALSE(instrument->outputOn());
    EXPECT_TRUE(QFile::exists(settingsFile()));
    EXPECT_FALSE(form->isVisible());
    EXPECT_FALSE(controller().polishRun.running());
}

// Whatever state the program is in when told to end, it ends: within 5 s, with the safe state
// sent once, and with status 1 (said on stderr and in the log) when the positions could not be
// saved.
struct SignalCase {
    const char* name;
    bool settingsFifo;  // the settings file is a pipe: the save fails
    bool silent;        // the instrument stops answering as the signal comes
    bool dialogOpen;    // a dialog nobody answers is open
    bool duringRun;
    QStringList afterSignal;  // what goes out after it, moves left aside
    int exitStatus;
};

class SignalEnds : public test::WindowTest, public ::testing::WithParamInterface<SignalCase> {};

TEST_P(SignalEnds, WithinFiveSecondsAndTheSafeStateOnce)
{
    const SignalCase& c = GetParam();
    test::LogCapture log;
    startUpAt12VoltsDc();
    click(form->Button11);  // Power On
    click(form->Button9);   // Relay On
    if (c.settingsFifo) {
        QFile::remove(settingsFile());
        ASSERT_EQ(::mkfifo(QFile::encodeName(settingsFile()).constData(), 0600), 0);
    }
    std::optional<int> processEnded;
    form->endProcess = [&](int status) { processEnded = status; };
    SignalClose closeOnSignals([&](int signal) { form->closeForSignal(signal); });
    const int before = static_cast<int>(commands().size());

    QElapsedTimer sinceSignal;
    std::optional<qint64> ended;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (!ended && sinceSignal.isValid() && platform.terminateRequests > 0)
            ended = sinceSignal.elapsed();
    });
    watch.start(5);
    const auto kill = [&] {
        if (c.silent)
            instrument->faults.reply = QByteArray();
        sinceSignal.start();
        std::raise(SIGTERM);
    };
    platform.holdDialogs = c.dialogOpen;
    std::optional<test::OnCommand> midStroke;
    if (c.duringRun) {
        midStroke.emplace(instrument, QStringLiteral("GP -154 2"), kill);
        test::clickFromEventLoop(form->BitBtn1);
    } else if (c.dialogOpen) {
        QTimer::singleShot(100, kill);
        platform.showInfo(QStringLiteral("left open"));  // returns once the signal dismissed it
    } else {
        kill();
    }
    QElapsedTimer waited;
    waited.start();
    while (!ended && waited.elapsed() < 15000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    pump(100);

    ASSERT_TRUE(ended) << "the program was not asked to end";
    std::printf("%s: signal to end %lld ms\n", c.name, static_cast<long long>(*ended));
    EXPECT_LE(*ended, 5000);
    QStringList after = commands().mid(before);
    after.erase(std::remove_if(after.begin(), after.end(),
                               [](const QString& s) { return s.startsWith(QLatin1String("G")) || s.startsWith(QLatin1String("SS")); }),
                after.end());
    // The run's own set-up before the signal.
    if (c.duringRun)
        after = after.mid(after.lastIndexOf(QStringLiteral("RY 1")) + 1);
    EXPECT_EQ(after, c.afterSignal);
    EXPECT_EQ(controller().exitStatus(), c.exitStatus);
    EXPECT_FALSE(processEnded.has_value()) << "ended by the limit, not by itself";
    EXPECT_TRUE(log.messages(QStringLiteral("velmar.run"), QtInfoMsg)
                    .contains(QStringLiteral("signal %1 (%2) received: closing").arg(SIGTERM).arg(QString::fromLocal8Bit(::strsignal(SIGTERM)))));
    const QStringList errors = log.messages(QStringLiteral("velmar.run"), QtCriticalMsg);
    if (c.exitStatus != 0) {
        ASSERT_EQ(errors.size(), 1);
        EXPECT_TRUE(errors.first().contains(QStringLiteral("Unable to write"))) << errors.first().toStdString();
    } else {
        EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SignalEnds,
    ::testing::Values(SignalCase{"SettingsFifo", true, false, false, false, test::list({"RY 0", "PO 0"}), 1},
                      SignalCase{"SilentInstrument", false, true, false, false, test::list({"RY 0", "PO 0", "X"}), 0},
                      SignalCase{"OpenDialog", false, false, true, false, test::list({"RY 0", "PO 0", "X"}), 0},
                      SignalCase{"SilentInstrumentDuringARun", false, true, false, true,
                                 test::list({"RY 0", "PO 0", "X"}), 0},
                      SignalCase{"SettingsFifoDuringARun", true, false, false, true, test::list({"RY 0", "PO 0"}), 1},
                      SignalCase{"SilentInstrumentOpenDialogSettingsFifo", true, true, true, false,
                                 test::list({"RY 0", "PO 0"}), 1}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
