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
#include "transport.h"

namespace kq7120 {
namespace {

// The read count, 2 * points + 7, has to fit the reader's 16-bit count.
constexpr ViInt32 kMostPoints = 16380;
// "#4dddd" and the closing "\n" around the codes of a block of fewer than 10000 bytes.
constexpr std::size_t kBlockFrameBytes = 7;

ViStatus checkReaderArguments(const ViChar stream[], const void* data, const ViInt32* points) {
    if (!stream) return VI_ERROR_PARAMETER3;
    if (!data) return VI_ERROR_PARAMETER4;
    if (!points) return VI_ERROR_PARAMETER5;
    return kq7120_invalidLongIntRange(*points, 0, kMostPoints, VI_ERROR_PARAMETER5);
}

// Asks for the block and reads at most 2 * points + 7 bytes into `reply`; `stream` receives the same
// bytes, terminated.
ViStatus readWaveformBlock(ViSession instHndl, ViInt16 segmentNumber, ViInt16 channel, ViInt32 points,
                           ViChar stream[], std::string& reply) {
    if (const ViStatus status = sendCommand(instHndl, "trac:data? " + decimalText(segmentNumber) + "," +
                                                          decimalText(channel))) {
        return status;
    }
    const ViStatus status = readReply(instHndl, 2 * static_cast<std::size_t>(points) + kBlockFrameBytes, reply);
    std::memcpy(stream, reply.data(), reply.size());
    stream[reply.size()] = '\0';
    return status;
}

// Hands each code of the block to `store` (index, code), at most `limit` of them and only codes whose
// two bytes were received; the number handed over, or nothing when the header is malformed.
template <typename Store>
std::optional<std::size_t> decodeBlock(std::string_view reply, std::size_t limit, Store store) {
    const auto header = readDefiniteBlockHeader(reply);
    if (!header) return std::nullopt;
    const std::string_view bytes = reply.substr(header->length);
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

ViStatus kq7120_arbQueryWaveformData(ViSession instHndl, ViInt16 segmentNumber, ViInt16 channel, ViChar stream[],
                                     ViUInt16 data[], ViInt32* points) {
    return guardedCall([&]() -> ViStatus {
        if (const ViStatus status = checkReaderArguments(stream, data, points)) return status;
        std::string reply;
        if (const ViStatus status = readWaveformBlock(instHndl, segmentNumber, channel, *points, stream, reply))
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
        if (const ViStatus status = checkReaderArguments(stream, data, points)) return status;
        std::string reply;
        if (const ViStatus status = readWaveformBlock(instHndl, segmentNumber, channel, *points, stream, reply))
            return status;
        // Asked only once the whole block is in: the module answers one message at a time.
        ViInt16 range = 0;
        if (const ViStatus status = kq7120_queryVoltageRange(instHndl, channel, &range)) return status;
        ViInt16 format = 0;
        if (const ViStatus status = kq7120_queryDataFormat(instHndl, &format)) return status;
        const auto decoded =
            decodeBlock(reply, static_cast<std::size_t>(*points), [&](std::size_t index, ViUInt16 code) {
                data[index] = codeToVolts(code, range, format);
            });
        if (!decoded) return VI_ERROR_INV_RESPONSE;
        *points = static_cast<ViInt32>(*decoded);
        return VI_SUCCESS;
    });
}
