// DC output: a voltage on a list of channels, its read-back, the output ranges and the software
// trigger.
#include <array>
#include <span>
#include <string>

#include "c_boundary.h"
#include "channel_list.h"
#include "code_table.h"
#include "kq7120.h"
#include "model_table.h"
#include "number_text.h"
#include "status_check.h"
#include "transport.h"

namespace kq7120 {
namespace {

constexpr std::size_t kVoltageReplyLimit = 100;

struct OutputRange {
    ViInt16 code;
    std::string_view word;
};

constexpr std::array<OutputRange, kq7120_MAX_RANGES> kOutputRanges = {{
    {kq7120_20VOLT_RANGE, "20V"},
    {kq7120_10VOLT_RANGE, "10V"},
}};
static_assert(rowsFollowCodes(kOutputRanges, &OutputRange::code));

constexpr auto kOutputRangeWords = column(kOutputRanges, &OutputRange::word);

}  // namespace
}  // namespace kq7120

using namespace kq7120;

ViStatus kq7120_setupVoltage(ViSession instHndl, ViReal32 voltLevelValue, const ViInt16 channelList[],
                             ViInt16 numOfChannels) {
    return guardedCall([&]() -> ViStatus {
        ViInt16 model = 0;
        if (const ViStatus status = getModelNum(instHndl, &model); failed(status)) return status;
        if (const ViStatus status = kq7120_invalidRealRange(voltLevelValue, kq7120_VOLT_LEVEL_VALUE_MIN,
                                                            kq7120_VOLT_LEVEL_VALUE_MAX, VI_ERROR_PARAMETER2);
            failed(status)) {
            return status;
        }
        if (const ViStatus status = checkChannelList(channelList, numOfChannels, channelCountOf(model),
                                                     VI_ERROR_PARAMETER4, VI_ERROR_PARAMETER3);
            failed(status)) {
            return status;
        }
        const auto channels = std::span(channelList, static_cast<std::size_t>(numOfChannels));
        return commandWithCheck(instHndl, "SOUR:VOLT:LEV " + generalText(voltLevelValue) + ",(@" +
                                              channelListText(channels) + ")");
    });
}

ViStatus kq7120_queryVoltage(ViSession instHndl, ViInt16 channelNum, ViReal32* voltLevelValue) {
    return guardedCall([&]() -> ViStatus {
        ViInt16 model = 0;
        if (const ViStatus status = getModelNum(instHndl, &model); failed(status)) return status;
        if (const ViInt16 highest = identifiedChannelCount(model)) {
            if (const ViStatus status =
                    kq7120_invalidIntegerRange(channelNum, kq7120_MIN_CHANNEL, highest, VI_ERROR_PARAMETER2);
                failed(status)) {
                return status;
            }
        }
        if (!voltLevelValue) return VI_ERROR_PARAMETER3;
        if (const ViStatus status = sendCommand(instHndl, "SOUR:VOLT:LEV? " + decimalText(channelNum));
            failed(status))
            return status;
        std::string reply;
        if (const ViStatus status = readReply(instHndl, kVoltageReplyLimit, reply); failed(status))
            return status;
        // Stored before the error check: a flagged error still leaves the value read.
        *voltLevelValue = leadingSingle(reply);
        return checkInstrumentError(instHndl);
    });
}

ViStatus kq7120_setupVoltageRange(ViSession instHndl, ViInt16 Range, const ViInt16 channelList[],
                                  ViInt16 numOfChannels) {
    return guardedCall([&]() -> ViStatus {
        if (const ViStatus status = kq7120_invalidIntegerRange(Range, kq7120_20VOLT_RANGE,
                                                               kq7120_10VOLT_RANGE, VI_ERROR_PARAMETER2);
            failed(status)) {
            return status;
        }
        // The channel numbers themselves are left to the module; only the list's size is bounded.
        if (const ViStatus status = kq7120_invalidIntegerRange(numOfChannels, kq7120_CHANNEL_LIST_MIN,
                                                               kq7120_MAX_CHANNEL, VI_ERROR_PARAMETER4);
            failed(status)) {
            return status;
        }
        if (!channelList) return VI_ERROR_PARAMETER3;
        const auto channels = std::span(channelList, static_cast<std::size_t>(numOfChannels));
        const auto& range = kOutputRanges[static_cast<std::size_t>(Range)];
        return commandWithCheck(
            instHndl, "VOLT:RANG " + std::string(range.word) + ",(@" + channelListText(channels) + ")");
    });
}

ViStatus kq7120_queryVoltageRange(ViSession instHndl, ViInt16 channel, ViInt16* range) {
    return guardedCall([&]() -> ViStatus {
        if (!range) return VI_ERROR_PARAMETER3;
        return queryWordCode(instHndl, "volt:rang?" + decimalText(channel), kq7120_READ_BUFF_SIZE,
                             kOutputRangeWords, WordExtent::WholeReply, *range);
    });
}

ViStatus kq7120_triggerEvent(ViSession instHndl) {
    return guardedCall([&] { return commandWithCheck(instHndl, "*TRG"); });
}

ViStatus kq7120_setupAndWriteToDAC(ViSession instHndl, ViInt16 trigSour, ViUInt16 slope,
                                   ViReal32 voltLevelValue, const ViInt16 channelList[],
                                   ViInt16 numOfChannels) {
    return guardedCall([&]() -> ViStatus {
        if (failed(kq7120_configTriggerParams(instHndl, trigSour, slope))) {
            return kq7120_ERROR_SETTING_TRIGGER_PARAMS;
        }
        if (failed(kq7120_setupVoltage(instHndl, voltLevelValue, channelList, numOfChannels))) {
            return kq7120_ERROR_SETTING_OUTPUT_VOLTAGE;
        }
        return VI_SUCCESS;
    });
}
