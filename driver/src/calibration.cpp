// Calibration constants and the calibration security protocol. The writing functions switch
// security off with the caller's code when it is on, do their work, and switch it on again, also
// when the work failed, so the module is left as secure as it was found.
#include <array>
#include <cstdint>
#include <cstring>
#include <span>
#include <string>

#include "c_boundary.h"
#include "definite_block.h"
#include "kq7120.h"
#include "model_table.h"
#include "number_text.h"
#include "status_check.h"
#include "transport.h"

namespace kq7120 {
namespace {

constexpr std::size_t kShortStateReply = 100;
constexpr ViInt16 kEndMarker = 10000;

// What counts as "security on" differs between the writing functions.
enum class SecurityOn { WhenOne, WhenNotZero };

ViStatus checkCode(ViConstString code, ViStatus failure) {
    if (!code) return failure;
    // The whole length counts: a long code must not pass as a short one.
    const std::size_t length = strnlen(code, kq7120_PASSWORD_LEN_MAX + 1);
    return length < kq7120_PASSWORD_LEN_MIN || length > kq7120_PASSWORD_LEN_MAX ? failure : VI_SUCCESS;
}

ViStatus checkAdjustment(ViInt16 value, ViStatus failure) {
    return kq7120_invalidIntegerRange(value, kq7120_CALIBRATION_DATA_MIN, kq7120_CALIBRATION_DATA_MAX,
                                      failure);
}

ViStatus querySecurityState(ViSession instHndl, std::size_t replyLimit, ViInt32& state) {
    return queryInteger(instHndl, "CAL:SEC:STAT?", replyLimit, state);
}

ViStatus switchSecurityOff(ViSession instHndl, ViConstString code) {
    return kq7120_enableDisableSecState(instHndl, code, kq7120_SEC_STATE_DISABLE);
}

ViStatus switchSecurityOn(ViSession instHndl) {
    return kq7120_enableDisableSecState(instHndl, nullptr, kq7120_SEC_STATE_ENABLE);
}

template <typename Work>
ViStatus writeUnderSecurity(ViSession instHndl, ViConstString code, std::size_t stateReplyLimit,
                            SecurityOn rule, Work work) {
    ViInt32 state = 0;
    if (const ViStatus status = querySecurityState(instHndl, stateReplyLimit, state); failed(status))
        return status;
    const bool wasOn = rule == SecurityOn::WhenOne ? state == kq7120_CALIB_SEC_STATE_ON
                                                   : state != kq7120_CALIB_SEC_STATE_OFF;
    if (wasOn) {
        if (const ViStatus status = switchSecurityOff(instHndl, code); failed(status)) return status;
    }
    if (const ViStatus workStatus = work(); failed(workStatus)) {
        if (wasOn) switchSecurityOn(instHndl);
        return workStatus;
    }
    return wasOn ? switchSecurityOn(instHndl) : VI_SUCCESS;
}

ViStatus readCalibrationCount(ViSession instHndl, ViInt32& count) {
    return queryInteger(instHndl, "CAL:COUNT?", kq7120_READ_BUFF_SIZE, count);
}

}  // namespace
}  // namespace kq7120

using namespace kq7120;

ViStatus kq7120_enableDisableSecState(ViSession instHndl, ViConstString password, ViInt16 mode) {
    return guardedCall([&]() -> ViStatus {
        if (const ViStatus status = kq7120_invalidIntegerRange(mode, kq7120_SEC_STATE_ENABLE,
                                                               kq7120_SEC_STATE_DISABLE, VI_ERROR_PARAMETER3);
            failed(status)) {
            return status;
        }
        if (mode == kq7120_SEC_STATE_ENABLE) return commandWithCheck(instHndl, "CAL:SEC:STAT 1");
        if (const ViStatus status = checkCode(password, VI_ERROR_PARAMETER2); failed(status)) return status;
        return commandWithCheck(instHndl, "CAL:SEC:STAT 0," + definiteBlock(password));
    });
}

ViStatus kq7120_calibrateOffsetGain(ViSession instHndl, ViConstString password, ViInt16 channelNumber,
                                    ViInt16 gainVal, ViInt16 offsetVal) {
    return guardedCall([&]() -> ViStatus {
        ViInt16 model = 0;
        if (const ViStatus status = getModelNum(instHndl, &model); failed(status)) return status;
        if (const ViStatus status = checkCode(password, VI_ERROR_PARAMETER2); failed(status)) return status;
        if (const ViInt16 highest = identifiedChannelCount(model)) {
            if (const ViStatus status = kq7120_invalidIntegerRange(
                    channelNumber, kq7120_CALIBRATION_CHANNEL_MIN, highest, VI_ERROR_PARAMETER3);
                failed(status)) {
                return status;
            }
        }
        if (const ViStatus status = checkAdjustment(gainVal, VI_ERROR_PARAMETER4); failed(status))
            return status;
        if (const ViStatus status = checkAdjustment(offsetVal, VI_ERROR_PARAMETER5); failed(status))
            return status;
        return writeUnderSecurity(instHndl, password, kShortStateReply, SecurityOn::WhenOne, [&] {
            return commandWithCheck(instHndl, "CAL" + decimalText(channelNumber) + ":GAIN " +
                                                  decimalText(gainVal) + ";ZERO " + decimalText(offsetVal));
        });
    });
}

ViStatus kq7120_calibrationDataBlock(ViSession instHndl, ViConstString password, const ViInt16 blockData[]) {
    return guardedCall([&]() -> ViStatus {
        if (const ViStatus status = checkCode(password, VI_ERROR_PARAMETER2); failed(status)) return status;
        if (!blockData) return VI_ERROR_PARAMETER3;
        const auto values = std::span(blockData, kq7120_CAL_DATA_SIZE);
        std::string bytes;
        for (const ViInt16 value : values) {
            if (const ViStatus status =
                    kq7120_invalidIntegerRange(value, kq7120_CALIBRATION_BLOCK_DATA_MIN,
                                               kq7120_CALIBRATION_BLOCK_DATA_MAX, VI_ERROR_PARAMETER3);
                failed(status)) {
                return status;
            }
            bytes += static_cast<char>(static_cast<std::uint8_t>(value));
        }
        // No space before the block: the module takes "CAL:DATA#264..." as one unit.
        return writeUnderSecurity(instHndl, password, kq7120_READ_BUFF_SIZE, SecurityOn::WhenOne, [&] {
            return commandWithCheck(instHndl, "CAL:DATA" + definiteBlock(bytes));
        });
    });
}

ViStatus kq7120_enableDisableAutoStore(ViSession instHndl, ViConstString password, ViInt16 mode) {
    return guardedCall([&]() -> ViStatus {
        if (const ViStatus status = checkCode(password, VI_ERROR_PARAMETER2); failed(status)) return status;
        if (const ViStatus status = kq7120_invalidIntegerRange(mode, kq7120_AUTO_SAVE_MODE_OFF,
                                                               kq7120_AUTO_SAVE_MODE_ON, VI_ERROR_PARAMETER3);
            failed(status)) {
            return status;
        }
        return writeUnderSecurity(instHndl, password, kq7120_READ_BUFF_SIZE, SecurityOn::WhenNotZero, [&] {
            return commandWithCheck(instHndl,
                                    mode == kq7120_AUTO_SAVE_MODE_ON ? "CAL:STOR:AUTO 1" : "CAL:STOR:AUTO 0");
        });
    });
}

ViStatus kq7120_storeCalibrationData(ViSession instHndl, ViConstString password, ViInt32* count) {
    return guardedCall([&]() -> ViStatus {
        if (const ViStatus status = checkCode(password, VI_ERROR_PARAMETER2); failed(status)) return status;
        if (!count) return VI_ERROR_PARAMETER3;
        return writeUnderSecurity(
            instHndl, password, kShortStateReply, SecurityOn::WhenNotZero, [&]() -> ViStatus {
                if (const ViStatus status = commandWithCheck(instHndl, "CAL:STOR"); failed(status))
                    return status;
                return readCalibrationCount(instHndl, *count);
            });
    });
}

ViStatus kq7120_changeSecurityCode(ViSession instHndl, ViConstString oldPassword, ViConstString newPassword) {
    return guardedCall([&]() -> ViStatus {
        if (const ViStatus status = checkCode(oldPassword, VI_ERROR_PARAMETER2); failed(status))
            return status;
        if (const ViStatus status = checkCode(newPassword, VI_ERROR_PARAMETER3); failed(status))
            return status;
        ViInt32 state = 0;
        if (const ViStatus status = querySecurityState(instHndl, kShortStateReply, state); failed(status))
            return status;
        if (state == kq7120_CALIB_SEC_STATE_ON) {
            if (const ViStatus status = switchSecurityOff(instHndl, oldPassword); failed(status))
                return status;
        }
        // The one command sets the new code and switches security on.
        return commandWithCheck(instHndl, "CAL:SEC:CODE " + definiteBlock(newPassword) + ";STAT ON");
    });
}

ViStatus kq7120_calibrationQuery(ViSession instHndl, ViInt16* securityState, ViInt32* calibrationCount,
                                 ViInt16 calibrationData[]) {
    return guardedCall([&]() -> ViStatus {
        if (!securityState) return VI_ERROR_PARAMETER2;
        if (!calibrationCount) return VI_ERROR_PARAMETER3;
        if (!calibrationData) return VI_ERROR_PARAMETER4;
        ViInt32 state = 0;
        if (const ViStatus status = querySecurityState(instHndl, kq7120_READ_BUFF_SIZE, state);
            failed(status))
            return status;
        *securityState = static_cast<ViInt16>(state);
        if (const ViStatus status = readCalibrationCount(instHndl, *calibrationCount); failed(status))
            return status;
        std::string reply;
        if (const ViStatus status = queryWithCheck(instHndl, "CAL:DATA?", kq7120_READ_BUFF_SIZE, reply);
            failed(status))
            return status;
        ViInt16 decoded = 0;
        if (const ViStatus status =
                kq7120_decipherArbitraryBlock(reply.data(), static_cast<ViUInt32>(reply.size()),
                                              calibrationData, kq7120_CAL_DATA_SIZE, &decoded);
            failed(status)) {
            return status;
        }
        calibrationData[decoded] = kEndMarker;
        return VI_SUCCESS;
    });
}

ViStatus kq7120_calibrateInstrument(ViSession instHndl, ViInt16 chanNmbr, ViInt16 gainVal, ViInt16 offsVal,
                                    ViConstString password, ViUInt16 saveFlag, ViInt32* calCount) {
    return guardedCall([&]() -> ViStatus {
        ViInt16 model = 0;
        if (const ViStatus status = kq7120_getModelNumber(instHndl, &model); failed(status)) return status;
        const ViInt16 highest = model == kq7120_KQ7110 ? kq7120_CALIBRATION_CHANNEL_KQ7110_MAX
                                                       : kq7120_CALIBRATION_CHANNEL_KQ7120_MAX;
        if (const ViStatus status = kq7120_invalidIntegerRange(chanNmbr, kq7120_CALIBRATION_CHANNEL_MIN,
                                                               highest, VI_ERROR_PARAMETER2);
            failed(status)) {
            return status;
        }
        if (const ViStatus status = checkAdjustment(gainVal, VI_ERROR_PARAMETER3); failed(status))
            return status;
        if (const ViStatus status = checkAdjustment(offsVal, VI_ERROR_PARAMETER4); failed(status))
            return status;
        if (!password) return VI_ERROR_PARAMETER5;
        if (saveFlag > kq7120_STORE) return VI_ERROR_PARAMETER6;
        if (!calCount) return VI_ERROR_PARAMETER7;
        if (failed(kq7120_calibrateOffsetGain(instHndl, password, chanNmbr, gainVal, offsVal))) {
            return kq7120_ERROR_CALIBRATE_OFFSET_GAIN;
        }
        if (saveFlag == kq7120_STORE && failed(kq7120_storeCalibrationData(instHndl, password, calCount))) {
            return kq7120_ERROR_STORING_CAL_DATA;
        }
        return VI_SUCCESS;
    });
}
