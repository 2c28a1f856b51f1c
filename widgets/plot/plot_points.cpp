#include "widgets/plot/plot_points.h"

#include "widgets/plot/plot_tracking.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <new>

namespace velmar {

namespace {

constexpr int BlockShift = 5;  // 32 entries a block at every pyramid level
constexpr std::int64_t BlockSize = std::int64_t{1} << BlockShift;
constexpr double Inf = std::numeric_limits<double>::infinity();

bool finitePoint(double x, double y)
{
    return std::isfinite(x) && std::isfinite(y);
}

}  // namespace

PlotPointStore::PlotPointStore(std::int64_t maxCount) : maxCount_(std::max<std::int64_t>(maxCount, 1))
{
    clear();
}

PlotPointStore::~PlotPointStore()
{
    std::free(xs_);
    std::free(ys_);
}

void PlotPointStore::clear()
{
    std::free(xs_);
    std::free(ys_);
    xs_ = ys_ = nullptr;
    capacity_ = begin_ = end_ = 0;
    xMax_ = yMax_ = -1e300;
    xMin_ = yMin_ = 1e300;
    lastX_ = 0;
    gapPending_ = false;
    runs_.clear();
    runs_.shrink_to_fit();
    firstRun_ = 0;
    pyramid_.clear();
    pyramid_.shrink_to_fit();
    flags_.clear();
}

void PlotPointStore::setRingSize(int ringSize)
{
    ringSize_ = std::max(ringSize, 0);
    if (ringSize_ > 0)
        while (count() > ringSize_)
            dropFront();
}

void PlotPointStore::grow()
{
    if (begin_ > 0 && begin_ * 2 >= capacity_) {
        compact();
        return;
    }
    const std::int64_t delta = capacity_ > 64 ? capacity_ / 4 : capacity_ > 8 ? 16 : 4;
    std::int64_t wanted = capacity_ + delta;
    if (wanted > maxCount_ + begin_)
        wanted = maxCount_ + begin_;
    if (wanted <= end_)
        throw TiPlotError("Exceed Maximum List Size");
    // realloc lets large blocks grow in place (mremap), so growth does not need the old and
    // the new array at once.
    auto* xs = static_cast<double*>(std::realloc(xs_, static_cast<std::size_t>(wanted) * sizeof(double)));
    if (!xs)
        throw std::bad_alloc();
    xs_ = xs;
    auto* ys = static_cast<double*>(std::realloc(ys_, static_cast<std::size_t>(wanted) * sizeof(double)));
    if (!ys)
        throw std::bad_alloc();
    ys_ = ys;
    capacity_ = wanted;
}

// Moves the live points of a ring buffer to the front and rebuilds runs and pyramid: O(n)
// once every n additions or more.
void PlotPointStore::compact()
{
    const std::int64_t n = end_ - begin_;
    std::memmove(xs_, xs_ + begin_, static_cast<std::size_t>(n) * sizeof(double));
    std::memmove(ys_, ys_ + begin_, static_cast<std::size_t>(n) * sizeof(double));
    std::map<std::int64_t, std::uint8_t> flags;
    for (const auto& [index, value] : flags_)
        if (index >= begin_)
            flags.emplace(index - begin_, value);
    flags_.swap(flags);
    begin_ = 0;
    end_ = n;
    runs_.clear();
    firstRun_ = 0;
    bool gap = false;
    double last = 0;
    for (std::int64_t i = 0; i < n; ++i) {
        if (!finitePoint(xs_[i], ys_[i])) {
            gap = true;
            continue;
        }
        if (runs_.empty() || gap || xs_[i] < last)
            runs_.push_back({i, i + 1, !runs_.empty() && !gap});
        else
            runs_.back().end = i + 1;
        gap = false;
        last = xs_[i];
    }
    pyramidRebuild();
}

void PlotPointStore::dropFront()
{
    flags_.erase(begin_);
    ++begin_;
    while (firstRun_ < runs_.size() && runs_[firstRun_].end <= begin_)
        ++firstRun_;
}

int PlotPointStore::add(double x, double y)
{
    if (ringSize_ > 0 && count() >= ringSize_)
        dropFront();
    if (end_ == capacity_)
        grow();
    const std::int64_t p = end_;
    xs_[p] = x;
    ys_[p] = y;
    ++end_;
    // A point with a NaN or infinite coordinate is kept (its index counts) but breaks the
    // line and touches neither the extremes nor the pyramid.
    if (!finitePoint(x, y)) {
        gapPending_ = true;
        if (((p + 1) & (BlockSize - 1)) == 0)
            pyramidBlockDone(p);
        return count() - 1;
    }
    if (x > xMax_)
        xMax_ = x;
    if (x < xMin_)
        xMin_ = x;
    if (y > yMax_)
        yMax_ = y;
    if (y < yMin_)
        yMin_ = y;
    if (runs_.size() == firstRun_ || gapPending_ || x < lastX_)
        runs_.push_back({p, p + 1, runs_.size() > firstRun_ && !gapPending_});
    else
        runs_.back().end = p + 1;
    gapPending_ = false;
    lastX_ = x;
    if (((p + 1) & (BlockSize - 1)) == 0)
        pyramidBlockDone(p);
    return count() - 1;
}

// Only whole blocks are ever read (a block a query covers entirely lies before the end of
// the list), so a block's entry is made once, when its last point arrives, and a level's
// block when its 32nd block below is made: a few comparisons a point on average.
void PlotPointStore::pyramidBlockDone(std::int64_t p)
{
    const std::int64_t first = p + 1 - BlockSize;
    double lo = Inf, hi = -Inf;
    for (std::int64_t i = first; i <= p; ++i) {
        if (!finitePoint(xs_[i], ys_[i]))
            continue;
        lo = std::min(lo, ys_[i]);
        hi = std::max(hi, ys_[i]);
    }
    for (std::size_t level = 0;; ++level) {
        if (level == pyramid_.size())
            pyramid_.emplace_back();
        auto& entries = pyramid_[level];
        entries.push_back(lo);
        entries.push_back(hi);
        const std::size_t blocks = entries.size() / 2;
        if (blocks % BlockSize != 0)
            break;
        lo = Inf;
        hi = -Inf;
        for (std::size_t k = blocks - BlockSize; k < blocks; ++k) {
            lo = std::min(lo, entries[2 * k]);
            hi = std::max(hi, entries[2 * k + 1]);
        }
    }
}

void PlotPointStore::pyramidRebuild()
{
    pyramid_.clear();
    for (std::int64_t p = BlockSize - 1; p < end_; p += BlockSize)
        pyramidBlockDone(p);
}

void PlotPointStore::rangeMinMax(std::int64_t a, std::int64_t b, double& lo, double& hi) const
{
    lo = Inf;
    hi = -Inf;
    // Raw points at the ragged ends, then whole blocks level by level.
    auto scan = [&](const double* values, std::int64_t from, std::int64_t to, int stride, int offsetLo, int offsetHi) {
        for (std::int64_t i = from; i < to; ++i) {
            const double l = values[i * stride + offsetLo];
            const double h = values[i * stride + offsetHi];
            if (l < lo)
                lo = l;
            if (h > hi)
                hi = h;
        }
    };
    std::size_t level = 0;
    const double* values = ys_;
    int stride = 1, offLo = 0, offHi = 0;
    while (a < b) {
        const std::int64_t aUp = std::min(b, (a + BlockSize - 1) & ~(BlockSize - 1));
        const std::int64_t bDown = std::max(aUp, b & ~(BlockSize - 1));
        const bool canClimb = level < pyramid_.size() && aUp < bDown &&
                              static_cast<std::size_t>(bDown >> BlockShift) * 2 <= pyramid_[level].size();
        if (!canClimb) {
            scan(values, a, b, stride, offLo, offHi);
            return;
        }
        scan(values, a, aUp, stride, offLo, offHi);
        scan(values, bDown, b, stride, offLo, offHi);
        a = aUp >> BlockShift;
        b = bDown >> BlockShift;
        values = pyramid_[level].data();
        stride = 2, offLo = 0, offHi = 1;
        ++level;
    }
}

std::int64_t PlotPointStore::physical(int index) const
{
    if (index < 0 || index >= count())
        throw TiPlotError("Index out of Bounds");
    return begin_ + index;
}

double PlotPointStore::x(int index) const
{
    return xs_[physical(index)];
}

double PlotPointStore::y(int index) const
{
    return ys_[physical(index)];
}

std::uint8_t PlotPointStore::flags(int index) const
{
    const auto it = flags_.find(physical(index));
    return it == flags_.end() ? 0 : it->second;
}

void PlotPointStore::setFlags(int index, std::uint8_t flags)
{
    const std::int64_t p = physical(index);
    if (flags)
        flags_[p] = flags;
    else
        flags_.erase(p);
}

bool PlotPointStore::yRangeWithin(double lo, double hi, double& yLo, double& yHi) const
{
    yLo = Inf;
    yHi = -Inf;
    for (std::size_t r = firstRun_; r < runs_.size(); ++r) {
        const std::int64_t s = std::max(runs_[r].start, begin_);
        const std::int64_t e = runs_[r].end;
        if (s >= e)
            continue;
        const std::int64_t a = std::lower_bound(xs_ + s, xs_ + e, lo) - xs_;
        const std::int64_t b = std::upper_bound(xs_ + a, xs_ + e, hi) - xs_;
        if (a >= b)
            continue;
        double l, h;
        rangeMinMax(a, b, l, h);
        yLo = std::min(yLo, l);
        yHi = std::max(yHi, h);
    }
    return yLo <= yHi;
}

bool PlotPointStore::nearest(double x, double& px, double& py) const
{
    double best = Inf;
    for (std::size_t r = firstRun_; r < runs_.size(); ++r) {
        const std::int64_t s = std::max(runs_[r].start, begin_);
        const std::int64_t e = runs_[r].end;
        if (s >= e)
            continue;
        const std::int64_t i = std::lower_bound(xs_ + s, xs_ + e, x) - xs_;
        for (std::int64_t j : {i - 1, i}) {
            if (j < s || j >= e)
                continue;
            const double d = std::abs(xs_[j] - x);
            if (d < best) {
                best = d;
                px = xs_[j];
                py = ys_[j];
            }
        }
    }
    return best < Inf;
}

std::size_t PlotPointStore::bytesAllocated() const
{
    std::size_t bytes = static_cast<std::size_t>(capacity_) * 2 * sizeof(double);
    for (const auto& level : pyramid_)
        bytes += level.capacity() * sizeof(double);
    bytes += runs_.capacity() * sizeof(Run);
    bytes += flags_.size() * 48;
    return bytes;
}

void PlotPointStore::trace(const Mapping& m, bool reduce, Trace& out) const
{
    out.clear();
    if (!(m.xSpan > 0) || !(m.ySpan > 0) || m.width < 1)
        return;
    const double scaleX = m.width / m.xSpan;
    const double scaleY = m.height / m.ySpan;
    const auto columns = static_cast<std::int64_t>(std::lround(m.width));
    constexpr std::int64_t FarLeft = -3;
    const std::int64_t farRight = columns + 2;
    const double bottom = m.top + m.height;
    auto column = [&](double x) -> std::int64_t {
        const double c = std::floor((x - m.xMin) * scaleX);
        if (!(c > FarLeft))
            return FarLeft;
        if (!(c < farRight))
            return farRight;
        return static_cast<std::int64_t>(c);
    };
    // Far outside the view, coordinates are kept as they are (clamped so the rasteriser's
    // fixed-point range holds); only segments between such points are dropped, and those
    // lie wholly outside the view.
    auto pixelX = [&](double x, std::int64_t c) {
        if (c != FarLeft && c != farRight)
            return m.left + static_cast<double>(c);
        return std::clamp(m.left + (x - m.xMin) * scaleX, m.left - 1e6, m.left + m.width + 1e6);
    };
    // Y goes to its whole pixel row as well: the aliased rasteriser then sees whole pixels
    // only (a half-pixel position is ambiguous to it), and a column's vertical strokes cover
    // the same rows however they are split.
    auto pixelY = [&](double y) { return std::floor(std::clamp(bottom - (y - m.yMin) * scaleY, m.top - 1e6, bottom + 1e6)); };
    // A point on the pixel of the one before adds nothing to the line; dropping it also
    // keeps zero-length segments, which the rasteriser joins differently, out of the path.
    int lineStart = 0;
    auto append = [&](QPointF point) {
        if (out.points.size() > lineStart && out.points.constLast() == point)
            return;
        out.points.append(point);
    };
    auto push = [&](std::int64_t i, std::int64_t c) { append(QPointF(pixelX(xs_[i], c), pixelY(ys_[i]))); };

    for (std::size_t r = firstRun_; r < runs_.size(); ++r) {
        const Run& run = runs_[r];
        const std::int64_t s = std::max(run.start, begin_);
        const std::int64_t e = run.end;
        if (s >= e)
            continue;
        const bool opens = !run.joined || s != run.start || out.starts.isEmpty();
        if (opens) {
            lineStart = out.points.size();
            out.starts.append(lineStart);
        }
        const bool closes = r + 1 == runs_.size() || !runs_[r + 1].joined;
        if (!reduce) {
            for (std::int64_t i = s; i < e; ++i)
                push(i, column(xs_[i]));
            continue;
        }
        std::int64_t i = s;
        while (i < e) {
            const std::int64_t c = column(xs_[i]);
            // The first point of a later column. Points usually come at an even pace, so an
            // interpolated guess and its neighbour settle it in two reads; otherwise the
            // search falls back to halving (every other step), never worse than a bisection.
            // Reads far apart in a long list are cache misses, which is what this saves.
            std::int64_t lo = i;  // known in column c
            std::int64_t hi = e;  // known past it (or the end)
            const double edge = m.xMin + static_cast<double>(c + 1) / scaleX;
            bool interpolate = true;
            if (c == farRight)
                lo = hi - 1;  // everything after lies beyond the view as well
            while (hi - lo > 1) {
                std::int64_t probe;
                const double x0 = xs_[lo];
                const double x1 = xs_[hi - 1];
                if (interpolate && x1 > x0) {
                    const double t = (edge - x0) / (x1 - x0);
                    probe = lo + 1 + static_cast<std::int64_t>(std::clamp(t, 0.0, 1.0) * static_cast<double>(hi - 2 - lo));
                    probe = std::clamp(probe, lo + 1, hi - 1);
                    if (column(xs_[probe]) <= c) {
                        lo = probe;
                        if (probe + 1 < hi && column(xs_[probe + 1]) > c)
                            hi = probe + 1;
                    } else {
                        hi = probe;
                        if (probe - 1 > lo && column(xs_[probe - 1]) <= c)
                            lo = probe - 1;
                    }
                } else {
                    probe = lo + (hi - lo) / 2;
                    if (column(xs_[probe]) <= c)
                        lo = probe;
                    else
                        hi = probe;
                }
                interpolate = !interpolate;
            }
            const std::int64_t j = hi;  // one past the column
            // The next column most likely ends as far on as this one did: start loading
            // that part of the list while this column is being reduced.
            if (const std::int64_t ahead = j + (j - i); ahead < e) {
                __builtin_prefetch(xs_ + ahead);
                __builtin_prefetch(xs_ + ahead - 1);
                __builtin_prefetch(ys_ + ahead - 1);
            }
            const std::int64_t n = j - i;
            if (n <= 4) {
                for (std::int64_t k = i; k < j; ++k)
                    push(k, c);
            } else if (c == FarLeft || c == farRight) {
                push(i, c);
                push(j - 1, c);
            } else {
                // Where a line starts or ends the rasteriser's cap depends on the direction
                // of the first or last segment, so those keep their real neighbour.
                const bool head = opens && i == s;
                const bool tail = closes && j == e;
                double yl, yh;
                rangeMinMax(i + 1, j - 1, yl, yh);
                const double px = pixelX(0, c);
                push(i, c);
                if (head)
                    push(i + 1, c);
                append(QPointF(px, pixelY(yl)));
                append(QPointF(px, pixelY(yh)));
                if (tail)
                    push(j - 2, c);
                push(j - 1, c);
            }
            i = j;
        }
    }
}

}  // namespace velmar
