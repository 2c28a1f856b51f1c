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
    TiPlot* iPlot1 = nullptr;
    TiThreadTimers* iThreadTimers1 = nullptr;
    QPushButton* Button5 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label4 = nullptr;
    QLabel* Label6 = nullptr;
    QLabel* Label7 = nullptr;
    QLabel* Label8 = nullptr;
    QLabel* Label9 = nullptr;
    QLabel* Label10 = nullptr;
    QLabel* Label11 = nullptr;
    QLabel* Label12 = nullptr;

    QGroupBox* GroupBox2 = nullptr;  // "Position (in mm)"
    QPushButton* Button1 = nullptr;
    QPushButton* Button2 = nullptr;
    QPushButton* Button7 = nullptr;
    QPushButton* Button3 = nullptr;
    TiLinearGauge* iLinearGauge1 = nullptr;
    QLabel* Label5 = nullptr;
    QLabel* Label3 = nullptr;

    QGroupBox* GroupBox1 = nullptr;  // "Power"
    TiKnob* iKnob1 = nullptr;
    TiSwitchSlider* iSwitchSlider2 = nullptr;
    QPushButton* Button6 = nullptr;

    QGroupBox* GroupBox3 = nullptr;  // "Current"
    TiAngularGauge* iAngularGauge1 = nullptr;
    TiSevenSegmentAnalog* iSevenSegmentAnalog1 = nullptr;

    QGroupBox* GroupBox4 = nullptr;  // "Run Finish Setup"
    QLabel* StaticText1 = nullptr;
    QLabel* StaticText2 = nullptr;
    QLabel* StaticText4 = nullptr;
    QLineEdit* Edit1 = nullptr;
    QLineEdit* Edit2 = nullptr;
    QLineEdit* Edit3 = nullptr;

    QGroupBox* GroupBox5 = nullptr;  // "Speed"
    TiSwitchSlider* iSwitchSlider1 = nullptr;

    QGroupBox* GroupBox6 = nullptr;  // "Polish Run"
    QLabel* StaticText6 = nullptr;
    QLineEdit* Edit4 = nullptr;
    QLineEdit* Edit5 = nullptr;
    QPushButton* Button13 = nullptr;
    QPushButton* BitBtn1 = nullptr;
    QPushButton* Button4 = nullptr;
    QCheckBox* CheckBox1 = nullptr;

    QGroupBox* GroupBox7 = nullptr;  // "Manual Mode"
    QPushButton* Button11 = nullptr;
    QPushButton* Button9 = nullptr;
    QPushButton* Button8 = nullptr;
    QLabel* StaticText3 = nullptr;
    TiLedRound* iLedRound1 = nullptr;

    QGroupBox* GroupBox8 = nullptr;  // "Volt vs Current Test"
    QLabel* StaticText5 = nullptr;
    QLineEdit* Edit6 = nullptr;
    QLabel* StaticText7 = nullptr;
    QLineEdit* Edit7 = nullptr;
    QPushButton* Button10 = nullptr;

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
