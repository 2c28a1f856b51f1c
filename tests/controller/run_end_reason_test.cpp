// labels: slow
#include "controller/records/ini_file.h"
#include "tests/controller/wire_watch.h"
#include "tests/support/window_fixture.h"
#include "widgets/dials/tiknob.h"
#include "widgets/dials/tiswitchslider.h"

#include <csignal>
#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using namespace velmar;
using test::clickFromEventLoop;

// Why a run or test ended, as its record and the status line tell it: a stop by the fail-safe
// is never taken for the operator's.
namespace {

QByteArray contents(const QString& name)
{
    QFile file(name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

enum class What { PolishRun, VoltCurrentTest };
enum class Cause { OperatorStop, NumberCycles, StreamStalled, GarbageFrames, NoReply, DataChannelGone, Exit, Signal };

struct EndCase {
    const char* name;
    What what;
    Cause cause;
    const char* trigger;    // the command at which the cause strikes
    const char* endReason;  // record.ini's
    const char* status;     // how the status line ends, once the loop has returned
};

class RunEndReason : public test::WindowTest, public ::testing::WithParamInterface<EndCase> {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        startUpAt12VoltsDc();
        form->iSwitchSlider1->setPosition(2);  // Normal
        form->Edit6->setText("4");
        form->Edit7->setText("6");
        platform.dialogs.clear();
    }
};

TEST_P(RunEndReason, IsRecordedAndShownAsItHappened)
{
    const EndCase& c = GetParam();
    if (c.cause == Cause::NumberCycles)
        form->Edit1->setText("1");
    QPushButton* button = c.what == What::PolishRun ? form->BitBtn1 : form->Button10;
    bool struck = false;
    instrument->commandObserver = [&](const QByteArray& text) {
        if (struck || text != QByteArray(c.trigger))
            return;
        struck = true;
        switch (c.cause) {
        case Cause::OperatorStop: QTimer::singleShot(0, button, [button] { button->click(); }); break;
        case Cause::NumberCycles: break;
        case Cause::StreamStalled: instrument->faults.streamStalled = true; break;
        case Cause::GarbageFrames: instrument->faults.garbageFrames = true; break;
        case Cause::NoReply: instrument->faults.reply = QByteArray(); break;
        case Cause::DataChannelGone: instrument->unplug(sim::Channel::B); break;
        case Cause::Exit: QTimer::singleShot(0, form.get(), [this] { form->Exit1->trigger(); }); break;
        case Cause::Signal: QTimer::singleShot(0, form.get(), [this] { form->closeForSignal(SIGTERM); }); break;
        }
    };

    clickFromEventLoop(button);  // returns when the loop has wound down
    pump(300);

    const QStringList folders = recordFolders();
    ASSERT_EQ(folders.size(), 1);
    const IniFile ini(contents(recordsFolder() + "/" + folders[0] + "/record.ini"));
    EXPECT_EQ(ini.value("Record", "EndReason").value_or("<missing>"), c.endReason);
    if (c.status) {
        controller().progress.refresh();
        const QString status = form->statusLine->text();
        EXPECT_TRUE(status.startsWith("Finished after ")) << status.toStdString();
        EXPECT_TRUE(status.contains(QString::fromUtf8(c.status))) << status.toStdString();
        EXPECT_FALSE(c.cause != Cause::OperatorStop && status.contains("operator")) << status.toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RunEndReason,
    ::testing::Values(
        EndCase{"RunStoppedByTheOperator", What::PolishRun, Cause::OperatorStop, "GP -154 2", "stopped",
                ": stopped by the operator"},
        EndCase{"RunMetItsCycles", What::PolishRun, Cause::NumberCycles, "RY 1", "number-of-cycles",
                ": number of cycles reached"},
        EndCase{"RunStalled", What::PolishRun, Cause::StreamStalled, "GP -154 2", "stream-stalled",
                ": stopped: no current readings for 2 s"},
        // Frames that cannot be read are no readings either.
        EndCase{"RunFedGarbage", What::PolishRun, Cause::GarbageFrames, "GP -154 2", "stream-stalled",
                ": stopped: no current readings for 2 s"},
        EndCase{"RunMetSilence", What::PolishRun, Cause::NoReply, "GP -154 2", "reply-timeout",
                ": stopped: no reply from the instrument"},
        // The program ends on a lost link: the status line has nothing more to say.
        EndCase{"RunLostItsLink", What::PolishRun, Cause::DataChannelGone, "GP -154 2", "link-lost", nullptr},
        EndCase{"RunEndedByExit", What::PolishRun, Cause::Exit, "GP -154 2", "program-ended", nullptr},
        EndCase{"RunEndedBySignal", What::PolishRun, Cause::Signal, "GP -154 2", "signal", nullptr},
        EndCase{"TestStoppedByTheOperator", What::VoltCurrentTest, Cause::OperatorStop, "RY 1", "stopped",
                ": stopped by the operator, "},
        EndCase{"TestCompleted", What::VoltCurrentTest, Cause::NumberCycles, "RY 1", "completed", nullptr},
        EndCase{"TestStalled", What::VoltCurrentTest, Cause::StreamStalled, "PO 1", "stream-stalled",
                ": stopped: no current readings for 2 s, "},
        EndCase{"TestMetSilence", What::VoltCurrentTest, Cause::NoReply, "RY 1", "reply-timeout",
                ": stopped: no reply from the instrument, "}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
