// What a handler sees of one command: its suffixes, its parameters through typed accessors, and its
// reply. The handler runs only when the parameter count is within its row's range. An accessor that
// cannot deliver reports the SCPI error itself and returns nothing; after the first failure every
// accessor returns nothing without reporting again, so a handler can read all its parameters and then
// return if any is missing:
//
//   void setVoltage(scpi::Call& call) {  // registered with takes(2)
//       auto volts = call.real(0, -20.0, 19.99969, "V");
//       auto channels = call.channelList(1, 1, channelCount);
//       if (!volts || !channels) return;
//       ...
//   }
#pragma once

#include <cstddef>
#include <functional>
#include <initializer_list>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "scpi/parameters.h"

namespace kqsim::scpi {

// A numeric parameter as written: a number (converted to the command's unit) or a limit keyword.
enum class NumericKeyword { none, minimum, maximum, defaultValue };
struct NumericValue {
    NumericKeyword keyword = NumericKeyword::none;
    double number = 0.0;  // when keyword is none
};

// The choice a word parameter matched, and the numeric suffix written with it (TTLT5: 5).
struct WordChoice {
    std::size_t index = 0;
    int suffix = 1;
};

class Call {
public:
    using ErrorReporter = std::function<void(int code)>;

    Call(bool query, std::vector<int> suffixes, std::vector<Parameter> parameters, ErrorReporter report);

    bool isQuery() const { return query_; }

    // The numeric suffix of the header's '#' node number `which` (in pattern order); 1 when omitted.
    int suffix(std::size_t which = 0) const;
    // The same, reporting -114 Header suffix out of range outside min..max.
    std::optional<int> suffixInRange(int min, int max, std::size_t which = 0);

    std::size_t parameterCount() const { return parameters_.size(); }
    bool has(std::size_t index) const { return index < parameters_.size(); }
    // Precondition: has(index).
    const Parameter& parameter(std::size_t index) const;

    // -109 Missing parameter below `min`, -108 Parameter not allowed above `max`. For the count of one
    // form of a command whose row admits several; the parameters it leaves unread are admitted.
    bool expectCount(std::size_t min, std::size_t max);
    // The same check, by the interpreter against the command's row before the handler runs. It admits
    // nothing: parameters the handler leaves unread still give -108.
    bool countWithin(std::size_t min, std::size_t max);

    // Typed accessors. Errors: -109 when the parameter is missing, the type's "not allowed" error
    // (-128/-148/-158/-168/-178) when it has another type, and as stated for each. Numeric accessors
    // take MINimum and MAXimum for the range's limits and DEFault for its default (-224 Illegal
    // parameter value where it has none); any other word gives -148.
    //
    // A number rounded to the nearest integer; -222 Data out of range outside the range, -131 Invalid
    // suffix when a unit is written.
    std::optional<int> integer(std::size_t index, int min, int max);
    std::optional<int> integer(std::size_t index, const NumericRange& range);
    // A number. `unit`, when given, may follow the number, with a multiplier and with or without white
    // space between (10V, 500mV, 1.5 V); any other suffix gives -131 Invalid suffix. -222 Data out of
    // range outside the range.
    std::optional<double> real(std::size_t index, double min, double max, std::string_view unit = {});
    std::optional<double> real(std::size_t index, const NumericRange& range, std::string_view unit = {});
    // A number in `unit` (as for real) or one of the limit keywords, unresolved: for a value whose limits
    // depend on more than the command (a voltage on channels of different ranges).
    std::optional<NumericValue> numeric(std::size_t index, std::string_view unit = {});
    // The keyword's limit in `range`, or the number as it is; -222 for a number outside the range.
    std::optional<double> resolve(const NumericValue& value, const NumericRange& range);
    // Whether the parameter at `index` is MINimum, MAXimum or DEFault: a query asking for a limit
    // (TIM? MAX). Reports nothing.
    bool namesLimit(std::size_t index) const;
    // ON/OFF, or a number (0 is false, anything that rounds to another integer is true);
    // another word gives -224 Illegal parameter value.
    std::optional<bool> boolean(std::size_t index);
    // A word matched against choices written like header nodes ("EXTernal", "TTLTrg#", "INTernal#");
    // a '#' choice takes a numeric suffix (1 when omitted). No match: -224 Illegal parameter value.
    std::optional<WordChoice> word(std::size_t index, std::span<const std::string_view> choices);
    std::optional<WordChoice> word(std::size_t index, std::initializer_list<std::string_view> choices);
    // String data, unquoted.
    std::optional<std::string> string(std::size_t index);
    // Block data bytes; the view lives as long as the call.
    std::optional<std::string_view> block(std::size_t index);
    // A channel list, every entry within min..max (else -222 Data out of range).
    std::optional<std::vector<int>> channelList(std::size_t index, int min, int max);
    std::optional<std::vector<int>> channelList(std::size_t index, const NumericRange& range);

    // Appends text to this query's response (the interpreter joins the responses of a message with
    // ';' and ends the reply with a newline).
    void reply(std::string_view text);
    const std::string& response() const { return response_; }

    // Reports an error for this command (execution errors -2xx, device errors, ...); the call fails.
    // Only the first failure of a call is reported. A command error (-1xx) also ends the message.
    void fail(int code);
    bool failed() const { return failed_; }

    // Whether parameters remain that the handler neither read nor admitted with expectCount; the
    // interpreter then reports -108 Parameter not allowed after the handler returns.
    bool hasUnreadParameters() const;

private:
    const Parameter* take(std::size_t index, ParameterType type);
    // The parameter at `index` when it is a word, which a numeric accessor reads in place of a number.
    const Parameter* wordInPlaceOfNumber(std::size_t index);

    bool query_;
    std::vector<int> suffixes_;
    std::vector<Parameter> parameters_;
    ErrorReporter report_;
    std::string response_;
    bool failed_ = false;
    bool countChecked_ = false;
    mutable std::size_t read_ = 0;  // one past the highest parameter index asked for
};

}  // namespace kqsim::scpi
