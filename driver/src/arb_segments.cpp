// ARB segments through SCPI: defining, resizing, deleting, copying and writing them point by point or
// as one text block, and the waveform memory they take.
#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>

#include "c_boundary.h"
#include "formatted_query.h"
#include "kq7120.h"
#include "number_text.h"
#include "status_check.h"
#include "transport.h"
#include "visa_binding.h"

namespace kq7120 {
namespace {

// The length of a text load travels as a signed 16-bit count.
constexpr std::size_t kLongestTextLoad = 32767;

std::string argumentList(std::initializer_list<long long> values) {
    std::string text;
    for (const long long value : values) {
        if (!text.empty()) text += ',';
        text += decimalText(value);
    }
    return text;
}

}  // namespace
}  // namespace kq7120

using namespace kq7120;

ViStatus kq7120_arbDefineSegment(ViSession instHndl, ViInt16 segmentNumber, ViInt32 buffSize) {
    return guardedCall([&] {
        return commandWithCheck(instHndl, "trac:def " + argumentList({segmentNumber, buffSize}));
    });
}

ViStatus kq7120_arbResizeSegment(ViSession instHndl, ViInt16 segmentNumber, ViInt32 buffSize) {
    return guardedCall([&] {
        return commandWithCheck(instHndl, "trac:poin " + argumentList({segmentNumber, buffSize}));
    });
}

ViStatus kq7120_arbDeleteAllSegments(ViSession instHndl) {
    return guardedCall([&] { return commandWithCheck(instHndl, "trac:del:all"); });
}

ViStatus kq7120_arbCopyWaveform(ViSession instHndl, ViInt16 srcSegNbr, ViInt16 srcCh, ViInt16 destSegNbr,
                                ViInt16 destCh) {
    return guardedCall([&] {
        // Destination first.
        return commandWithCheck(instHndl,
                                "trac:data " + argumentList({destSegNbr, destCh, srcSegNbr, srcCh}));
    });
}

ViStatus kq7120_arbSetDataPoint(ViSession instHndl, ViInt16 segmentNumber, ViInt16 channel, ViInt32 offset,
                                ViInt16 sample) {
    return guardedCall([&] {
        return commandWithCheck(instHndl,
                                "trac:data:poin " + argumentList({segmentNumber, channel, offset, sample}));
    });
}

ViStatus kq7120_arbLoadText(ViSession instHndl, ViInt16 sgmtNmbr, ViInt16 chanNmbr, const ViInt16 waveData[],
                            ViInt32 trcSize) {
    return guardedCall([&]() -> ViStatus {
        if (!waveData) return VI_ERROR_PARAMETER4;
        if (trcSize < 0) return VI_ERROR_PARAMETER5;
        // "#0": an indefinite-length block, ended by the end of the message.
        std::string command = "trac:data " + argumentList({sgmtNmbr, chanNmbr}) + ",#0";
        const auto samples = std::span(waveData, static_cast<std::size_t>(trcSize));
        if (command.size() + 2 * samples.size() > kLongestTextLoad) return VI_ERROR_PARAMETER5;
        command.reserve(command.size() + 2 * samples.size());
        for (const ViInt16 sample : samples) {
            const auto word = static_cast<std::uint16_t>(sample);
            command += static_cast<char>(word >> 8);
            command += static_cast<char>(word & 0xFF);
        }
        return sendCommand(instHndl, command);
    });
}

ViStatus kq7120_memorySize(ViSession instHndl, ViInt32* size) {
    return guardedCall([&]() -> ViStatus {
        if (!size) return VI_ERROR_PARAMETER2;
        return queryInteger(instHndl, "mem:size?", kq7120_READ_BUFF_SIZE, *size);
    });
}

ViStatus kq7120_queryArbMemoryUsage(ViSession instHndl, ViInt32* available, ViInt32* used) {
    return guardedCall([&]() -> ViStatus {
        if (!available) return VI_ERROR_PARAMETER2;
        if (!used) return VI_ERROR_PARAMETER3;
        ViInt32 availablePoints = 0;
        ViInt32 usedPoints = 0;
        const ViStatus status =
            visa::formattedQuery(instHndl, "trac:free?\n", "%ld,%ld%*t", &availablePoints, &usedPoints);
        if (failed(status)) return status;
        *available = availablePoints;
        *used = usedPoints;
        return status;
    });
}

ViStatus kq7120_arbQuerySegmentSize(ViSession instHndl, ViInt16 segmentNumber, ViInt32* size) {
    return guardedCall([&]() -> ViStatus {
        if (!size) return VI_ERROR_PARAMETER3;
        return queryFormattedNumber<ViInt32>(instHndl, "trac:poin? %d\n", "%ld%*t", *size,
                                             static_cast<int>(segmentNumber));
    });
}

ViStatus kq7120_arbQueryDataPoint(ViSession instHndl, ViInt16 segmentNumber, ViInt16 channel, ViInt32 offset,
                                  ViInt16* dataPoint) {
    return guardedCall([&]() -> ViStatus {
        if (!dataPoint) return VI_ERROR_PARAMETER5;
        return queryFormattedNumber<ViInt16>(instHndl, "trac:data:poin? %d,%d,%ld\n", "%hd%*t", *dataPoint,
                                             static_cast<int>(segmentNumber), static_cast<int>(channel),
                                             offset);
    });
}
