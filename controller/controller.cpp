#include "controller/controller.h"

#include "controller/settings_file.h"
#include "widgets/tilineargauge.h"
#include "widgets/tiplot.h"
#include "timers/tithreadtimers.h"

#include <QLineEdit>
#include <QPushButton>

namespace velmar {

Controller::Controller(ControllerState& s, MainWindowControls& controls)
    : state(s),
      ui(controls),
      commands(s, driver, *controls.iThreadTimers1, controls.Label4),
      stream(s, driver, controls),
      motion(*this),
      poll(*this),
      startUp(*this),
      power(*this),
      halfCycle(*this),
      polishRun(*this),
      voltCurrentTest(*this),
      manualChart(*this)
{
}

void Controller::connectControls()
{
    TiThreadTimers& timers = *ui.iThreadTimers1;
    timers.setOnTimer(1, [this](QObject* sender) { startUp.iThreadTimers1Timer1(sender); });
    timers.setOnTimer(9, [this](QObject* sender) { poll.iThreadTimers1Timer9(sender); });

    auto onClick = [](QPushButton* button, auto handler) {
        QObject::connect(button, &QPushButton::clicked, button, handler);
    };
    onClick(ui.Button1, [this] { motion.Button1Click(); });
    onClick(ui.Button2, [this] { motion.Button2Click(); });
    onClick(ui.Button7, [this] { motion.Button7Click(); });
    onClick(ui.Button3, [this] { motion.Button3Click(); });
    onClick(ui.Button4, [this] { motion.Button4Click(); });
    onClick(ui.Button5, [this] { motion.Button5Click(); });
    onClick(ui.Button6, [this] { power.Button6Click(); });
    onClick(ui.Button11, [this] { power.Button11Click(); });
    onClick(ui.Button9, [this] { power.Button9Click(); });
    onClick(ui.BitBtn1, [this] { polishRun.BitBtn1Click(); });
    onClick(ui.Button10, [this] { voltCurrentTest.Button10Click(); });
    onClick(ui.Button8, [this] { manualChart.Button8Click(); });
    onClick(ui.Button13, [this] { manualChart.Button13Click(); });

    QObject::connect(ui.iLinearGauge1, &TiLinearGauge::OnPointerPositionChanged, ui.iLinearGauge1,
                     [this](int index) { motion.iLinearGauge1PointerPositionChanged(index); });
    QObject::connect(ui.iLinearGauge1, &TiLinearGauge::OnMouseUp, ui.iLinearGauge1,
                     [this] { motion.iLinearGauge1MouseUp(); });
    QObject::connect(ui.Edit5, &QLineEdit::textChanged, ui.Edit5, [this] { manualChart.Edit5Change(); });
    QObject::connect(ui.iPlot1, &TiPlot::OnDblClickDataView, ui.iPlot1,
                     [this] { manualChart.iPlot1DblClickDataView(); });
}

void Controller::FormClose()
{
    // A run or test below this handler on the stack would go on driving the instrument after
    // the window has gone. Stop it as its button would; it cannot wind down until this
    // handler returns, so the saving and the goodbye follow when the last such loop has
    // returned (it calls back here), after its "RY 0".
    const bool runWindingDown = polishRun.stopForClose();
    const bool testWindingDown = voltCurrentTest.stopForClose();
    if (runWindingDown || testWindingDown)
        return;
    if (state.SettingsLoaded)
        SaveSettings(state);
    commands.SendCommand(QStringLiteral("X"));
}

}  // namespace velmar
