// How long a transfer may keep retrying a module that takes no more data for now (a full FIFO).
// This is the one place that decides it: today it measures the session's timeout on the wall
// clock; a module with a clock of its own can be asked here instead.
#pragma once

#include <atomic>
#include <chrono>

#include "visa.h"

namespace kqvisa {

class TransferWait {
public:
    TransferWait(ViUInt32 timeoutMilliseconds, const std::atomic<bool>& sessionClosed);

    // After an attempt that left data over: pauses before the next attempt, or gives the status
    // that ends the transfer (VI_ERROR_TMO once the timeout has passed, VI_ERROR_ABORT when the
    // session was closed meanwhile). VI_SUCCESS means try again.
    ViStatus beforeRetry();

private:
    using Clock = std::chrono::steady_clock;

    const std::atomic<bool>& sessionClosed_;
    bool infinite_;
    Clock::time_point deadline_;
};

}  // namespace kqvisa
