#include "widgets/plot/plot_layout.h"

#include "widgets/plot/tiplot.h"

#include <QFontMetricsF>

#include <algorithm>
#include <cmath>
#include <map>

namespace velmar {

namespace {

constexpr int RowGap = 2;

double labelWidest(const TiPlotAxis& axis)
{
    const QFontMetricsF metrics(axis.labelsFont());
    double widest = 0;
    for (double v : axis.lastTicks.majors)
        widest = std::max(widest, metrics.horizontalAdvance(tickLabel(v, axis.lastTicks.decimals)));
    return widest;
}

int axisThickness(TiPlotAxis& axis, int lengthGuess)
{
    updateAxisTicks(axis, lengthGuess);
    const QFontMetricsF labels(axis.labelsFont());
    const QFontMetricsF title(axis.titleFont());
    const double titlePart = axis.titleShow() && !axis.title().isEmpty() ? title.height() + 2 : 0;
    if (axis.horizontal())
        return static_cast<int>(std::ceil(MajorTickLength + 2 + labels.height() + 2 + titlePart));
    return static_cast<int>(std::ceil(MajorTickLength + 3 + labelWidest(axis) + 4 + titlePart));
}

int thickness(const TiPlot& plot, TiPlotObject* object, QSize size)
{
    if (auto* axis = qobject_cast<TiPlotAxis*>(object))
        return axisThickness(*axis, axis->horizontal() ? size.width() * 3 / 4 : size.height() * 2 / 3);
    if (auto* label = qobject_cast<TiPlotLabel*>(object))
        return static_cast<int>(std::ceil(QFontMetricsF(label->font()).height())) + 2;
    if (auto* legend = qobject_cast<TiPlotLegend*>(object)) {
        int rows = 0;
        for (int i = 0; i < plot.ChannelCount(); ++i)
            rows += plot.ChannelAt(i)->visibleInLegend() ? 1 : 0;
        const double line = QFontMetricsF(legend->font()).height();
        rows = std::max(rows, 1);
        return static_cast<int>(std::ceil(2 * legend->margin() + rows * line + (rows - 1) * line * legend->rowSpacing()));
    }
    if (auto* toolBar = qobject_cast<TiPlotToolBar*>(object))
        return toolBar->smallButtons() ? 24 : 32;
    return 0;
}

}  // namespace

void updateAxisTicks(TiPlotAxis& axis, int lengthPixels)
{
    const QFontMetricsF metrics(axis.labelsFont());
    const double zero = metrics.horizontalAdvance(QLatin1Char('0'));
    double slotPixels;
    if (axis.horizontal()) {
        const int decimals = labelDecimals(axis.span(), axis.labelsPrecision(), axis.labelsPrecisionStyle());
        const double probe = metrics.horizontalAdvance(tickLabel(slotProbeValue(axis.min(), axis.span()), decimals));
        slotPixels = std::max({zero * axis.labelsMinLength(), probe, axis.lastLabelWidth});
        slotPixels = std::round(slotPixels + zero * (axis.labelSeparation() + 1));
    } else {
        slotPixels = std::round(metrics.height() * (axis.labelSeparation() + 1));
    }
    const int slotCount = tickSlotCount(lengthPixels, slotPixels);
    axis.lastTicks = computeTicks(axis.min(), axis.span(), slotCount, axis.labelsPrecision(), axis.minorCount(),
                                  axis.desiredIncrement(), axis.labelsPrecisionStyle());
    if (axis.horizontal())
        axis.lastLabelWidth = labelWidest(axis);
}

PlotLayout layoutPlot(const TiPlot& plot, QSize size, bool withToolbar)
{
    PlotLayout layout;
    layout.size = size;
    layout.withToolbar = withToolbar;

    struct Entry {
        TiPlotLayoutObject* object;
        int thickness;
    };
    // side -> zOrder -> members; the map order is then turned into "nearest first".
    std::map<int, std::vector<Entry>> top, bottom, left, right;
    auto place = [&](TiPlotLayoutObject* object) {
        if (!object->visible())
            return;
        const Entry entry{object, thickness(plot, object, size)};
        if (object->horizontal())
            (object->zOrder() > plot.dataViewZHorz() ? top : bottom)[object->zOrder()].push_back(entry);
        else
            (object->zOrder() > plot.dataViewZVert() ? right : left)[object->zOrder()].push_back(entry);
    };
    if (withToolbar)
        for (int i = 0; i < plot.ToolBarCount(); ++i)
            place(plot.ToolBarAt(i));
    for (int i = 0; i < plot.LegendCount(); ++i)
        place(plot.LegendAt(i));
    for (TiPlotAxis* axis : plot.axes())
        place(axis);
    for (int i = 0; i < plot.LabelCount(); ++i)
        place(plot.LabelAt(i));

    auto rowThickness = [](const std::vector<Entry>& row) {
        int t = 0;
        for (const Entry& e : row)
            t = std::max(t, e.thickness);
        return t;
    };
    auto sideThickness = [&](const std::map<int, std::vector<Entry>>& side) {
        int t = 0;
        for (const auto& [z, row] : side)
            t += rowThickness(row) + RowGap;
        return t;
    };

    const int m = plot.outerMargin();
    const QRect inner(m, m, std::max(size.width() - 2 * m, 1), std::max(size.height() - 2 * m, 1));
    QRect view = inner.adjusted(sideThickness(left), sideThickness(top), -sideThickness(right), -sideThickness(bottom));
    if (view.width() < 1)
        view.setWidth(1);
    if (view.height() < 1)
        view.setHeight(1);
    layout.dataView = view;

    auto span = [](int from, int length, const TiPlotLayoutObject* o) {
        const int a = from + static_cast<int>(std::lround(length * o->startPercent() / 100.0));
        const int b = from + static_cast<int>(std::lround(length * o->stopPercent() / 100.0));
        return std::pair{a, std::max(b - a, 1)};
    };
    auto horizontalExtent = [&](const TiPlotLayoutObject* o) {
        return qobject_cast<const TiPlotAxis*>(o) ? span(view.left(), view.width(), o) : span(inner.left(), inner.width(), o);
    };
    auto verticalExtent = [&](const TiPlotLayoutObject* o) { return span(view.top(), view.height(), o); };

    // Above: nearest is the smallest ZOrder; below: the largest.
    int y = view.top();
    for (auto& [z, row] : top) {
        const int t = rowThickness(row);
        y -= t + RowGap;
        for (const Entry& e : row) {
            const auto [x, w] = horizontalExtent(e.object);
            layout.rects.insert(e.object, QRect(x, y, w, t));
        }
    }
    y = view.bottom() + 1;
    for (auto it = bottom.rbegin(); it != bottom.rend(); ++it) {
        const int t = rowThickness(it->second);
        for (const Entry& e : it->second) {
            const auto [x, w] = horizontalExtent(e.object);
            layout.rects.insert(e.object, QRect(x, y, w, t));
        }
        y += t + RowGap;
    }
    int x = view.right() + 1;
    for (auto& [z, column] : right) {
        const int t = rowThickness(column);
        for (const Entry& e : column) {
            const auto [top_, h] = verticalExtent(e.object);
            layout.rects.insert(e.object, QRect(x, top_, t, h));
        }
        x += t + RowGap;
    }
    x = view.left();
    for (auto it = left.rbegin(); it != left.rend(); ++it) {
        const int t = rowThickness(it->second);
        x -= t + RowGap;
        for (const Entry& e : it->second) {
            const auto [top_, h] = verticalExtent(e.object);
            layout.rects.insert(e.object, QRect(x, top_, t, h));
        }
    }

    // Final ticks for the real lengths.
    for (TiPlotAxis* axis : plot.axes())
        if (const QRect r = layout.rects.value(axis); r.isValid())
            updateAxisTicks(*axis, axis->horizontal() ? r.width() : r.height());
    return layout;
}

}  // namespace velmar
