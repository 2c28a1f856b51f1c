#pragma once

#include <cstdint>

namespace velmar {

class Controller;

// Current against time on demand, and the chart's housekeeping controls: Chart On/Off, Clear
// Chart, the title field and the double-click fit. The points themselves come from the poll
// cycle while ChartOn is set.
class ManualChart {
public:
    explicit ManualChart(Controller& c) : c_(c) {}
    // "Chart On": a fresh current-against-time chart from now on; "Chart Off": stops adding.
    void Button8Click();
    // "Clear Chart": empties the chart and restarts the run's cycle count and total.
    void Button13Click();
    // The chart title follows the title field on every change.
    void Edit5Change();
    // Fits X axis 0 and Y axis 0 to their data.
    void iPlot1DblClickDataView();

private:
    Controller& c_;
};

}  // namespace velmar
