#include "definite_block.h"

#include <cstdint>

#include "c_boundary.h"
#include "kq7120.h"
#include "number_text.h"

namespace kq7120 {
namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

std::optional<DefiniteBlockHeader> readDefiniteBlockHeader(std::string_view bytes) {
    if (bytes.size() < 2 || bytes[0] != '#' || !isDigit(bytes[1]) || bytes[1] == '0') return std::nullopt;
    const auto digits = static_cast<std::size_t>(bytes[1] - '0');
    if (bytes.size() < 2 + digits) return std::nullopt;
    std::size_t count = 0;
    for (const char c : bytes.substr(2, digits)) {
        if (!isDigit(c)) return std::nullopt;
        count = count * 10 + static_cast<std::size_t>(c - '0');
    }
    return DefiniteBlockHeader{2 + digits, count};
}

std::string definiteBlock(std::string_view payload) {
    const std::string length = decimalText(static_cast<long long>(payload.size()));
    return "#" + decimalText(static_cast<long long>(length.size())) + length + std::string(payload);
}

}  // namespace kq7120

using namespace kq7120;

ViStatus kq7120_decipherArbitraryBlock(const ViChar inputArray[], ViUInt32 inputLength, ViInt16 outputArray[],
                                       ViInt16 outputCapacity, ViInt16* numOfWordsInOutputArray) {
    return guardedCall([&]() -> ViStatus {
        if (!inputArray) return VI_ERROR_PARAMETER1;
        if (!outputArray) return VI_ERROR_PARAMETER3;
        if (!numOfWordsInOutputArray) return VI_ERROR_PARAMETER5;
        *numOfWordsInOutputArray = 0;
        const std::string_view block(inputArray, inputLength);
        const auto header = readDefiniteBlockHeader(block);
        if (!header) return VI_ERROR_INV_RESPONSE;
        const std::size_t count = header->byteCount;
        const std::string_view bytes = block.substr(header->length);
        if (outputCapacity < 0 || count > static_cast<std::size_t>(outputCapacity) || count > bytes.size()) {
            return VI_ERROR_INV_RESPONSE;
        }
        for (std::size_t index = 0; index < count; ++index) {
            outputArray[index] = static_cast<std::int8_t>(bytes[index]);
        }
        *numOfWordsInOutputArray = static_cast<ViInt16>(count);
        return VI_SUCCESS;
    });
}
