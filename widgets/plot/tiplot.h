#pragma once

#include "platform/named_colours.h"
#include "widgets/plot/plot_export.h"
#include "widgets/plot/plot_objects.h"

#include <QPixmap>
#include <QVector>
#include <QWidget>

#include <functional>

class QPrinter;

namespace velmar {

class TiPlotToolBarWidget;
struct PlotLayout;

// The strip chart: collections of toolbars, legends, X and Y axes, channels, data views,
// data cursors and labels, addressed by index in creation order. Points go into channels;
// the axes follow them by their tracking rules. Axes, labels, grid and legend are drawn into
// a cached layer that is rebuilt only when they change; the traces are drawn live from a
// per-pixel-column reduction, so a frame costs the same at a hundred points or millions.
class TiPlot : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QString TitleText READ titleText WRITE setTitleText)
    Q_PROPERTY(int DataViewZHorz READ dataViewZHorz WRITE setDataViewZHorz)
    Q_PROPERTY(int DataViewZVert READ dataViewZVert WRITE setDataViewZVert)
public:
    explicit TiPlot(QWidget* parent = nullptr);
    ~TiPlot() override;

    // --- collections ----------------------------------------------------------------------
    TiPlotToolBar* AddToolBar();
    TiPlotLegend* AddLegend();
    TiPlotXAxis* AddXAxis();
    TiPlotYAxis* AddYAxis();
    TiPlotChannel* AddChannel();
    TiPlotDataView* AddDataView();
    TiPlotDataCursor* AddDataCursor();
    TiPlotLabel* AddLabel();
    void DeleteLabel(int index);  // index 0, the title, cannot be deleted
    TiPlotAnnotation* AddAnnotation();
    void DeleteAnnotation(int index);

    int ToolBarCount() const { return toolBars_.size(); }
    int LegendCount() const { return legends_.size(); }
    int XAxisCount() const { return xAxes_.size(); }
    int YAxisCount() const { return yAxes_.size(); }
    int ChannelCount() const { return channels_.size(); }
    int DataViewCount() const { return dataViews_.size(); }
    int DataCursorCount() const { return dataCursors_.size(); }
    int LabelCount() const { return labels_.size(); }
    int AnnotationCount() const { return annotations_.size(); }

    // All throw "Index out of Bounds" for an index that does not exist.
    TiPlotToolBar* ToolBarAt(int index) const;
    TiPlotLegend* LegendAt(int index) const;
    TiPlotXAxis* XAxisAt(int index) const;
    TiPlotYAxis* YAxisAt(int index) const;
    TiPlotChannel* ChannelAt(int index) const;
    TiPlotDataView* DataViewAt(int index) const;
    TiPlotDataCursor* DataCursorAt(int index) const;
    TiPlotLabel* LabelAt(int index) const;
    TiPlotAnnotation* AnnotationAt(int index) const;

    // Every axis, X axes first.
    QVector<TiPlotAxis*> axes() const;
    TiPlotAxis* axisByName(const QString& name) const;
    TiPlotChannel* channelByName(const QString& name) const;

    // --- operations -------------------------------------------------------------------------
    // Empties every channel, removes the annotations drawn on the data, and re-arms every
    // axis's first-value handling; Min, Span and tracking are left as they are.
    void ClearData();
    QString titleText() const;
    void setTitleText(const QString& text);  // the caption of label 0, if there is one

    // Toolbar actions, callable without the toolbar.
    void PauseAll();
    void ResumeAll();
    void ZoomOutAll();
    void ZoomInAll();
    // Sets every X axis to [x0, x1] and every Y axis to [y0, y1] (in pixels of the data
    // view, y growing downwards); anything but a drag from upper left to lower right is
    // ignored.
    void ZoomBoxPixels(const QRect& dataViewRect, QPoint from, QPoint to);
    void setCursorsShown(bool shown);
    bool cursorsShown() const { return cursorsShown_; }
    // The readout of data cursor `index` ("X: ..  Y: ..") or empty when it shows nothing.
    QString cursorReadout(int index) const;

    // Pictures without the toolbar.
    QImage renderImage(QSize size = {}) const;
    void renderTo(QPainter& painter, QSize size, bool withToolbar) const;
    void CopyToClipBoard();
    // Asks for a file name in the platform's save dialog (starting in the Pictures folder, then
    // where the last picture went) and writes the picture; a name typed without an ending gets
    // the selected filter's. Failures are shown as errors through the platform services.
    // Returns whether a file was written.
    bool SaveImage();
    bool SaveImageToFile(const QString& fileName);
    // The chart as it stands, without the toolbar, as the contents of a file in `format`;
    // empty when the picture cannot be made.
    QByteArray pictureBytes(PictureFormat format) const;
    void Print();
    void PrintPreview();
    void printTo(QPrinter& printer) const;

    int dataViewZHorz() const { return dataViewZHorz_; }
    void setDataViewZHorz(int z);
    int dataViewZVert() const { return dataViewZVert_; }
    void setDataViewZVert(int z);
    int outerMargin() const { return outerMargin_; }
    // The toolbar's hints: shown hintsPause ms after the pointer comes onto a button, hidden
    // hintsHidePause ms later, in hintsFont.
    bool hintsShow() const { return hintsShow_; }
    void setHintsShow(bool show) { hintsShow_ = show; }
    int hintsPause() const { return hintsPause_; }
    void setHintsPause(int ms) { hintsPause_ = std::max(ms, 0); }
    int hintsHidePause() const { return hintsHidePause_; }
    void setHintsHidePause(int ms) { hintsHidePause_ = std::max(ms, 0); }
    QFont hintsFont() const { return hintsFont_; }
    void setHintsFont(const QFont& font) { hintsFont_ = font; }
    QColor backgroundColor() const { return background_; }
    QString printDocumentName() const { return QStringLiteral("Untitled"); }

    // Draw every point instead of the per-column reduction (to check that both agree).
    void setReduceTraces(bool reduce)
    {
        reduceTraces_ = reduce;
        update();
    }
    bool reduceTraces() const { return reduceTraces_; }

    TiPlotToolBarWidget* toolBarWidget() const { return toolBarWidget_; }
    // The data view's rectangle in widget pixels as last laid out.
    QRect dataViewRect() const;
    QRect objectRect(const TiPlotObject* object) const;

    // Called by the objects.
    void invalidateStatic();
    void invalidateData();
    void axisRenamed(TiPlotAxis* axis, const QString& newName);

    // Mouse mode for axis drags and the wheel (toolbar Scroll/Zoom).
    enum AxisMode { AxisScroll, AxisZoom };
    void setAxisMode(AxisMode mode) { axisMode_ = mode; }
    AxisMode axisMode() const { return axisMode_; }
    void setZoomBoxMode(bool on) { zoomBoxMode_ = on; }
    bool zoomBoxMode() const { return zoomBoxMode_; }
    TiPlotAxis* selectedAxis() const { return selectedAxis_; }

signals:
    void OnDblClickDataView(int index);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    // Pauses the chart and zooms every axis in or out by the first toolbar's factor (2 without one).
    void zoomAll(bool in);
    template <typename T>
    T* adopt(QVector<T*>& list, const QString& baseName);
    const PlotLayout& layout() const;
    void placeToolBar();
    TiPlotAxis* axisAt(QPoint pos) const;
    void dragAxis(TiPlotAxis* axis, double pixels);

    QVector<TiPlotToolBar*> toolBars_;
    QVector<TiPlotLegend*> legends_;
    QVector<TiPlotXAxis*> xAxes_;
    QVector<TiPlotYAxis*> yAxes_;
    QVector<TiPlotChannel*> channels_;
    QVector<TiPlotDataView*> dataViews_;
    QVector<TiPlotDataCursor*> dataCursors_;
    QVector<TiPlotLabel*> labels_;
    QVector<TiPlotAnnotation*> annotations_;

    int dataViewZHorz_ = 3;
    int dataViewZVert_ = 1;
    int outerMargin_ = 5;
    QColor background_ = colours::White;
    bool hintsShow_ = true;
    int hintsPause_ = 500;
    int hintsHidePause_ = 2500;
    QFont hintsFont_;
    bool reduceTraces_ = true;
    bool cursorsShown_ = false;
    AxisMode axisMode_ = AxisScroll;
    bool zoomBoxMode_ = false;

    mutable std::unique_ptr<PlotLayout> layout_;
    mutable bool layoutValid_ = false;
    mutable QPixmap staticLayer_;
    mutable bool staticValid_ = false;
    bool updatePending_ = false;

    TiPlotToolBarWidget* toolBarWidget_ = nullptr;
    QString lastSaveFolder_;  // where the last picture was saved; empty before the first

    // Mouse state.
    QPointer<TiPlotAxis> selectedAxis_;
    QPointer<TiPlotAxis> dragAxis_;
    QPoint lastMouse_;
    bool zoomBoxDragging_ = false;
    QPoint zoomBoxFrom_, zoomBoxTo_;
    int cursorDragging_ = -1;
};

}  // namespace velmar
