// Response data elements that are not plain numbers.
#pragma once

#include <string>
#include <string_view>

namespace kqsim::scpi {

// Definite-length arbitrary block: "#<digits of len><len><bytes>"; an empty block is "#10".
std::string formatBlock(std::string_view bytes);
// String response data: the text in double quotes, quotes inside doubled.
std::string formatString(std::string_view text);

}  // namespace kqsim::scpi
