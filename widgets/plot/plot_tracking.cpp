#include "widgets/plot/plot_tracking.h"

#include <algorithm>
#include <cmath>

namespace velmar {

namespace {

// The span a scroll keeps: with a compress limit the window first stretches to reach v, but
// never beyond the limit once the span already exceeds it.
double scrollSpan(const TrackingRule& rule, double m, double s, double span, double v)
{
    if (rule.scrollCompressMax != 0) {
        s = v - m;
        if (span > rule.scrollCompressMax)
            s = rule.scrollCompressMax;
    }
    return s;
}

}  // namespace

TrackingWindow trackWindow(const TrackingRule& rule, TrackingWindow current, double v,
                           bool& firstValueSeen)
{
    const double min = current.min;
    const double span = current.span;
    double m = min;
    double s = span;
    if (!firstValueSeen) {
        firstValueSeen = true;
        if (rule.alignFirst == ipafsAuto && (v < min || v > min + span))
            m = v;
    }
    switch (rule.style) {
    case iptsScaleMinMax:
        if (v > m + span)
            s = v - m;
        if (v < m)
            m = v;
        break;
    case iptsScaleMax:
        if (v > min + span)
            m = v - span;
        break;
    case iptsScaleMin:
        if (v < m)
            m = v;
        break;
    case iptsScrollSmooth:
        if (v > m + span) {
            s = scrollSpan(rule, m, s, span, v);
            m = v - s;
        } else if (v < min) {
            m = v;
        }
        break;
    case iptsScrollPage:
        if (v > m + span) {
            s = scrollSpan(rule, m, s, span, v);
            m = m + s;
        } else if (v < min) {
            m = m - s;
        }
        break;
    case iptsExpandCollapse:
    case iptsExpandCollapseFast:
        break;
    case iptsExpandMinMax:
        if (v > min + span)
            s = s + (v - (min + span));
        if (v < min) {
            s = min - v + span;
            m = v;
        }
        break;
    }
    return {m, s};
}

TrackingWindow roundToIncrement(TrackingWindow window, double increment)
{
    if (!(increment > 0) || !std::isfinite(increment))
        return window;
    const double lo = std::floor(window.min / increment) * increment;
    const double hi = std::ceil((window.min + window.span) / increment) * increment;
    return {lo, std::max(hi - lo, increment)};
}

}  // namespace velmar
