#include "kqsim/sim_clock.h"

#include <mutex>
#include <thread>

namespace kqsim {

namespace {

using WallClock = std::chrono::steady_clock;

// The reading is `base` plus, in wall mode, the wall time since `wallMark`.
struct ClockState {
    std::mutex mutex;
    ClockMode mode = ClockMode::Wall;
    SimClock::duration base{0};
    WallClock::time_point wallMark = WallClock::now();

    SimClock::duration reading() const {
        if (mode == ClockMode::Manual) return base;
        return base + std::chrono::duration_cast<SimClock::duration>(WallClock::now() - wallMark);
    }
};

ClockState& state() {
    static ClockState clock;
    return clock;
}

}  // namespace

SimClock::time_point SimClock::now() {
    ClockState& clock = state();
    std::lock_guard lock(clock.mutex);
    return time_point(clock.reading());
}

ClockMode SimClock::mode() {
    ClockState& clock = state();
    std::lock_guard lock(clock.mutex);
    return clock.mode;
}

void SimClock::setMode(ClockMode mode) {
    ClockState& clock = state();
    std::lock_guard lock(clock.mutex);
    clock.base = clock.reading();
    clock.wallMark = WallClock::now();
    clock.mode = mode;
}

void SimClock::advance(duration step) {
    if (step <= duration::zero()) return;
    ClockState& clock = state();
    std::lock_guard lock(clock.mutex);
    clock.base += step;
}

void SimClock::sleepFor(duration wait) {
    if (wait <= duration::zero()) return;
    if (mode() == ClockMode::Manual) {
        advance(wait);
    } else {
        std::this_thread::sleep_for(wait);
    }
}

}  // namespace kqsim
