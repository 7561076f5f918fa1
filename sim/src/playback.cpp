#include "playback.h"

#include <algorithm>
#include <cmath>

#include "dac_code.h"
#include "scpi/error_queue.h"

namespace kqsim {

namespace err = scpi::err;

namespace {

constexpr std::uint64_t kKeptSamples = kOutputHistoryLength;

// Sample clocks (or ticks) at first, first + period, ... up to and including `until`.
std::uint64_t clocksUntil(SimClock::time_point first, SimClock::duration period, SimClock::time_point until) {
    if (until < first) return 0;
    return static_cast<std::uint64_t>((until - first) / period) + 1;
}

SimClock::duration times(SimClock::duration period, std::uint64_t count) {
    return period * static_cast<SimClock::rep>(count);
}

// Scan position after `steps` triggers: ON stops at the limit, LOOP starts over at entry 1.
int steppedPosition(int position, int limit, ScanMode mode, std::uint64_t steps) {
    if (steps == 0) return position;
    if (mode == ScanMode::On) {
        if (position >= limit) return position;
        return static_cast<int>(std::min<std::uint64_t>(static_cast<std::uint64_t>(limit),
                                                        static_cast<std::uint64_t>(position) + steps));
    }
    const std::uint64_t from = position >= limit ? 0 : static_cast<std::uint64_t>(position);
    return static_cast<int>((from + steps - 1) % static_cast<std::uint64_t>(limit)) + 1;
}

}  // namespace

Playback::Playback(const ModuleSettings& settings, const ArbMemory& memory, int channelCount, TimePoint now)
    : settings_(settings), memory_(memory), channelCount_(channelCount), now_(now), sequencer_(memory) {
    reset();
}

std::vector<int> Playback::channelsIn(ScanMode mode) const {
    std::vector<int> channels;
    for (int channel = 1; channel <= channelCount_; ++channel) {
        if (settings_.channels[index(channel)].scanMode == mode) channels.push_back(channel);
    }
    return channels;
}

Playback::Duration Playback::timerPeriod() const {
    const auto nanoseconds = std::llround(settings_.timerPeriod * 1e9);
    return Duration(std::max<long long>(nanoseconds, 1));
}

std::optional<Playback::Duration> Playback::samplePeriod() const {
    switch (settings_.clockSource.kind) {
        case ClockSourceKind::Internal:
            return kInternalSamplePeriod;
        case ClockSourceKind::Timer:
            return timerPeriod();
        default:
            return std::nullopt;
    }
}

void Playback::output(int channel, std::uint16_t code, TimePoint time) {
    outputs_[index(channel)] = code;
    history_[index(channel)].record(time, voltsForCode(code, settings_.channels[index(channel)].range));
}

void Playback::reset() {
    for (int channel = 1; channel <= channelCount_; ++channel) {
        output(channel, settings_.channels[index(channel)].dcCode, now_);
    }
    scanPositions_.fill(0);
    fifo_.clear();
    sequencer_.stop();
    state_ = RunState::Idle;
    armed_ = false;
    nextTimerTick_ = now_ + timerPeriod();
}

void Playback::channelChanged(int channel) {
    const ChannelSettings& programmed = settings_.channels[index(channel)];
    if (programmed.scanMode == ScanMode::Off) output(channel, programmed.dcCode, now_);
    if (programmed.scanMode != ScanMode::On && programmed.scanMode != ScanMode::Loop) {
        scanPositions_[index(channel)] = 0;
    }
}

// --- time ---

void Playback::advanceTo(TimePoint now) {
    now = std::max(now, now_);
    while (settings_.triggerSource.kind == TriggerSourceKind::Timer) {
        if (state_ == RunState::ArbRunning && sequencer_.wantsTrigger()) {
            // Tick by tick while the sequence waits for them; the waits end after a tick or two.
            if (nextTimerTick_ > now) break;
            const TimePoint tick = nextTimerTick_;
            runGenerator(tick - Duration(1));
            deliverTrigger(tick);
            nextTimerTick_ += timerPeriod();
            continue;
        }
        // Until the step playing ends, ticks only step the scans.
        const std::optional<TimePoint> stepEnd = arbStepEnd();
        const TimePoint horizon = stepEnd && *stepEnd < now ? *stepEnd : now;
        runTimerForScans(horizon);
        runGenerator(horizon);
        if (horizon == now) break;
    }
    runGenerator(now);
    now_ = now;
}

std::optional<Playback::TimePoint> Playback::arbStepEnd() const {
    if (state_ != RunState::ArbRunning) return std::nullopt;
    const std::optional<Duration> period = samplePeriod();
    const std::optional<std::uint64_t> left = sequencer_.clocksLeftInStep();
    if (!period || !left) return std::nullopt;
    // A step may last longer than the clock can count (a million passes of 512K points, slowly).
    const auto reachable = static_cast<std::uint64_t>((TimePoint::max() - nextSampleClock_) / *period);
    if (*left - 1 > reachable) return std::nullopt;
    return nextSampleClock_ + times(*period, *left - 1);
}

void Playback::runGenerator(TimePoint until) {
    if (state_ == RunState::Idle) return;
    const std::optional<Duration> period = samplePeriod();
    if (!period) return;
    const std::uint64_t clocks = clocksUntil(nextSampleClock_, *period, until);
    if (clocks == 0) return;
    const TimePoint first = nextSampleClock_;
    nextSampleClock_ += times(*period, clocks);
    playClocks(clocks, first, *period);
}

void Playback::playClocks(std::uint64_t clocks, TimePoint first, Duration period) {
    if (state_ == RunState::ArbRunning) playArb(clocks, first, period);
    if (state_ == RunState::FifoRunning) playFifo(clocks, first, period);
}

void Playback::playArb(std::uint64_t clocks, TimePoint first, Duration period) {
    const std::vector<int> channels = channelsIn(ScanMode::Arb);
    const auto emit = [&](std::uint64_t clock, ArbSequencer::Point point) {
        const TimePoint time = first + times(period, clock);
        for (int channel : channels) {
            output(channel, memory_.point(point.segment, channel, point.offset), time);
        }
    };
    sequencer_.play(clocks, kKeptSamples, startsByItself(), emit);
}

// Every sample clock takes one word for each FIFO channel, in channel order. A clock that finds
// fewer words than that takes none and is an underrun; the outputs hold.
void Playback::playFifo(std::uint64_t clocks, TimePoint first, Duration period) {
    const std::vector<int> channels = channelsIn(ScanMode::Fifo);
    if (channels.empty()) return;
    const std::uint64_t frames = fifo_.fill() / channels.size();
    const std::uint64_t played = std::min(clocks, frames);
    const std::uint64_t skipped = played > kKeptSamples ? played - kKeptSamples : 0;
    fifo_.drop(static_cast<std::size_t>(skipped) * channels.size());
    std::vector<std::uint16_t> frame(channels.size());
    for (std::uint64_t clock = skipped; clock < played; ++clock) {
        fifo_.popFrame(frame);
        const TimePoint time = first + times(period, clock);
        for (std::size_t i = 0; i < channels.size(); ++i) output(channels[i], frame[i], time);
    }
    if (clocks > frames) fifo_.markUnderrun();
}

void Playback::runTimerForScans(TimePoint until) {
    const std::uint64_t ticks = clocksUntil(nextTimerTick_, timerPeriod(), until);
    if (ticks == 0) return;
    stepScans(ticks, nextTimerTick_, timerPeriod());
    nextTimerTick_ += times(timerPeriod(), ticks);
}

void Playback::stepScans(std::uint64_t steps, TimePoint first, Duration period) {
    const std::uint64_t skipped = steps > kKeptSamples ? steps - kKeptSamples : 0;
    for (int channel = 1; channel <= channelCount_; ++channel) {
        const ChannelSettings& programmed = settings_.channels[index(channel)];
        if (programmed.scanMode != ScanMode::On && programmed.scanMode != ScanMode::Loop) continue;
        int& position = scanPositions_[index(channel)];
        position = steppedPosition(position, programmed.scanLimit, programmed.scanMode, skipped);
        for (std::uint64_t step = skipped; step < steps; ++step) {
            const int next = steppedPosition(position, programmed.scanLimit, programmed.scanMode, 1);
            if (next == position) break;  // ON at its limit
            position = next;
            const double volts = programmed.scanTable[static_cast<std::size_t>(position - 1)];
            if (const auto code = codeForVolts(volts, programmed.range)) {
                output(channel, *code, first + times(period, step));
            }
        }
    }
}

void Playback::deliverTrigger(TimePoint time) {
    stepScans(1, time, Duration(0));
    if (state_ == RunState::ArbRunning) sequencer_.trigger();
}

// --- events ---

void Playback::trigger() {
    deliverTrigger(now_);
    if (state_ != RunState::Idle && !samplePeriod()) playClocks(1, now_, Duration(0));
}

int Playback::initiate() {
    if (state_ != RunState::Idle) return err::initIgnored;
    const bool arb = !channelsIn(ScanMode::Arb).empty();
    const bool fifo = !channelsIn(ScanMode::Fifo).empty();
    if (arb == fifo) return err::settingsConflict;  // neither mode, or both at once
    if (arb) {
        if (memory_.sequence().empty()) return err::settingsConflict;
        for (int segment : memory_.sequence()) {
            if (!memory_.defined(segment)) return err::settingsConflict;
        }
        sequencer_.start(armed_ || startsByItself());
        state_ = RunState::ArbRunning;
    } else {
        state_ = RunState::FifoRunning;
    }
    // The first sample goes out at once.
    nextSampleClock_ = now_;
    return err::noError;
}

void Playback::abort() {
    state_ = RunState::Idle;
    armed_ = false;
    sequencer_.stop();
    fifo_.clear();
}

void Playback::arm() {
    armed_ = true;
    if (state_ == RunState::ArbRunning) sequencer_.start(true);
}

void Playback::stopIfUnused() {
    if ((state_ == RunState::ArbRunning && channelsIn(ScanMode::Arb).empty()) ||
        (state_ == RunState::FifoRunning && channelsIn(ScanMode::Fifo).empty())) {
        state_ = RunState::Idle;
        sequencer_.stop();
    }
}

bool Playback::markerActive() const {
    return settings_.markerOn && state_ == RunState::ArbRunning && sequencer_.markerStep();
}

void Playback::timerChanged() {
    nextTimerTick_ = now_ + timerPeriod();
    if (settings_.clockSource.kind == ClockSourceKind::Timer) nextSampleClock_ = now_ + timerPeriod();
}

void Playback::clockSourceChanged() {
    if (const std::optional<Duration> period = samplePeriod()) nextSampleClock_ = now_ + *period;
}

void Playback::triggerSourceChanged() {
    if (settings_.triggerSource.kind == TriggerSourceKind::Timer) nextTimerTick_ = now_ + timerPeriod();
    if (startsByItself() && state_ == RunState::ArbRunning && !sequencer_.playing()) sequencer_.trigger();
}

std::optional<Playback::Duration> Playback::timeUntilFifoRoom(std::size_t words) const {
    const std::optional<Duration> period = samplePeriod();
    const std::size_t frameSize = channelsIn(ScanMode::Fifo).size();
    if (state_ != RunState::FifoRunning || !period || frameSize == 0) return std::nullopt;
    const std::size_t wanted = std::min(words, fifo_.depth());
    const std::size_t room = fifo_.depth() - fifo_.fill();
    if (room >= wanted) return Duration(0);
    const std::size_t frames =
        std::min((wanted - room + frameSize - 1) / frameSize, fifo_.fill() / frameSize);
    if (frames == 0) return std::nullopt;
    return nextSampleClock_ + times(*period, frames - 1) - now_;
}

}  // namespace kqsim
