#include "sim/current_model.h"
#include "sim/kestrom_sim.h"

#include <gtest/gtest.h>

namespace velmar::sim {
namespace {

TEST(CurrentModelCurve, EtchingRisePlateauAndGasEvolution)
{
    const double at12 = polishCurveCounts(12.0);
    EXPECT_NEAR(at12, 96.0, 0.01);
    struct Case {
        double from, to;     // volts
        double minRatio, maxRatio;  // of counts(to) / counts(from)
    };
    const Case cases[] = {
        {4.0, 10.0, 1.25, 2.0},   // etching: the current still climbs steeply
        {10.0, 20.0, 1.0, 1.1},   // polishing plateau: nearly flat
        {20.0, 40.0, 2.0, 10.0},  // gas evolution: climbs again, faster than before
        {40.0, 55.0, 1.5, 10.0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.from);
        const double ratio = polishCurveCounts(c.to) / polishCurveCounts(c.from);
        EXPECT_GT(ratio, c.minRatio);
        EXPECT_LT(ratio, c.maxRatio);
    }
    for (double v = 4.0; v < 55.0; v += 0.5)
        EXPECT_LT(polishCurveCounts(v), polishCurveCounts(v + 0.5)) << v;
}

// Where the simulated cell polishes rather than etches or gasses: between the knee of the
// etching rise and the onset of gas evolution at 24 V.
TEST(CurrentModelCurve, KnowsItsPlateau)
{
    const VoltRange plateau = polishPlateauVolts();
    EXPECT_NEAR(plateau.from, 10.9, 0.3);
    EXPECT_NEAR(plateau.to, 25.1, 0.3);
    const auto share = [](double v) { return (polishCurveCounts(v + 0.5) - polishCurveCounts(v - 0.5)) / polishCurveCounts(v); };
    EXPECT_GT(share(plateau.from - 1.0), 0.015);
    EXPECT_LT(share(plateau.centre()), 0.015);
    EXPECT_GT(share(plateau.to + 1.0), 0.015);
    EXPECT_LT(polishPlateauVolts(0.03).from, plateau.from);  // a looser plateau is wider
    EXPECT_GT(polishPlateauVolts(0.03).to, plateau.to);
}

// The instrument on a hand-driven clock, read frame by frame as the host would.
class CurrentStreamTest : public ::testing::Test {
protected:
    ManualClock clock;
    KestromSim sim{clock.clock()};

    void send(const QByteArray& command)
    {
        const QByteArray bytes = command + '\r';
        std::uint32_t written = 0;
        ASSERT_TRUE(sim.write(Channel::A, bytes.constData(), std::uint32_t(bytes.size()), &written));
    }
    // Sends the command and waits for its reply, as the host does.
    void run(const QByteArray& command)
    {
        send(command);
        std::uint32_t count = 0;
        for (int ms = 0; ms < 5000 && count < 3; ms += 5) {
            clock.advance(5);
            sim.queued(Channel::A, &count);
        }
        char reply[8];
        sim.read(Channel::A, reply, count, &count);
    }
    void drain()
    {
        std::uint32_t count = 0;
        sim.queued(Channel::B, &count);
        QByteArray bytes(int(count), '\0');
        sim.read(Channel::B, bytes.data(), count, &count);
    }
    // Mean raw count above the zero count over the next `frames` frames.
    double current(int frames = 25)
    {
        drain();
        clock.advance(std::int64_t(frames) * KestromSim::FramePeriodMs);
        std::uint32_t count = 0;
        sim.queued(Channel::B, &count);
        QByteArray bytes(int(count), '\0');
        sim.read(Channel::B, bytes.data(), count, &count);
        double sum = 0;
        int n = 0;
        for (int i = 0; i + 6 <= bytes.size(); i += 6, ++n)
            sum += bytes.mid(i, 5).toInt() - 10000 - sim.currentModel().zeroCount;
        return n ? sum / n : -1.0;
    }
    void strokes(int count)
    {
        for (int i = 0; i < count; ++i) {
            run("GP -156 2");
            run("GP 156 2");
        }
    }
    void switchOn(const QByteArray& mode = "DC")
    {
        run("TP");
        run("GT -156");  // Home, 1 mm below the top
        run("GT -2187");  // a dip wets the electrode
        run("GT 2187");
        run("SP 1024 192");
        run(mode);
        run("PO 1");
    }
};

TEST_F(CurrentStreamTest, ZeroCountWithTheRelayOpenAndLessCurrentOnAc)
{
    switchOn();
    EXPECT_NEAR(current(), 0.0, 0.6);
    run("RY 1");
    const double dc = current();
    EXPECT_NEAR(dc, 96.0 * 0.91, 2.5);  // 12 V; the way up from the dip drained a little
    run("AC");
    EXPECT_NEAR(current() / dc, 0.6, 0.05);
    run("RY 0");
    run("PO 0");
    drain();
    clock.advance(10 * KestromSim::FramePeriodMs);
    std::uint32_t count = 0;
    sim.queued(Channel::B, &count);
    QByteArray bytes(int(count), '\0');
    sim.read(Channel::B, bytes.data(), count, &count);
    EXPECT_LT(bytes.left(5).toInt(), 10000);  // output off: no flag
}

TEST_F(CurrentStreamTest, FilmFromADipFadesOverTheStrokes)
{
    switchOn();
    run("RY 1");
    strokes(60);
    const double dry = current();

    // A dip to the default Electrolyte position, 15 mm down, and back to Home: fast enough at
    // speed 50 that the electrode spends less than a frame period below the surface.
    sim.setSpeedFactor(50);
    send("GT -2187");
    send("GT 2187");
    clock.advance(300);
    sim.setSpeedFactor(1);
    const double wetted = current(5);
    strokes(10);
    const double afterTen = current(5);

    EXPECT_LT(dry, 0.5 * wetted);
    EXPECT_NEAR(afterTen / wetted, 0.85, 0.03);

    // A "dip" that stays above the surface wets nothing.
    run("GT -1000");
    run("GT 1000");
    EXPECT_LT(current(5), afterTen);
}

TEST_F(CurrentStreamTest, CurrentFallsSlowlyAsThePolishProceeds)
{
    switchOn();
    run("RY 1");
    const double fresh = current();
    clock.advance(60'000);
    const double oneMinute = current();
    clock.advance(120'000);  // nobody reads meanwhile: frames are dropped, the polish goes on
    const double threeMinutes = current();
    EXPECT_NEAR(oneMinute / fresh, 0.75, 0.04);
    EXPECT_NEAR(threeMinutes / fresh, 0.5, 0.04);
    // The current itself falls, not the zero.
    run("RY 0");
    EXPECT_NEAR(current(), 0.0, 0.6);
}

}  // namespace
}  // namespace velmar::sim
