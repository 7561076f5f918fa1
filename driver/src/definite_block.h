// IEEE 488.2 definite-length arbitrary blocks: "#", the number of digits of the byte count, the
// byte count in decimal, then the bytes.
#pragma once

#include <string>
#include <string_view>

namespace kq7120 {

// "#16secret" for the six bytes "secret"; payloads of 1 to 999999999 bytes.
std::string definiteBlock(std::string_view payload);

}  // namespace kq7120
