#include "widgets/plot/plot_toolbar.h"

#include "platform/named_colours.h"
#include "widgets/plot/tiplot.h"

#include <QAction>
#include <QActionGroup>
#include <QEvent>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>

namespace velmar {

namespace {

struct ButtonInfo {
    TiPlotToolBar::Button button;
    const char* hint;
    bool checkable;
    int group;  // separators go between groups
};

constexpr ButtonInfo Buttons[] = {
    {TiPlotToolBar::Resume, "Resume All (Tracking)", false, 0},
    {TiPlotToolBar::Pause, "Pause All (Tracking)", false, 0},
    {TiPlotToolBar::Scroll, "Scroll (Axes)", true, 1},
    {TiPlotToolBar::Zoom, "Zoom (Axes)", true, 1},
    {TiPlotToolBar::ZoomOut, "Zoom Out All Axes", false, 2},
    {TiPlotToolBar::ZoomIn, "Zoom In All Axes", false, 2},
    {TiPlotToolBar::Select, "Select", true, 3},
    {TiPlotToolBar::ZoomBox, "Zoom Box", true, 3},
    {TiPlotToolBar::Cursor, "Cursor", true, 3},
    {TiPlotToolBar::Edit, "Properties", false, 4},
    {TiPlotToolBar::Copy, "Copy to Clipboard", false, 5},
    {TiPlotToolBar::Save, "Save to File", false, 5},
    {TiPlotToolBar::Print, "Print", false, 5},
    {TiPlotToolBar::Preview, "Preview", false, 5},
};

void magnifier(QPainter& p, double s, const char* sign)
{
    p.setPen(QPen(colours::Black, s / 12));
    p.setBrush(QColor(220, 235, 255));
    p.drawEllipse(QRectF(s * 0.1, s * 0.1, s * 0.55, s * 0.55));
    p.setPen(QPen(colours::Black, s / 7, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(s * 0.6, s * 0.6), QPointF(s * 0.9, s * 0.9));
    p.setPen(QPen(colours::Black, s / 12));
    const QPointF c(s * 0.375, s * 0.375);
    if (sign[0] == '-' || sign[0] == '+')
        p.drawLine(c - QPointF(s * 0.15, 0), c + QPointF(s * 0.15, 0));
    if (sign[0] == '+')
        p.drawLine(c - QPointF(0, s * 0.15), c + QPointF(0, s * 0.15));
}

}  // namespace

QIcon toolBarGlyph(TiPlotToolBar::Button button, int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const double s = size;
    const QColor ink(30, 30, 30);
    switch (button) {
    case TiPlotToolBar::Resume: {
        p.setBrush(QColor(0, 150, 0));
        p.setPen(Qt::NoPen);
        QPolygonF play{{s * 0.25, s * 0.15}, {s * 0.85, s * 0.5}, {s * 0.25, s * 0.85}};
        p.drawPolygon(play);
        break;
    }
    case TiPlotToolBar::Pause:
        p.fillRect(QRectF(s * 0.25, s * 0.15, s * 0.18, s * 0.7), QColor(180, 0, 0));
        p.fillRect(QRectF(s * 0.57, s * 0.15, s * 0.18, s * 0.7), QColor(180, 0, 0));
        break;
    case TiPlotToolBar::Scroll: {
        p.setPen(QPen(ink, s / 12));
        p.drawLine(QPointF(s * 0.1, s * 0.5), QPointF(s * 0.9, s * 0.5));
        p.drawLine(QPointF(s * 0.5, s * 0.1), QPointF(s * 0.5, s * 0.9));
        p.setBrush(ink);
        const double a = s * 0.15;
        p.drawPolygon(QPolygonF{{s * 0.05, s * 0.5}, {s * 0.05 + a, s * 0.5 - a}, {s * 0.05 + a, s * 0.5 + a}});
        p.drawPolygon(QPolygonF{{s * 0.95, s * 0.5}, {s * 0.95 - a, s * 0.5 - a}, {s * 0.95 - a, s * 0.5 + a}});
        p.drawPolygon(QPolygonF{{s * 0.5, s * 0.05}, {s * 0.5 - a, s * 0.05 + a}, {s * 0.5 + a, s * 0.05 + a}});
        p.drawPolygon(QPolygonF{{s * 0.5, s * 0.95}, {s * 0.5 - a, s * 0.95 - a}, {s * 0.5 + a, s * 0.95 - a}});
        break;
    }
    case TiPlotToolBar::Zoom:
        magnifier(p, s, " ");
        break;
    case TiPlotToolBar::ZoomOut:
        magnifier(p, s, "-");
        break;
    case TiPlotToolBar::ZoomIn:
        magnifier(p, s, "+");
        break;
    case TiPlotToolBar::Select: {
        p.setBrush(colours::White);
        p.setPen(QPen(ink, s / 16));
        p.drawPolygon(QPolygonF{{s * 0.25, s * 0.1}, {s * 0.25, s * 0.8}, {s * 0.42, s * 0.63}, {s * 0.6, s * 0.9}, {s * 0.7, s * 0.83}, {s * 0.53, s * 0.58}, {s * 0.75, s * 0.58}});
        break;
    }
    case TiPlotToolBar::ZoomBox:
        p.setPen(QPen(ink, s / 14, Qt::DashLine));
        p.drawRect(QRectF(s * 0.1, s * 0.15, s * 0.6, s * 0.5));
        p.setPen(QPen(ink, s / 10));
        p.drawLine(QPointF(s * 0.55, s * 0.5), QPointF(s * 0.9, s * 0.9));
        break;
    case TiPlotToolBar::Cursor:
        p.setPen(QPen(QColor(200, 0, 0), s / 10));
        p.drawLine(QPointF(s * 0.5, s * 0.05), QPointF(s * 0.5, s * 0.95));
        p.setPen(QPen(ink, s / 14));
        p.drawPolyline(QPolygonF{{s * 0.05, s * 0.8}, {s * 0.3, s * 0.6}, {s * 0.5, s * 0.4}, {s * 0.7, s * 0.5}, {s * 0.95, s * 0.2}});
        break;
    case TiPlotToolBar::Edit:
        p.setPen(QPen(ink, s / 12));
        for (double y : {0.25, 0.5, 0.75})
            p.drawLine(QPointF(s * 0.15, s * y), QPointF(s * 0.85, s * y));
        break;
    case TiPlotToolBar::Copy:
        p.setPen(QPen(ink, s / 14));
        p.setBrush(colours::White);
        p.drawRect(QRectF(s * 0.1, s * 0.1, s * 0.5, s * 0.6));
        p.drawRect(QRectF(s * 0.4, s * 0.3, s * 0.5, s * 0.6));
        break;
    case TiPlotToolBar::Save:
        p.setPen(QPen(ink, s / 14));
        p.setBrush(QColor(60, 90, 170));
        p.drawRect(QRectF(s * 0.1, s * 0.1, s * 0.8, s * 0.8));
        p.setBrush(colours::White);
        p.drawRect(QRectF(s * 0.25, s * 0.1, s * 0.5, s * 0.3));
        p.fillRect(QRectF(s * 0.3, s * 0.6, s * 0.4, s * 0.3), QColor(200, 200, 200));
        break;
    case TiPlotToolBar::Print:
        p.setPen(QPen(ink, s / 14));
        p.setBrush(colours::White);
        p.drawRect(QRectF(s * 0.25, s * 0.08, s * 0.5, s * 0.35));
        p.setBrush(QColor(170, 170, 170));
        p.drawRect(QRectF(s * 0.08, s * 0.4, s * 0.84, s * 0.35));
        p.setBrush(colours::White);
        p.drawRect(QRectF(s * 0.25, s * 0.65, s * 0.5, s * 0.28));
        break;
    case TiPlotToolBar::Preview:
        p.setPen(QPen(ink, s / 14));
        p.setBrush(colours::White);
        p.drawRect(QRectF(s * 0.15, s * 0.05, s * 0.6, s * 0.85));
        magnifier(p, s * 0.7, " ");
        break;
    case TiPlotToolBar::ButtonCount:
        break;
    }
    return QIcon(pixmap);
}

PlotToolBarHints::PlotToolBarHints(TiPlot* plot, QWidget* toolBar)
    : plot_(plot), label_(new QLabel(toolBar, Qt::ToolTip | Qt::BypassGraphicsProxyWidget))
{
    label_->setObjectName(QStringLiteral("hint"));
    // The chart's own hint colours, whatever the desktop's tool tips look like.
    QPalette hintColours = designPalette();
    hintColours.setColor(QPalette::Window, colours::InfoBackground);
    hintColours.setColor(QPalette::WindowText, colours::WindowText);
    label_->setPalette(hintColours);
    label_->setAutoFillBackground(true);
    label_->setFrameStyle(QFrame::Box | QFrame::Plain);
    label_->setMargin(2);
    pause_.setSingleShot(true);
    pause_.setTimerType(Qt::PreciseTimer);
    hidePause_.setSingleShot(true);
    hidePause_.setTimerType(Qt::PreciseTimer);
    connect(&pause_, &QTimer::timeout, this, &PlotToolBarHints::showHint);
    connect(&hidePause_, &QTimer::timeout, this, &PlotToolBarHints::hideHint);
}

void PlotToolBarHints::watch(QWidget* button) { button->installEventFilter(this); }

bool PlotToolBarHints::eventFilter(QObject* watched, QEvent* event)
{
    auto* button = qobject_cast<QWidget*>(watched);
    switch (event->type()) {
    case QEvent::ToolTip:
        return true;  // the hint below replaces Qt's tool tip
    case QEvent::Enter:
        hideHint();
        button_ = button;
        if (plot_->hintsShow())
            pause_.start(plot_->hintsPause());
        break;
    case QEvent::Leave:
    case QEvent::MouseButtonPress:
    case QEvent::Hide:
        if (button == button_) {
            pause_.stop();
            hideHint();
            button_.clear();
        }
        break;
    default:
        break;
    }
    return false;
}

void PlotToolBarHints::showHint()
{
    if (!button_ || !button_->isVisible() || button_->toolTip().isEmpty())
        return;
    label_->setFont(plot_->hintsFont());
    label_->setText(button_->toolTip());
    label_->adjustSize();
    label_->move(button_->mapToGlobal(QPoint(button_->width() / 2, button_->height() + 4)));
    label_->show();
    hidePause_.start(plot_->hintsHidePause());
}

void PlotToolBarHints::hideHint()
{
    hidePause_.stop();
    label_->hide();
}

TiPlotToolBarWidget::TiPlotToolBarWidget(TiPlot* plot, TiPlotToolBar* model)
    : QToolBar(plot), plot_(plot), model_(model), hints_(plot, this)
{
    setMovable(false);
    setFloatable(false);
    setPalette(designPalette());
    const int glyph = model->smallButtons() ? 16 : 24;
    setIconSize(QSize(glyph, glyph));
    auto* axisMode = new QActionGroup(this);
    int lastGroup = -1;
    for (const ButtonInfo& info : Buttons) {
        if (lastGroup >= 0 && info.group != lastGroup)
            separators_.append(addSeparator());
        lastGroup = info.group;
        QAction* action = addAction(toolBarGlyph(info.button, glyph), QString::fromLatin1(info.hint));
        action->setToolTip(QString::fromLatin1(info.hint));
        action->setCheckable(info.checkable);
        action->setObjectName(QString::fromLatin1(info.hint));
        actions_[info.button] = action;
        const auto button = info.button;
        connect(action, &QAction::triggered, this, [this, button](bool checked) { triggered(button, checked); });
        hints_.watch(widgetForAction(action));
    }
    axisMode->addAction(actions_[TiPlotToolBar::Scroll]);
    axisMode->addAction(actions_[TiPlotToolBar::Zoom]);
    actions_[TiPlotToolBar::Scroll]->setChecked(true);
    refresh();
}

void TiPlotToolBarWidget::refresh()
{
    const int glyph = model_->smallButtons() ? 16 : 24;
    setIconSize(QSize(glyph, glyph));
    int separator = 0;
    bool groupShown = false;
    int lastGroup = Buttons[0].group;
    for (const ButtonInfo& info : Buttons) {
        if (info.group != lastGroup) {
            // A separator only follows a group that shows something.
            separators_[separator++]->setVisible(groupShown);
            groupShown = false;
            lastGroup = info.group;
        }
        const bool shown = model_->buttonShown(info.button);
        actions_[info.button]->setVisible(shown);
        groupShown = groupShown || shown;
    }
}

void TiPlotToolBarWidget::release(TiPlotToolBar::Button button)
{
    if (actions_[button]->isChecked())
        actions_[button]->setChecked(false);
}

void TiPlotToolBarWidget::triggered(TiPlotToolBar::Button button, bool checked)
{
    switch (button) {
    case TiPlotToolBar::Resume:
        release(TiPlotToolBar::Cursor);
        release(TiPlotToolBar::Select);
        plot_->setCursorsShown(false);
        plot_->ResumeAll();
        break;
    case TiPlotToolBar::Pause:
        plot_->PauseAll();
        break;
    case TiPlotToolBar::Scroll:
        plot_->setAxisMode(TiPlot::AxisScroll);
        break;
    case TiPlotToolBar::Zoom:
        plot_->setAxisMode(TiPlot::AxisZoom);
        break;
    case TiPlotToolBar::ZoomOut:
        plot_->ZoomOutAll();
        break;
    case TiPlotToolBar::ZoomIn:
        plot_->ZoomInAll();
        break;
    case TiPlotToolBar::Select:
        if (checked)
            release(TiPlotToolBar::ZoomBox);
        plot_->setZoomBoxMode(actions_[TiPlotToolBar::ZoomBox]->isChecked());
        break;
    case TiPlotToolBar::ZoomBox:
        if (checked)
            release(TiPlotToolBar::Select);
        plot_->setZoomBoxMode(checked);
        break;
    case TiPlotToolBar::Cursor:
        plot_->setCursorsShown(checked);
        break;
    case TiPlotToolBar::Edit:
        break;  // no property editor in this program
    case TiPlotToolBar::Copy:
        plot_->CopyToClipBoard();
        break;
    case TiPlotToolBar::Save:
        plot_->SaveImage();
        break;
    case TiPlotToolBar::Print:
        plot_->Print();
        break;
    case TiPlotToolBar::Preview:
        plot_->PrintPreview();
        break;
    case TiPlotToolBar::ButtonCount:
        break;
    }
}

}  // namespace velmar
