#include "controller/controller.h"

#include "controller/settings_file.h"
#include "device/protocol.h"
#include "platform/log.h"
#include "platform/platform_services.h"
#include "timers/tithreadtimers.h"
#include "widgets/dials/tilineargauge.h"
#include "widgets/plot/tiplot.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <cstring>
#include <exception>

namespace velmar {

Controller::Controller(ControllerState& s, MainWindowControls& controls)
    : state(s),
      ui(controls),
      commands(s, driver, *controls.iThreadTimers1),
      stream(s, driver),
      readout(s, stream, controls),
      failSafe(*this),
      motion(*this),
      poll(*this),
      startUp(*this),
      power(*this),
      halfCycle(*this),
      polishRun(*this),
      voltCurrentTest(*this),
      manualChart(*this),
      progress(*this),
      records(*this)
{
    // The hidden Label4 shows the last reply, or blanks while an exchange waits for it.
    commands.onReply = [this](const QString& reply) {
        if (ui.Label4)
            ui.Label4->setText(reply);
    };
}

void Controller::connectControls()
{
    TiThreadTimers& timers = *ui.iThreadTimers1;
    // Each timer's number and interval are its handler's; the reply watchdog (timer 8) is the
    // command channel's own.
    timers.setInterval(StartUpSequence::StartUpTimer, StartUpSequence::StartUpDelayMs);
    timers.setOnTimer(StartUpSequence::StartUpTimer, [this](QObject* sender) { startUp.iThreadTimers1Timer1(sender); });
    timers.setInterval(PollCycle::PollTimer, PollCycle::PollIntervalMs);
    timers.setOnTimer(PollCycle::PollTimer, [this](QObject* sender) { poll.iThreadTimers1Timer9(sender); });
    commands.onCommandWritten = [this](const QString& command) { failSafe.commandWritten(command); };
    commands.onCommandSent = [this](const QString& command, bool acknowledged) {
        failSafe.commandSent(command, acknowledged);
    };
    commands.onReplyTimeout = [this] { failSafe.replyTimedOut(); };
    driver.onFailure = [this](UsbChannel channel, d2xx::FT_STATUS status) { failSafe.deviceFailed(channel, status); };

    auto onClick = [](QPushButton* button, auto handler) {
        QObject::connect(button, &QPushButton::clicked, button, handler);
    };
    // Until the homing has had its answer, where the electrode is is unknown: a move computed
    // from the count, a run or a test would start from a wrong place, interleaved with the
    // homing's own moves.
    auto afterHoming = [this](auto handler) {
        return [this, handler] {
            if (state.Homed)
                handler();
            else
                qCDebug(lcRun) << "click before the homing ended: ignored";
        };
    };
    onClick(ui.Button1, afterHoming([this] { motion.Button1Click(); }));
    onClick(ui.Button2, afterHoming([this] { motion.Button2Click(); }));
    onClick(ui.Button7, afterHoming([this] { motion.Button7Click(); }));
    onClick(ui.Button3, afterHoming([this] { motion.Button3Click(); }));
    onClick(ui.Button4, afterHoming([this] { motion.Button4Click(); }));
    onClick(ui.Button5, [this] { motion.Button5Click(); });
    onClick(ui.Button6, afterHoming([this] { power.Button6Click(); }));
    onClick(ui.Button11, afterHoming([this] { power.Button11Click(); }));
    onClick(ui.Button9, afterHoming([this] { power.Button9Click(); }));
    onClick(ui.BitBtn1, afterHoming([this] { polishRun.BitBtn1Click(); }));
    onClick(ui.Button10, afterHoming([this] { voltCurrentTest.Button10Click(); }));
    onClick(ui.Button8, [this] { manualChart.Button8Click(); });
    onClick(ui.Button13, [this] { manualChart.Button13Click(); });
    if (ui.useSuggestedVoltage)
        onClick(ui.useSuggestedVoltage, [this] { progress.useSuggestedVoltage(); });

    QObject::connect(ui.iLinearGauge1, &TiLinearGauge::OnPointerPositionChanged, ui.iLinearGauge1,
                     [this](int index) { motion.iLinearGauge1PointerPositionChanged(index); });
    QObject::connect(ui.iLinearGauge1, &TiLinearGauge::OnMouseUp, ui.iLinearGauge1,
                     afterHoming([this] { motion.iLinearGauge1MouseUp(); }));
    QObject::connect(ui.Edit5, &QLineEdit::textChanged, ui.Edit5, [this] { manualChart.Edit5Change(); });
    QObject::connect(ui.iPlot1, &TiPlot::OnDblClickDataView, ui.iPlot1,
                     [this] { manualChart.iPlot1DblClickDataView(); });
}

void Controller::updateStartButtons()
{
    const bool idle = !loopRunning();
    ui.BitBtn1->setEnabled(idle || polishRun.offersStop());
    ui.Button10->setEnabled(idle || voltCurrentTest.offersStop());
}

void Controller::takePoint(const TakenPoint& p)
{
    TiPlot* plot = ui.iPlot1;
    plot->ChannelAt(0)->AddPoint(p.x, p.current);
    switch (p.kind) {
    case RecordKind::Polish:
        plot->ChannelAt(1)->AddPoint(p.x, p.total);
        records.polishRow(p.x, p.current, p.total);
        progress.halfCycleEvaluated(p.current, p.cyclesMet, p.minimumMet, p.totalMet);
        break;
    case RecordKind::ViTest:
        records.viTestRow(static_cast<int>(p.x), p.current, p.zeroOffset);
        progress.testPointTaken(p.x, p.current);
        break;
    case RecordKind::Manual:
        records.manualRow(p.x, p.current);
        break;
    }
}

Task<bool> Controller::pause(std::uint32_t ms, Cancellation* cancellation)
{
    const bool passed = co_await delay(ms, cancellation);
    co_await commands.untilFree();
    co_return passed;
}

bool Controller::idle() const { return routines.idle() && !loopRunning() && !failSafe.reaching(); }

Task<void> Controller::woundDown()
{
    co_await polishRun.ended();
    co_await voltCurrentTest.ended();
    co_await failSafe.safeStateReached();
}

Task<void> Controller::FormClose()
{
    // A run or test would go on driving the instrument after the window has gone. It is
    // stopped as its button would stop it and winds down (its "RY 0") before anything else.
    if (polishRun.stop())
        records.noteEnd(RecordKind::Polish, RecordEnd::WindowClosed);
    if (voltCurrentTest.stop())
        records.noteEnd(RecordKind::ViTest, RecordEnd::WindowClosed);
    co_await woundDown();
    records.noteEnd(RecordKind::Manual, RecordEnd::WindowClosed);
    records.end(RecordKind::Manual);
    if (state.SettingsLoaded) {
        try {
            SaveSettings(state);
        } catch (const std::exception& error) {
            qCWarning(lcRun).noquote() << "close abandoned:" << error.what();
            if (!closingForSignal_)
                throw;
            // Nobody may be there to read a dialog, and a close left open would keep the
            // program running after it was told to end.
            qCCritical(lcRun).noquote() << "ending after a signal without saving the taught positions:"
                                        << error.what();
            exitStatus_ = 1;
            platform().terminate();
            co_return;
        }
    }
    if (!closingForSignal_) {
        // After a command a click has under way, not turned away by it.
        co_await commands.untilFree();
        co_await commands.SendCommand(protocol::end());
        co_return;
    }
    // Past any exchange still waiting, and not waiting for an instrument that has already
    // left the safe state's commands unanswered.
    co_await commands.SendUrgent(protocol::end(), failSafe.instrumentSilent() ? 0 : FailSafe::SafeReplyWaitMs);
    platform().terminate();
}

void Controller::Exit()
{
    failSafe.stopSupervision("File > Exit", RecordEnd::ProgramEnded);
    routines.launch([](Controller& c) -> Task<void> {
        // The run or test winds down at once (its pauses are cut and its commands held), so
        // its record is closed before the program ends.
        co_await c.woundDown();
        platform().terminate();
    }(*this));
}

void Controller::beginSignalClose(int signal)
{
    qCInfo(lcRun).noquote() << QStringLiteral("signal %1 (%2) received: closing")
                                   .arg(signal)
                                   .arg(QString::fromLocal8Bit(::strsignal(signal)));
    if (closingForSignal_)
        return;
    closingForSignal_ = true;
    failSafe.stopSupervision("signal to end", RecordEnd::Signal);
    commands.abandonExchanges();
}

}  // namespace velmar
