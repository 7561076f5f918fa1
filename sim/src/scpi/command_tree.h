// The command table of an instrument: header patterns written the SCPI way, each with the parameter
// count it takes and its handler, and the lookup of a header as a program message sends it.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kqsim::scpi {

class Call;

// Reads its parameters from the call, acts, and replies or reports errors through it.
using Handler = std::function<void(Call&)>;

// How the parameters of a command are separated. SCPI uses commas; a few commands are sent with a
// space between some parameters (SCAN:TABL? 3 10,1) and are registered with commaOrSpace.
enum class Separators { comma, commaOrSpace };

// How many parameters a command takes. The interpreter checks the count before the handler runs:
// -109 Missing parameter below `min`, -108 Parameter not allowed above `max`, and the handler is not
// called. Where the count depends on the form of a parameter (VOLT? MAX,<channel> and VOLT? <channel>),
// the row gives the range of all forms and the handler checks its form's count with Call::expectCount.
struct ParameterCount {
    std::size_t min = 0;
    std::size_t max = 0;
};
constexpr ParameterCount takes(std::size_t count) { return {count, count}; }
constexpr ParameterCount takes(std::size_t min, std::size_t max) { return {min, max}; }

// One row of a command table, {header, takes(...), handler[, separators]}. `header` is written as a
// command reference writes it:
//   - upper-case letters are the short form, the whole word the long form: "VOLTage" matches VOLT and
//     VOLTAGE in any letter case, and nothing in between (VOLTA is undefined);
//   - a node in brackets may be omitted: "[SOURce]:VOLTage[:LEVel]" matches VOLT, SOUR:VOLT:LEV, ...;
//   - a node ending in '#' takes a numeric suffix ("CALibration#:GAIN", "OUTPut:TTLTrg#"); the handler
//     reads it with Call::suffix, 1 when the message omits it (CAL:GAIN is CAL1:GAIN);
//   - a trailing '?' makes the row the query form; set and query forms are separate rows;
//   - common commands are written with their star: "*RST", "*IDN?".
// Mnemonics are letters only (at most 12); the digits a message writes after one are its suffix.
struct Command {
    std::string_view header;
    ParameterCount parameterCount;
    Handler handler;
    Separators separators = Separators::comma;
};

// One mnemonic of a header as received: the letters, and the numeric suffix when one was written.
struct ReceivedMnemonic {
    std::string name;
    std::optional<int> suffix;
};

// A header as received, with the compound-header path already applied.
struct ReceivedHeader {
    bool common = false;  // "*XXX": one mnemonic, without its star
    bool query = false;
    std::vector<ReceivedMnemonic> mnemonics;
};

class CommandTree {
public:
    // Throws std::invalid_argument for a malformed header pattern or a parameter count whose minimum
    // exceeds its maximum (faults in the table itself).
    explicit CommandTree(std::vector<Command> commands);
    // Rows view their own header texts, so the tree moves but does not copy.
    CommandTree(const CommandTree&) = delete;
    CommandTree& operator=(const CommandTree&) = delete;
    CommandTree(CommandTree&&) = default;
    CommandTree& operator=(CommandTree&&) = default;

    struct Match {
        const Command* command = nullptr;
        std::vector<int> suffixes;  // one per '#' node of the pattern, in order; 1 where omitted
    };
    // The first row whose pattern matches, or nothing (-113 Undefined header for the caller).
    std::optional<Match> find(const ReceivedHeader& header) const;

private:
    struct Node {
        std::string shortForm;  // upper case
        std::string longForm;   // upper case
        bool optional = false;
        bool takesSuffix = false;
    };
    struct Row {
        std::string header;  // the pattern text; command.header views it
        Command command;
        bool common = false;
        bool query = false;
        std::vector<Node> nodes;
        std::size_t suffixCount = 0;
    };
    static Row compile(Command command);
    static bool matches(const Row& row, const std::vector<ReceivedMnemonic>& mnemonics, std::size_t node,
                        std::size_t received, std::size_t suffixSlot, std::vector<int>& suffixes);

    std::vector<Row> rows_;
};

}  // namespace kqsim::scpi
