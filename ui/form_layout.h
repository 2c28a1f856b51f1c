#pragma once

#include <QRect>
#include <QSize>
#include <QVector>

class QWidget;

namespace velmar {

enum Anchor { AnchorLeft = 1, AnchorTop = 2, AnchorRight = 4, AnchorBottom = 8 };

// Keeps controls at their designed distance from the edges they are anchored to, the way the
// window was laid out at its design client size.
class AnchorLayout {
public:
    explicit AnchorLayout(QSize designClientSize) : design_(designClientSize) {}
    void add(QWidget* widget, QRect designRect, int anchors);
    void apply(QSize clientSize) const;

    // Where a control with this design rectangle and these anchors goes in a client area.
    static QRect place(QRect designRect, int anchors, QSize designClient, QSize client);

    // The status band: from just under the chart down to the first control below it (one that
    // overlaps the chart's columns), as wide as the chart, at most `lineHeight` tall.
    static QRect statusBand(QRect chart, const QVector<QRect>& below, int lineHeight);

private:
    struct Item {
        QWidget* widget;
        QRect rect;
        int anchors;
    };
    QSize design_;
    QVector<Item> items_;
};

}  // namespace velmar
