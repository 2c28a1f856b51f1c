#pragma once

#include "sim/current_model.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <deque>
#include <map>
#include <functional>
#include <memory>
#include <optional>
#include <random>
#include <vector>

namespace velmar::sim {

// Milliseconds on a monotonic clock. The instrument's timing is a pure function of this clock,
// so a test can drive it by hand and the simulator needs no thread of its own.
using Clock = std::function<std::int64_t()>;
Clock steadyClock();

// A clock that moves only when told to.
class ManualClock {
public:
    std::int64_t now = 0;
    void advance(std::int64_t ms) { now += ms; }
    Clock clock() { return [this] { return now; }; }
};

enum class Channel { A, B };

// Switches for the faults a test wants to provoke. They act from the moment they are set.
struct Faults {
    bool noDevice = false;       // no interface with our serial number is attached
    bool missingA = false;       // only channel B enumerates
    bool missingB = false;       // only channel A enumerates
    // Replaces the bytes of every reply from now on: an empty array means no reply at all,
    // "K" a reply too short to be an acknowledgement.
    std::optional<QByteArray> reply;
    int lateReplyMs = 0;         // every reply arrives this much later than the device's timing
    bool purgeBusy = false;      // purges fail for a moment's reason, the device still there
    bool garbageFrames = false;  // channel B frames carry non-digits in place of the value
    // Every channel B frame carries these five characters in place of the value ("$FFFF").
    std::optional<QByteArray> frameText;
    bool streamStalled = false;  // channel B stays open but sends nothing
    int framesPerPeriod = 1;     // a flood: this many frames every frame period
};

// Every write on channel A, as it arrived.
struct WireChunk {
    std::int64_t atMs = 0;
    QByteArray bytes;
};

// One command as the device parsed it: the text before the carriage return, and the instant
// that carriage return arrived.
struct WireCommand {
    std::int64_t atMs = 0;
    QByteArray text;
};

struct Counters {
    int opensA = 0;
    int opensB = 0;
    int commands = 0;           // complete commands received on channel A
    int replies = 0;            // replies that reached channel A's receive queue
    std::int64_t framesSent = 0;
    std::int64_t framesDropped = 0;  // lost because channel B's receive queue was full
    std::int64_t bytesReadA = 0;
    std::int64_t bytesReadB = 0;
    int purgesRxA = 0;
    int purgesRxB = 0;
    int failedCalls = 0;        // calls refused because the device was unplugged
    int queueQueriesA = 0;      // looks at channel A's receive queue
};

// The simulated instrument: the axis, the supply with its relay, the command interpreter on
// channel A and the current stream on channel B, seen from the USB side (what a host can open,
// write, query and read). Single-threaded: call it from one thread only.
class KestromSim {
public:
    // Channel B sends one frame per period: slower than the host's 30 ms poll, so a host that
    // takes one frame per poll never falls behind.
    static constexpr int FramePeriodMs = 40;
    // What the host-side receive queue holds before further data is lost.
    static constexpr int ReceiveQueueCapacity = 4096;
    // Time the controller board takes to act on any command, before any motion.
    static constexpr int CommandOverheadMs = 5;
    // Where the carriage sits when the instrument is switched on: not at the top.
    static constexpr int PowerOnPosition = 640;

    explicit KestromSim(Clock clock = steadyClock(), unsigned seed = 1);
    ~KestromSim();
    KestromSim(const KestromSim&) = delete;
    KestromSim& operator=(const KestromSim&) = delete;

    // --- configuration -------------------------------------------------------------------
    QString serialNumber = QStringLiteral("KS265000");
    Faults faults;
    // Told of every command as the device takes it (the text before the carriage return).
    std::function<void(const QByteArray& command)> commandObserver;
    // Motion-time scale: 10 runs moves ten times faster than the real axis.
    void setSpeedFactor(double factor);
    double speedFactor() const { return speedFactor_; }
    void setCurrentModel(std::unique_ptr<CurrentModel> model);
    CurrentModel& currentModel() { return *model_; }
    // Steps per second of the axis at an "SS" speed setting (2 normal, 3 medium, 4 low).
    static double stepRate(int speedSetting);

    // --- faults that happen at an instant --------------------------------------------------
    void unplug();  // every call on either channel fails from now on
    // Only this channel's interface is gone (the other keeps working): a cable fault that
    // takes one of them, or an I/O error that only one of them reports.
    void unplug(Channel channel);
    bool unplugged(Channel channel) const { return channel == Channel::A ? unpluggedA_ : unpluggedB_; }
    // The next k bytes of the current stream are lost, so later frames arrive out of step.
    void shiftStream(int k);
    // These bytes arrive on channel B as they are, after the frames due so far: whatever a
    // broken or foreign device might send, for feeding the frame reader arbitrary input.
    // What does not fit the receive queue is lost, as frames are.
    void injectStream(const QByteArray& bytes);

    // --- the USB side ----------------------------------------------------------------------
    // Full serial number of a channel's interface: "KS265000A", "KS265000B".
    QString channelSerial(Channel channel) const;
    bool present(Channel channel) const;
    // False when absent or already open (one host at a time).
    bool open(Channel channel);
    void close(Channel channel);
    bool isOpen(Channel channel) const;
    // The calls below return false when the channel has been unplugged.
    bool write(Channel channel, const char* data, std::uint32_t n, std::uint32_t* written);
    bool queued(Channel channel, std::uint32_t* count);
    bool read(Channel channel, char* buffer, std::uint32_t n, std::uint32_t* got);
    bool purge(Channel channel, bool rx, bool tx);
    // Earliest instant at which more bytes will arrive on the channel, if any are due.
    std::optional<std::int64_t> nextArrival(Channel channel);
    // Bytes in the channel's receive queue now, without counting as a call on the device.
    std::uint32_t waiting(Channel channel) const;
    // `watcher` (keyed by its owner; empty to take it back) is told when the channel is
    // unplugged, so a reader waiting for bytes looks at the line at once.
    void watchLine(Channel channel, const void* owner, std::function<void()> watcher);

    // --- what the instrument is doing ------------------------------------------------------
    std::int64_t now() const { return clock_(); }
    int positionSteps();   // steps below the top right now (mid-move positions interpolated)
    int speedSetting() const { return state_.speed; }
    int setPoint() const { return state_.setPoint; }
    bool dc() const { return state_.dc; }
    bool outputOn() const { return state_.outputOn; }
    bool relayOn() const { return state_.relayOn; }
    bool exitReceived() const { return exitReceived_; }
    // When the interface was last opened; nullopt before.
    std::optional<std::int64_t> openedAt(Channel channel) const;

    // --- the wire log (channel A, host to device) ------------------------------------------
    QByteArray wireBytes() const;
    // The log cut into commands at each carriage return; an unfinished tail is left out.
    QList<WireCommand> commands() const;
    QStringList commandTexts() const;
    const Counters& counters() const { return counters_; }

private:
    struct Reply {
        std::int64_t readyAt;
        QByteArray bytes;
    };
    struct Move {
        std::int64_t start, end;
        int from, to;
    };

    void advance();                  // brings both receive queues up to now
    void deliverReplies(std::int64_t t);
    void streamUntil(std::int64_t t);
    void execute(const QByteArray& command, std::int64_t at);
    std::int64_t scaled(double ms) const;
    int positionAt(std::int64_t t) const;
    // The deepest position between t0 (exclusive) and t1 (inclusive); moves ending after t0
    // must not have been folded yet.
    int deepestBetween(std::int64_t t0, std::int64_t t1) const;
    double travelAt(std::int64_t t) const;  // steps travelled since switch-on
    void foldFinishedMoves(std::int64_t t);
    QByteArray frameBytes(std::int64_t at);

    Clock clock_;
    std::mt19937 rng_;
    std::unique_ptr<CurrentModel> model_;
    double speedFactor_ = 1.0;
    bool unpluggedA_ = false, unpluggedB_ = false;
    std::map<std::pair<Channel, const void*>, std::function<void()>> lineWatchers_;
    bool exitReceived_ = false;
    bool openA_ = false, openB_ = false;
    std::optional<std::int64_t> openedAtA_, openedAtB_;

    SupplyState state_;
    int restPosition_ = PowerOnPosition;  // position after every folded move
    double restTravel_ = 0.0;             // steps travelled by every folded move
    std::vector<Move> moves_;
    std::int64_t busyUntil_ = 0;

    QByteArray partialCommand_;
    std::deque<Reply> pending_;
    QByteArray rxA_;

    std::int64_t streamStart_ = 0;
    std::int64_t framesDue_ = 0;      // frames generated so far
    std::int64_t lastFrameAt_ = 0;    // instant of the last frame the current model saw
    int shiftPending_ = 0;
    QByteArray rxB_;

    QList<WireChunk> wire_;
    Counters counters_;
};

}  // namespace velmar::sim
