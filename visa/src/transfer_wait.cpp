#include "transfer_wait.h"

#include <algorithm>
#include <thread>

namespace kqvisa {

namespace {

// Short enough that a module freeing room is noticed at once, long enough not to spin a core.
constexpr std::chrono::milliseconds kRetryPause{1};

}  // namespace

TransferWait::TransferWait(ViUInt32 timeoutMilliseconds, const std::atomic<bool>& sessionClosed)
    : sessionClosed_(sessionClosed),
      infinite_(timeoutMilliseconds == VI_TMO_INFINITE),
      deadline_(Clock::now() + std::chrono::milliseconds(timeoutMilliseconds)) {}

ViStatus TransferWait::beforeRetry() {
    if (sessionClosed_) return VI_ERROR_ABORT;
    const Clock::time_point now = Clock::now();
    if (!infinite_ && now >= deadline_) return VI_ERROR_TMO;
    const auto pause =
        infinite_ ? Clock::duration(kRetryPause) : std::min<Clock::duration>(kRetryPause, deadline_ - now);
    std::this_thread::sleep_for(pause);
    return sessionClosed_ ? VI_ERROR_ABORT : VI_SUCCESS;
}

}  // namespace kqvisa
