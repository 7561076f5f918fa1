// The ARB's walk through its sequence: which step plays, how many passes through its segment it has
// made, and the point that goes out at the next sample clock.
//
// A step with start TRIG waits for a trigger before its first point; AUTO starts at once. A step
// plays its segment `dwell` times (0: for ever). With advance SYNC a trigger ends the step at the end
// of the pass in progress (or earlier, when its count is done first); ASYNC steps ignore triggers.
// After the last step the sequence is finished and the outputs hold its last point.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>

#include "arb_memory.h"

namespace kqsim {

class ArbSequencer {
public:
    explicit ArbSequencer(const ArbMemory& memory) : memory_(memory) {}

    // Step 0 from its first point. It waits for a trigger when its start is TRIG, unless `startNow`.
    void start(bool startNow);
    void stop();
    // A trigger event: a step waiting for its start starts; a playing SYNC step ends after its pass.
    void trigger();

    bool playing() const { return phase_ == Phase::Playing; }
    // A trigger would change something now.
    bool wantsTrigger() const;
    // The marker of the step that played the point at the last sample clock; off after a clock
    // without a point.
    bool markerStep() const { return marker_; }
    // Sample clocks the playing step still takes, its last point included; nothing while it plays
    // on until a trigger or for ever.
    std::optional<std::uint64_t> clocksLeftInStep() const;

    struct Point {
        int segment = 0;
        std::size_t offset = 0;
    };
    using Emit = std::function<void(std::uint64_t clock, Point point)>;
    // Plays `clocks` sample clocks; those after the sequence comes to a step that waits, or to its
    // end, pass without a point. `emit` gets each point with its clock, counted from 0. Within one
    // step only the last `keep` points are emitted: the ones before would be overwritten by newer
    // ones anyway. `startsByItself`: steps waiting for a trigger start at once.
    void play(std::uint64_t clocks, std::uint64_t keep, bool startsByItself, const Emit& emit);

private:
    enum class Phase { Idle, Waiting, Playing, Finished };

    const SequenceStep& step() const { return memory_.step(stepIndex_); }
    int segment() const { return memory_.sequence()[static_cast<std::size_t>(stepIndex_)]; }
    std::uint64_t segmentSize() const { return memory_.size(segment()); }
    void enterStep(int index, bool startNow);
    void skip(std::uint64_t points);
    void nextPoint(bool startsByItself);

    const ArbMemory& memory_;
    Phase phase_ = Phase::Idle;
    int stepIndex_ = 0;
    std::uint64_t passes_ = 0;  // completed passes through the step's segment
    std::uint64_t offset_ = 0;  // next point of the segment
    bool advanceRequested_ = false;
    bool marker_ = false;
};

}  // namespace kqsim
