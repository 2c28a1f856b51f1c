#pragma once

#include "widgets/plot_objects.h"

#include <QToolBar>

class QAction;

namespace velmar {

class TiPlot;

// The chart's toolbar: the buttons its TiPlotToolBar object shows, in their fixed order,
// with separators only after a group that shows a button.
class TiPlotToolBarWidget : public QToolBar {
    Q_OBJECT
public:
    TiPlotToolBarWidget(TiPlot* plot, TiPlotToolBar* model);
    QAction* action(TiPlotToolBar::Button button) const { return actions_[button]; }
    // Re-reads which buttons are shown.
    void refresh();
    // Releases the toggles the chart let go of (Resume releases Cursor and Select).
    void release(TiPlotToolBar::Button button);

private:
    void triggered(TiPlotToolBar::Button button, bool checked);
    TiPlot* plot_;
    TiPlotToolBar* model_;
    QAction* actions_[TiPlotToolBar::ButtonCount] = {};
    QList<QAction*> separators_;
};

// 16 x 16 (or 24 x 24) glyph of a toolbar button.
QIcon toolBarGlyph(TiPlotToolBar::Button button, int size);

}  // namespace velmar
