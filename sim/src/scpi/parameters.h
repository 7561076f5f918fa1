// Program data elements as the parser delivers them to a handler.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace kqsim::scpi {

enum class ParameterType {
    number,       // decimal (2.5, -1e-3, 10V) or non-decimal (#H1F, #Q17, #B101) numeric data
    word,         // character data: ON, EXT, TTLT5, MAX
    string,       // "text" or 'text'
    block,        // #<d><len><bytes> or #0<bytes to the end of the message>
    channelList,  // (@1,2,16), (@1:4)
    expression,   // any other parenthesised expression
};

struct Parameter {
    ParameterType type = ParameterType::word;
    // number: the numeric text as sent without its unit; word: as sent; string: the contents with
    // doubled quotes made single; block: the data bytes; channelList/expression: the text inside the
    // parentheses.
    std::string text;
    double number = 0.0;        // number: its value (+-inf when beyond the double range)
    std::string unit;           // number: the suffix unit written right after it ("V" of 10V), as sent
    std::vector<int> channels;  // channelList: the entries in the order sent, ranges expanded
    // block: an indefinite block (#0) whose message ended with NL^END; that NL ended the message and is
    // not in `text`.
    bool newlineEnded = false;
};

// The limits of a numeric parameter: what MINimum and MAXimum stand for, and DEFault where the
// setting has a default.
struct NumericRange {
    double min = 0.0;
    double max = 0.0;
    std::optional<double> defaultValue;
};

// The SCPI error for a parameter of this type where the command takes another type:
// -128 numeric, -148 character, -158 string, -168 block, -178 expression data not allowed.
int notAllowedError(ParameterType type);

}  // namespace kqsim::scpi
