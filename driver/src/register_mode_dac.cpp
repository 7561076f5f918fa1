// Register-mode DAC access: codes written straight into channels, bypassing SCPI, and arming the ARB
// through its register.
#include <span>

#include "blocking_delay.h"
#include "c_boundary.h"
#include "kq7120.h"
#include "register_map.h"
#include "status_check.h"
#include "visa_binding.h"

namespace kq7120 {
namespace {

// The pause between channels is held to 1 ms .. 1 s; the bounds leave room for callers that pass
// the limits computed in single precision.
constexpr ViReal64 kShortestPauseAccepted = 0.000999;
constexpr ViReal64 kShortestPause = 0.001;
constexpr ViReal64 kLongestPauseAccepted = 1.000001;
constexpr ViReal64 kLongestPause = 1.0;

ViReal64 clampedPause(ViReal64 seconds) {
    // Written so that a NaN takes the shortest pause.
    if (!(seconds >= kShortestPauseAccepted)) return kShortestPause;
    if (seconds > kLongestPauseAccepted) return kLongestPause;
    return seconds;
}

}  // namespace
}  // namespace kq7120

using namespace kq7120;

ViStatus kq7120_regModeDacWrt(ViSession instHndl, ViInt16 numChan, const ViInt16 dacChan[],
                              const ViInt16 dacData[], ViReal64 dlyTime) {
    return guardedCall([&]() -> ViStatus {
        if (numChan <= 0) return VI_SUCCESS;
        if (!dacChan) return VI_ERROR_PARAMETER3;
        const auto channels = std::span(dacChan, static_cast<std::size_t>(numChan));
        // The select register takes channel - 1 in 4 bits: a channel outside 1..16 would address
        // another one.
        for (const ViInt16 channel : channels) {
            if (const ViStatus status = kq7120_invalidIntegerRange(channel, kq7120_MIN_CHANNEL,
                                                                   kq7120_MAX_CHANNEL, VI_ERROR_PARAMETER3);
                failed(status)) {
                return status;
            }
        }
        if (!dacData) return VI_ERROR_PARAMETER4;
        const ViReal64 pause = clampedPause(dlyTime);
        // Every channel is written whatever the status of the one before.
        ViStatus status = VI_SUCCESS;
        for (std::size_t index = 0; index < channels.size(); ++index) {
            visa::out16(instHndl, VI_A16_SPACE, registers::kDacSelect,
                        static_cast<ViUInt16>(channels[index] - 1));
            status = visa::out16(instHndl, VI_A16_SPACE, registers::kDacData,
                                 static_cast<ViUInt16>(dacData[index]));
            if (channels.size() > 1) waitSeconds(pause);
        }
        return status;
    });
}

ViStatus kq7120_regModeDacVolts(ViSession, ViInt16, const ViInt16[], const ViReal64[], ViReal64) {
    return VI_SUCCESS;
}

ViStatus kq7120_regModeArmArb(ViSession instHndl) {
    return guardedCall([&]() -> ViStatus {
        if (const ViStatus status = kq7120_invalidSession(instHndl); failed(status)) return status;
        return visa::out16(instHndl, VI_A16_SPACE, registers::kArm, 0);
    });
}
