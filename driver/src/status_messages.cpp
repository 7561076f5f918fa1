// Status texts and the argument checks every driver function starts with.
#include <array>
#include <cstdint>
#include <string_view>

#include "c_boundary.h"
#include "kq7120.h"
#include "status_check.h"
#include "text_output.h"
#include "visa_binding.h"

namespace kq7120 {
namespace {

constexpr std::uint32_t kDriverCodeBase = 0xBFFC0800u;
constexpr std::uint32_t kDriverCodeLast = 0xBFFC0FFEu;
constexpr std::uint32_t kParameterCodeFirst = 0xBFFC0001u;
constexpr std::uint32_t kParameterCodeLast = 0xBFFC0008u;

// Texts of the driver's own codes, indexed by code - 0xBFFC0800.
constexpr std::array<std::string_view, 0x17> kDriverMessages = {
    "Invalid Manufacturer ID",
    "Invalid Model Code",
    "Unknown Error Code",
    "Value of code parameter does not match the currently programmed security code",
    "Queue (length) Overflow",
    "Invalid ID Response",
    "Error writing to the SCPI Log File",
    "Error opening the SCPI Log File",
    "Error closing the SCPI Log File",
    "Device Not Ready. You can try Error Query Panel",
    "Read Buffer Full",
    "Error in *IDN? query response",
    "Instrument Error. Use Error Query Panel",
    "Error calibrating offset/gain",
    "Error storing calibration data",
    "Error setting output voltage",
    "Error setting trigger parameters",
    "Running low on system resources",
    "Error Setting Scan Mode",
    "Error Setting Scan Limit",
    "Error Setting Scan List",
    "Trigger source should be TTLT0-7 or EXT for SCAN mode ON or LOOP",
    "Invalid Scan Mode transition from ON to LOOP or LOOP to ON",
};
static_assert(kDriverMessages.size() ==
              static_cast<std::uint32_t>(kq7120_INVALID_SCAN_MODE_TRANSITION) - kDriverCodeBase + 1);

// Without a VISA there is no one to ask for this text, and the reader needs to know what to do.
constexpr std::string_view kLibraryNotFoundMessage =
    "VI_ERROR_LIBRARY_NFOUND: the VISA library could not be loaded. Set KQ7120_VISA_LIBRARY to the path "
    "of a VISA library, or put the simulator's PREFIX/lib/kq7120-sim on LD_LIBRARY_PATH.";
static_assert(kLibraryNotFoundMessage.size() < kCallerTextCapacity);

constexpr std::array<std::string_view, 8> kParameterMessages = {
    "Error in Parameter 1", "Error in Parameter 2", "Error in Parameter 3", "Error in Parameter 4",
    "Error in Parameter 5", "Error in Parameter 6", "Error in Parameter 7", "Error in Parameter 8",
};

}  // namespace
}  // namespace kq7120

using namespace kq7120;

ViStatus kq7120_error_message(ViSession instHndl, ViStatus errorCode, ViChar errorMessage[]) {
    return guardedCall([&]() -> ViStatus {
        if (!errorMessage) return VI_ERROR_PARAMETER3;
        const auto code = static_cast<std::uint32_t>(errorCode);
        if (code >= kDriverCodeBase && code <= kDriverCodeLast) {
            const std::uint32_t index = code - kDriverCodeBase;
            copyText(index < kDriverMessages.size() ? kDriverMessages[index] : "Unknown Error Code",
                     errorMessage, kCallerTextCapacity);
        } else if (code >= kParameterCodeFirst && code <= kParameterCodeLast) {
            copyText(kParameterMessages[code - kParameterCodeFirst], errorMessage, kCallerTextCapacity);
        } else if (errorCode == VI_ERROR_LIBRARY_NFOUND) {
            copyText(kLibraryNotFoundMessage, errorMessage, kCallerTextCapacity);
        } else if (!isPlainSuccess(visa::statusDesc(instHndl, errorCode, errorMessage))) {
            copyText("Unknown Error", errorMessage, kCallerTextCapacity);
        }
        return VI_SUCCESS;
    });
}

ViStatus kq7120_errorMessage(ViSession instHndl, ViStatus errorCode, ViChar errorMessage[]) {
    return kq7120_error_message(instHndl, errorCode, errorMessage);
}

ViStatus kq7120_invalidIntegerRange(ViInt16 inputVal, ViInt16 min, ViInt16 max, ViStatus errCode) {
    return inputVal < min || inputVal > max ? errCode : VI_SUCCESS;
}

ViStatus kq7120_invalidLongIntRange(ViInt32 inputVal, ViInt32 min, ViInt32 max, ViStatus errCode) {
    return inputVal < min || inputVal > max ? errCode : VI_SUCCESS;
}

ViStatus kq7120_invalidRealRange(ViReal64 inputVal, ViReal64 min, ViReal64 max, ViStatus errCode) {
    return min > inputVal || inputVal > max ? errCode : VI_SUCCESS;
}

ViStatus kq7120_invalidSession(ViSession instHndl) {
    return instHndl == 0 ? VI_ERROR_INV_OBJECT : VI_SUCCESS;
}
