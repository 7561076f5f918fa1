#include "reply_text.h"

namespace kq7120 {
namespace {

char upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

}  // namespace

std::vector<std::string_view> commaFields(std::string_view text) {
    std::vector<std::string_view> fields;
    for (;;) {
        const std::size_t comma = text.find(',');
        fields.push_back(text.substr(0, comma));
        if (comma == std::string_view::npos) return fields;
        text.remove_prefix(comma + 1);
    }
}

std::string_view beforeNewline(std::string_view text) { return text.substr(0, text.find('\n')); }

std::size_t findIgnoringCase(std::string_view text, std::string_view word, std::size_t from) {
    for (std::size_t pos = from; pos + word.size() <= text.size(); ++pos) {
        std::size_t matched = 0;
        while (matched < word.size() && upper(text[pos + matched]) == upper(word[matched])) ++matched;
        if (matched == word.size()) return pos;
    }
    return std::string_view::npos;
}

bool containsIgnoringCase(std::string_view text, std::string_view word) {
    return findIgnoringCase(text, word) != std::string_view::npos;
}

std::optional<std::size_t> exactWordIndex(std::span<const std::string_view> words, std::string_view reply) {
    for (std::size_t index = 0; index < words.size(); ++index) {
        if (words[index] == reply) return index;
    }
    return std::nullopt;
}

}  // namespace kq7120
