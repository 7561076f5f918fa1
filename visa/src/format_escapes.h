// Backslash sequences in format strings (\n \r \t \\ \" \' and octal \ooo), which VISA reads in the
// format itself so that callers whose language has no such escapes can use them.
#pragma once

#include <optional>
#include <string_view>

namespace kqvisa {

struct EscapedCharacter {
    char character;
    std::size_t length;  // format characters taken, the backslash included
};

// The sequence at the start of `text` (which begins with a backslash), or nothing when it is not one.
inline std::optional<EscapedCharacter> readEscape(std::string_view text) {
    if (text.size() < 2) return std::nullopt;
    switch (text[1]) {
        case 'n':
            return EscapedCharacter{'\n', 2};
        case 'r':
            return EscapedCharacter{'\r', 2};
        case 't':
            return EscapedCharacter{'\t', 2};
        case '\\':
            return EscapedCharacter{'\\', 2};
        case '"':
            return EscapedCharacter{'"', 2};
        case '\'':
            return EscapedCharacter{'\'', 2};
        default:
            break;
    }
    unsigned value = 0;
    std::size_t length = 1;
    while (length < 4 && length < text.size() && text[length] >= '0' && text[length] <= '7') {
        value = value * 8 + static_cast<unsigned>(text[length] - '0');
        ++length;
    }
    if (length == 1 || value > 0xFF) return std::nullopt;
    return EscapedCharacter{static_cast<char>(value), length};
}

// The character the format stands for at `position`, outside a directive: the escape sequence that
// starts there, or else the character itself. A backslash that starts no sequence is taken as it is.
inline EscapedCharacter literalAt(std::string_view format, std::size_t position) {
    if (format[position] == '\\') {
        if (const auto escape = readEscape(format.substr(position))) return *escape;
    }
    return EscapedCharacter{format[position], 1};
}

}  // namespace kqvisa
