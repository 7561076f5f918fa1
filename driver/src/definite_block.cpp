#include "definite_block.h"

#include <cstdint>

#include "c_boundary.h"
#include "kq7120.h"
#include "number_text.h"

namespace kq7120 {
namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

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
        // Position 0 is the "#" (not tested), 1 the digit count, then the byte count, then the bytes.
        const std::string_view block(inputArray, inputLength);
        if (block.size() < 2 || !isDigit(block[1]) || block[1] == '0') return VI_ERROR_INV_RESPONSE;
        const auto digits = static_cast<std::size_t>(block[1] - '0');
        if (block.size() < 2 + digits) return VI_ERROR_INV_RESPONSE;
        std::size_t count = 0;
        for (const char c : block.substr(2, digits)) {
            if (!isDigit(c)) return VI_ERROR_INV_RESPONSE;
            count = count * 10 + static_cast<std::size_t>(c - '0');
        }
        const std::string_view bytes = block.substr(2 + digits);
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
