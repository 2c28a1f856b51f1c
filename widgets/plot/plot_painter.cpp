#include "widgets/plot/plot_painter.h"

#include "platform/named_colours.h"
#include "widgets/plot/plot_layout.h"
#include "widgets/plot/tiplot.h"

#include <QFontMetricsF>
#include <QPainter>

#include <cmath>

namespace velmar {

namespace {

// Held within a million pixels of the view: over a degenerate span (1e-300 after Min = Max)
// a rounding error is an astronomical offset, which neither an int nor the rasteriser takes.
double toPixel(const TiPlotAxis& axis, double v, const QRect& view)
{
    const double p = axis.horizontal() ? view.left() + (v - axis.min()) / axis.span() * view.width()
                                       : view.top() + view.height() - (v - axis.min()) / axis.span() * view.height();
    constexpr double Far = 1e6;
    if (!(p > -Far))
        return -Far;
    return p < Far ? p : Far;
}

void paintLabel(QPainter& p, const TiPlotLabel& label, const QRect& r)
{
    p.setFont(label.font());
    p.setPen(label.fontColor());
    const QString text = QFontMetricsF(label.font()).elidedText(label.caption(), Qt::ElideRight, r.width());
    p.drawText(r, int(label.alignment() | Qt::AlignVCenter) | Qt::TextSingleLine, text);
}

void paintLegend(QPainter& p, const TiPlot& plot, const TiPlotLegend& legend, const QRect& r)
{
    p.setFont(legend.font());
    const QFontMetricsF metrics(legend.font());
    const double line = metrics.height();
    double y = r.top() + legend.margin();
    const double sampleX = r.left() + legend.margin() + metrics.horizontalAdvance(QLatin1Char('0')) * legend.columnSpacing();
    for (int i = 0; i < plot.ChannelCount(); ++i) {
        const TiPlotChannel* channel = plot.ChannelAt(i);
        if (!channel->visibleInLegend())
            continue;
        const QSize sample = legend.lineSample();
        p.fillRect(QRectF(sampleX, y + (line - sample.height()) / 2, sample.width(), sample.height()), channel->color());
        p.setPen(legend.fontColor());
        const double textX = sampleX + sample.width() + metrics.horizontalAdvance(QLatin1Char('0')) * legend.columnSpacing() * 2;
        p.drawText(QRectF(textX, y, r.right() - textX, line), Qt::AlignLeft | Qt::AlignVCenter, channel->titleText());
        y += line * (1 + legend.rowSpacing());
    }
}

void paintAxis(QPainter& p, const TiPlot& plot, const TiPlotAxis& axis, const QRect& r, const QRect& view)
{
    const AxisTicks& ticks = axis.lastTicks;
    const QFontMetricsF labels(axis.labelsFont());
    p.setPen(QPen(axis.scaleLinesColor(), 1));
    // Which side of the data view the axis is on decides where ticks and text go.
    const bool after = axis.horizontal() ? r.top() >= view.bottom() : r.left() >= view.right();
    if (axis.horizontal()) {
        const int base = after ? r.top() : r.bottom();
        const int dir = after ? 1 : -1;
        p.drawLine(r.left(), base, r.right(), base);
        for (double v : ticks.minors) {
            const int x = static_cast<int>(std::floor(toPixel(axis, v, view)));
            p.drawLine(x, base, x, base + dir * MinorTickLength);
        }
        for (double v : ticks.majors) {
            const int x = static_cast<int>(std::floor(toPixel(axis, v, view)));
            p.drawLine(x, base, x, base + dir * MajorTickLength);
        }
        p.setFont(axis.labelsFont());
        p.setPen(axis.labelsColor());
        const double textTop = after ? base + MajorTickLength + 2 : base - MajorTickLength - 2 - labels.height();
        for (double v : ticks.majors) {
            const QString text = tickLabel(v, ticks.decimals);
            const double w = labels.horizontalAdvance(text);
            const double x = toPixel(axis, v, view);
            p.drawText(QRectF(x - w / 2 - 1, textTop, w + 2, labels.height()), Qt::AlignCenter, text);
        }
        if (axis.titleShow() && !axis.title().isEmpty()) {
            p.setFont(axis.titleFont());
            p.setPen(axis.titleColor());
            const double h = QFontMetricsF(axis.titleFont()).height();
            const double titleTop = after ? textTop + labels.height() + 2 : r.top();
            p.drawText(QRectF(r.left(), titleTop, r.width(), h), Qt::AlignCenter, axis.title());
        }
        return;
    }
    const int base = after ? r.left() : r.right();
    const int dir = after ? 1 : -1;
    p.drawLine(base, r.top(), base, r.bottom());
    for (double v : ticks.minors) {
        const int y = static_cast<int>(std::floor(toPixel(axis, v, view)));
        p.drawLine(base, y, base + dir * MinorTickLength, y);
    }
    for (double v : ticks.majors) {
        const int y = static_cast<int>(std::floor(toPixel(axis, v, view)));
        p.drawLine(base, y, base + dir * MajorTickLength, y);
    }
    p.setFont(axis.labelsFont());
    p.setPen(axis.labelsColor());
    double widest = 0;
    for (double v : ticks.majors) {
        const QString text = tickLabel(v, ticks.decimals);
        const double w = labels.horizontalAdvance(text);
        widest = std::max(widest, w);
        const double y = toPixel(axis, v, view);
        const double x = after ? base + MajorTickLength + 3 : base - MajorTickLength - 3 - w;
        p.drawText(QRectF(x, y - labels.height() / 2, w + 1, labels.height()), Qt::AlignLeft | Qt::AlignVCenter, text);
    }
    if (axis.titleShow() && !axis.title().isEmpty()) {
        p.setFont(axis.titleFont());
        p.setPen(axis.titleColor());
        const double h = QFontMetricsF(axis.titleFont()).height();
        p.save();
        const double cx = after ? r.right() - h / 2 : r.left() + h / 2;
        p.translate(cx, r.center().y());
        p.rotate(after ? 90 : -90);
        p.drawText(QRectF(-r.height() / 2.0, -h / 2, r.height(), h), Qt::AlignCenter, axis.title());
        p.restore();
    }
    Q_UNUSED(plot);
}

void paintGrid(QPainter& p, const TiPlot& plot, const QRect& view)
{
    for (int i = 0; i < plot.DataViewCount(); ++i) {
        const TiPlotDataView* dataView = plot.DataViewAt(i);
        if (!dataView->visible())
            continue;
        p.setPen(QPen(dataView->gridColor(), 1));
        if (TiPlotAxis* x = plot.axisByName(dataView->gridXAxisName()); x && x->gridLinesVisible())
            for (double v : x->lastTicks.majors) {
                const int px = static_cast<int>(std::floor(toPixel(*x, v, view)));
                if (px > view.left() && px < view.right())
                    p.drawLine(px, view.top(), px, view.bottom());
            }
        if (TiPlotAxis* y = plot.axisByName(dataView->gridYAxisName()); y && y->gridLinesVisible())
            for (double v : y->lastTicks.majors) {
                const int py = static_cast<int>(std::floor(toPixel(*y, v, view)));
                if (py > view.top() && py < view.bottom())
                    p.drawLine(view.left(), py, view.right(), py);
            }
    }
}

void paintAnnotation(QPainter& p, const TiPlot& plot, const TiPlotAnnotation& annotation, const QRect& view)
{
    const TiPlotAxis* axis = plot.axisByName(annotation.xAxisName());
    if (!axis || !axis->horizontal())
        return;
    p.save();
    p.setClipRect(view);
    if (annotation.style() == TiPlotAnnotation::Band) {
        const double a = toPixel(*axis, annotation.x1(), view);
        const double b = toPixel(*axis, annotation.x2(), view);
        const QRectF band(QPointF(std::min(a, b), view.top()), QPointF(std::max(a, b), view.bottom() + 1));
        p.fillRect(band, annotation.brushColor());
        p.setPen(QPen(annotation.penColor(), 1));
        p.drawLine(QLineF(band.left(), band.top(), band.left(), band.bottom()));
        p.drawLine(QLineF(band.right(), band.top(), band.right(), band.bottom()));
    } else if (!annotation.text().isEmpty()) {
        const QFontMetrics metrics(annotation.font());
        QRect box = metrics.boundingRect(annotation.text()).adjusted(-3, -1, 3, 1);
        box.moveTo(static_cast<int>(std::lround(toPixel(*axis, annotation.x1(), view))) - box.width() / 2,
                   view.top() + 3);
        // Kept whole inside the data view when its value lies near an edge.
        if (box.right() > view.right() - 2)
            box.moveRight(view.right() - 2);
        if (box.left() < view.left() + 2)
            box.moveLeft(view.left() + 2);
        p.fillRect(box, annotation.brushColor());
        p.setFont(annotation.font());
        p.setPen(annotation.fontColor());
        p.drawText(box, Qt::AlignCenter, annotation.text());
    }
    p.restore();
}

}  // namespace

void paintPlotStatic(QPainter& p, const TiPlot& plot, const PlotLayout& layout)
{
    p.fillRect(QRect(QPoint(0, 0), layout.size), plot.backgroundColor());
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setRenderHint(QPainter::TextAntialiasing, true);
    paintGrid(p, plot, layout.dataView);
    for (int i = 0; i < plot.AnnotationCount(); ++i)
        if (const TiPlotAnnotation* annotation = plot.AnnotationAt(i); annotation->visible())
            paintAnnotation(p, plot, *annotation, layout.dataView);
    for (int i = 0; i < plot.LabelCount(); ++i)
        if (const TiPlotLabel* label = plot.LabelAt(i); label->visible())
            paintLabel(p, *label, layout.rects.value(label));
    for (int i = 0; i < plot.LegendCount(); ++i)
        if (const TiPlotLegend* legend = plot.LegendAt(i); legend->visible())
            paintLegend(p, plot, *legend, layout.rects.value(legend));
    for (const TiPlotAxis* axis : plot.axes())
        if (axis->visible())
            paintAxis(p, plot, *axis, layout.rects.value(axis), layout.dataView);
}

void paintPlotTraces(QPainter& p, const TiPlot& plot, const PlotLayout& layout, bool reduce)
{
    const QRect view = layout.dataView;
    p.save();
    // Traces stay inside the data view so they never run over the axes' labels.
    p.setClipRect(view);
    p.setRenderHint(QPainter::Antialiasing, false);
    PlotPointStore::Trace trace;
    for (int i = 0; i < plot.ChannelCount(); ++i) {
        const TiPlotChannel* channel = plot.ChannelAt(i);
        const TiPlotAxis* x = channel->xAxis();
        const TiPlotAxis* y = channel->yAxis();
        if (!channel->visible() || !x || !y || channel->Count() == 0)
            continue;
        PlotPointStore::Mapping m;
        m.xMin = x->min();
        m.xSpan = x->span();
        m.yMin = y->min();
        m.ySpan = y->span();
        m.left = view.left();
        m.top = view.top();
        m.width = view.width();
        m.height = view.height();
        channel->points().trace(m, reduce, trace);
        p.setPen(QPen(channel->color(), channel->traceLineWidth()));
        drawTrace(p, trace);
    }
    p.restore();
}

void drawTrace(QPainter& p, const PlotPointStore::Trace& trace)
{
    QVector<QLineF> lines;
    lines.reserve(trace.points.size());
    for (int s = 0; s < trace.starts.size(); ++s) {
        const int from = trace.starts[s];
        const int to = s + 1 < trace.starts.size() ? trace.starts[s + 1] : trace.points.size();
        if (to - from == 1)
            p.drawPoint(trace.points[from]);
        for (int i = from + 1; i < to; ++i)
            lines.append(QLineF(trace.points[i - 1], trace.points[i]));
    }
    p.drawLines(lines);
}

void paintPlotCursors(QPainter& p, const TiPlot& plot, const PlotLayout& layout)
{
    if (!plot.cursorsShown())
        return;
    const QRect view = layout.dataView;
    for (int i = 0; i < plot.DataCursorCount(); ++i) {
        const TiPlotDataCursor* cursor = plot.DataCursorAt(i);
        const TiPlotChannel* channel = plot.channelByName(cursor->channelName());
        const QColor color = channel && cursor->useChannelColor() ? channel->color() : colours::Yellow;
        const int x = view.left() + static_cast<int>(std::lround(view.width() * cursor->pointer1Position() / 100.0));
        p.setPen(QPen(color, 1, Qt::DashLine));
        p.drawLine(x, view.top(), x, view.bottom());
        const QString text = plot.cursorReadout(i);
        if (text.isEmpty())
            continue;
        QFont font(QStringLiteral("MS Sans Serif"));
        font.setPixelSize(11);
        p.setFont(font);
        const QFontMetrics metrics(font);
        QRect box = metrics.boundingRect(text).adjusted(-4, -2, 4, 2);
        box.moveTo(x + 4, view.top() + view.height() / 2 - box.height() / 2);
        if (box.right() > view.right())
            box.moveRight(x - 4);
        p.fillRect(box, QColor(255, 255, 225));
        p.setPen(color);
        p.drawRect(box.adjusted(0, 0, -1, -1));
        p.setPen(colours::Black);
        p.drawText(box, Qt::AlignCenter, text);
    }
}

}  // namespace velmar
