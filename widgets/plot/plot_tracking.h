#pragma once

#include <QString>

#include <stdexcept>

namespace velmar {

// Errors the chart raises; the message is the text the operator sees in the application's
// standard error dialog.
class TiPlotError : public std::runtime_error {
public:
    explicit TiPlotError(const char* message) : std::runtime_error(message) {}
    QString message() const { return QString::fromUtf8(what()); }
};

enum TiPlotTrackingStyle {
    iptsScaleMinMax,
    iptsScaleMax,
    iptsScaleMin,
    iptsScrollSmooth,
    iptsScrollPage,
    iptsExpandCollapse,
    iptsExpandCollapseFast,
    iptsExpandMinMax,
};
enum TiPlotTrackingIncrementStyle { iptisMinimum, iptisMajor, iptisMinor };
enum TiPlotAlignFirstStyle { ipafsMin, ipafsMax, ipafsAuto, ipafsNone };
enum TiPlotScaleType { ipstLinear, ipstLog10 };

// One tracking step of an axis for the value v, on plain numbers so it can be checked
// without a chart. The two expand-collapse styles need the chart's data and are handled by
// the axis itself; here they leave the window as it is.
struct TrackingWindow {
    double min = 0;
    double span = 100;
};

struct TrackingRule {
    TiPlotTrackingStyle style = iptsScaleMinMax;
    TiPlotAlignFirstStyle alignFirst = ipafsMin;
    double scrollCompressMax = 0;
};

// Returns the new window; `firstValueSeen` is set (the caller keeps the flag).
TrackingWindow trackWindow(const TrackingRule& rule, TrackingWindow current, double v,
                           bool& firstValueSeen);

// Moves the lower end down and the upper end up to multiples of `increment`.
TrackingWindow roundToIncrement(TrackingWindow window, double increment);

}  // namespace velmar
