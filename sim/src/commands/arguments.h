// What the module's command handlers share: the parameter helpers, the word tables' lookup and the
// reply forms used by more than one subsystem. Each parameter helper reports its own error and
// returns nothing on failure.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "kq_limits.h"
#include "module_core.h"
#include "scpi/call.h"

namespace kqsim::commands {

using scpi::Call;

inline constexpr const NumericLimits& kLimits = kNumericLimits;

// A word parameter: the pattern it is written in (as a command reference writes it, '#' for a
// numeric suffix), the value it selects and the word the matching query answers.
template <typename Value>
struct WordEntry {
    std::string_view pattern;
    Value value;
    std::string_view reply;
};

template <typename Value, std::size_t N>
std::optional<WordEntry<Value>> chooseWord(Call& call, std::size_t index, const WordEntry<Value> (&table)[N],
                                           int& suffix) {
    std::array<std::string_view, N> patterns{};
    for (std::size_t i = 0; i < N; ++i) patterns[i] = table[i].pattern;
    const auto choice = call.word(index, patterns);
    if (!choice) return std::nullopt;
    suffix = choice->suffix;
    return table[choice->index];
}

template <typename Value, std::size_t N>
std::optional<Value> chooseWord(Call& call, std::size_t index, const WordEntry<Value> (&table)[N]) {
    int suffix = 1;
    const auto entry = chooseWord(call, index, table, suffix);
    if (!entry) return std::nullopt;
    return entry->value;
}

template <typename Value, std::size_t N>
std::string_view replyWord(const WordEntry<Value> (&table)[N], Value value) {
    for (const auto& entry : table) {
        if (entry.value == value) return entry.reply;
    }
    return table[0].reply;
}

// One channel, written as a number (3) or a one-entry channel list ((@3)).
std::optional<int> channelArgument(const ModuleCore& core, Call& call, std::size_t index);
// The channel list at `index`, or every channel when the command has no parameter there.
std::optional<std::vector<int>> channelsArgument(const ModuleCore& core, Call& call, std::size_t index);
// Sequence steps as a channel list ((@2)) or a number.
std::optional<std::vector<int>> stepsArgument(Call& call, std::size_t index);
std::optional<int> stepArgument(Call& call, std::size_t index);
std::optional<int> segmentArgument(Call& call, std::size_t index);
// A security code, sent as a block (#16abcdef) or a string.
std::optional<std::string> codeArgument(Call& call, std::size_t index);
// A voltage as sent (the module checks it against the channel), or a limit keyword's value.
std::optional<double> voltsArgument(Call& call, std::size_t index, const scpi::NumericRange& limits);
// The voltages from parameter `first` to the last, each read as voltsArgument reads it.
std::optional<std::vector<double>> voltsArguments(Call& call, std::size_t first,
                                                  const scpi::NumericRange& limits);

// TIM? MAX and the like: with MINimum, MAXimum or DEFault as its parameter (the rows of these queries
// take at most one) the query answers that limit of its setting, in the setting's reply form, and this
// returns true.
bool answeredLimit(Call& call, const scpi::NumericRange& limits, std::string (*format)(double));
// The parameter count of the form at hand, where the command's row admits the counts of several
// forms (VOLT? MAX,<channel> and VOLT? <channel>); -109 or -108 otherwise.
bool formTakes(Call& call, std::size_t count);
// Fails the call with `error` unless it is 0; true when it was 0.
bool succeeded(Call& call, int error);

std::string formatWhole(double value);
// Values with six decimals, separated by commas (scan tables, memory arrays).
std::string joinFixed(std::span<const double> values);

}  // namespace kqsim::commands
