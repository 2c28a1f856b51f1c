#include "ui/form_layout.h"

#include <QWidget>

#include <algorithm>

namespace velmar {

void AnchorLayout::add(QWidget* widget, QRect designRect, int anchors)
{
    widget->setGeometry(designRect);
    items_.push_back({widget, designRect, anchors});
}

QRect AnchorLayout::place(QRect r, int anchors, QSize designClient, QSize client)
{
    const int dx = client.width() - designClient.width();
    const int dy = client.height() - designClient.height();
    QRect out = r;
    const bool left = anchors & AnchorLeft, right = anchors & AnchorRight;
    const bool top = anchors & AnchorTop, bottom = anchors & AnchorBottom;
    if (right && left)
        out.setWidth(r.width() + dx);
    else if (right)
        out.moveLeft(r.left() + dx);
    if (bottom && top)
        out.setHeight(r.height() + dy);
    else if (bottom)
        out.moveTop(r.top() + dy);
    return out;
}

QRect AnchorLayout::statusBand(QRect chart, const QVector<QRect>& below, int lineHeight)
{
    const int top = chart.bottom() + 2;
    int bottom = top + lineHeight - 1;
    for (const QRect& r : below) {
        if (r.top() > chart.bottom() && r.left() <= chart.right() && r.right() >= chart.left())
            bottom = std::min(bottom, r.top() - 2);
    }
    return QRect(QPoint(chart.left(), top), QPoint(chart.right(), std::max(bottom, top)));
}

void AnchorLayout::apply(QSize client) const
{
    for (const Item& item : items_)
        item.widget->setGeometry(place(item.rect, item.anchors, design_, client));
}

}  // namespace velmar
