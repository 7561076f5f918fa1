#include "scpi/command_tree.h"

#include <stdexcept>
#include <utility>

#include "scpi/ascii.h"

namespace kqsim::scpi {
namespace {

constexpr std::size_t maxMnemonicLength = 12;

[[noreturn]] void malformed(std::string_view pattern, const char* why) {
    throw std::invalid_argument("command header \"" + std::string(pattern) + "\": " + why);
}

}  // namespace

CommandTree::CommandTree(std::vector<Command> commands) {
    rows_.reserve(commands.size());
    for (auto& command : commands) rows_.push_back(compile(std::move(command)));
    // The table's header texts need not outlive it: each row keeps its own.
    for (Row& row : rows_) row.command.header = row.header;
}

CommandTree::Row CommandTree::compile(Command command) {
    Row row;
    std::string_view pattern = command.header;
    if (!command.handler) malformed(pattern, "no handler");
    if (command.parameterCount.min > command.parameterCount.max) {
        malformed(pattern, "parameter count minimum above its maximum");
    }
    if (!pattern.empty() && pattern.back() == '?') {
        row.query = true;
        pattern.remove_suffix(1);
    }
    if (!pattern.empty() && pattern.front() == '*') {
        row.common = true;
        pattern.remove_prefix(1);
    } else if (!pattern.empty() && pattern.front() == ':') {
        pattern.remove_prefix(1);
    }

    std::size_t at = 0;
    while (at < pattern.size()) {
        Node node;
        if (pattern[at] == '[') {
            node.optional = true;
            ++at;
        }
        if (!row.nodes.empty() || node.optional) {
            if (at < pattern.size() && pattern[at] == ':') {
                ++at;
            } else if (!row.nodes.empty()) {
                malformed(command.header, "nodes must be separated by ':'");
            }
        }
        const std::size_t start = at;
        while (at < pattern.size() && isUpper(pattern[at])) ++at;
        const std::size_t shortEnd = at;
        while (at < pattern.size() && isLower(pattern[at])) ++at;
        if (shortEnd == start) malformed(command.header, "a node needs an upper-case short form");
        if (at - start > maxMnemonicLength) malformed(command.header, "mnemonic longer than 12 letters");
        node.shortForm = std::string(pattern.substr(start, shortEnd - start));
        for (char c : pattern.substr(start, at - start)) node.longForm += toUpper(c);
        if (at < pattern.size() && pattern[at] == '#') {
            node.takesSuffix = true;
            ++row.suffixCount;
            ++at;
        }
        if (node.optional) {
            if (at >= pattern.size() || pattern[at] != ']') malformed(command.header, "unclosed '['");
            ++at;
        }
        row.nodes.push_back(std::move(node));
    }
    if (row.nodes.empty()) malformed(command.header, "empty header");
    if (row.common && (row.nodes.size() != 1 || row.nodes[0].optional || row.nodes[0].takesSuffix)) {
        malformed(command.header, "a common command is one plain mnemonic");
    }
    row.header = std::string(command.header);
    row.command = std::move(command);
    return row;
}

bool CommandTree::matches(const Row& row, const std::vector<ReceivedMnemonic>& mnemonics, std::size_t node,
                          std::size_t received, std::size_t suffixSlot, std::vector<int>& suffixes) {
    if (node == row.nodes.size()) return received == mnemonics.size();
    const Node& pattern = row.nodes[node];
    const std::size_t nextSlot = suffixSlot + (pattern.takesSuffix ? 1 : 0);
    if (received < mnemonics.size()) {
        const ReceivedMnemonic& mnemonic = mnemonics[received];
        const bool nameMatches = mnemonic.name == pattern.shortForm || mnemonic.name == pattern.longForm;
        if (nameMatches && (pattern.takesSuffix || !mnemonic.suffix)) {
            if (pattern.takesSuffix) suffixes[suffixSlot] = mnemonic.suffix.value_or(1);
            if (matches(row, mnemonics, node + 1, received + 1, nextSlot, suffixes)) return true;
        }
    }
    if (!pattern.optional) return false;
    if (pattern.takesSuffix) suffixes[suffixSlot] = 1;
    return matches(row, mnemonics, node + 1, received, nextSlot, suffixes);
}

std::optional<CommandTree::Match> CommandTree::find(const ReceivedHeader& header) const {
    for (const Row& row : rows_) {
        if (row.common != header.common || row.query != header.query) continue;
        std::vector<int> suffixes(row.suffixCount, 1);
        if (matches(row, header.mnemonics, 0, 0, 0, suffixes))
            return Match{&row.command, std::move(suffixes)};
    }
    return std::nullopt;
}

}  // namespace kqsim::scpi
