// Taking replies apart: fields between commas and word searches, always within the bytes received.
#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

namespace kq7120 {

// The texts between commas, empty ones included ("a,,b" has three fields); a text without a comma is
// one field.
std::vector<std::string_view> commaFields(std::string_view text);

// The text up to its first "\n" (the whole text when it has none).
std::string_view beforeNewline(std::string_view text);

// Position of `word` in `text` at or after `from`, letters compared without regard to case;
// std::string_view::npos when absent.
std::size_t findIgnoringCase(std::string_view text, std::string_view word, std::size_t from = 0);
bool containsIgnoringCase(std::string_view text, std::string_view word);

// Index of the entry of `words` equal to `reply` (exact bytes, case included); nothing when none is.
std::optional<std::size_t> exactWordIndex(std::span<const std::string_view> words, std::string_view reply);

}  // namespace kq7120
