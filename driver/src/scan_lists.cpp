// Channel modes (DC, scanning once or in a loop, ARB, FIFO), scan limits and scan tables.
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
#include "voltage_list.h"

namespace kq7120 {
namespace {

// Longest text of one table value with its comma ("-20.000000," is 11).
constexpr std::size_t kReplyBytesPerVoltage = 15;

struct ScanMode {
    ViInt16 code;
    std::string_view word;       // as sent in "SCAN <word>, (@<list>)"
    std::string_view replyWord;  // as "SCAN?" answers it
};

// Indexed by mode code; kq7120_SCAN_MODE_ALL_OFF is a command of its own.
constexpr std::array<ScanMode, 5> kScanModes = {{
    {kq7120_SCAN_MODE_OFF, "OFF", "0"},
    {kq7120_SCAN_MODE_ON, "ON", "1"},
    {kq7120_SCAN_MODE_LOOP, "LOOP", "LOOP"},
    {kq7120_SCAN_MODE_ARB, "ARB", "ARB"},
    {kq7120_SCAN_MODE_FIFO, "FIFO", "FIFO"},
}};
static_assert(rowsFollowCodes(kScanModes, &ScanMode::code));

constexpr auto kScanModeReplies = column(kScanModes, &ScanMode::replyWord);

// Model look-up, then the channel against the module's channel count (parameter 2 everywhere).
ViStatus checkChannel(ViSession instHndl, ViInt16 channel) {
    ViInt16 model = 0;
    if (const ViStatus status = getModelNum(instHndl, &model); failed(status)) return status;
    return kq7120_invalidIntegerRange(channel, kq7120_MIN_CHANNEL, channelCountOf(model),
                                      VI_ERROR_PARAMETER2);
}

ViStatus checkTableIndex(ViInt16 index, ViStatus code) {
    return kq7120_invalidIntegerRange(index, kq7120_INDEX_MIN, kq7120_INDEX_MAX, code);
}

ViStatus checkVoltage(ViReal32 voltage, ViStatus code) { return checkVoltages(std::span(&voltage, 1), code); }

}  // namespace
}  // namespace kq7120

using namespace kq7120;

ViStatus kq7120_setupScanMode(ViSession instHndl, ViInt16 mode, const ViInt16 channelList[],
                              ViInt16 numOfChannels) {
    return guardedCall([&]() -> ViStatus {
        ViInt16 model = 0;
        if (const ViStatus status = getModelNum(instHndl, &model); failed(status)) return status;
        if (mode == kq7120_SCAN_MODE_ALL_OFF) return commandWithCheck(instHndl, "SCAN OFF");
        if (const ViStatus status = kq7120_invalidIntegerRange(mode, kq7120_SCAN_MODE_OFF,
                                                               kq7120_SCAN_MODE_FIFO, VI_ERROR_PARAMETER2);
            failed(status)) {
            return status;
        }
        if (const ViStatus status = checkChannelList(channelList, numOfChannels, channelCountOf(model),
                                                     VI_ERROR_PARAMETER4, VI_ERROR_PARAMETER3);
            failed(status)) {
            return status;
        }
        const auto channels = std::span(channelList, static_cast<std::size_t>(numOfChannels));
        return commandWithCheck(instHndl, "SCAN " +
                                              std::string(kScanModes[static_cast<std::size_t>(mode)].word) +
                                              ", (@" + channelListText(channels) + ")");
    });
}

ViStatus kq7120_setupScanLimit(ViSession instHndl, ViInt16 channel, ViInt16 count) {
    return guardedCall([&]() -> ViStatus {
        if (const ViStatus status = checkChannel(instHndl, channel); failed(status)) return status;
        if (const ViStatus status =
                kq7120_invalidIntegerRange(count, kq7120_COUNT_MIN, kq7120_COUNT_MAX, VI_ERROR_PARAMETER3);
            failed(status)) {
            return status;
        }
        return commandWithCheck(instHndl, "SCAN:LIM " + decimalText(channel) + ", " + decimalText(count));
    });
}

ViStatus kq7120_setupScanList(ViSession instHndl, ViInt16 channel, const ViReal32 voltageList[],
                              ViInt16 numOfVolts) {
    return guardedCall([&]() -> ViStatus {
        if (const ViStatus status = checkChannel(instHndl, channel); failed(status)) return status;
        if (const ViStatus status = kq7120_invalidIntegerRange(numOfVolts, kq7120_VOLTAGE_LIST_MIN,
                                                               kq7120_VOLTAGE_LIST_MAX, VI_ERROR_PARAMETER4);
            failed(status)) {
            return status;
        }
        if (!voltageList) return VI_ERROR_PARAMETER3;
        const auto voltages = std::span(voltageList, static_cast<std::size_t>(numOfVolts));
        if (const ViStatus status = checkVoltages(voltages, VI_ERROR_PARAMETER3); failed(status))
            return status;
        return commandWithCheck(instHndl,
                                "SCAN:TABL " + decimalText(channel) + "," + voltageListText(voltages));
    });
}

ViStatus kq7120_setupScanListAtIndex(ViSession instHndl, ViInt16 channel, ViInt16 index, ViReal32 voltage) {
    return guardedCall([&]() -> ViStatus {
        if (const ViStatus status = checkChannel(instHndl, channel); failed(status)) return status;
        if (const ViStatus status = checkTableIndex(index, VI_ERROR_PARAMETER3); failed(status))
            return status;
        if (const ViStatus status = checkVoltage(voltage, VI_ERROR_PARAMETER4); failed(status)) return status;
        return commandWithCheck(instHndl, "SCAN:TABL " + decimalText(channel) + " :LOC " +
                                              decimalText(index) + ", " + fixedText(voltage, 6));
    });
}

ViStatus kq7120_setupScanListParams(ViSession instHndl, ViInt16 channel, ViInt16 mode, ViInt16 count,
                                    const ViReal32 voltageList[], ViInt16 numOfVolts) {
    return guardedCall([&]() -> ViStatus {
        if (const ViStatus status = kq7120_reset(instHndl); failed(status)) return status;
        if (failed(kq7120_configTriggerParams(instHndl, kq7120_TRIG_SRC_TTLTRG0, kq7120_SLOPE_POSITIVE)))
            return kq7120_ERROR_SETTING_TRIGGER_PARAMS;
        if (failed(kq7120_setupScanMode(instHndl, mode, &channel, 1))) return kq7120_ERROR_SETTING_SCAN_MODE;
        if (failed(kq7120_setupScanLimit(instHndl, channel, count))) return kq7120_ERROR_SETTING_SCAN_LIMIT;
        if (failed(kq7120_setupScanList(instHndl, channel, voltageList, numOfVolts))) {
            return kq7120_ERROR_SETTING_SCAN_LIST;
        }
        return VI_SUCCESS;
    });
}

ViStatus kq7120_queryScanMode(ViSession instHndl, ViInt16 channel, ViInt16* mode) {
    return guardedCall([&]() -> ViStatus {
        if (const ViStatus status = checkChannel(instHndl, channel); failed(status)) return status;
        if (!mode) return VI_ERROR_PARAMETER3;
        return queryWordCode(instHndl, "SCAN? " + decimalText(channel), kq7120_READ_BUFF_SIZE,
                             kScanModeReplies, WordExtent::FirstLine, *mode);
    });
}

ViStatus kq7120_queryScanLimit(ViSession instHndl, ViInt16 channel, ViInt16* index) {
    return guardedCall([&]() -> ViStatus {
        if (const ViStatus status = checkChannel(instHndl, channel); failed(status)) return status;
        if (!index) return VI_ERROR_PARAMETER3;
        return queryInteger(instHndl, "SCAN:LIM? " + decimalText(channel), kq7120_READ_BUFF_SIZE, *index);
    });
}

ViStatus kq7120_queryScanList(ViSession instHndl, ViInt16 channel, ViInt16 numOfVolts, ViInt16 start,
                              ViReal32 voltageList[]) {
    return guardedCall([&]() -> ViStatus {
        if (const ViStatus status = checkChannel(instHndl, channel); failed(status)) return status;
        if (const ViStatus status = kq7120_invalidIntegerRange(numOfVolts, kq7120_VOLTAGE_LIST_MIN,
                                                               kq7120_VOLTAGE_LIST_MAX, VI_ERROR_PARAMETER3);
            failed(status)) {
            return status;
        }
        if (const ViStatus status = checkTableIndex(start, VI_ERROR_PARAMETER4); failed(status))
            return status;
        if (numOfVolts > kq7120_INDEX_MAX + 1 - start) return VI_ERROR_PARAMETER3;
        if (!voltageList) return VI_ERROR_PARAMETER5;
        const auto count = static_cast<std::size_t>(numOfVolts);
        std::string reply;
        if (const ViStatus status = queryWithCheck(instHndl,
                                                   "SCAN:TABL? " + decimalText(channel) + " " +
                                                       decimalText(numOfVolts) + "," + decimalText(start),
                                                   count * kReplyBytesPerVoltage, reply);
            failed(status)) {
            return status;
        }
        readVoltageList(reply, std::span(voltageList, count));
        return VI_SUCCESS;
    });
}

ViStatus kq7120_queryScanListAtIndex(ViSession instHndl, ViInt16 channel, ViInt16 index, ViReal32* voltage) {
    return guardedCall([&]() -> ViStatus {
        if (const ViStatus status = checkChannel(instHndl, channel); failed(status)) return status;
        if (const ViStatus status = checkTableIndex(index, VI_ERROR_PARAMETER3); failed(status))
            return status;
        if (!voltage) return VI_ERROR_PARAMETER4;
        return queryReal(instHndl, "SCAN:TABL " + decimalText(channel) + ":LOC? " + decimalText(index),
                         kq7120_READ_BUFF_SIZE, *voltage);
    });
}
