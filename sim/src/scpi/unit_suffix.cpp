#include "scpi/unit_suffix.h"

#include <algorithm>
#include <cmath>

#include "scpi/ascii.h"

namespace kqsim::scpi {
namespace {

struct Multiplier {
    std::string_view prefix;  // upper case
    int exponent;
};

constexpr Multiplier kMultipliers[] = {
    {"EX", 18}, {"PE", 15}, {"T", 12}, {"G", 9},   {"MA", 6},  {"K", 3},
    {"M", -3},  {"U", -6},  {"N", -9}, {"P", -12}, {"F", -15}, {"A", -18},
};

// Units whose mega is written with a plain M.
constexpr std::string_view kMegaWithM[] = {"HZ", "OHM"};

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return toUpper(x) == toUpper(y); });
}

}  // namespace

std::optional<int> suffixExponent(std::string_view written, std::string_view unit) {
    if (unit.empty() || written.size() < unit.size()) return std::nullopt;
    const std::string_view prefix = written.substr(0, written.size() - unit.size());
    if (!equalsIgnoringCase(written.substr(prefix.size()), unit)) return std::nullopt;
    if (prefix.empty()) return 0;
    if (equalsIgnoringCase(prefix, "M") &&
        std::any_of(std::begin(kMegaWithM), std::end(kMegaWithM),
                    [unit](std::string_view mega) { return equalsIgnoringCase(unit, mega); })) {
        return 6;
    }
    for (const Multiplier& multiplier : kMultipliers) {
        if (equalsIgnoringCase(prefix, multiplier.prefix)) return multiplier.exponent;
    }
    return std::nullopt;
}

double scaledByPowerOfTen(double value, int exponent) {
    const double power = std::pow(10.0, std::abs(exponent));
    return exponent < 0 ? value / power : value * power;
}

}  // namespace kqsim::scpi
