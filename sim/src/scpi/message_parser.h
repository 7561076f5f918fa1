// Splits one program message into its units: the header of each (with the compound-header path
// applied) and then, once the caller knows the command, its parameters. The grammar is described in
// scpi/interpreter.h. After an error the parser stops; error() names it.
#pragma once

#include <cstddef>
#include <optional>
#include <string_view>
#include <vector>

#include "scpi/command_tree.h"
#include "scpi/parameters.h"

namespace kqsim::scpi {

class MessageParser {
public:
    // Channel lists expand to at most this many entries (-223 Too much data beyond).
    static constexpr std::size_t maxChannelListEntries = 65536;
    // Parameters of one unit beyond this many give -108 Parameter not allowed.
    static constexpr std::size_t maxParameters = 4096;

    explicit MessageParser(std::string_view message) : message_(message) {}

    // The next unit's header; nothing at the end of the message or on an error.
    std::optional<ReceivedHeader> nextHeader();
    // The parameters of the unit whose header was just read, up to its ';' or the end.
    std::optional<std::vector<Parameter>> parameters(Separators separators);

    // 0 while no error was found.
    int error() const { return error_; }

private:
    bool atEnd() const { return pos_ >= message_.size(); }
    char peek(std::size_t ahead = 0) const;
    void skipWhitespace();
    bool fail(int code);

    bool readMnemonic(ReceivedMnemonic& mnemonic);
    bool readHeaderSuffixApart(ReceivedMnemonic& last);
    bool readParameter(Parameter& parameter, Separators separators);
    bool readNumber(Parameter& parameter, Separators separators);
    bool readNonDecimal(Parameter& parameter, int radix);
    bool readBlock(Parameter& parameter);
    bool readString(Parameter& parameter);
    bool readExpression(Parameter& parameter);
    bool readChannelList(Parameter& parameter, std::size_t close);
    bool readWord(Parameter& parameter);

    std::string_view message_;
    std::size_t pos_ = 0;
    int error_ = 0;
    std::vector<ReceivedMnemonic> path_;
};

}  // namespace kqsim::scpi
