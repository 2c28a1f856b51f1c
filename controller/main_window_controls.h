#pragma once

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

namespace velmar {

class TiAngularGauge;
class TiKnob;
class TiLedRound;
class TiLinearGauge;
class TiPlot;
class TiSevenSegmentAnalog;
class TiSwitchSlider;
class TiThreadTimers;

// The main window's controls the controller reads and writes, by their designed names. The
// window fills it in; a test may build one from a window of its own.
struct MainWindowControls {
    TiPlot* iPlot1 = nullptr;                  // the strip chart: current against time, cycles or volts
    TiThreadTimers* iThreadTimers1 = nullptr;  // timer 1 start-up, 8 reply watchdog, 9 poll cycle
    QPushButton* Button5 = nullptr;    // hidden: sends "SS 2" (normal speed)
    // Diagnostic labels, hidden unless noted: Label6 and Label12 show in debug mode or after a
    // double-click on the readout.
    QLabel* Label1 = nullptr;          // unused
    QLabel* Label2 = nullptr;          // ZeroOffset, the raw count taken as zero current
    QLabel* Label4 = nullptr;          // the last command reply, or the last set-point count
    QLabel* Label6 = nullptr;          // the last frame's five characters as received
    QLabel* Label7 = nullptr;          // sample slots 1, 2 and 3: the last three flagged readings (mA)
    QLabel* Label8 = nullptr;
    QLabel* Label9 = nullptr;
    QLabel* Label10 = nullptr;         // a half cycle's average of those three
    QLabel* Label11 = nullptr;         // the current shown on the meter and the readout (mA)
    QLabel* Label12 = nullptr;         // bytes waiting on the current stream at the last poll

    QGroupBox* GroupBox2 = nullptr;  // "Position (in mm)"
    QPushButton* Button1 = nullptr;    // "Top": to the top, where the step count is zeroed
    QPushButton* Button2 = nullptr;    // "Home": to the taught home position
    QPushButton* Button7 = nullptr;    // "End Polish": to the taught end of the polish stroke
    QPushButton* Button3 = nullptr;    // "Electrolyte": to the taught electrolyte position
    TiLinearGauge* iLinearGauge1 = nullptr;  // the mm gauge: position and the three taught pointers
    QLabel* Label5 = nullptr;          // the position in mm under the gauge
    QLabel* Label3 = nullptr;          // hidden: the position in steps

    QGroupBox* GroupBox1 = nullptr;  // "Power"
    TiKnob* iKnob1 = nullptr;          // supply voltage
    TiSwitchSlider* iSwitchSlider2 = nullptr;  // supply mode: 1 DC, else AC
    QPushButton* Button6 = nullptr;    // "Set Power and Zero Current"

    QGroupBox* GroupBox3 = nullptr;  // "Current"
    TiAngularGauge* iAngularGauge1 = nullptr;          // the current meter (mA)
    TiSevenSegmentAnalog* iSevenSegmentAnalog1 = nullptr;  // the current readout (mA)

    QGroupBox* GroupBox4 = nullptr;  // "Run Finish Setup"
    QLabel* StaticText1 = nullptr;
    QLabel* StaticText2 = nullptr;
    QLabel* StaticText4 = nullptr;
    QLineEdit* Edit1 = nullptr;        // finish after this many cycles (empty: no limit)
    QLineEdit* Edit2 = nullptr;        // finish when the current falls below this (mA)
    QLineEdit* Edit3 = nullptr;        // finish when the total charge reaches this

    QGroupBox* GroupBox5 = nullptr;  // "Speed"
    TiSwitchSlider* iSwitchSlider1 = nullptr;  // stroke speed: normal, medium, low

    QGroupBox* GroupBox6 = nullptr;  // "Polish Run"
    QLabel* StaticText6 = nullptr;
    QLineEdit* Edit4 = nullptr;        // polish strokes per dip in the electrolyte
    QLineEdit* Edit5 = nullptr;        // the chart's title
    QPushButton* Button13 = nullptr;   // "Clear Chart"
    QPushButton* BitBtn1 = nullptr;    // "Run" / "Stop": the polish run; its caption shows the run's state
    QPushButton* Button4 = nullptr;    // hidden: rocks the axis 200 steps down and up five times
    QCheckBox* CheckBox1 = nullptr;    // "Zero Current": capture the zero before the run

    QGroupBox* GroupBox7 = nullptr;  // "Manual Mode"
    QPushButton* Button11 = nullptr;   // "Power On" / "Power Off": the supply output
    QPushButton* Button9 = nullptr;    // "Relay On" / "Relay Off": the polishing relay
    QPushButton* Button8 = nullptr;    // "Chart On" / "Chart Off": manual chart recording
    QLabel* StaticText3 = nullptr;
    TiLedRound* iLedRound1 = nullptr;  // the "Polish" lamp: lit while frames come flagged

    QGroupBox* GroupBox8 = nullptr;  // "Volt vs Current Test"
    QLabel* StaticText5 = nullptr;
    QLineEdit* Edit6 = nullptr;        // the sweep's first voltage
    QLabel* StaticText7 = nullptr;
    QLineEdit* Edit7 = nullptr;        // the sweep ends below this voltage
    QPushButton* Button10 = nullptr;   // "Start Test" / "Stop Test": its caption shows the test's state

    // Not on the original window: the status line in the band under the chart, and the
    // button that sets the knob to a V-I sweep's suggested voltage.
    QLabel* statusLine = nullptr;
    QPushButton* useSuggestedVoltage = nullptr;

    // The About window doubles as the start-up splash.
    QWidget* Form2 = nullptr;
    QPushButton* Form2Button1 = nullptr;
    QPushButton* Form2Button2 = nullptr;
};

}  // namespace velmar
