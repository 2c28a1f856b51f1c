#pragma once

#include "widgets/plot/plot_objects.h"

#include <QPointer>
#include <QTimer>
#include <QToolBar>

class QAction;
class QLabel;

namespace velmar {

class TiPlot;

// The hints of the toolbar's buttons, with the chart's own pause, hide pause and font rather
// than the application's tool-tip settings (which show a tip after 700 ms for ten seconds).
class PlotToolBarHints : public QObject {
public:
    PlotToolBarHints(TiPlot* plot, QWidget* toolBar);
    // Gives `button` a hint of its tool-tip text (instead of Qt's own tool tip).
    void watch(QWidget* button);
    // The hint window, shown or not.
    QLabel* label() const { return label_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showHint();
    void hideHint();

    TiPlot* plot_;
    QLabel* label_;
    QPointer<QWidget> button_;  // the button under the pointer
    QTimer pause_;
    QTimer hidePause_;
};

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
    PlotToolBarHints& hints() { return hints_; }

private:
    void triggered(TiPlotToolBar::Button button, bool checked);
    TiPlot* plot_;
    TiPlotToolBar* model_;
    QAction* actions_[TiPlotToolBar::ButtonCount] = {};
    QList<QAction*> separators_;
    PlotToolBarHints hints_;
};

// 16 x 16 (or 24 x 24) glyph of a toolbar button.
QIcon toolBarGlyph(TiPlotToolBar::Button button, int size);

}  // namespace velmar
