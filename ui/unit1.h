#pragma once

#include "controller/controller_state.h"
#include "ui/form_layout.h"

#include <QMainWindow>

class QAction;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;

namespace velmar {

class TiThreadTimers;
class TForm2;

// The main window: every operator control, laid out as designed, with the window's own life
// cycle (create, resize, close, menu) and the number check of the entry fields. What the
// buttons do belongs to the controller.
class TForm1 : public QMainWindow {
    Q_OBJECT
public:
    // `arguments`: the command line without the program name (for DEBUG).
    explicit TForm1(const QStringList& arguments = {}, QWidget* parent = nullptr);
    ~TForm1() override;

    // The About window, created after this one by the application entry.
    void setAboutWindow(TForm2* form2) { Form2 = form2; }

    ControllerState state;
    TForm2* Form2 = nullptr;

    // Controls, named as designed.
    QWidget* iPlot1 = nullptr;
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
    QWidget* iLinearGauge1 = nullptr;
    QLabel* Label5 = nullptr;
    QLabel* Label3 = nullptr;

    QGroupBox* GroupBox1 = nullptr;  // "Power"
    QWidget* iKnob1 = nullptr;
    QWidget* iSwitchSlider2 = nullptr;
    QPushButton* Button6 = nullptr;

    QGroupBox* GroupBox3 = nullptr;  // "Current"
    QWidget* iAngularGauge1 = nullptr;
    QWidget* iSevenSegmentAnalog1 = nullptr;

    QGroupBox* GroupBox4 = nullptr;  // "Run Finish Setup"
    QLabel* StaticText1 = nullptr;
    QLabel* StaticText2 = nullptr;
    QLabel* StaticText4 = nullptr;
    QLineEdit* Edit1 = nullptr;
    QLineEdit* Edit2 = nullptr;
    QLineEdit* Edit3 = nullptr;

    QGroupBox* GroupBox5 = nullptr;  // "Speed"
    QWidget* iSwitchSlider1 = nullptr;

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
    QWidget* iLedRound1 = nullptr;

    QGroupBox* GroupBox8 = nullptr;  // "Volt vs Current Test"
    QLabel* StaticText5 = nullptr;
    QLineEdit* Edit6 = nullptr;
    QLabel* StaticText7 = nullptr;
    QLineEdit* Edit7 = nullptr;
    QPushButton* Button10 = nullptr;

    QMenu* File1 = nullptr;
    QAction* Exit1 = nullptr;
    QAction* About1 = nullptr;

    // Window life cycle
    void FormCreate();
    void FormResize();
    void Exit1Click();
    void About1Click();
    void iSevenSegmentAnalog1DblClick();
    void Edit5Change();

    // The design sizes: outer 1024 x 665, client 1016 x 611; the chart is the outer size
    // less 367 x 272.
    static constexpr QSize MinimumOuterSize{1024, 665};
    static constexpr QSize DesignClientSize{1016, 611};
    static constexpr QSize ChartMargin{367, 272};

protected:
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void createControls();
    void connectNumberCheck(QLineEdit* edit);
    void updateMinimumSize();

    QStringList arguments_;
    AnchorLayout layout_{DesignClientSize};
};

}  // namespace velmar
