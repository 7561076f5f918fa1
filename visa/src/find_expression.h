// Search expressions of viFindRsrc: a regular expression over the descriptor, optionally followed
// by an attribute expression in braces, e.g. "?*VXI?*INSTR{VI_ATTR_MANF_ID==0xA5D}".
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "attribute_table.h"

namespace kqvisa {

struct FindPattern;
struct FindCondition;

// What the attribute expression may ask of a resource; nothing when it lacks the attribute.
using AttributeLookup = std::function<std::optional<AttributeValue>(const AttributeInfo&)>;

class FindExpression {
public:
    // Nothing when the text is not a valid expression.
    static std::optional<FindExpression> parse(std::string_view text);

    bool matches(std::string_view descriptor, const AttributeLookup& attributes) const;

    FindExpression(FindExpression&&) noexcept;
    FindExpression& operator=(FindExpression&&) noexcept;
    ~FindExpression();

private:
    FindExpression();

    std::unique_ptr<FindPattern> pattern_;
    std::unique_ptr<FindCondition> condition_;  // null without an attribute expression
};

}  // namespace kqvisa
