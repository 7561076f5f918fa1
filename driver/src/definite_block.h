// IEEE 488.2 definite-length arbitrary blocks: "#", the number of digits of the byte count, the
// byte count in decimal, then the bytes.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace kq7120 {

// "#16secret" for the six bytes "secret"; payloads of 1 to 999999999 bytes.
std::string definiteBlock(std::string_view payload);

struct DefiniteBlockHeader {
    std::size_t length;     // bytes of the header itself ("#40004" is 6)
    std::size_t byteCount;  // bytes the header announces
};

// The header `bytes` start with; nothing when they do not start with a well-formed one ("#", a digit
// 1-9, that many decimal digits). Whether the announced bytes follow is the caller's to check.
std::optional<DefiniteBlockHeader> readDefiniteBlockHeader(std::string_view bytes);

}  // namespace kq7120
