#include "scpi/response_text.h"

#include "scpi/number_text.h"

namespace kqsim::scpi {

std::string formatBlock(std::string_view bytes) {
    const std::string length = formatInteger(static_cast<long long>(bytes.size()));
    std::string block = "#";
    block += formatInteger(static_cast<long long>(length.size()));
    block += length;
    block += bytes;
    return block;
}

std::string formatString(std::string_view text) {
    std::string quoted = "\"";
    for (char c : text) {
        if (c == '"') quoted += '"';
        quoted += c;
    }
    quoted += '"';
    return quoted;
}

}  // namespace kqsim::scpi
