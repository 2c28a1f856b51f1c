#pragma once

#include "controller/controller_state.h"
#include "controller/main_window_controls.h"
#include "ui/form_layout.h"
#include "ui/keyboard_access.h"

#include <QMainWindow>

#include <functional>
#include <memory>

class QAction;
class QLineEdit;
class QMenu;

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

    // Holds the status line and its button, in the band under the chart.
    QWidget* statusBand = nullptr;
    QMenu* File1 = nullptr;
    QAction* ExportChartData1 = nullptr;
    QAction* OpenRecordsFolder1 = nullptr;
    QAction* Exit1 = nullptr;
    QAction* About1 = nullptr;

    // Window life cycle
    void FormCreate();
    void FormResize();
    void ExportChartData1Click();
    void OpenRecordsFolder1Click();
    void Exit1Click();
    void About1Click();
    void iSevenSegmentAnalog1DblClick();
    // Asked from outside to end (SIGTERM, SIGINT, SIGHUP): closes as the window's close does,
    // but switches the instrument off at once, takes every dialog as answered and lets a run
    // or test wind down without sending more, so the program is gone within moments whatever
    // step it was in. Should anything still hold the way out after SignalCloseLimitMs, the
    // process ends then (`endProcess`, status 1).
    void closeForSignal(int signal);
    static constexpr int SignalCloseLimitMs = 4000;
    std::function<void(int status)> endProcess;

    // The design sizes: outer 1024 x 665 at 323, 229, client 1016 x 611; the chart is the
    // outer size less 367 x 272.
    static constexpr QPoint DesignPosition{323, 229};
    static constexpr QSize MinimumOuterSize{1024, 665};
    static constexpr QSize DesignClientSize{1016, 611};
    static constexpr QSize ChartMargin{367, 272};

    // The window's normal (not maximised) outer rectangle: the design's, moved as little as
    // needed to lie on `workArea` (to its top left corner where it is the larger).
    static QRect NormalOuterGeometry(QRect workArea);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

public:
    // The close has ended: wound down, saved, "X" sent; the window then closes.
    bool closeFinished() const { return closeFinished_; }

private:
    void createControls();
    void describeControls();
    void applyStoredConfiguration();
    void connectNumberCheck(QLineEdit* edit);
    void followFrame();
    void applyNormalGeometry();
    void placeStatusBand();

    QStringList arguments_;
    AnchorLayout layout_{DesignClientSize};
    KeyboardReach reach_;
    // The frame extents last seen; the minimum client size is computed from them.
    QMargins frame_;
    // The normal geometry is still the work-area fill of creation (the window manager keeps it
    // as the geometry to restore); the first restore replaces it with the design's.
    bool normalIsFill_ = false;
    // The design's outer rectangle was asked for at the restore; the next change of frame
    // (to that of a normal window) asks again with it.
    bool normalPending_ = false;
    QRect normalTarget_;
    // The controller's close is on its way; once it has ended without an error the window
    // may close.
    bool closing_ = false;
    bool closeFinished_ = false;
    void signalCloseLimitReached();
};

}  // namespace velmar
