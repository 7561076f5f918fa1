#include "arb_sequencer.h"

#include <algorithm>
#include <limits>

namespace kqsim {

void ArbSequencer::start(bool startNow) { enterStep(0, startNow); }

void ArbSequencer::stop() {
    phase_ = Phase::Idle;
    marker_ = false;
}

void ArbSequencer::enterStep(int index, bool startNow) {
    stepIndex_ = index;
    passes_ = 0;
    offset_ = 0;
    advanceRequested_ = false;
    if (static_cast<std::size_t>(index) >= memory_.sequence().size()) {
        phase_ = Phase::Finished;
        return;
    }
    phase_ = startNow || step().start == SequenceStart::Auto ? Phase::Playing : Phase::Waiting;
}

void ArbSequencer::trigger() {
    if (phase_ == Phase::Waiting) {
        phase_ = Phase::Playing;
    } else if (phase_ == Phase::Playing && step().advance == SequenceAdvance::Sync) {
        advanceRequested_ = true;
    }
}

bool ArbSequencer::wantsTrigger() const {
    return phase_ == Phase::Waiting ||
           (phase_ == Phase::Playing && step().advance == SequenceAdvance::Sync && !advanceRequested_);
}

std::optional<std::uint64_t> ArbSequencer::clocksLeftInStep() const {
    if (phase_ != Phase::Playing) return std::nullopt;
    const std::uint64_t size = segmentSize();
    const std::uint64_t toPassEnd = size - offset_;
    const auto dwell = static_cast<std::uint64_t>(step().dwell);
    if (advanceRequested_) return toPassEnd;
    if (dwell == 0) return std::nullopt;
    if (passes_ + 1 >= dwell) return toPassEnd;
    return (dwell - passes_ - 1) * size + toPassEnd;
}

void ArbSequencer::skip(std::uint64_t points) {
    const std::uint64_t size = segmentSize();
    const std::uint64_t total = offset_ + points;
    passes_ += total / size;
    offset_ = total % size;
}

void ArbSequencer::nextPoint(bool startsByItself) {
    if (++offset_ < segmentSize()) return;
    offset_ = 0;
    ++passes_;
    const auto dwell = static_cast<std::uint64_t>(step().dwell);
    if (advanceRequested_ || (dwell > 0 && passes_ >= dwell)) enterStep(stepIndex_ + 1, startsByItself);
}

void ArbSequencer::play(std::uint64_t clocks, std::uint64_t keep, bool startsByItself, const Emit& emit) {
    std::uint64_t played = 0;
    while (played < clocks && phase_ == Phase::Playing) {
        const std::uint64_t run =
            std::min(clocks - played, clocksLeftInStep().value_or(std::numeric_limits<std::uint64_t>::max()));
        const std::uint64_t skipped = run > keep ? run - keep : 0;
        skip(skipped);
        played += skipped;
        marker_ = step().marker;
        for (std::uint64_t i = skipped; i < run; ++i) {
            emit(played, Point{segment(), static_cast<std::size_t>(offset_)});
            ++played;
            nextPoint(startsByItself);
        }
    }
    if (played < clocks) marker_ = false;  // clocks without a point
}

}  // namespace kqsim
