// The one-call ARB demonstration: reset, clock from the timer, one segment loaded through the
// registers and a one-step sequence started, with every complaint of the module shown to the
// operator as it comes.
#include <array>
#include <cstring>
#include <string>
#include <string_view>

#include "c_boundary.h"
#include "kq7120.h"
#include "operator_message.h"
#include "register_map.h"
#include "status_check.h"
#include "visa_binding.h"

namespace kq7120 {
namespace {

// A line travels in a 256-byte buffer with its "\n" and terminator.
constexpr std::size_t kLongestLine = 254;
constexpr std::size_t kErrorTextCapacity = 256;

constexpr std::array<std::string_view, 3> kModeCommands = {
    "TRIG:SOUR NONE;SLOP POS",
    "VOLT:FORM 0",
    "SCAN ARB,(@1)",
};

// Segment 0 plays once triggered, for ever, with the marker on.
constexpr std::array<std::string_view, 7> kSequenceCommands = {
    "SEQ:LIST (@0)",
    "SEQ:STAR TRIG,(@0)",
    "SEQ:ADV SYNC,(@0)",
    "SEQ:DWEL 0,(@0)",
    "SOUR:MARK:SYNC:STAT ON;SLOP POS",
    "SOUR:MARK:TRIG ON,(@0)",
    "INIT",
};

ViStatus sendLine(ViSession instHndl, std::string_view command) {
    return txCmdBuff(instHndl, std::string(command).c_str());
}

}  // namespace
}  // namespace kq7120

using namespace kq7120;

ViStatus txCmdBuff(ViSession instHndl, ViConstString cmdBuff) {
    return guardedCall([&]() -> ViStatus {
        if (!cmdBuff) return VI_ERROR_PARAMETER2;
        const std::size_t length = strnlen(cmdBuff, kLongestLine + 1);
        if (length > kLongestLine) return VI_ERROR_PARAMETER2;
        const std::string line = std::string(cmdBuff, length) + "\n";
        // Straight to VISA: no count check, no log record, no error check.
        ViUInt32 written = 0;
        const ViStatus status =
            visa::write(instHndl, line.data(), static_cast<ViUInt32>(line.size()), &written);
        if (failed(status)) return status;
        ViInt32 errorNumber = 0;
        std::array<ViChar, kErrorTextCapacity> errorText{};
        kq7120_error_query(instHndl, &errorNumber, errorText.data());
        if (errorNumber != 0) showOperatorMessage("ERROR", errorText.data());
        return status;
    });
}

ViStatus kq7120_arbScpi(ViSession instHndl, ViInt16 numSmpls, const ViInt16 waveData[], ViReal64 smplTime) {
    return guardedCall([&]() -> ViStatus {
        if (numSmpls < 0) return VI_ERROR_PARAMETER2;
        if (!waveData) return VI_ERROR_PARAMETER3;
        sendLine(instHndl, "*RST");
        if (const ViStatus status = kq7120_setupClock(instHndl, kq7120_ROSC_TIMER, kq7120_SLOPE_POSITIVE);
            failed(status))
            return status;
        if (const ViStatus status = kq7120_setupTimer(instHndl, smplTime); failed(status)) return status;
        // From here on nothing stops the set-up: the module's complaints reach the operator through
        // the lines' message boxes, and the result is that of the last line.
        for (const std::string_view command : kModeCommands) sendLine(instHndl, command);
        visa::out16(instHndl, VI_A16_SPACE, registers::kSegmentFifo, 0);
        visa::out16(instHndl, VI_A16_SPACE, registers::kChannel, 1);
        visa::out16(instHndl, VI_A16_SPACE, registers::kLoadStart, 0);
        // Every later block move switches the increment off first, so it is left off.
        visa::setAttribute(instHndl, VI_ATTR_DEST_INCREMENT, 0);
        visa::moveOut16(instHndl, VI_A16_SPACE, registers::kArbData, static_cast<ViBusSize>(numSmpls),
                        reinterpret_cast<const ViUInt16*>(waveData));
        ViStatus status = VI_SUCCESS;
        for (const std::string_view command : kSequenceCommands) status = sendLine(instHndl, command);
        return status;
    });
}
