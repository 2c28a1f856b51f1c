#pragma once

#include <QPointF>
#include <QVector>

#include <cstddef>
#include <cstdint>
#include <map>
#include <vector>

namespace velmar {

// Per-point flags; almost every point has none, so they are kept apart from the
// coordinates, only for the points that carry one.
enum TiPlotPointFlag : std::uint8_t {
    ippfEmpty = 0x01,
    ippfNull = 0x02,
    ippfMarkerShown = 0x04,
};

// The points of one channel: X and Y in two plain arrays (16 bytes a point), running
// extremes, the runs of finite points whose X does not fall, and a min/max pyramid of Y over
// blocks of points. The pyramid and the runs are kept as points arrive, so drawing a channel
// of millions of points costs a few range queries per pixel column, never a full scan.
class PlotPointStore {
public:
    // A list whose storage would pass this many points raises "Exceed Maximum List Size":
    // 16 bytes a point within a 32-bit byte count.
    static constexpr std::int64_t DefaultMaxCount = 0x7FFFFFFF / 16;

    explicit PlotPointStore(std::int64_t maxCount = DefaultMaxCount);
    ~PlotPointStore();
    PlotPointStore(const PlotPointStore&) = delete;
    PlotPointStore& operator=(const PlotPointStore&) = delete;

    // Appends and returns the new index. With a ring size n > 0 the oldest point beyond n is
    // dropped and indices stay 0 .. n-1.
    int add(double x, double y);
    void clear();
    void setRingSize(int ringSize);
    int ringSize() const { return ringSize_; }

    int count() const { return static_cast<int>(end_ - begin_); }
    // Storage reserved, in points (grows by 4 below 9 points, by 16 up to 64, then by a
    // quarter).
    int capacity() const { return static_cast<int>(capacity_); }
    // Throw "Index out of Bounds" outside 0 .. count-1.
    double x(int index) const;
    double y(int index) const;
    std::uint8_t flags(int index) const;
    void setFlags(int index, std::uint8_t flags);

    // Running extremes since the last clear (finite coordinates only); -1e300 / +1e300 when
    // nothing was added.
    double xMax() const { return xMax_; }
    double xMin() const { return xMin_; }
    double yMax() const { return yMax_; }
    double yMin() const { return yMin_; }

    // Smallest and largest Y of the finite points with X in [lo, hi]; false if there is none.
    bool yRangeWithin(double lo, double hi, double& yLo, double& yHi) const;
    // X of the finite point nearest to `x` (ties: the earlier); false when there are none.
    bool nearest(double x, double& px, double& py) const;

    // Bytes held by the store (arrays, pyramid, runs), for the memory figures.
    std::size_t bytesAllocated() const;

    // --- drawing ----------------------------------------------------------------------
    // Maps data to device pixels. Inside [left - 2, left + width + 2) points are placed on
    // their whole pixel column and row, so every point of one column lies on one vertical
    // line: drawing first, lowest, highest and last of a column then covers exactly the
    // pixels that drawing all of them covers.
    struct Mapping {
        double xMin = 0, xSpan = 1;
        double yMin = 0, ySpan = 1;
        double left = 0, top = 0, width = 1, height = 1;  // the data view in device pixels
    };
    // Polylines (consecutive points joined; a non-finite point breaks the line). With
    // `reduce` each pixel column of each rising run is cut to at most four points.
    struct Trace {
        QVector<QPointF> points;
        QVector<int> starts;  // index in `points` where each polyline starts
        void clear()
        {
            points.clear();
            starts.clear();
        }
    };
    void trace(const Mapping& mapping, bool reduce, Trace& out) const;

private:
    struct Run {
        std::int64_t start;  // physical index of the first point
        std::int64_t end;    // one past the last
        bool joined;         // the line continues from the previous run's last point
    };
    void grow();
    void compact();
    void dropFront();
    void pyramidBlockDone(std::int64_t lastOfBlock);
    void pyramidRebuild();
    void rangeMinMax(std::int64_t a, std::int64_t b, double& lo, double& hi) const;
    std::int64_t physical(int index) const;

    double* xs_ = nullptr;
    double* ys_ = nullptr;
    std::int64_t capacity_ = 0;
    std::int64_t begin_ = 0;  // physical index of logical point 0 (ring buffer)
    std::int64_t end_ = 0;
    std::int64_t maxCount_;
    int ringSize_ = 0;
    double xMax_, xMin_, yMax_, yMin_;
    double lastX_ = 0;
    bool gapPending_ = false;
    std::vector<Run> runs_;
    std::size_t firstRun_ = 0;  // runs before it lie wholly before begin_
    // level L holds min and max of the whole blocks of 32^(L+1) points, interleaved.
    std::vector<std::vector<double>> pyramid_;
    std::map<std::int64_t, std::uint8_t> flags_;
};

}  // namespace velmar
