#include "sim/kestrom_sim.h"

#include "device/protocol.h"

#include <QList>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace velmar::sim {

Clock steadyClock()
{
    return [] {
        using namespace std::chrono;
        return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
    };
}

KestromSim::KestromSim(Clock clock, unsigned seed)
    : clock_(std::move(clock)), rng_(seed), model_(std::make_unique<CurrentModel>())
{
    streamStart_ = clock_();
    busyUntil_ = streamStart_;
    lastFrameAt_ = streamStart_;
}

KestromSim::~KestromSim() = default;

void KestromSim::setSpeedFactor(double factor) { speedFactor_ = factor > 0 ? factor : 1.0; }

void KestromSim::setCurrentModel(std::unique_ptr<CurrentModel> model)
{
    streamUntil(now());
    model_ = model ? std::move(model) : std::make_unique<CurrentModel>();
}

double KestromSim::stepRate(int speedSetting)
{
    switch (speedSetting) {
    case 3: return 1000.0;
    case 4: return 500.0;
    default: return 2000.0;
    }
}

void KestromSim::unplug()
{
    unplug(Channel::A);
    unplug(Channel::B);
}

void KestromSim::unplug(Channel channel)
{
    advance();
    (channel == Channel::A ? unpluggedA_ : unpluggedB_) = true;
    for (const auto& [key, watcher] : lineWatchers_) {
        if (key.first == channel)
            watcher();
    }
}

void KestromSim::watchLine(Channel channel, const void* owner, std::function<void()> watcher)
{
    if (watcher)
        lineWatchers_[{channel, owner}] = std::move(watcher);
    else
        lineWatchers_.erase({channel, owner});
}

std::uint32_t KestromSim::waiting(Channel channel) const
{
    return static_cast<std::uint32_t>(channel == Channel::A ? rxA_.size() : rxB_.size());
}

void KestromSim::shiftStream(int k)
{
    streamUntil(now());
    shiftPending_ += std::max(0, k);
}

void KestromSim::injectStream(const QByteArray& bytes)
{
    streamUntil(now());
    if (unpluggedB_)
        return;
    const qsizetype room = std::max<qsizetype>(0, ReceiveQueueCapacity - rxB_.size());
    rxB_.append(bytes.first(std::min(bytes.size(), room)));
}

QString KestromSim::channelSerial(Channel channel) const
{
    return serialNumber + (channel == Channel::A ? QLatin1Char('A') : QLatin1Char('B'));
}

bool KestromSim::present(Channel channel) const
{
    if (faults.noDevice || unplugged(channel))
        return false;
    return channel == Channel::A ? !faults.missingA : !faults.missingB;
}

bool KestromSim::open(Channel channel)
{
    bool& isOpen = channel == Channel::A ? openA_ : openB_;
    if (!present(channel) || isOpen)
        return false;
    advance();
    isOpen = true;
    (channel == Channel::A ? openedAtA_ : openedAtB_) = now();
    ++(channel == Channel::A ? counters_.opensA : counters_.opensB);
    return true;
}

void KestromSim::close(Channel channel) { (channel == Channel::A ? openA_ : openB_) = false; }

bool KestromSim::isOpen(Channel channel) const { return channel == Channel::A ? openA_ : openB_; }

std::optional<std::int64_t> KestromSim::openedAt(Channel channel) const
{
    return channel == Channel::A ? openedAtA_ : openedAtB_;
}

bool KestromSim::write(Channel channel, const char* data, std::uint32_t n, std::uint32_t* written)
{
    *written = 0;
    if (unplugged(channel)) {
        ++counters_.failedCalls;
        return false;
    }
    advance();
    const std::int64_t t = now();
    // Channel B is receive-only on the instrument: whatever the host sends there is lost.
    if (channel == Channel::B) {
        *written = n;
        return true;
    }
    wire_.append({t, QByteArray(data, static_cast<qsizetype>(n))});
    for (std::uint32_t i = 0; i < n; ++i) {
        if (data[i] == '\r') {
            ++counters_.commands;
            execute(partialCommand_, t);
            partialCommand_.clear();
        } else {
            partialCommand_.append(data[i]);
        }
    }
    *written = n;
    return true;
}

bool KestromSim::queued(Channel channel, std::uint32_t* count)
{
    *count = 0;
    if (unplugged(channel)) {
        ++counters_.failedCalls;
        return false;
    }
    advance();
    if (channel == Channel::A)
        ++counters_.queueQueriesA;
    *count = static_cast<std::uint32_t>(channel == Channel::A ? rxA_.size() : rxB_.size());
    return true;
}

bool KestromSim::read(Channel channel, char* buffer, std::uint32_t n, std::uint32_t* got)
{
    *got = 0;
    if (unplugged(channel)) {
        ++counters_.failedCalls;
        return false;
    }
    advance();
    QByteArray& rx = channel == Channel::A ? rxA_ : rxB_;
    const auto take = static_cast<std::uint32_t>(std::min<qsizetype>(rx.size(), n));
    std::memcpy(buffer, rx.constData(), take);
    rx.remove(0, take);
    *got = take;
    (channel == Channel::A ? counters_.bytesReadA : counters_.bytesReadB) += take;
    return true;
}

bool KestromSim::purge(Channel channel, bool rx, bool /*tx*/)
{
    if (unplugged(channel)) {
        ++counters_.failedCalls;
        return false;
    }
    advance();
    if (rx) {
        (channel == Channel::A ? rxA_ : rxB_).clear();
        ++(channel == Channel::A ? counters_.purgesRxA : counters_.purgesRxB);
    }
    return true;
}

std::optional<std::int64_t> KestromSim::nextArrival(Channel channel)
{
    if (unplugged(channel))
        return std::nullopt;
    advance();
    if (channel == Channel::A) {
        if (pending_.empty())
            return std::nullopt;
        return pending_.front().readyAt;
    }
    if (faults.streamStalled)
        return std::nullopt;
    return streamStart_ + (framesDue_ + 1) * FramePeriodMs;
}

int KestromSim::positionSteps() { return positionAt(now()); }

void KestromSim::advance()
{
    const std::int64_t t = now();
    if (!unpluggedA_)
        deliverReplies(t);
    streamUntil(t);
}

void KestromSim::deliverReplies(std::int64_t t)
{
    while (!pending_.empty() && pending_.front().readyAt <= t) {
        if (!pending_.front().bytes.isEmpty()) {
            rxA_.append(pending_.front().bytes);
            ++counters_.replies;
        }
        pending_.pop_front();
    }
    if (rxA_.size() > ReceiveQueueCapacity)
        rxA_.truncate(ReceiveQueueCapacity);
}

std::int64_t KestromSim::scaled(double ms) const
{
    return static_cast<std::int64_t>(std::llround(ms / speedFactor_));
}

void KestromSim::execute(const QByteArray& command, std::int64_t at)
{
    // Moves queue behind one another; everything else acts as it arrives.
    const QList<QByteArray> words = command.split(' ');
    const QByteArray keyword = words.value(0);
    namespace word = protocol::word;
    auto number = [&](int index, bool* ok) { return words.value(index).toInt(ok); };
    bool known = true;
    double workMs = CommandOverheadMs;

    // Everything sampled on channel B before this instant used the old state.
    streamUntil(at);
    if (commandObserver)
        commandObserver(command);

    auto startMove = [&](int delta) {
        const std::int64_t start = std::max(at, busyUntil_);
        const int from = moves_.empty() ? restPosition_ : moves_.back().to;
        const int to = from + delta;
        const double moveMs = std::abs(delta) * 1000.0 / stepRate(state_.speed);
        const std::int64_t end = start + scaled(CommandOverheadMs + moveMs);
        moves_.push_back({start, end, from, to});
        busyUntil_ = end;
        return end;
    };

    std::optional<std::int64_t> replyAt;
    bool ok = false;
    if ((keyword == word::GoTo && words.size() == 2) || (keyword == word::GoPolish && words.size() == 3)) {
        // The argument is the present position minus the target: positive goes up.
        const int n = number(1, &ok);
        known = ok;
        if (ok)
            replyAt = startMove(-n);
    } else if (keyword == word::Top && words.size() == 1) {
        const int from = moves_.empty() ? restPosition_ : moves_.back().to;
        replyAt = startMove(-from);
    } else if (keyword == word::Speed && words.size() == 2) {
        const int speed = number(1, &ok);
        known = ok && speed >= 2 && speed <= 4;
        if (known)
            state_.speed = speed;
    } else if (keyword == word::SetPoint && words.size() == 3) {
        const int n = number(2, &ok);
        known = ok && n >= 0;
        if (known)
            state_.setPoint = n;
    } else if ((keyword == word::Direct || keyword == word::Alternating) && words.size() == 1) {
        state_.dc = keyword == word::Direct;
    } else if (keyword == word::Output && words.size() == 2 && (words[1] == "0" || words[1] == "1")) {
        state_.outputOn = words[1] == "1";
    } else if (keyword == word::Relay && words.size() == 2 && (words[1] == "0" || words[1] == "1")) {
        state_.relayOn = words[1] == "1";
    } else if (keyword == word::End && words.size() == 1) {
        exitReceived_ = true;
        state_.outputOn = false;
        state_.relayOn = false;
    } else {
        known = false;
    }
    if (!replyAt)
        replyAt = std::max(at, busyUntil_) + scaled(workMs);

    QByteArray reply = known ? QByteArrayLiteral("OK\r") : QByteArrayLiteral("ER\r");
    if (faults.reply)
        reply = *faults.reply;
    pending_.push_back({*replyAt + faults.lateReplyMs, reply});
    // Keep the queue ordered: a late reply holds back the ones behind it, as on a serial line.
    for (std::size_t i = pending_.size() - 1; i > 0 && pending_[i].readyAt < pending_[i - 1].readyAt; --i)
        pending_[i].readyAt = pending_[i - 1].readyAt;
}

int KestromSim::positionAt(std::int64_t t) const
{
    int position = restPosition_;
    for (const Move& move : moves_) {
        if (t >= move.end) {
            position = move.to;
        } else if (t > move.start) {
            const double f = double(t - move.start) / double(move.end - move.start);
            return move.from + static_cast<int>(std::lround((move.to - move.from) * f));
        } else {
            break;
        }
    }
    return position;
}

int KestromSim::deepestBetween(std::int64_t t0, std::int64_t t1) const
{
    // Positions are straight lines between the moves' ends, so the deepest point of the span is
    // at one of its ends or at a move's start or end inside it.
    int deepest = std::max(positionAt(t0), positionAt(t1));
    for (const Move& move : moves_) {
        if (move.start > t1)
            break;
        if (move.start > t0)
            deepest = std::max(deepest, move.from);
        if (move.end > t0 && move.end <= t1)
            deepest = std::max(deepest, move.to);
    }
    return deepest;
}

double KestromSim::travelAt(std::int64_t t) const
{
    double travel = restTravel_;
    for (const Move& move : moves_) {
        const double length = std::abs(move.to - move.from);
        if (t >= move.end)
            travel += length;
        else if (t > move.start)
            travel += length * double(t - move.start) / double(move.end - move.start);
        else
            break;
    }
    return travel;
}

void KestromSim::foldFinishedMoves(std::int64_t t)
{
    while (!moves_.empty() && moves_.front().end <= t) {
        restPosition_ = moves_.front().to;
        restTravel_ += std::abs(moves_.front().to - moves_.front().from);
        moves_.erase(moves_.begin());
    }
}

QByteArray KestromSim::frameBytes(std::int64_t at)
{
    if (faults.frameText)
        return faults.frameText->leftJustified(5, ' ', true) + '\r';
    if (faults.garbageFrames) {
        static const char junk[] = "?#x@!:;*";
        std::uniform_int_distribution<int> pick(0, int(sizeof junk) - 2);
        QByteArray frame;
        for (int i = 0; i < 5; ++i)
            frame.append(junk[pick(rng_)]);
        return frame + '\r';
    }
    SupplyState sample = state_;
    sample.positionSteps = positionAt(at);
    sample.atMs = at;
    sample.deepestSteps = deepestBetween(lastFrameAt_, at);
    sample.travelSteps = travelAt(at);
    const int value = std::clamp(model_->frameValue(sample, rng_), 0, 99999);
    return QByteArray::number(value).rightJustified(5, '0') + '\r';
}

void KestromSim::streamUntil(std::int64_t t)
{
    if (unpluggedB_)
        return;
    const std::int64_t due = std::max<std::int64_t>(0, (t - streamStart_) / FramePeriodMs);
    if (faults.streamStalled) {
        // Nothing is measured or sent while stalled; the stream picks up from now afterwards.
        framesDue_ = std::max(framesDue_, due);
        lastFrameAt_ = streamStart_ + framesDue_ * FramePeriodMs;
        foldFinishedMoves(std::min(t, lastFrameAt_));
        return;
    }
    const int perPeriod = std::max(1, faults.framesPerPeriod);
    // Past what the queue can hold nothing more is kept; skip the work of making frames that
    // would only be dropped (after a long time without a reader).
    const std::int64_t room = (ReceiveQueueCapacity - rxB_.size()) / 6 / perPeriod + 1;
    if (due - framesDue_ > room + 1) {
        const std::int64_t skip = due - framesDue_ - room;
        counters_.framesDropped += skip * perPeriod;
        framesDue_ += skip;
        lastFrameAt_ = streamStart_ + framesDue_ * FramePeriodMs;
    }
    for (; framesDue_ < due; ++framesDue_) {
        const std::int64_t at = streamStart_ + (framesDue_ + 1) * FramePeriodMs;
        for (int k = 0; k < perPeriod; ++k) {
            QByteArray frame = frameBytes(at);
            lastFrameAt_ = at;
            if (shiftPending_ > 0) {
                const int cut = std::min<int>(shiftPending_, frame.size());
                frame.remove(0, cut);
                shiftPending_ -= cut;
            }
            if (rxB_.size() + frame.size() > ReceiveQueueCapacity) {
                ++counters_.framesDropped;
                continue;
            }
            rxB_.append(frame);
            ++counters_.framesSent;
        }
    }
    // Moves that ended after the last frame are still needed for the next frame's dip check.
    foldFinishedMoves(std::min(t, lastFrameAt_));
}

QByteArray KestromSim::wireBytes() const
{
    QByteArray all;
    for (const WireChunk& chunk : wire_)
        all.append(chunk.bytes);
    return all;
}

QList<WireCommand> KestromSim::commands() const
{
    QList<WireCommand> result;
    QByteArray current;
    for (const WireChunk& chunk : wire_) {
        for (char c : chunk.bytes) {
            if (c == '\r') {
                result.append({chunk.atMs, current});
                current.clear();
            } else {
                current.append(c);
            }
        }
    }
    return result;
}

QStringList KestromSim::commandTexts() const
{
    QStringList texts;
    for (const WireCommand& command : commands())
        texts << QString::fromLatin1(command.text);
    return texts;
}

}  // namespace velmar::sim
