#include "controller/polish_run.h"

#include "controller/controller.h"
#include "device/protocol.h"
#include "platform/conversions.h"
#include "platform/log.h"
#include "platform/platform_services.h"
#include "widgets/dials/tiknob.h"
#include "widgets/dials/tiswitchslider.h"
#include "widgets/plot/tiplot.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

namespace velmar {
namespace {

const QString RunCaption = QStringLiteral("Run");
const QString StopCaption = QStringLiteral("STOP");

// The locale's long time format names the time zone; the chart's stamp never did.
QString timeFormatWithoutZone(const QString& format)
{
    QString out;
    bool quoted = false;
    for (qsizetype i = 0; i < format.size(); ++i) {
        const QChar ch = format.at(i);
        if (ch == QLatin1Char('\''))
            quoted = !quoted;
        if (!quoted && ch == QLatin1Char('t')) {
            while (!out.isEmpty() && out.back().isSpace())
                out.chop(1);
            continue;
        }
        out += ch;
    }
    return out.trimmed();
}

}  // namespace

QString DateTimeText(const QDateTime& when, const QLocale& locale)
{
    const QString date = locale.toString(when.date(), QLocale::ShortFormat);
    if (when.time() == QTime(0, 0))
        return date;
    return date + QLatin1Char(' ')
           + locale.toString(when.time(), timeFormatWithoutZone(locale.timeFormat(QLocale::LongFormat)));
}

QString PolishRun::strokeSpeedCommand(int speedPosition)
{
    switch (speedPosition) {
    case 2:
        return protocol::speed(2);  // Normal
    case 1:
        return protocol::speed(3);  // Medium
    default:
        return protocol::speed(4);  // Low
    }
}

PolishRun::PolishRun(Controller& c)
    : c_(c),
      loop_(c.failSafe, [&c] { c.updateStartButtons(); },
            [&c](LoopState state) { c.ui.BitBtn1->setText(state == LoopState::Running ? StopCaption : RunCaption); })
{
}

bool PolishRun::offersStop() const { return loop_.state() == LoopState::Running; }

void PolishRun::BitBtn1Click()
{
    if (loop_.state() != LoopState::Running) {
        // A run still winding down after its finish, or a test sweeping: a second loop would
        // drive the same relay and supply. The button is disabled then; this guards the rest.
        // Likewise a fault has just stopped the last run, whose loop is still winding down
        // with its commands held back: a run started now could send nothing.
        if (c_.loopRunning() || c_.state.CommandsHeld)
            return;
        // A field that does not convert (a limit, or "Cycles per Electrolyte" before the relay
        // goes on) ends the click with its message; the set-point and mode sent so far stay
        // sent, nothing else is, and the window is ready for the corrected run.
        loop_.start(startRun(), [this] { enableGroups(true); });
        return;
    }

    // The loop winds down by itself at its next look at its state.
    qCInfo(lcRun) << "run stopped by the operator";
    loop_.stop();
    c_.records.noteEnd(RecordKind::Polish, RecordEnd::Stopped);
    // Three beeps 250 ms apart, the later two from timers: the click does not wait for them,
    // and the run winds down meanwhile.
    platform().beep();
    QTimer::singleShot(250, Qt::PreciseTimer, c_.ui.BitBtn1, [button = c_.ui.BitBtn1] {
        platform().beep();
        QTimer::singleShot(250, Qt::PreciseTimer, button, [] { platform().beep(); });
    });
}

Task<void> PolishRun::startRun()
{
    ControllerState& s = c_.state;
    MainWindowControls& ui = c_.ui;
    TiPlot* plot = ui.iPlot1;

    // The chart keeps its points and X span: a run carries on the cycle count of the last one.
    plot->YAxisAt(0)->setTitle(QStringLiteral("Current (mA)"));
    plot->XAxisAt(0)->setTitle(QStringLiteral("Cycles"));
    plot->YAxisAt(1)->setTitle(QStringLiteral("Total Current"));
    plot->XAxisAt(0)->setMin(0.0);
    plot->LabelAt(3)->setCaption(DateTimeText(platform().now()));

    if (ui.CheckBox1->isChecked())
        co_await c_.power.ApplyPowerAndZero();
    else
        co_await c_.power.ApplyPower();

    const QString cycles = ui.Edit1->text();
    if (cycles.isEmpty()) {
        s.CycleLimit = 1000000;
    } else {
        s.CycleLimit = StrToInt(cycles);
        s.CyclesDone = 0.0;
    }
    const QString minimum = ui.Edit2->text();
    s.MinCurrentLimit = minimum.isEmpty() ? -1000000.0 : FieldToFloat(minimum);
    const QString total = ui.Edit3->text();
    s.TotalLimit = total.isEmpty() ? 1000000.0 : FieldToFloat(total);

    c_.records.begin(RecordKind::Polish);
    enableGroups(false);
    const auto limit = [](const QString& text, const char* unit) {
        return text.isEmpty() ? QStringLiteral("none") : text + QLatin1String(unit);
    };
    qCInfo(lcRun).noquote() << QStringLiteral("run started at cycle %1: %2 V %3, %4 strokes per dip; limits: cycles %5, "
                                              "minimum current %6, total current %7")
                                   .arg(s.CycleNumber)
                                   .arg(ui.iKnob1->position())
                                   .arg(c_.power.modeText())
                                   .arg(ui.Edit4->text(), limit(cycles, ""), limit(minimum, " mA"), limit(total, ""));
    try {
        co_await RunPolishLoop();
    } catch (const std::exception& error) {
        c_.records.endByError(RecordKind::Polish, QString::fromUtf8(error.what()));
        throw;
    }
    qCInfo(lcRun).noquote() << QStringLiteral("run ended at cycle %1, total current %2").arg(s.CycleNumber).arg(s.TotalCharge);
    enableGroups(true);
    c_.records.end(RecordKind::Polish);
}

void PolishRun::enableGroups(bool enabled)
{
    // Power, Position, Run Finish Setup and Manual Mode, in this order both ways.
    for (QGroupBox* group : {c_.ui.GroupBox1, c_.ui.GroupBox2, c_.ui.GroupBox4, c_.ui.GroupBox7})
        group->setEnabled(enabled);
}

Task<void> PolishRun::RunPolishLoop()
{
    ControllerState& s = c_.state;
    MainWindowControls& ui = c_.ui;
    CommandChannel& commands = c_.commands;
    const auto active = [this] { return loop_.state() == LoopState::Running && !c_.failSafe.loopsMustEnd(); };

    ui.iPlot1->LabelAt(1)->setCaption(QStringLiteral(" "));
    const int strokes = StrToInt(ui.Edit4->text());
    c_.progress.polishStarted();
    co_await commands.SendCommand(protocol::relay(true));
    Cancellation& fault = loop_.cancellation();

    while (active()) {
        co_await commands.SendCommand(protocol::speed(2));
        co_await c_.motion.MoveTo(s.ElectrolyteSteps);
        co_await c_.pause(20, &fault);
        // Stopped during the dip: the electrode stays in the electrolyte.
        if (active())
            co_await c_.motion.MoveTo(s.HomeSteps);
        co_await c_.pause(20, &fault);
        // Read afresh at every dip, so a change of the Speed switch applies from the next dip.
        co_await commands.SendCommand(strokeSpeedCommand(ui.iSwitchSlider1->position()));
        c_.progress.polishDipped();

        for (int i = 1; i <= strokes && active(); ++i) {
            // Both evaluations run even when the first one finished the run; each only
            // decides whether its own move is made.
            if (co_await c_.halfCycle.EvaluateHalfCycle())
                co_await c_.motion.MovePolish(s.PolishSteps);
            if (co_await c_.halfCycle.EvaluateHalfCycle())
                co_await c_.motion.MovePolish(s.HomeSteps);
        }
    }

    c_.failSafe.loopFinished();
    co_await commands.SendCommand(protocol::relay(false));
    c_.progress.polishEnded();
}

bool PolishRun::stop() { return loop_.stop(); }

bool PolishRun::stopNow() { return loop_.stopNow(); }

}  // namespace velmar
