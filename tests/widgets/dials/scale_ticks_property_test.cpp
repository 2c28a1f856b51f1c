// Every tick and label function of the chart's axes and of the dial scales, fed random and
// extreme inputs: each call ends, with a bounded number of ticks on the scale. A span of 1e-300
// at a Min of 4 (what Min = Max leaves on the V-I test's axis) once never ended.
#include "tests/support/dial_rig.h"
#include "tests/support/hang_guard.h"
#include "tests/support/tick_properties.h"
#include "widgets/dials/tiangulargauge.h"
#include "widgets/dials/tiknob.h"
#include "widgets/dials/tilineargauge.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <initializer_list>
#include <limits>
#include <random>

using namespace velmar;
using test::TickFigures;

namespace {

constexpr double Inf = std::numeric_limits<double>::infinity();
const double NaN = std::numeric_limits<double>::quiet_NaN();

// The values that have broken tick code before or are at an edge of the double format.
const double ExtremeDoubles[] = {0.0, -0.0, 1e-300, -1e-300, 1e-320, 5e-324, 1e300, -1e300, 1e308, -1e308,
                                 DBL_MAX, -DBL_MAX, Inf, -Inf, NaN, 1, -1, 4, 0.5, 55, 1e15, 9.007199254740993e15,
                                 1e16, 0.1, 2879950.3, 1e-15};
const int ExtremeInts[] = {INT_MIN, -1000, -1, 0, 1, 2, 3, 7, 11, 100, 1000, 1001, INT_MAX};

class Inputs {
public:
    double real()
    {
        switch (pick(4)) {
        case 0:
            return ExtremeDoubles[pick(std::size(ExtremeDoubles))];
        case 1:
            return std::uniform_real_distribution<double>(-100, 100)(random_);
        case 2: {  // any magnitude, either sign
            const double exponent = std::uniform_real_distribution<double>(-323, 308)(random_);
            return (pick(2) ? -1 : 1) * std::pow(10.0, exponent);
        }
        default: {  // any bit pattern
            const std::uint64_t bits = random_();
            double value;
            std::memcpy(&value, &bits, sizeof value);
            return value;
        }
        }
    }
    // A nearby value: what Min = Max or a tiny window next to a large Min looks like.
    double near(double x) { return pick(2) ? x : x * (1 + std::uniform_real_distribution<double>(-1e-12, 1e-12)(random_)); }
    int count(int typicalMax)
    {
        if (pick(5) == 0)
            return ExtremeInts[pick(std::size(ExtremeInts))];
        return std::uniform_int_distribution<int>(-2, typicalMax)(random_);
    }
    bool coin() { return pick(2) == 1; }

private:
    size_t pick(size_t n) { return std::uniform_int_distribution<size_t>(0, n - 1)(random_); }
    std::mt19937_64 random_{20260315};
};

TEST(ScaleTickProperties, AxisTicksEndBoundedOnTheAxisForAnyInput)
{
    test::HangGuard guard("computeTicks", 100);
    TickFigures figures;
    Inputs in;
    auto check = [&](double min, double span, int fit, int precision, int minors, double increment, bool fixed) {
        const QString broken = test::CheckAxisTicks(min, span, fit, precision, minors, increment,
                                                    fixed ? ipsFixedDecimalPoints : ipsSignificantDigits, figures);
        return broken.toStdString();
    };
    // Every extreme min against every extreme span, at the chart's own settings.
    for (double min : ExtremeDoubles)
        for (double span : ExtremeDoubles)
            for (int fit : {1, 12, MaxScaleTicks, INT_MAX})
                ASSERT_EQ(check(min, span, fit, 3, 1, 0, false), "");
    for (int i = 0; i < 100000; ++i) {
        const double min = in.real();
        const double span = in.coin() ? in.real() : in.near(min) - min;
        const double increment = in.coin() ? 0.0 : in.real();
        ASSERT_EQ(check(min, span, in.count(40), in.count(6), in.count(4), increment, in.coin()), "");
    }
    std::printf("axis ticks: %lld inputs, largest %lld majors and %lld minors, longest label %lld characters\n",
                figures.inputs, qlonglong(figures.largestMajors), qlonglong(figures.largestMinors),
                qlonglong(figures.longestLabel));
    EXPECT_LE(figures.largestMajors, MaxScaleTicks + 1);
}

TEST(ScaleTickProperties, DialScalesEndBoundedForAnyInput)
{
    test::HangGuard guard("the dial scales' functions", 100);
    TickFigures figures;
    Inputs in;
    for (double lo : ExtremeDoubles)
        for (double hi : ExtremeDoubles)
            for (int maxTicks : ExtremeInts)
                ASSERT_EQ(test::CheckDialScale(lo, hi, 7, maxTicks, 0, figures).toStdString(), "");
    for (int i = 0; i < 100000; ++i) {
        const double lo = in.real();
        const double hi = in.coin() ? in.real() : in.near(lo);
        ASSERT_EQ(test::CheckDialScale(lo, hi, in.count(12), in.count(12), in.count(4), figures).toStdString(), "");
    }
    std::printf("dial scales: %lld inputs, largest auto-scale count %d, longest label %lld characters\n",
                figures.inputs, figures.largestDialCount, qlonglong(figures.longestLabel));
}

// The bytes the fuzz target reads, in the shapes that matter: empty, short, and the hang's own.
TEST(ScaleTickProperties, FuzzInputsDecodeAndHold)
{
    TickFigures figures;
    QByteArray hang;
    for (double v : {4.0, 1e-300, 0.0})
        hang.append(reinterpret_cast<const char*>(&v), sizeof v);
    for (int v : {12, 3, 1})
        hang.append(reinterpret_cast<const char*>(&v), sizeof v);
    for (const QByteArray& bytes : {QByteArray(), QByteArray("\xff"), QByteArray(64, '\xff'), hang})
        EXPECT_EQ(test::CheckTickProperties(bytes, figures).toStdString(), "");
}

// The dials hold any tick count a caller sets to what a scale can show, and draw any range.
TEST(ScaleTickProperties, DialsDrawTheWidestScalesTheyCanBeGiven)
{
    TiKnob knob;
    test::voltageKnob(knob);
    knob.resize(137, 105);
    TiAngularGauge meter;
    test::currentMeter(meter);
    meter.resize(161, 97);
    TiLinearGauge gauge;
    test::positionGauge(gauge);
    gauge.resize(57, 545);
    for (TiPositionComponent* dial : std::initializer_list<TiPositionComponent*>{&knob, &meter, &gauge}) {
        SCOPED_TRACE(dial->metaObject()->className());
        dial->setAutoScaleMaxTicks(INT_MAX);
        dial->setAutoScaleDesiredTicks(INT_MAX);
        dial->setRange(-DBL_MAX, DBL_MAX);
        dial->setTickMajorCount(INT_MAX);
        dial->setTickMinorCount(INT_MAX);
        EXPECT_EQ(dial->tickMajorCount(), MaxScaleTicks);
        EXPECT_EQ(dial->tickMinorCount(), MaxMinorTicks);
        const QStringList labels = dial->tickLabels();
        EXPECT_EQ(labels.size(), MaxScaleTicks);
        EXPECT_EQ(labels.first(), QStringLiteral("-1.79769313486232E+308"));
        EXPECT_FALSE(dial->grab().isNull());
        dial->setTickMinorCount(-5);
        EXPECT_EQ(dial->tickMinorCount(), 0);
    }
}

}  // namespace
