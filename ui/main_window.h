#pragma once

#include "controller/controller_state.h"
#include "controller/main_window_controls.h"
#include "ui/form_layout.h"

#include <QMainWindow>

#include <memory>

class QAction;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;

namespace velmar {

class Controller;
class TForm2;

// The main window: every operator control, laid out as designed, with the window's own life
// cycle (create, resize, close, menu) and the number check of the entry fields. What the
// buttons do belongs to the controller.
class TForm1 : public QMainWindow, public MainWindowControls {
    Q_OBJECT
public:
    // `arguments`: the command line without the program name (for DEBUG).
    explicit TForm1(const QStringList& arguments = {}, QWidget* parent = nullptr);
    ~TForm1() override;

    // The About window, created after this one by the application entry.
    void setAboutWindow(TForm2* form2);

    ControllerState state;
    TForm2* Form2Window = nullptr;
    // Created with the window; its routines are what the controls do.
    std::unique_ptr<Controller> controller;

    QMenu* File1 = nullptr;
    QAction* Exit1 = nullptr;
    QAction* About1 = nullptr;

    // Window life cycle
    void FormCreate();
    void FormResize();
    void Exit1Click();
    void About1Click();
    void iSevenSegmentAnalog1DblClick();

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
    void applyStoredConfiguration();
    void connectNumberCheck(QLineEdit* edit);
    void updateMinimumSize();

    QStringList arguments_;
    AnchorLayout layout_{DesignClientSize};
};

}  // namespace velmar
