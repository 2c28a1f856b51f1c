#include "ui/main_window.h"

#include "controller/controller.h"
#include "device/d2xx/d2xx.h"
#include "platform/log.h"
#include "platform/named_colours.h"
#include "platform/platform_services.h"
#include "timers/tithreadtimers.h"
#include "ui/about_window.h"
#include "ui/command_line.h"
#include "ui/form1_configuration.h"
#include "ui/validate_number.h"
#include "ui/window_frame.h"
#include "widgets/dials/tiangulargauge.h"
#include "widgets/dials/tiknob.h"
#include "widgets/displays/tiledround.h"
#include "widgets/dials/tilineargauge.h"
#include "widgets/plot/plot_toolbar.h"
#include "widgets/plot/tiplot.h"
#include "widgets/displays/tisevensegmentanalog.h"
#include "widgets/dials/tiswitchslider.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDialog>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QWindowStateChangeEvent>
#include <QScreen>
#include <QShortcut>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <functional>

namespace velmar {
namespace {

// Calls `follow` whenever the watched widget is moved or resized.
class GeometryFollower : public QObject {
public:
    GeometryFollower(QObject* parent, std::function<void()> follow) : QObject(parent), follow_(std::move(follow)) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Resize || event->type() == QEvent::Move)
            follow_();
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void()> follow_;
};

QFont windowFont()
{
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPixelSize(11);
    return font;
}

template <typename W>
W* named(W* widget, const char* name, QRect rect)
{
    widget->setObjectName(QString::fromLatin1(name));
    widget->setGeometry(rect);
    return widget;
}

QPushButton* button(QWidget* parent, const char* name, QRect rect, const QString& caption,
                    const QString& hint = {})
{
    auto* b = named(new QPushButton(caption, parent), name, rect);
    // Hints are kept with the buttons but the window never shows them.
    b->setProperty("hint", hint);
    return b;
}

QLabel* label(QWidget* parent, const char* name, QRect rect, const QString& text, bool visible = true)
{
    auto* l = named(new QLabel(text, parent), name, rect);
    l->setVisible(visible);
    return l;
}

QLineEdit* edit(QWidget* parent, const char* name, QRect rect, const QString& text)
{
    return named(new QLineEdit(text, parent), name, rect);
}

QGroupBox* groupBox(QWidget* parent, const char* name, const QString& caption)
{
    auto* g = new QGroupBox(caption, parent);
    g->setObjectName(QString::fromLatin1(name));
    return g;
}

}  // namespace

TForm1::TForm1(const QStringList& arguments, QWidget* parent)
    : QMainWindow(parent),
      endProcess([](int status) {
          std::fflush(nullptr);
          std::_Exit(status);
      }),
      arguments_(arguments)
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Velmar Software for the Kestrom"));
    setFont(windowFont());
    // The window keeps the colours it was designed in ("button face", "window text") under
    // any desktop scheme: a dark one would otherwise put the navy position readout on dark grey.
    setPalette(designPalette());
    createControls();

    iThreadTimers1 = new TiThreadTimers(this);
    iThreadTimers1->setObjectName(QStringLiteral("iThreadTimers1"));

    // The controller's handlers are bound before the widgets take their stored configuration,
    // so they see the events that loading raises (the gauge's pointers), as they always have.
    controller = std::make_unique<Controller>(state, *this);
    controller->connectControls();
    applyStoredConfiguration();
    // The chart's own Save and Print buttons answer the desktop's keys for them.
    if (TiPlotToolBarWidget* bar = iPlot1->toolBarWidget()) {
        bar->action(TiPlotToolBar::Save)->setShortcut(QKeySequence::Save);
        bar->action(TiPlotToolBar::Print)->setShortcut(QKeySequence::Print);
    }

    setGeometry(QRect(DesignPosition, MinimumOuterSize));
    setMinimumSize(MinimumOuterSize);
    new FrameExtentsWatch(this, [this] { followFrame(); });
    FormCreate();
}

TForm1::~TForm1() = default;

void TForm1::createControls()
{
    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("client"));
    setCentralWidget(client);

    // The '&' marks a mnemonic: the menu draws the same words, the letter underlined where the
    // style shows mnemonics, and Alt+letter opens or chooses the entry.
    File1 = menuBar()->addMenu(QStringLiteral("&File"));
    File1->setObjectName(QStringLiteral("File1"));
    ExportChartData1 = File1->addAction(QStringLiteral("&Export Chart Data..."));
    ExportChartData1->setObjectName(QStringLiteral("ExportChartData1"));
    OpenRecordsFolder1 = File1->addAction(QStringLiteral("&Open Records Folder"));
    OpenRecordsFolder1->setObjectName(QStringLiteral("OpenRecordsFolder1"));
    File1->addSeparator();
    Exit1 = File1->addAction(QStringLiteral("E&xit"));
    Exit1->setObjectName(QStringLiteral("Exit1"));
    // The desktop's quit key; Ctrl+Q where the desktop names none.
    QList<QKeySequence> quit = QKeySequence::keyBindings(QKeySequence::Quit);
    if (quit.isEmpty())
        quit << QKeySequence(Qt::CTRL | Qt::Key_Q);
    Exit1->setShortcuts(quit);
    About1 = menuBar()->addAction(QStringLiteral("&About"));
    About1->setObjectName(QStringLiteral("About1"));
    // F10 opens the menu bar's first menu, as on the desktops the operators come from.
    auto* menuKey = new QShortcut(QKeySequence(Qt::Key_F10), this);
    menuKey->setObjectName(QStringLiteral("menuKey"));
    connect(menuKey, &QShortcut::activated, this, [this] { menuBar()->setActiveAction(File1->menuAction()); });
    connect(ExportChartData1, &QAction::triggered, this, &TForm1::ExportChartData1Click);
    connect(OpenRecordsFolder1, &QAction::triggered, this, &TForm1::OpenRecordsFolder1Click);
    connect(Exit1, &QAction::triggered, this, &TForm1::Exit1Click);
    connect(About1, &QAction::triggered, this, &TForm1::About1Click);

    const int leftTop = AnchorLeft | AnchorTop;
    const int leftBottom = AnchorLeft | AnchorBottom;
    const int rightTop = AnchorRight | AnchorTop;

    iPlot1 = named(new TiPlot(client), "iPlot1", {8, 0, 657, 401});
    layout_.add(iPlot1, {8, 0, 657, 401}, leftTop);

    // Power
    GroupBox1 = groupBox(client, "GroupBox1", QStringLiteral("Power"));
    layout_.add(GroupBox1, {608, 432, 233, 177}, leftBottom);
    iKnob1 = named(new TiKnob(GroupBox1), "iKnob1", {8, 16, 137, 105});
    iSwitchSlider2 = named(new TiSwitchSlider(GroupBox1), "iSwitchSlider2", {152, 24, 65, 89});
    Button6 = button(GroupBox1, "Button6", {24, 128, 169, 41}, QStringLiteral("Set Power and Zero Current"));

    Button5 = button(client, "Button5", {704, 512, 41, 17}, QStringLiteral("Button5"));
    Button5->setVisible(false);
    layout_.add(Button5, {704, 512, 41, 17}, leftTop);

    // Hidden diagnostic labels
    Label1 = label(client, "Label1", {696, 472, 32, 13}, QStringLiteral("Label1"), false);
    Label2 = label(client, "Label2", {696, 488, 32, 13}, QStringLiteral("Label2"), false);
    Label4 = label(client, "Label4", {768, 576, 32, 13}, QStringLiteral("Label4"), false);
    Label6 = label(client, "Label6", {160, 408, 89, 13}, QStringLiteral("Label6"), false);
    Label7 = label(client, "Label7", {768, 448, 32, 13}, QStringLiteral("Label7"), false);
    Label8 = label(client, "Label8", {768, 472, 32, 13}, QStringLiteral("Label8"), false);
    Label9 = label(client, "Label9", {768, 504, 32, 13}, QStringLiteral("Label9"), false);
    Label10 = label(client, "Label10", {768, 536, 38, 13}, QStringLiteral("Label10"), false);
    Label11 = label(client, "Label11", {768, 560, 38, 13}, QStringLiteral("Label11"), false);
    Label12 = label(client, "Label12", {280, 408, 38, 13}, QStringLiteral("Label12"), false);
    for (QLabel* l : {Label1, Label2, Label4, Label7, Label8, Label9, Label10, Label11})
        layout_.add(l, l->geometry(), leftTop);
    layout_.add(Label6, Label6->geometry(), leftBottom);
    layout_.add(Label12, Label12->geometry(), leftBottom);

    // Position (in mm)
    GroupBox2 = groupBox(client, "GroupBox2", QStringLiteral("Position (in mm)"));
    layout_.add(GroupBox2, {856, 0, 153, 609}, rightTop);
    Button1 = button(GroupBox2, "Button1", {8, 24, 65, 41}, QStringLiteral("Top"),
                     QStringLiteral("Move to the Top and rezero"));
    Button2 = button(GroupBox2, "Button2", {8, 80, 65, 41}, QStringLiteral("Home"),
                     QStringLiteral("Move to the Home position"));
    Button7 = button(GroupBox2, "Button7", {8, 136, 65, 41}, QStringLiteral("End Polish"),
                     QStringLiteral("Move to the lower polish position"));
    Button3 = button(GroupBox2, "Button3", {8, 400, 65, 41}, QStringLiteral("Electrolyte"),
                     QStringLiteral("Move to the Electrolyte Position"));
    iLinearGauge1 = named(new TiLinearGauge(GroupBox2), "iLinearGauge1", {80, 24, 57, 545});
    Label5 = label(GroupBox2, "Label5", {83, 579, 38, 22}, QStringLiteral("0.00"));
    {
        QFont font(QStringLiteral("Arial"));
        font.setPixelSize(19);
        font.setBold(true);
        Label5->setFont(font);
        Label5->setStyleSheet(QStringLiteral("color: %1").arg(colours::Red.name()));
    }
    Label3 = label(GroupBox2, "Label3", {17, 492, 32, 13}, QStringLiteral("Label3"), false);

    // Current
    GroupBox3 = groupBox(client, "GroupBox3", QStringLiteral("Current"));
    layout_.add(GroupBox3, {672, 0, 169, 161}, rightTop);
    iAngularGauge1 = named(new TiAngularGauge(GroupBox3), "iAngularGauge1", {8, 16, 161, 97});
    iSevenSegmentAnalog1 =
        named(new TiSevenSegmentAnalog(GroupBox3), "iSevenSegmentAnalog1", {16, 120, 140, 36});

    // Run Finish Setup
    GroupBox4 = groupBox(client, "GroupBox4", QStringLiteral("Run Finish Setup"));
    GroupBox4->setFont(windowFont());
    layout_.add(GroupBox4, {8, 432, 193, 177}, leftBottom);
    StaticText1 = label(GroupBox4, "StaticText1", {8, 32, 78, 17}, QStringLiteral("Number Cycles:"));
    StaticText2 = label(GroupBox4, "StaticText2", {8, 80, 85, 17}, QStringLiteral("Minimum Current:"));
    StaticText4 = label(GroupBox4, "StaticText4", {24, 128, 68, 17}, QStringLiteral("Total Charge:"));
    Edit1 = edit(GroupBox4, "Edit1", {104, 32, 73, 21}, {});
    Edit2 = edit(GroupBox4, "Edit2", {104, 80, 73, 21}, {});
    Edit3 = edit(GroupBox4, "Edit3", {104, 128, 73, 21}, {});

    // Speed
    GroupBox5 = groupBox(client, "GroupBox5", QStringLiteral("Speed"));
    layout_.add(GroupBox5, {216, 432, 161, 177}, leftBottom);
    iSwitchSlider1 = named(new TiSwitchSlider(GroupBox5), "iSwitchSlider1", {24, 16, 105, 145});

    // Polish Run
    GroupBox6 = groupBox(client, "GroupBox6", QStringLiteral("Polish Run"));
    layout_.add(GroupBox6, {392, 432, 201, 177}, leftBottom);
    StaticText6 = label(GroupBox6, "StaticText6", {16, 16, 108, 17}, QStringLiteral("Cycles per Electrolyte:"));
    Edit4 = edit(GroupBox6, "Edit4", {128, 16, 41, 21}, QStringLiteral("10"));
    Edit5 = edit(GroupBox6, "Edit5", {16, 40, 169, 21}, QStringLiteral("Title"));
    Button13 = button(GroupBox6, "Button13", {48, 72, 97, 33}, QStringLiteral("Clear Chart"));
    BitBtn1 = button(GroupBox6, "BitBtn1", {48, 112, 97, 57}, QStringLiteral("Run"));
    // Lies beyond the box's right edge, so the box clips it away.
    Button4 = button(GroupBox6, "Button4", {238, 16, 75, 49}, QStringLiteral("Run"));
    CheckBox1 = named(new QCheckBox(QStringLiteral("Zero Current"), GroupBox6), "CheckBox1", {152, 160, 81, 17});
    CheckBox1->setVisible(false);

    // Manual Mode
    GroupBox7 = groupBox(client, "GroupBox7", QStringLiteral("Manual Mode"));
    layout_.add(GroupBox7, {672, 176, 169, 129}, rightTop);
    Button11 = button(GroupBox7, "Button11", {8, 24, 73, 41}, QStringLiteral("Power On"));
    Button9 = button(GroupBox7, "Button9", {8, 80, 73, 41}, QStringLiteral("Relay On"));
    Button8 = button(GroupBox7, "Button8", {88, 80, 65, 41}, QStringLiteral("Chart On"));
    StaticText3 = label(GroupBox7, "StaticText3", {112, 16, 41, 20}, QStringLiteral("Polish"));
    {
        QFont font = windowFont();
        font.setPixelSize(13);
        StaticText3->setFont(font);
    }
    iLedRound1 = named(new TiLedRound(GroupBox7), "iLedRound1", {112, 40, 33, 33});

    // Volt vs Current Test
    GroupBox8 = groupBox(client, "GroupBox8", QStringLiteral("Volt vs Current Test"));
    layout_.add(GroupBox8, {672, 320, 169, 89}, rightTop);
    StaticText5 = label(GroupBox8, "StaticText5", {8, 24, 24, 17}, QStringLiteral("Min:"));
    Edit6 = edit(GroupBox8, "Edit6", {32, 24, 33, 21}, QStringLiteral("4"));
    StaticText7 = label(GroupBox8, "StaticText7", {88, 24, 27, 17}, QStringLiteral("Max:"));
    Edit7 = edit(GroupBox8, "Edit7", {120, 24, 33, 21}, QStringLiteral("55"));
    Button10 = button(GroupBox8, "Button10", {48, 56, 73, 25}, QStringLiteral("Start Test"));

    // The status line and its button live in the band between the chart and the lower groups,
    // which no designed control uses; placeStatusBand() fits them in at every size.
    statusBand = new QWidget(client);
    statusBand->setObjectName(QStringLiteral("statusBand"));
    statusLine = new QLabel(QStringLiteral("Homing..."), statusBand);
    statusLine->setObjectName(QStringLiteral("statusLine"));
    useSuggestedVoltage = new QPushButton(QStringLiteral("Use Suggested Voltage"), statusBand);
    useSuggestedVoltage->setObjectName(QStringLiteral("useSuggestedVoltage"));
    useSuggestedVoltage->setVisible(false);
    {
        auto* row = new QHBoxLayout(statusBand);
        row->setContentsMargins(4, 0, 0, 0);
        row->addWidget(statusLine, 1);
        row->addWidget(useSuggestedVoltage);
    }
    // The band follows the chart wherever it goes: a frame that changes after a restore or a
    // maximise resizes the chart without resizing the window.
    iPlot1->installEventFilter(new GeometryFollower(iPlot1, [this] { placeStatusBand(); }));

    // Tab follows the groups as they are read on screen: row by row from the top, left to right
    // (the chart, "Current", "Position (in mm)"; "Manual Mode"; "Volt vs Current Test"; the
    // status line; the lower row), and inside each group its controls in the same order.
    QWidget* order[] = {iPlot1,   Button1, Button2,  Button7,  Button3, Button11,
                        Button9,  Button8, Edit6,    Edit7,    Button10, useSuggestedVoltage,
                        Edit1,    Edit2,   Edit3,    iSwitchSlider1, Edit4, Edit5,
                        Button13, BitBtn1, iKnob1,   iSwitchSlider2, Button6};
    for (size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);
    // A control its group box clips away (the motion group's "Run") must not act on a key
    // nobody can see it take. Judged at the design size, the least the window shows.
    client->resize(DesignClientSize);
    reach_.keepOut(client);
    describeControls();

    for (QLineEdit* e : {Edit1, Edit2, Edit3, Edit4, Edit6, Edit7})
        connectNumberCheck(e);
    connect(iSevenSegmentAnalog1, &TiSevenSegmentAnalog::OnDblClick, this, &TForm1::iSevenSegmentAnalog1DblClick);

    // The window opens with the focus on the chart, where no key moves anything.
    iPlot1->setFocus(Qt::OtherFocusReason);

    // Labels size themselves to their captions (all but Label6), growing to the right; our
    // fonts are a little wider than the ones the window was drawn with.
    for (QLabel* l : client->findChildren<QLabel*>()) {
        if (l != Label6 && l->sizeHint().width() > l->width())
            l->resize(l->sizeHint().width(), l->height());
    }
    // The position readout's caption changes with every move: room up to the box's edge.
    Label5->resize(GroupBox2->width() - Label5->x() - 4, Label5->height());
}

void TForm1::describeControls()
{
    // Names for controls without a caption of their own, and a line on what each does (the
    // stored hint where a button has one). Buttons, check boxes and labels are named by
    // their captions already.
    struct Description {
        QWidget* control;
        const char* name;
        const char* description;
    };
    const Description descriptions[] = {
        {iPlot1, "Chart", "Current of the run, the test or the manual chart"},
        {iAngularGauge1, "Current meter", "Polishing current in mA"},
        {iSevenSegmentAnalog1, "Current readout", "Polishing current in mA"},
        {Label5, nullptr, "Position in mm"},
        {iLinearGauge1, "Position gauge",
         "Present position and the Home, End Polish and Electrolyte pointers, in mm"},
        {Button11, nullptr, "Switches the supply output on or off"},
        {Button9, nullptr, "Switches the relay on or off"},
        {Button8, nullptr, "Charts the current against time"},
        {iLedRound1, "Polish", "Lit while polishing current flows"},
        {Edit6, "Min", "Lowest voltage of the test"},
        {Edit7, "Max", "Highest voltage of the test"},
        {Button10, nullptr, "Steps the voltage from Min to Max and charts the current"},
        {useSuggestedVoltage, nullptr, "Sets the knob to the voltage the last test suggests"},
        {Edit1, "Number Cycles", "The run stops after this many cycles"},
        {Edit2, "Minimum Current", "The run stops when the current falls below this, in mA"},
        {Edit3, "Total Charge", "The run stops when the summed current reaches this"},
        {iSwitchSlider1, "Speed", "Stroke speed of a run: Low, Medium or Normal"},
        {Edit4, "Cycles per Electrolyte", "Strokes between two dips into the electrolyte"},
        {Edit5, "Chart title", "Title of the chart"},
        {Button13, nullptr, "Clears the chart"},
        {BitBtn1, nullptr, "Starts or stops a polish run"},
        {Button4, nullptr, "Rocks the axis down and up"},
        {iKnob1, "Voltage", "Supply voltage set-point, 4 to 55 V"},
        {iSwitchSlider2, "Output", "AC or DC output"},
        {Button6, nullptr, "Sends the voltage and mode and takes the present current as zero"},
    };
    for (const Description& d : descriptions) {
        if (d.name)
            d.control->setAccessibleName(QString::fromLatin1(d.name));
        d.control->setAccessibleDescription(QString::fromLatin1(d.description));
    }
    for (QPushButton* b : centralWidget()->findChildren<QPushButton*>()) {
        const QString hint = b->property("hint").toString();
        if (!hint.isEmpty())
            b->setAccessibleDescription(hint);
    }
    setAccessibleRole(iPlot1, QAccessible::Chart);
    setAccessibleRole(iAngularGauge1, QAccessible::Indicator);
    setAccessibleRole(iSevenSegmentAnalog1, QAccessible::Indicator);
    setAccessibleRole(iLedRound1, QAccessible::Indicator);
    setAccessibleRole(iLinearGauge1, QAccessible::Slider);
    setAccessibleRole(iKnob1, QAccessible::Dial);
    setAccessibleRole(iSwitchSlider1, QAccessible::Slider);
    setAccessibleRole(iSwitchSlider2, QAccessible::Slider);
}

void TForm1::applyStoredConfiguration()
{
    configurePlot1(*iPlot1);
    configureKnob1(*iKnob1);
    configureSwitchSlider2(*iSwitchSlider2);
    configureLinearGauge1(*iLinearGauge1);
    configureAngularGauge1(*iAngularGauge1);
    configureSevenSegmentAnalog1(*iSevenSegmentAnalog1);
    configureSwitchSlider1(*iSwitchSlider1);
    configureLedRound1(*iLedRound1);
}

void TForm1::setAboutWindow(TForm2* form2)
{
    Form2Window = form2;
    Form2 = form2;
    Form2Button1 = form2 ? form2->Button1 : nullptr;
    Form2Button2 = form2 ? form2->Button2 : nullptr;
}

void TForm1::connectNumberCheck(QLineEdit* edit)
{
    // Fires on every change, typed or programmatic; emptying the field fires it once more
    // with an empty text, which passes quietly.
    connect(edit, &QLineEdit::textChanged, this, [edit](const QString& text) {
        if (!ValidateNumber(text))
            edit->setText(QString());
    });
}

void TForm1::FormCreate()
{
    // A desktop without a window manager ignores the maximise request; filling the work area
    // gives the same window there. A window manager keeps this as the geometry to restore to,
    // which the first restore then replaces with the design's.
    setGeometry(platform().workArea());
    normalIsFill_ = true;
    setWindowState(windowState() | Qt::WindowMaximized);
    iThreadTimers1->setEnabled(StartUpSequence::StartUpTimer, true);
    // "DEBUG" in first place, exactly so, or --debug anywhere.
    state.DebugMode = ParseCommandLine(arguments_).debug;
    if (state.DebugMode) {
        Label12->setVisible(true);
        Label6->setVisible(true);
    }
}

void TForm1::FormResize()
{
    const QSize outer = size().grownBy(frameExtents(*this));
    const QRect chart = iPlot1->geometry();
    iPlot1->setGeometry(chart.x(), chart.y(), outer.width() - ChartMargin.width(),
                        outer.height() - ChartMargin.height());
}

void TForm1::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    if (QWidget* client = centralWidget())
        layout_.apply(client->size());
    FormResize();
    followFrame();
    placeStatusBand();
    reach_.follow();
}

void TForm1::moveEvent(QMoveEvent* event)
{
    QMainWindow::moveEvent(event);
    followFrame();
}

void TForm1::placeStatusBand()
{
    QVector<QRect> below;
    for (QWidget* control : {static_cast<QWidget*>(GroupBox1), static_cast<QWidget*>(GroupBox4), static_cast<QWidget*>(GroupBox5),
                             static_cast<QWidget*>(GroupBox6), static_cast<QWidget*>(Label6), static_cast<QWidget*>(Label12)})
        if (!control->isHidden())
            below << control->geometry();
    const int lineHeight = std::max(statusLine->sizeHint().height(), useSuggestedVoltage->sizeHint().height());
    statusBand->setGeometry(AnchorLayout::statusBand(iPlot1->geometry(), below, lineHeight));
}

void TForm1::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    followFrame();
}

void TForm1::changeEvent(QEvent* event)
{
    QMainWindow::changeEvent(event);
    if (event->type() != QEvent::WindowStateChange)
        return;
    const Qt::WindowStates was = static_cast<QWindowStateChangeEvent*>(event)->oldState();
    const Qt::WindowStates is = windowState();
    if (is & (Qt::WindowMaximized | Qt::WindowFullScreen))
        normalPending_ = false;
    else if ((was & Qt::WindowMaximized) && !(is & Qt::WindowMinimized) && normalIsFill_) {
        normalIsFill_ = false;
        applyNormalGeometry();
    }
    followFrame();
}

QRect TForm1::NormalOuterGeometry(QRect workArea)
{
    QRect outer(DesignPosition, MinimumOuterSize);
    outer.moveRight(std::min(outer.right(), workArea.right()));
    outer.moveBottom(std::min(outer.bottom(), workArea.bottom()));
    outer.moveLeft(std::max(outer.left(), workArea.left()));
    outer.moveTop(std::max(outer.top(), workArea.top()));
    return outer;
}

void TForm1::applyNormalGeometry()
{
    followFrame();
    normalTarget_ = NormalOuterGeometry(platform().workArea());
    normalPending_ = true;
    setGeometry(normalTarget_.marginsRemoved(frame_));
}

// Runs after anything that can change the frame: mapping, maximising and restoring (a window
// manager often draws a maximised window with a thinner frame), a change of theme.
void TForm1::followFrame()
{
    const QMargins frame = frameExtents(*this);
    if (frame == frame_)
        return;
    frame_ = frame;
    // The minimum is an outer size; Qt's minimum excludes the frame the window manager adds.
    setMinimumSize(MinimumOuterSize.shrunkBy(frame));
    FormResize();
    // The restore is often announced before the frame of a normal window arrives: the
    // design's outer rectangle is placed again with that frame.
    if (normalPending_ && !(windowState() & (Qt::WindowMaximized | Qt::WindowMinimized | Qt::WindowFullScreen))) {
        normalPending_ = false;
        setGeometry(normalTarget_.marginsRemoved(frame_));
    }
}

void TForm1::closeEvent(QCloseEvent* event)
{
    // Refused until the controller has wound down what runs, saved and said goodbye; then the
    // window closes. A failed save goes to the application's error dialog and leaves the
    // window open, "X" unsent. Ending the application (File > Exit, a lost link) is not a
    // close: nothing saved, no "X".
    if (closeFinished_ || platform().terminating()) {
        event->accept();
        return;
    }
    event->ignore();
    if (closing_)
        return;
    closing_ = true;
    controller->routines.launch(controller->FormClose(), [this](std::exception_ptr error) {
        closing_ = false;
        if (error) {
            reportRoutineError(error);
            return;
        }
        closeFinished_ = true;
        // From the event loop: this runs inside the close routine's last step.
        QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
    });
}

void TForm1::ExportChartData1Click() { controller->records.exportChartData(); }

void TForm1::OpenRecordsFolder1Click() { controller->records.openRecordsFolder(); }

void TForm1::Exit1Click()
{
    // Ends the message loop without passing through the close: nothing is saved and no "X"
    // goes out, but a relay or supply left on is switched off first.
    controller->Exit();
}

void TForm1::closeForSignal(int signal)
{
    const bool again = controller->closingForSignal();
    // The instrument is switched off before anything else, whatever dialog is open.
    controller->beginSignalClose(signal);
    if (again)
        return;
    // Nobody may be there to answer a dialog (the session has ended), and one left open
    // would hold the way out for ever: each is taken as answered.
    platform().dismissDialogs();
    QTimer::singleShot(SignalCloseLimitMs, this, [this] { signalCloseLimitReached(); });
    close();
}

void TForm1::signalCloseLimitReached()
{
    // Never in the middle of switching the instrument off.
    if (controller->failSafe.reaching()) {
        QTimer::singleShot(100, this, [this] { signalCloseLimitReached(); });
        return;
    }
    qCCritical(lcRun) << "close abandoned: still not ended" << SignalCloseLimitMs << "ms after the signal; ending now";
    endProcess(1);
}

void TForm1::About1Click()
{
    if (!Form2Window)
        return;
    Form2Window->show();
    Form2Window->raise();
    Form2Window->activateWindow();
}

void TForm1::iSevenSegmentAnalog1DblClick() { Label6->setVisible(Label6->isHidden()); }

}  // namespace velmar
