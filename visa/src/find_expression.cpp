#include "find_expression.h"

#include <charconv>
#include <vector>

#include "text_compare.h"

namespace kqvisa {

// Regular expression: alternatives of sequences of pieces; a piece is an atom with an optional
// repetition. "?" is any one character, "*" repeats the preceding atom zero or more times, "+" one
// or more; "[...]" and "[^...]" are character sets with ranges; "(...)" groups; "\" escapes.
// Matching covers the whole descriptor and ignores case.
struct FindPattern {
    enum class AtomKind { Literal, AnyCharacter, CharacterSet, Group };
    enum class Repeat { Once, ZeroOrMore, OneOrMore };

    struct CharacterRange {
        char first;
        char last;
    };

    struct Atom {
        AtomKind kind = AtomKind::Literal;
        char literal = 0;
        bool negatedSet = false;
        std::vector<CharacterRange> set;
        std::unique_ptr<FindPattern> group;
    };

    struct Piece {
        Atom atom;
        Repeat repeat = Repeat::Once;
    };

    std::vector<std::vector<Piece>> alternatives;

    // Positions in `text` where a match of this pattern that starts at one of `starts` can end.
    std::vector<bool> endsFrom(std::string_view text, const std::vector<bool>& starts) const;
};

namespace {

using Pattern = FindPattern;

bool atomMatches(const Pattern::Atom& atom, char c) {
    switch (atom.kind) {
        case Pattern::AtomKind::Literal:
            return asciiLower(atom.literal) == asciiLower(c);
        case Pattern::AtomKind::AnyCharacter:
            return true;
        case Pattern::AtomKind::CharacterSet: {
            bool inSet = false;
            for (const Pattern::CharacterRange& range : atom.set) {
                const char lower = asciiLower(c);
                if ((lower >= asciiLower(range.first) && lower <= asciiLower(range.last)) ||
                    (c >= range.first && c <= range.last)) {
                    inSet = true;
                }
            }
            return inSet != atom.negatedSet;
        }
        case Pattern::AtomKind::Group:
            return false;
    }
    return false;
}

bool anySet(const std::vector<bool>& positions) {
    for (bool position : positions) {
        if (position) return true;
    }
    return false;
}

std::vector<bool> atomEnds(const Pattern::Atom& atom, std::string_view text,
                           const std::vector<bool>& starts) {
    if (atom.kind == Pattern::AtomKind::Group) return atom.group->endsFrom(text, starts);
    std::vector<bool> ends(text.size() + 1, false);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (starts[i] && atomMatches(atom, text[i])) ends[i + 1] = true;
    }
    return ends;
}

std::vector<bool> pieceEnds(const Pattern::Piece& piece, std::string_view text,
                            const std::vector<bool>& starts) {
    if (piece.repeat == Pattern::Repeat::Once) return atomEnds(piece.atom, text, starts);
    std::vector<bool> reached =
        piece.repeat == Pattern::Repeat::ZeroOrMore ? starts : std::vector<bool>(text.size() + 1, false);
    std::vector<bool> frontier = starts;
    while (anySet(frontier)) {
        const std::vector<bool> next = atomEnds(piece.atom, text, frontier);
        frontier.assign(text.size() + 1, false);
        for (std::size_t i = 0; i <= text.size(); ++i) {
            if (next[i] && !reached[i]) {
                reached[i] = true;
                frontier[i] = true;
            }
        }
    }
    return reached;
}

}  // namespace

std::vector<bool> FindPattern::endsFrom(std::string_view text, const std::vector<bool>& starts) const {
    std::vector<bool> ends(text.size() + 1, false);
    for (const std::vector<Piece>& sequence : alternatives) {
        std::vector<bool> positions = starts;
        for (const Piece& piece : sequence) positions = pieceEnds(piece, text, positions);
        for (std::size_t i = 0; i <= text.size(); ++i) ends[i] = ends[i] || positions[i];
    }
    return ends;
}

// Attribute expression: comparisons "NAME op value" joined by "&&" and "||", with "!" and
// parentheses. Values are decimal or 0x-prefixed numbers, or texts in double quotes (== and !=
// only, compared ignoring case).
struct FindCondition {
    enum class Kind { And, Or, Not, Compare };
    enum class Relation { Equal, NotEqual, Less, LessOrEqual, Greater, GreaterOrEqual };

    Kind kind = Kind::Compare;
    std::unique_ptr<FindCondition> left;
    std::unique_ptr<FindCondition> right;
    const AttributeInfo* attribute = nullptr;
    Relation relation = Relation::Equal;
    std::optional<long long> number;
    std::string text;

    bool holds(const AttributeLookup& lookup) const;
};

bool FindCondition::holds(const AttributeLookup& lookup) const {
    switch (kind) {
        case Kind::And:
            return left->holds(lookup) && right->holds(lookup);
        case Kind::Or:
            return left->holds(lookup) || right->holds(lookup);
        case Kind::Not:
            return !left->holds(lookup);
        case Kind::Compare:
            break;
    }
    const std::optional<AttributeValue> value = lookup(*attribute);
    if (!value) return false;
    if (const auto* valueText = std::get_if<std::string>(&*value)) {
        if (number) return false;
        const bool equal = equalsNoCase(*valueText, text);
        return relation == Relation::Equal ? equal : !equal;
    }
    if (!number) return false;
    const auto actual = static_cast<long long>(std::get<ViAttrState>(*value));
    switch (relation) {
        case Relation::Equal:
            return actual == *number;
        case Relation::NotEqual:
            return actual != *number;
        case Relation::Less:
            return actual < *number;
        case Relation::LessOrEqual:
            return actual <= *number;
        case Relation::Greater:
            return actual > *number;
        case Relation::GreaterOrEqual:
            return actual >= *number;
    }
    return false;
}

namespace {

using Condition = FindCondition;

class PatternParser {
public:
    explicit PatternParser(std::string_view text) : text_(text) {}

    std::unique_ptr<Pattern> parseAll() {
        auto pattern = parseAlternatives();
        if (!pattern || position_ != text_.size()) return nullptr;
        return pattern;
    }

private:
    bool atEnd() const { return position_ >= text_.size(); }
    char peek() const { return text_[position_]; }

    std::unique_ptr<Pattern> parseAlternatives() {
        auto pattern = std::make_unique<Pattern>();
        while (true) {
            std::vector<Pattern::Piece> sequence;
            while (!atEnd() && peek() != '|' && peek() != ')') {
                auto piece = parsePiece();
                if (!piece) return nullptr;
                sequence.push_back(std::move(*piece));
            }
            if (sequence.empty()) return nullptr;
            pattern->alternatives.push_back(std::move(sequence));
            if (atEnd() || peek() != '|') return pattern;
            ++position_;
        }
    }

    std::optional<Pattern::Piece> parsePiece() {
        Pattern::Piece piece;
        const char c = peek();
        if (c == '*' || c == '+' || c == ']') return std::nullopt;
        ++position_;
        if (c == '?') {
            piece.atom.kind = Pattern::AtomKind::AnyCharacter;
        } else if (c == '[') {
            if (!parseSet(piece.atom)) return std::nullopt;
        } else if (c == '(') {
            piece.atom.kind = Pattern::AtomKind::Group;
            piece.atom.group = parseAlternatives();
            if (!piece.atom.group || atEnd() || peek() != ')') return std::nullopt;
            ++position_;
        } else if (c == '\\') {
            if (atEnd()) return std::nullopt;
            piece.atom.literal = text_[position_++];
        } else {
            piece.atom.literal = c;
        }
        if (!atEnd() && (peek() == '*' || peek() == '+')) {
            piece.repeat = peek() == '*' ? Pattern::Repeat::ZeroOrMore : Pattern::Repeat::OneOrMore;
            ++position_;
        }
        return piece;
    }

    bool parseSet(Pattern::Atom& atom) {
        atom.kind = Pattern::AtomKind::CharacterSet;
        if (!atEnd() && peek() == '^') {
            atom.negatedSet = true;
            ++position_;
        }
        while (!atEnd() && peek() != ']') {
            auto first = setCharacter();
            if (!first) return false;
            char last = *first;
            if (position_ + 1 < text_.size() && peek() == '-' && text_[position_ + 1] != ']') {
                ++position_;
                const auto rangeEnd = setCharacter();
                if (!rangeEnd || *rangeEnd < *first) return false;
                last = *rangeEnd;
            }
            atom.set.push_back({*first, last});
        }
        if (atEnd() || atom.set.empty()) return false;
        ++position_;
        return true;
    }

    std::optional<char> setCharacter() {
        char c = text_[position_++];
        if (c != '\\') return c;
        if (atEnd()) return std::nullopt;
        return text_[position_++];
    }

    std::string_view text_;
    std::size_t position_ = 0;
};

constexpr bool isNameCharacter(char c) {
    return isAsciiDigit(c) || c == '_' || (asciiLower(c) >= 'a' && asciiLower(c) <= 'z');
}

// Where the attribute expression starts: the first brace not escaped in the regular expression.
std::size_t conditionStart(std::string_view text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\') {
            ++i;
        } else if (text[i] == '{') {
            return i;
        }
    }
    return std::string_view::npos;
}

class ConditionParser {
public:
    explicit ConditionParser(std::string_view text) : text_(text) {}

    std::unique_ptr<Condition> parseAll() {
        auto condition = parseOr();
        skipSpace();
        if (!condition || position_ != text_.size()) return nullptr;
        return condition;
    }

private:
    void skipSpace() {
        while (position_ < text_.size() && isAsciiSpace(text_[position_])) ++position_;
    }

    bool take(std::string_view token) {
        skipSpace();
        if (text_.substr(position_).starts_with(token)) {
            position_ += token.size();
            return true;
        }
        return false;
    }

    static std::unique_ptr<Condition> join(Condition::Kind kind, std::unique_ptr<Condition> left,
                                           std::unique_ptr<Condition> right) {
        auto joined = std::make_unique<Condition>();
        joined->kind = kind;
        joined->left = std::move(left);
        joined->right = std::move(right);
        return joined;
    }

    std::unique_ptr<Condition> parseOr() {
        auto left = parseAnd();
        while (left && take("||")) {
            auto right = parseAnd();
            if (!right) return nullptr;
            left = join(Condition::Kind::Or, std::move(left), std::move(right));
        }
        return left;
    }

    std::unique_ptr<Condition> parseAnd() {
        auto left = parseUnary();
        while (left && take("&&")) {
            auto right = parseUnary();
            if (!right) return nullptr;
            left = join(Condition::Kind::And, std::move(left), std::move(right));
        }
        return left;
    }

    std::unique_ptr<Condition> parseUnary() {
        if (take("!")) {
            auto operand = parseUnary();
            if (!operand) return nullptr;
            return join(Condition::Kind::Not, std::move(operand), nullptr);
        }
        if (take("(")) {
            auto inner = parseOr();
            if (!inner || !take(")")) return nullptr;
            return inner;
        }
        return parseComparison();
    }

    std::unique_ptr<Condition> parseComparison() {
        skipSpace();
        const std::size_t nameStart = position_;
        while (position_ < text_.size() && isNameCharacter(text_[position_])) ++position_;
        auto condition = std::make_unique<Condition>();
        condition->attribute = findAttribute(text_.substr(nameStart, position_ - nameStart));
        if (condition->attribute == nullptr) return nullptr;

        struct RelationToken {
            std::string_view token;
            Condition::Relation relation;
        };
        // Two-character operators first, so "<=" is not read as "<".
        constexpr RelationToken kRelations[] = {
            {"==", Condition::Relation::Equal},       {"!=", Condition::Relation::NotEqual},
            {"<=", Condition::Relation::LessOrEqual}, {">=", Condition::Relation::GreaterOrEqual},
            {"<", Condition::Relation::Less},         {">", Condition::Relation::Greater},
        };
        bool related = false;
        for (const RelationToken& relation : kRelations) {
            if (take(relation.token)) {
                condition->relation = relation.relation;
                related = true;
                break;
            }
        }
        if (!related || !parseValue(*condition)) return nullptr;
        return condition;
    }

    bool parseValue(Condition& condition) {
        skipSpace();
        if (position_ < text_.size() && text_[position_] == '"') {
            const std::size_t close = text_.find('"', position_ + 1);
            if (close == std::string_view::npos) return false;
            condition.text = std::string(text_.substr(position_ + 1, close - position_ - 1));
            position_ = close + 1;
            return condition.relation == Condition::Relation::Equal ||
                   condition.relation == Condition::Relation::NotEqual;
        }
        bool negative = false;
        if (position_ < text_.size() && text_[position_] == '-') {
            negative = true;
            ++position_;
        }
        int base = 10;
        if (text_.substr(position_, 2) == "0x" || text_.substr(position_, 2) == "0X") {
            base = 16;
            position_ += 2;
        }
        unsigned long long magnitude = 0;
        const char* begin = text_.data() + position_;
        const auto [end, error] = std::from_chars(begin, text_.data() + text_.size(), magnitude, base);
        if (error != std::errc{} || end == begin) return false;
        position_ += static_cast<std::size_t>(end - begin);
        const auto value = static_cast<long long>(magnitude);
        condition.number = negative ? -value : value;
        return true;
    }

    std::string_view text_;
    std::size_t position_ = 0;
};

}  // namespace

FindExpression::FindExpression() = default;
FindExpression::FindExpression(FindExpression&&) noexcept = default;
FindExpression& FindExpression::operator=(FindExpression&&) noexcept = default;
FindExpression::~FindExpression() = default;

std::optional<FindExpression> FindExpression::parse(std::string_view text) {
    std::string_view patternText = text;
    std::string_view conditionText;
    const std::size_t brace = conditionStart(text);
    if (brace != std::string_view::npos) {
        if (text.back() != '}') return std::nullopt;
        patternText = text.substr(0, brace);
        conditionText = text.substr(brace + 1, text.size() - brace - 2);
    }
    FindExpression expression;
    expression.pattern_ = PatternParser(patternText).parseAll();
    if (!expression.pattern_) return std::nullopt;
    if (brace != std::string_view::npos) {
        expression.condition_ = ConditionParser(conditionText).parseAll();
        if (!expression.condition_) return std::nullopt;
    }
    return expression;
}

bool FindExpression::matches(std::string_view descriptor, const AttributeLookup& attributes) const {
    std::vector<bool> starts(descriptor.size() + 1, false);
    starts[0] = true;
    if (!pattern_->endsFrom(descriptor, starts)[descriptor.size()]) return false;
    return !condition_ || condition_->holds(attributes);
}

}  // namespace kqvisa
