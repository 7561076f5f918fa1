// The time of the simulated chassis, one clock for the whole process. It runs with the wall clock by
// default; in manual mode it stands still until advanced, so tests drive the modules' playback step
// by step without sleeping. Modules bring their outputs up to now() whenever they are accessed.
#pragma once

#include <chrono>

namespace kqsim {

enum class ClockMode { Wall, Manual };

class SimClock {
public:
    using rep = std::chrono::nanoseconds::rep;
    using period = std::chrono::nanoseconds::period;
    using duration = std::chrono::nanoseconds;
    using time_point = std::chrono::time_point<SimClock>;
    static constexpr bool is_steady = true;

    // Counts from zero at the clock's first use in the process. Never goes back, also across a
    // change of mode.
    static time_point now();

    static ClockMode mode();
    // Manual mode freezes the clock at its present reading; wall mode lets it run on from there.
    static void setMode(ClockMode mode);

    // Moves the clock forward (in either mode). Negative durations are ignored.
    static void advance(duration step);
    // A wait in simulated time: sleeps in wall mode, advances the clock in manual mode.
    static void sleepFor(duration wait);
};

// Seconds since the clock's start, as the C interfaces report times.
inline double secondsOf(SimClock::time_point time) {
    return std::chrono::duration<double>(time.time_since_epoch()).count();
}

// Manual mode for a scope (a test); the mode before is restored at the end.
class ManualClockScope {
public:
    ManualClockScope() : previous_(SimClock::mode()) { SimClock::setMode(ClockMode::Manual); }
    ~ManualClockScope() { SimClock::setMode(previous_); }
    ManualClockScope(const ManualClockScope&) = delete;
    ManualClockScope& operator=(const ManualClockScope&) = delete;

private:
    ClockMode previous_;
};

}  // namespace kqsim
