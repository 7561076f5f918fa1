// What the module's outputs do over simulated time: the code each DAC holds and its recent values,
// where each scanning channel stands in its table, the FIFO, the ARB sequence and the run state of
// the waveform generator. Settings say what was programmed; this class turns them into output as
// time passes and events arrive (trigger, initiate, abort, arm).
//
// Time moves only in advanceTo(): it plays every sample clock and timer tick up to and including
// then. Operations between two calls happen at now(), after the sample clock of that instant. A
// timer tick at the instant of a sample clock comes before it.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "arb_memory.h"
#include "arb_sequencer.h"
#include "module_settings.h"
#include "output_history.h"
#include "sample_fifo.h"

namespace kqsim {

class Playback {
public:
    using TimePoint = SimClock::time_point;
    using Duration = SimClock::duration;

    // Reads the settings and waveform memory it is given for as long as it lives.
    Playback(const ModuleSettings& settings, const ArbMemory& memory, int channelCount, TimePoint now);

    TimePoint now() const { return now_; }
    // Plays everything up to `now` (an earlier time changes nothing).
    void advanceTo(TimePoint now);

    // Power-on and *RST: outputs at their DC codes, FIFO empty, generator idle, timer restarted.
    void reset();

    std::uint16_t outputCode(int channel) const { return outputs_[index(channel)]; }
    // A DAC written directly (register mode) takes the code at once, whatever its mode.
    void setOutputCode(int channel, std::uint16_t code) { output(channel, code, now_); }
    // The channel's DC setting or mode changed: a channel in DC mode follows its DC code; a channel
    // that starts scanning waits for the first trigger at the top of its table.
    void channelChanged(int channel);
    // Scan entry (1-based) the channel output last; 0 before its first trigger.
    int scanPosition(int channel) const { return scanPositions_[index(channel)]; }
    // The channel's most recent output samples, oldest first.
    std::vector<OutputSample> recentOutput(int channel, std::size_t count) const {
        return history_[index(channel)].recent(count);
    }

    // A "*TRG": a trigger event whatever the trigger source, and one sample clock when the sample
    // clock is an input that nothing else drives in a simulated chassis (EXT, EXTC, TTLTn).
    void trigger();
    // INIT: starts the generator in the mode the channels are in. 0 or the SCPI error number.
    int initiate();
    // ABOR: generator idle, FIFO emptied, ARB no longer armed; outputs hold their values.
    void abort();
    // The register-mode arm: a running ARB starts over at step 0 without waiting for a trigger;
    // before INIT it lets step 0 start at INIT without one.
    void arm();
    bool armed() const { return armed_; }
    RunState state() const { return state_; }
    // A mode change left no channel in the mode the generator runs in.
    void stopIfUnused();
    // The marker signal: with the marker enabled, on while the outputs hold a point of a sequence
    // step whose marker is on.
    bool markerActive() const;

    // Setting changes that move the clocks: from now on the timer ticks (and a generator clocked by
    // it samples) one new period apart; a new sample clock source samples one period after now.
    void timerChanged();
    void clockSourceChanged();
    void triggerSourceChanged();

    SampleFifo& fifo() { return fifo_; }
    const SampleFifo& fifo() const { return fifo_; }
    // How long until the FIFO has room for `words` more words (at most its depth) as it plays;
    // nothing when it is not draining by itself.
    std::optional<Duration> timeUntilFifoRoom(std::size_t words) const;

private:
    static std::size_t index(int channel) { return static_cast<std::size_t>(channel - 1); }
    std::vector<int> channelsIn(ScanMode mode) const;
    Duration timerPeriod() const;
    // Period of the generator's sample clock; nothing for the inputs no simulated source drives.
    std::optional<Duration> samplePeriod() const;
    bool startsByItself() const { return settings_.triggerSource.kind == TriggerSourceKind::Auto; }

    void output(int channel, std::uint16_t code, TimePoint time);
    // The last sample clock of the ARB step playing, when it ends by itself.
    std::optional<TimePoint> arbStepEnd() const;
    // Sample clocks up to and including `until`.
    void runGenerator(TimePoint until);
    void playClocks(std::uint64_t clocks, TimePoint first, Duration period);
    void playArb(std::uint64_t clocks, TimePoint first, Duration period);
    void playFifo(std::uint64_t clocks, TimePoint first, Duration period);
    // Timer ticks up to and including `until` step the scanning channels only.
    void runTimerForScans(TimePoint until);
    void stepScans(std::uint64_t steps, TimePoint first, Duration period);
    void deliverTrigger(TimePoint time);

    const ModuleSettings& settings_;
    const ArbMemory& memory_;
    const int channelCount_;
    TimePoint now_;
    std::array<std::uint16_t, kMaxChannels> outputs_{};
    std::array<int, kMaxChannels> scanPositions_{};
    std::array<OutputHistory, kMaxChannels> history_;
    SampleFifo fifo_;
    ArbSequencer sequencer_;
    RunState state_ = RunState::Idle;
    bool armed_ = false;
    TimePoint nextSampleClock_;
    TimePoint nextTimerTick_;
};

}  // namespace kqsim
