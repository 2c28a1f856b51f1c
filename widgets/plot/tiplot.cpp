#include "widgets/plot/tiplot.h"

#include "platform/dialogs.h"
#include "platform/file_save.h"
#include "platform/named_colours.h"
#include "platform/platform_services.h"
#include "widgets/plot/plot_export.h"
#include "widgets/plot/plot_layout.h"
#include "widgets/plot/plot_painter.h"
#include "widgets/plot/plot_toolbar.h"
#include "widgets/property_assign.h"

#include <QApplication>
#include <QClipboard>
#include <QFileInfo>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QWheelEvent>

#include <cmath>

namespace velmar {

namespace {

template <typename T>
T* at(const QVector<T*>& list, int index)
{
    if (index < 0 || index >= list.size())
        throw TiPlotError("Index out of Bounds");
    return list[index];
}

}  // namespace

TiPlot::TiPlot(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(false);
    setFocusPolicy(Qt::ClickFocus);
}

TiPlot::~TiPlot() = default;

template <typename T>
T* TiPlot::adopt(QVector<T*>& list, const QString& baseName)
{
    auto* object = new T(this);
    object->setName(QStringLiteral("%1 %2").arg(baseName).arg(list.size() + 1));
    list.append(object);
    invalidateStatic();
    return object;
}

TiPlotToolBar* TiPlot::AddToolBar()
{
    auto* toolBar = adopt(toolBars_, QStringLiteral("Toolbar"));
    toolBar->setZOrder(5);
    if (!toolBarWidget_) {
        toolBarWidget_ = new TiPlotToolBarWidget(this, toolBar);
        connect(toolBar, &QObject::destroyed, toolBarWidget_, &QObject::deleteLater);
        placeToolBar();
    }
    return toolBar;
}

TiPlotLegend* TiPlot::AddLegend() { return adopt(legends_, QStringLiteral("Legend")); }
TiPlotXAxis* TiPlot::AddXAxis() { return adopt(xAxes_, QStringLiteral("X-Axis")); }
TiPlotYAxis* TiPlot::AddYAxis() { return adopt(yAxes_, QStringLiteral("Y-Axis")); }
TiPlotChannel* TiPlot::AddChannel() { return adopt(channels_, QStringLiteral("Channel")); }
TiPlotDataView* TiPlot::AddDataView() { return adopt(dataViews_, QStringLiteral("Data View")); }
TiPlotDataCursor* TiPlot::AddDataCursor() { return adopt(dataCursors_, QStringLiteral("Cursor")); }
TiPlotLabel* TiPlot::AddLabel()
{
    auto* label = adopt(labels_, labels_.isEmpty() ? QStringLiteral("Title") : QStringLiteral("Label"));
    if (labels_.size() == 1)
        label->setName(QStringLiteral("Title"));
    else
        label->setName(QStringLiteral("Label %1").arg(labels_.size() - 1));
    return label;
}

void TiPlot::DeleteLabel(int index)
{
    at(labels_, index);
    if (index == 0)
        throw TiPlotError("Label Index 0 can not be Deleted (Resevered for Title)");
    delete labels_.takeAt(index);
    invalidateStatic();
}

TiPlotAnnotation* TiPlot::AddAnnotation() { return adopt(annotations_, QStringLiteral("Annotation")); }

void TiPlot::DeleteAnnotation(int index)
{
    delete at(annotations_, index);
    annotations_.removeAt(index);
    invalidateStatic();
}

TiPlotToolBar* TiPlot::ToolBarAt(int index) const { return at(toolBars_, index); }
TiPlotLegend* TiPlot::LegendAt(int index) const { return at(legends_, index); }
TiPlotXAxis* TiPlot::XAxisAt(int index) const { return at(xAxes_, index); }
TiPlotYAxis* TiPlot::YAxisAt(int index) const { return at(yAxes_, index); }
TiPlotChannel* TiPlot::ChannelAt(int index) const { return at(channels_, index); }
TiPlotDataView* TiPlot::DataViewAt(int index) const { return at(dataViews_, index); }
TiPlotDataCursor* TiPlot::DataCursorAt(int index) const { return at(dataCursors_, index); }
TiPlotLabel* TiPlot::LabelAt(int index) const { return at(labels_, index); }
TiPlotAnnotation* TiPlot::AnnotationAt(int index) const { return at(annotations_, index); }

QVector<TiPlotAxis*> TiPlot::axes() const
{
    QVector<TiPlotAxis*> all;
    for (auto* axis : xAxes_)
        all.append(axis);
    for (auto* axis : yAxes_)
        all.append(axis);
    return all;
}

TiPlotAxis* TiPlot::axisByName(const QString& name) const
{
    for (TiPlotAxis* axis : axes())
        if (axis->name().compare(name, Qt::CaseInsensitive) == 0)
            return axis;
    return nullptr;
}

TiPlotChannel* TiPlot::channelByName(const QString& name) const
{
    for (TiPlotChannel* channel : channels_)
        if (channel->name().compare(name, Qt::CaseInsensitive) == 0)
            return channel;
    return nullptr;
}

void TiPlot::axisRenamed(TiPlotAxis* axis, const QString& newName)
{
    for (TiPlotChannel* channel : channels_)
        channel->axisRenamed(axis, newName);
}

void TiPlot::ClearData()
{
    for (TiPlotChannel* channel : channels_)
        channel->Clear();
    for (TiPlotAxis* axis : axes())
        axis->clearFirstValue();
    // What was drawn on the data (a V-I test's plateau) means nothing without it.
    if (!annotations_.isEmpty()) {
        qDeleteAll(annotations_);
        annotations_.clear();
        invalidateStatic();
    }
}

QString TiPlot::titleText() const
{
    return labels_.isEmpty() ? QString() : labels_.first()->caption();
}

void TiPlot::setTitleText(const QString& text)
{
    if (!labels_.isEmpty())
        labels_.first()->setCaption(text);
}

void TiPlot::setDataViewZHorz(int z)
{
    if (assign(dataViewZHorz_, z))
        invalidateStatic();
}

void TiPlot::setDataViewZVert(int z)
{
    if (assign(dataViewZVert_, z))
        invalidateStatic();
}

// --- repaint bookkeeping --------------------------------------------------------------------

void TiPlot::invalidateStatic()
{
    // Called for every tracked point that moves an axis: flags only, the work waits for
    // the next paint.
    staticValid_ = false;
    layoutValid_ = false;
    invalidateData();
}

void TiPlot::invalidateData()
{
    // Thousands of points may arrive between two frames; one request is enough.
    if (!updatePending_) {
        updatePending_ = true;
        update();
    }
}

const PlotLayout& TiPlot::layout() const
{
    if (!layout_)
        layout_ = std::make_unique<PlotLayout>();
    if (!layoutValid_ || layout_->size != size()) {
        *layout_ = layoutPlot(*this, size(), true);
        layoutValid_ = true;
    }
    return *layout_;
}

QRect TiPlot::dataViewRect() const
{
    return layout().dataView;
}

QRect TiPlot::objectRect(const TiPlotObject* object) const
{
    return layout().rects.value(object);
}

void TiPlot::placeToolBar()
{
    if (!toolBarWidget_ || toolBars_.isEmpty())
        return;
    const QRect r = layout().rects.value(toolBars_.first());
    toolBarWidget_->setVisible(toolBars_.first()->visible() && r.isValid());
    if (r.isValid())
        toolBarWidget_->setGeometry(r);
    toolBarWidget_->refresh();
}

void TiPlot::paintEvent(QPaintEvent*)
{
    updatePending_ = false;
    const PlotLayout& l = layout();
    const qreal ratio = devicePixelRatioF();
    if (!staticValid_ || staticLayer_.size() != size() * ratio) {
        staticLayer_ = QPixmap(size() * ratio);
        staticLayer_.setDevicePixelRatio(ratio);
        QPainter p(&staticLayer_);
        paintPlotStatic(p, *this, l);
        staticValid_ = true;
        placeToolBar();
    }
    QPainter p(this);
    p.drawPixmap(0, 0, staticLayer_);
    paintPlotTraces(p, *this, l, reduceTraces_);
    paintPlotCursors(p, *this, l);
    if (zoomBoxDragging_) {
        p.setPen(QPen(colours::Black, 1, Qt::DotLine));
        p.setBrush(Qt::NoBrush);
        p.drawRect(QRect(zoomBoxFrom_, zoomBoxTo_).normalized());
    }
}

void TiPlot::resizeEvent(QResizeEvent*)
{
    invalidateStatic();
    placeToolBar();
}

void TiPlot::renderTo(QPainter& painter, QSize size, bool withToolbar) const
{
    const PlotLayout l = layoutPlot(*this, size, withToolbar);
    paintPlotStatic(painter, *this, l);
    paintPlotTraces(painter, *this, l, reduceTraces_);
    paintPlotCursors(painter, *this, l);
    if (withToolbar && toolBarWidget_ && !toolBars_.isEmpty() && toolBars_.first()->visible()) {
        const QRect r = l.rects.value(toolBars_.first());
        if (r.isValid())
            painter.drawPixmap(r.topLeft(), toolBarWidget_->grab());
    }
    // Ticks are laid out for the picture's size; the screen's next paint lays them out again.
    const_cast<TiPlot*>(this)->invalidateStatic();
}

QImage TiPlot::renderImage(QSize size) const
{
    if (size.isEmpty())
        size = this->size();
    QImage image(size, QImage::Format_RGB32);
    image.fill(background_);
    QPainter p(&image);
    renderTo(p, size, false);
    return image;
}

// --- toolbar actions ----------------------------------------------------------------------

void TiPlot::PauseAll()
{
    for (TiPlotAxis* axis : axes())
        axis->setTrackingEnabled(false);
}

void TiPlot::ResumeAll()
{
    setCursorsShown(false);
    selectedAxis_.clear();
    for (TiPlotAxis* axis : axes())
        axis->setTrackingEnabled(true);
}

void TiPlot::ZoomOutAll() { zoomAll(false); }

void TiPlot::ZoomInAll() { zoomAll(true); }

void TiPlot::zoomAll(bool in)
{
    const double factor = toolBars_.isEmpty() ? 2 : toolBars_.first()->zoomInOutFactor();
    if (!(factor > 0))
        throw TiPlotError("Linear Scale Zoom Factor must be Greater than Zero");
    PauseAll();
    for (TiPlotAxis* axis : axes())
        axis->Zoom(in ? 1 / factor : factor);
}

void TiPlot::ZoomBoxPixels(const QRect& view, QPoint from, QPoint to)
{
    if (!(to.x() > from.x() && to.y() > from.y()))
        return;
    for (TiPlotAxis* axis : xAxes_) {
        const double lo = axis->min() + (from.x() - view.left()) * axis->span() / view.width();
        const double hi = axis->min() + (to.x() - view.left()) * axis->span() / view.width();
        axis->SetMinSpan(lo, hi - lo);
    }
    for (TiPlotAxis* axis : yAxes_) {
        const double hi = axis->min() + (view.bottom() + 1 - from.y()) * axis->span() / view.height();
        const double lo = axis->min() + (view.bottom() + 1 - to.y()) * axis->span() / view.height();
        axis->SetMinSpan(lo, hi - lo);
    }
}

void TiPlot::setCursorsShown(bool shown)
{
    if (!assign(cursorsShown_, shown))
        return;
    if (shown)
        PauseAll();
    if (toolBarWidget_) {
        QAction* action = toolBarWidget_->action(TiPlotToolBar::Cursor);
        if (action->isChecked() != shown)
            action->setChecked(shown);
    }
    for (TiPlotDataCursor* cursor : dataCursors_)
        cursor->setVisible(shown);
    invalidateData();
}

QString TiPlot::cursorReadout(int index) const
{
    const TiPlotDataCursor* cursor = DataCursorAt(index);
    const TiPlotChannel* channel = channelByName(cursor->channelName());
    if (!channel || !channel->xAxis())
        return {};
    const TiPlotAxis* x = channel->xAxis();
    double px, py;
    if (!channel->points().nearest(x->min() + x->span() * cursor->pointer1Position() / 100.0, px, py))
        return {};
    auto text = [](double v) { return QLocale().toString(v, 'g', 6); };
    switch (cursor->style()) {
    case TiPlotDataCursor::ValueX:
        return QStringLiteral("X: %1").arg(text(px));
    case TiPlotDataCursor::ValueY:
        return QStringLiteral("Y: %1").arg(text(py));
    default:
        return QStringLiteral("X: %1  Y: %2").arg(text(px), text(py));
    }
}

// --- pictures -----------------------------------------------------------------------------

void TiPlot::CopyToClipBoard()
{
    // The picture never shows the toolbar; the screen's toolbar is not touched at all.
    auto* mime = new QMimeData;
    mime->setImageData(renderImage());
    mime->setData(QStringLiteral("image/svg+xml"), pictureBytes(PictureFormat::Svg));
    const QByteArray emf = pictureBytes(PictureFormat::Emf);
    if (!emf.isEmpty())
        mime->setData(QStringLiteral("image/x-emf"), emf);
    QApplication::clipboard()->setMimeData(mime);
}

QByteArray TiPlot::pictureBytes(PictureFormat format) const
{
    const auto paint = [this](QPainter& p) { renderTo(p, size(), false); };
    switch (format) {
    case PictureFormat::Bmp:
        return bmpBytes(renderImage());
    case PictureFormat::Emf:
        return emfBytes(paint, size());
    case PictureFormat::Jpeg:
        return jpegBytes(renderImage(), 100);
    case PictureFormat::Png:
        return pngBytes(renderImage());
    case PictureFormat::Svg:
        return svgBytes(paint, size());
    case PictureFormat::Pdf:
        return pdfBytes(paint, size());
    case PictureFormat::None:
        break;
    }
    return {};
}

bool TiPlot::SaveImage()
{
    const QString folder =
        lastSaveFolder_.isEmpty() ? platform().userFolder(PlatformServices::UserFolder::Pictures) : lastSaveFolder_;
    QString filter = pictureSaveFilter().section(QStringLiteral(";;"), 0, 0);
    const QString typed = platform().askSaveFileName(QString(), folder + QStringLiteral("/Untitled"),
                                                     pictureSaveFilter(), &filter);
    if (typed.isEmpty())
        return false;
    const QString fileName = WithFilterEnding(typed, filter);
    if (!SaveImageToFile(fileName))
        return false;
    lastSaveFolder_ = QFileInfo(fileName).absolutePath();
    return true;
}

bool TiPlot::SaveImageToFile(const QString& fileName)
{
    const PictureFormat format = pictureFormatFor(fileName);
    if (format == PictureFormat::None) {
        openDialog(DialogKind::Error, 
            QStringLiteral("Cannot save \"%1\": the name must end in .bmp, .emf, .jpg, .png, .svg or .pdf").arg(fileName));
        return false;
    }
    const QString notMade = QStringLiteral("the picture could not be made");
    QString error;
    if (isRasterPicture(format)) {
        const QImage image = renderImage();
        error = image.isNull() ? notMade : saveRasterPicture(image, format, fileName, 100);
    } else {
        const QByteArray bytes = pictureBytes(format);
        error = bytes.isEmpty() ? notMade : SaveFileContents(fileName, bytes);
    }
    if (!error.isEmpty()) {
        openDialog(DialogKind::Error, QStringLiteral("Cannot write the file \"%1\": %2").arg(fileName, error));
        return false;
    }
    return true;
}

void TiPlot::printTo(QPrinter& printer) const
{
    printer.setDocName(printDocumentName());
    QPainter p;
    if (!p.begin(&printer))
        throw std::runtime_error("the printer could not be opened");
    // The chart keeps its proportions inside the page's printable area.
    const QRect page = printer.pageLayout().paintRectPixels(printer.resolution());
    const QSize chart = size().isEmpty() ? QSize(657, 401) : size();
    const double scale = std::min(page.width() / double(chart.width()), page.height() / double(chart.height()));
    p.scale(scale, scale);
    renderTo(p, chart, false);
    p.end();
}

void TiPlot::Print()
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageMargins(QMarginsF(1, 1, 1, 1), QPageLayout::Inch);
    QPrintDialog dialog(&printer, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    try {
        printTo(printer);
    } catch (const std::exception& e) {
        openDialog(DialogKind::Error, QStringLiteral("Error Printing : ") + QString::fromLocal8Bit(e.what()));
    }
}

void TiPlot::PrintPreview()
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageMargins(QMarginsF(1, 1, 1, 1), QPageLayout::Inch);
    QPrintPreviewDialog dialog(&printer, this);
    connect(&dialog, &QPrintPreviewDialog::paintRequested, this, [this](QPrinter* target) {
        try {
            printTo(*target);
        } catch (const std::exception& e) {
            openDialog(DialogKind::Error, QStringLiteral("Error Printing : ") + QString::fromLocal8Bit(e.what()));
        }
    });
    dialog.exec();
}

// --- mouse --------------------------------------------------------------------------------

TiPlotAxis* TiPlot::axisAt(QPoint pos) const
{
    for (TiPlotAxis* axis : axes())
        if (axis->visible() && axis->enabled() && objectRect(axis).contains(pos))
            return axis;
    return nullptr;
}

void TiPlot::dragAxis(TiPlotAxis* axis, double pixels)
{
    const QRect r = objectRect(axis);
    const double length = axis->horizontal() ? r.width() : r.height();
    if (length <= 0 || pixels == 0)
        return;
    // The first movement pauses the axis, so the data no longer pulls it back.
    axis->setTrackingEnabled(false);
    if (axisMode_ == AxisScroll) {
        axis->setMin(axis->min() - pixels * axis->span() / length);
    } else {
        const double newSpan = axis->span() * std::pow(2.0, -pixels / 100.0);
        const double centre = axis->min() + axis->span() / 2;
        axis->SetMinSpan(centre - newSpan / 2, newSpan);
    }
}

void TiPlot::mousePressEvent(QMouseEvent* event)
{
    const QPoint pos = event->position().toPoint();
    lastMouse_ = pos;
    if (event->button() != Qt::LeftButton)
        return;
    if (TiPlotAxis* axis = axisAt(pos)) {
        selectedAxis_ = axis;
        dragAxis_ = axis;
        return;
    }
    const QRect view = dataViewRect();
    if (!view.contains(pos))
        return;
    if (cursorsShown_) {
        for (int i = 0; i < dataCursors_.size(); ++i) {
            const int x = view.left() + static_cast<int>(std::lround(view.width() * dataCursors_[i]->pointer1Position() / 100.0));
            if (std::abs(pos.x() - x) <= 4) {
                cursorDragging_ = i;
                return;
            }
        }
    }
    if (zoomBoxMode_) {
        zoomBoxDragging_ = true;
        zoomBoxFrom_ = zoomBoxTo_ = pos;
    }
}

void TiPlot::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint pos = event->position().toPoint();
    const QPoint delta = pos - lastMouse_;
    lastMouse_ = pos;
    if (dragAxis_) {
        // Dragging right or up scrolls or zooms in the axis's own direction.
        dragAxis(dragAxis_, dragAxis_->horizontal() ? delta.x() : -delta.y());
    } else if (cursorDragging_ >= 0) {
        const QRect view = dataViewRect();
        dataCursors_[cursorDragging_]->setPointer1Position(100.0 * (pos.x() - view.left()) / std::max(view.width(), 1));
    } else if (zoomBoxDragging_) {
        zoomBoxTo_ = pos;
        invalidateData();
    }
}

void TiPlot::mouseReleaseEvent(QMouseEvent* event)
{
    if (zoomBoxDragging_) {
        zoomBoxDragging_ = false;
        ZoomBoxPixels(dataViewRect(), zoomBoxFrom_, event->position().toPoint());
        invalidateData();
    }
    dragAxis_.clear();
    cursorDragging_ = -1;
}

void TiPlot::mouseDoubleClickEvent(QMouseEvent* event)
{
    const QRect view = dataViewRect();
    if (event->button() == Qt::LeftButton && view.contains(event->position().toPoint()))
        emit OnDblClickDataView(0);
}

void TiPlot::wheelEvent(QWheelEvent* event)
{
    // The wheel acts on the axis last clicked; inside the data view it moves nothing.
    if (!selectedAxis_ || event->angleDelta().y() == 0)
        return;
    const double notches = event->angleDelta().y() / 120.0;
    const QRect r = objectRect(selectedAxis_);
    const double length = selectedAxis_->horizontal() ? r.width() : r.height();
    dragAxis(selectedAxis_, notches * length / 10);
    event->accept();
}

}  // namespace velmar
