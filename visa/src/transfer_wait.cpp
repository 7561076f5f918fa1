#include "transfer_wait.h"

#include <algorithm>

namespace kqvisa {

namespace {

// Short enough that a module freeing room is noticed at once, long enough not to spin a core.
constexpr std::chrono::nanoseconds kRetryPause = std::chrono::milliseconds(1);
// Every pause moves the clock, so a module that misjudges its room cannot stall a manual clock.
constexpr std::chrono::nanoseconds kShortestPause = std::chrono::microseconds(1);

}  // namespace

TransferWait::TransferWait(ViUInt32 timeoutMilliseconds, const std::atomic<bool>& sessionClosed)
    : sessionClosed_(sessionClosed),
      infinite_(timeoutMilliseconds == VI_TMO_INFINITE),
      deadline_(Clock::now() + std::chrono::milliseconds(timeoutMilliseconds)) {}

ViStatus TransferWait::beforeRetry(std::optional<std::chrono::nanoseconds> roomIn) {
    if (sessionClosed_) return VI_ERROR_ABORT;
    const Clock::time_point now = Clock::now();
    if (!infinite_ && now >= deadline_) return VI_ERROR_TMO;
    auto pause = std::clamp(roomIn.value_or(kRetryPause), kShortestPause, kRetryPause);
    if (!infinite_) pause = std::min<std::chrono::nanoseconds>(pause, deadline_ - now);
    Clock::sleepFor(pause);
    return sessionClosed_ ? VI_ERROR_ABORT : VI_SUCCESS;
}

}  // namespace kqvisa
