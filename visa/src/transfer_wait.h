// How long a transfer may keep retrying a module that takes no more data for now (a full FIFO).
// This is the one place that decides it. The session's timeout runs on the simulated chassis clock,
// so under a manual clock a wait is deterministic: its pauses advance the clock instead of sleeping.
#pragma once

#include <atomic>
#include <chrono>
#include <optional>

#include "kqsim/sim_clock.h"
#include "visa.h"

namespace kqvisa {

class TransferWait {
public:
    TransferWait(ViUInt32 timeoutMilliseconds, const std::atomic<bool>& sessionClosed);

    // After an attempt that left data over: pauses before the next attempt, or gives the status
    // that ends the transfer (VI_ERROR_TMO once the timeout has passed, VI_ERROR_ABORT when the
    // session was closed meanwhile). VI_SUCCESS means try again. `roomIn` is when the module expects
    // room for the rest, if it knows; the pause is never longer than a short poll either way.
    ViStatus beforeRetry(std::optional<std::chrono::nanoseconds> roomIn);

private:
    using Clock = kqsim::SimClock;

    const std::atomic<bool>& sessionClosed_;
    bool infinite_;
    Clock::time_point deadline_;
};

}  // namespace kqvisa
