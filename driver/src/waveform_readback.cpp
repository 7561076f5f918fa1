// Reading a segment's waveform back: "trac:data?" answers a definite-length block of 16-bit DAC codes,
// two bytes each, high byte first.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>

#include "c_boundary.h"
#include "dac_code.h"
#include "definite_block.h"
#include "kq7120.h"
#include "number_text.h"
#include "status_check.h"
#include "transport.h"

namespace kq7120 {
namespace {

constexpr ViInt32 kMostPoints = 16380;
// Bytes around the codes: a header of six bytes ("#40004") or, from 10000 bytes on, seven, and the
// closing "\n".
constexpr std::size_t kLongestBlockFrame = 8;
// The caller's stream holds 2 * points + 8 bytes: the reply's first 2 * points + 7 and a terminator.
constexpr std::size_t kStreamFrame = 7;

ViStatus checkReaderArguments(const ViChar stream[], const void* data, const ViInt32* points) {
    if (!stream) return VI_ERROR_PARAMETER3;
    if (!data) return VI_ERROR_PARAMETER4;
    if (!points) return VI_ERROR_PARAMETER5;
    return kq7120_invalidLongIntRange(*points, 0, kMostPoints, VI_ERROR_PARAMETER5);
}

// Asks for the block and reads it whole (at most 2 * points + 8 bytes) into `reply`; `stream`
// receives as much of it as it holds, terminated.
ViStatus readWaveformBlock(ViSession instHndl, ViInt16 segmentNumber, ViInt16 channel, ViInt32 points,
                           ViChar stream[], std::string& reply) {
    if (const ViStatus status =
            sendCommand(instHndl, "trac:data? " + decimalText(segmentNumber) + "," + decimalText(channel));
        failed(status)) {
        return status;
    }
    const auto codeBytes = 2 * static_cast<std::size_t>(points);
    const ViStatus status = readReply(instHndl, codeBytes + kLongestBlockFrame, reply);
    const std::size_t kept = std::min(reply.size(), codeBytes + kStreamFrame);
    std::memcpy(stream, reply.data(), kept);
    stream[kept] = '\0';
    return status;
}

// Hands each code of the block to `store` (index, code), at most `limit` of them and only codes whose
// two bytes were received; the number handed over, or nothing when the header is malformed. A final
// "\n" is the reply's end, not data: a block cut short ends there.
template <typename Store>
std::optional<std::size_t> decodeBlock(std::string_view reply, std::size_t limit, Store store) {
    const auto header = readDefiniteBlockHeader(reply);
    if (!header) return std::nullopt;
    std::string_view bytes = reply.substr(header->length);
    if (bytes.ends_with('\n')) bytes.remove_suffix(1);
    const std::size_t count = std::min({header->byteCount, bytes.size(), 2 * limit}) / 2;
    for (std::size_t index = 0; index < count; ++index) {
        const auto high = static_cast<std::uint8_t>(bytes[2 * index]);
        const auto low = static_cast<std::uint8_t>(bytes[2 * index + 1]);
        store(index, static_cast<ViUInt16>(high << 8 | low));
    }
    return count;
}

}  // namespace
}  // namespace kq7120

using namespace kq7120;

ViStatus kq7120_arbQueryWaveformData(ViSession instHndl, ViInt16 segmentNumber, ViInt16 channel,
                                     ViChar stream[], ViUInt16 data[], ViInt32* points) {
    return guardedCall([&]() -> ViStatus {
        if (const ViStatus status = checkReaderArguments(stream, data, points); failed(status)) return status;
        std::string reply;
        if (const ViStatus status =
                readWaveformBlock(instHndl, segmentNumber, channel, *points, stream, reply);
            failed(status))
            return status;
        const auto decoded = decodeBlock(reply, static_cast<std::size_t>(*points),
                                         [&](std::size_t index, ViUInt16 code) { data[index] = code; });
        if (!decoded) return VI_ERROR_INV_RESPONSE;
        *points = static_cast<ViInt32>(*decoded);
        return checkInstrumentError(instHndl);
    });
}

ViStatus kq7120_arbQueryWaveformVoltage(ViSession instHndl, ViInt16 segmentNumber, ViInt16 channel,
                                        ViChar stream[], ViReal64 data[], ViInt32* points) {
    return guardedCall([&]() -> ViStatus {
        if (const ViStatus status = checkReaderArguments(stream, data, points); failed(status)) return status;
        std::string reply;
        if (const ViStatus status =
                readWaveformBlock(instHndl, segmentNumber, channel, *points, stream, reply);
            failed(status))
            return status;
        // Asked only once the whole block is in: the module answers one message at a time.
        ViInt16 range = 0;
        if (const ViStatus status = kq7120_queryVoltageRange(instHndl, channel, &range); failed(status))
            return status;
        ViInt16 format = 0;
        if (const ViStatus status = kq7120_queryDataFormat(instHndl, &format); failed(status)) return status;
        const auto decoded = decodeBlock(
            reply, static_cast<std::size_t>(*points),
            [&](std::size_t index, ViUInt16 code) { data[index] = codeToVolts(code, range, format); });
        if (!decoded) return VI_ERROR_INV_RESPONSE;
        *points = static_cast<ViInt32>(*decoded);
        return VI_SUCCESS;
    });
}
