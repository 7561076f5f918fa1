// IEEE 488.2 and SCPI housekeeping: self-test, revision, error queue, operation complete and the
// status registers.
#include <array>
#include <cstdint>
#include <string>

#include "blocking_delay.h"
#include "c_boundary.h"
#include "code_table.h"
#include "kq7120.h"
#include "number_text.h"
#include "reply_text.h"
#include "status_check.h"
#include "text_output.h"
#include "transport.h"

namespace kq7120 {
namespace {

constexpr std::string_view kDriverRevision = "2.78.00";
constexpr double kSelfTestSeconds = 5.0;
constexpr std::size_t kSelfTestReplyLimit = 25;
constexpr std::size_t kIdentificationReplyLimit = 75;
constexpr std::size_t kRevisionField = 3;

struct SelfTestFailure {
    std::uint16_t bit;
    std::string_view text;
};

constexpr std::array<SelfTestFailure, 4> kSelfTestFailures = {{
    {0x8000, "Pattern RAM Flood Test Failed"},
    {0x4000, "Pattern RAM Data Bus Test Failed"},
    {0x2000, "Pattern RAM Address Bus Test Failed"},
    {0x1000, "Interrupt Vector Register Test Failed"},
}};

struct StatusRegister {
    ViInt16 selector;
    std::string_view query;
};

constexpr std::array<StatusRegister, 6> kStatusRegisters = {{
    {kq7120_STATUS_BYTE, "*STB?"},
    {kq7120_EVENT_REG, "*ESR?"},
    {kq7120_SERVICE_REQUEST_ENABLE, "*SRE?"},
    {kq7120_EVENT_STATUS_ENABLE, "*ESE?"},
    {kq7120_OPERATION_ENABLE, "STAT:OPER:ENAB?"},
    {kq7120_OPERATION_CONDITION, "STAT:OPER:COND?"},
}};
static_assert(rowsFollowCodes(kStatusRegisters, &StatusRegister::selector, kq7120_STATUS_BYTE));

std::string selfTestMessage(ViInt16 result) {
    if (result == 0) return "No Error";
    std::string message;
    for (const auto& failure : kSelfTestFailures) {
        if ((static_cast<std::uint16_t>(result) & failure.bit) == 0) continue;
        if (!message.empty()) message += ',';
        message += failure.text;
    }
    return message;
}

}  // namespace
}  // namespace kq7120

using namespace kq7120;

ViStatus kq7120_self_test(ViSession instHndl, ViInt16* testResult, ViChar testMessage[]) {
    return guardedCall([&]() -> ViStatus {
        if (!testResult) return VI_ERROR_PARAMETER2;
        if (!testMessage) return VI_ERROR_PARAMETER3;
        *testResult = 0;
        if (const ViStatus status = sendCommand(instHndl, "*TST?"); failed(status)) return status;
        // The module answers only once its tests are done; the wait is fixed, not polled.
        waitSeconds(kSelfTestSeconds);
        std::string reply;
        if (const ViStatus status = readReply(instHndl, kSelfTestReplyLimit, reply); failed(status))
            return status;
        if (const ViStatus status = checkInstrumentError(instHndl); failed(status)) return status;
        *testResult = static_cast<ViInt16>(leadingInteger(reply));
        copyText(selfTestMessage(*testResult), testMessage, kCallerTextCapacity);
        return VI_SUCCESS;
    });
}

ViStatus kq7120_selfTest(ViSession instHndl, ViInt16* testResult, ViChar testMessage[]) {
    return kq7120_self_test(instHndl, testResult, testMessage);
}

ViStatus kq7120_revision_query(ViSession instHndl, ViChar driverRev[], ViChar instrRev[]) {
    return guardedCall([&]() -> ViStatus {
        if (!driverRev) return VI_ERROR_PARAMETER2;
        if (!instrRev) return VI_ERROR_PARAMETER3;
        std::string reply;
        if (const ViStatus status = queryWithCheck(instHndl, "*IDN?", kIdentificationReplyLimit, reply);
            failed(status)) {
            return status;
        }
        const auto fields = commaFields(reply);
        instrRev[0] = '\0';
        copyText(kDriverRevision, driverRev, kCallerTextCapacity);
        if (fields.size() <= kRevisionField) return kq7120_INVALID_ID_RESPONSE;
        copyText(beforeNewline(fields[kRevisionField]), instrRev, kCallerTextCapacity);
        return VI_SUCCESS;
    });
}

ViStatus kq7120_revisionQuery(ViSession instHndl, ViChar instrRev[], ViChar driverRev[]) {
    return kq7120_revision_query(instHndl, driverRev, instrRev);
}

ViStatus kq7120_error_query(ViSession instHndl, ViInt32* errorNumber, ViChar errorString[]) {
    return guardedCall([&]() -> ViStatus {
        if (!errorNumber) return VI_ERROR_PARAMETER2;
        if (!errorString) return VI_ERROR_PARAMETER3;
        if (const ViStatus status = sendCommand(instHndl, "SYST:ERR?"); failed(status)) return status;
        std::string reply;
        if (const ViStatus status = readReply(instHndl, kq7120_READ_BUFF_SIZE, reply); failed(status))
            return status;
        // Reading the event status register clears it, so the error being read out does not come
        // back as kq7120_INSTRUMENT_ERROR on the next call; its result is not the caller's concern.
        checkInstrumentError(instHndl);
        const std::size_t comma = reply.find(',');
        *errorNumber = leadingInteger(std::string_view(reply).substr(0, comma));
        copyText(
            comma == std::string::npos ? std::string_view(reply) : std::string_view(reply).substr(comma + 1),
            errorString, kCallerTextCapacity);
        return VI_SUCCESS;
    });
}

ViStatus kq7120_errorQuery(ViSession instHndl, ViInt32* errorNumber, ViChar errorString[]) {
    return kq7120_error_query(instHndl, errorNumber, errorString);
}

ViStatus kq7120_setOperComplete(ViSession instHndl) {
    return guardedCall([&] { return commandWithCheck(instHndl, "*OPC"); });
}

ViStatus kq7120_getOperComplete(ViSession instHndl, ViInt16* operStatus) {
    return guardedCall([&]() -> ViStatus {
        if (!operStatus) return VI_ERROR_PARAMETER2;
        return queryInteger(instHndl, "*OPC?", kq7120_READ_BUFF_SIZE, *operStatus);
    });
}

ViStatus kq7120_clearStatusRegister(ViSession instHndl) {
    return guardedCall([&] { return commandWithCheck(instHndl, "*CLS"); });
}

ViStatus kq7120_setStatusMask(ViSession instHndl, ViInt16 service_req_enable_reg,
                              ViInt16 event_status_enable_reg, ViInt16 oper_status_enable_reg) {
    return guardedCall([&]() -> ViStatus {
        struct Mask {
            ViInt16 value;
            ViInt16 min;
            ViInt16 max;
            ViStatus code;
            std::string_view command;
        };
        const std::array<Mask, 3> masks = {{
            {service_req_enable_reg, kq7120_SERVICE_REQ_ENAB_MIN, kq7120_SERVICE_REQ_ENAB_MAX,
             VI_ERROR_PARAMETER2, "*SRE "},
            {event_status_enable_reg, kq7120_EVENT_STATUS_ENAB_MIN, kq7120_EVENT_STATUS_ENAB_MAX,
             VI_ERROR_PARAMETER3, "*ESE "},
            {oper_status_enable_reg, kq7120_OPER_STATUS_ENAB_MIN, kq7120_OPER_STATUS_ENAB_MAX,
             VI_ERROR_PARAMETER4, "STAT:OPER:ENAB "},
        }};
        for (const Mask& mask : masks) {
            if (const ViStatus status = kq7120_invalidIntegerRange(mask.value, mask.min, mask.max, mask.code);
                failed(status)) {
                return status;
            }
        }
        for (const Mask& mask : masks) {
            if (const ViStatus status =
                    commandWithCheck(instHndl, std::string(mask.command) + decimalText(mask.value));
                failed(status)) {
                return status;
            }
        }
        return VI_SUCCESS;
    });
}

ViStatus kq7120_queryDeviceStatusReg(ViSession instHndl, ViInt16 which_status_reg,
                                     ViInt32* value_status_reg) {
    return guardedCall([&]() -> ViStatus {
        if (const ViStatus status = kq7120_invalidIntegerRange(
                which_status_reg, kq7120_STATUS_BYTE, kq7120_OPERATION_CONDITION, VI_ERROR_PARAMETER2);
            failed(status)) {
            return status;
        }
        if (!value_status_reg) return VI_ERROR_PARAMETER3;
        const auto& statusRegister =
            kStatusRegisters[static_cast<std::size_t>(which_status_reg - kq7120_STATUS_BYTE)];
        return queryInteger(instHndl, statusRegister.query, kq7120_READ_BUFF_SIZE, *value_status_reg);
    });
}
