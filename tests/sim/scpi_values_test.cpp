// Typed parameter accessors as handlers use them, and the locale-free number texts.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "scpi/number_text.h"
#include "scpi/response_text.h"
#include "scpi/unit_suffix.h"
#include "scpi_test_support.h"

namespace kqsim::scpi {
namespace {

using testing::Session;

// Runs `message` against one command "X" (suffix node OUTP:TTLT# too) whose handler is `handler`;
// returns the errors it queued.
class AccessorTest : public ::testing::Test {
protected:
    AccessorTest()
        : session({{"X", testing::anyCount, [this](Call& call) { handler(call); }},
                   {"OUTPut:TTLTrg#", testing::anyCount, [this](Call& call) { handler(call); }}}) {}

    std::vector<std::string> run(std::string_view message, std::function<void(Call&)> body) {
        handler = std::move(body);
        session.send(message);
        return session.drainErrors();
    }

    std::function<void(Call&)> handler;
    Session session;
};

template <typename T>
struct AccessorCase {
    std::string message;
    std::optional<T> value;
    std::string error;  // "" when none
};

template <typename T>
std::vector<std::string> expectedErrors(const AccessorCase<T>& c) {
    return c.error.empty() ? std::vector<std::string>{} : std::vector<std::string>{c.error};
}

TEST_F(AccessorTest, Integer) {
    const std::vector<AccessorCase<int>> cases{
        {"X 5", 5, ""},
        {"X 5.6", 6, ""},
        {"X +1E1", 10, ""},
        {"X #HA", 10, ""},
        {"X MAX", 10, ""},
        {"X minimum", 0, ""},
        {"X 11", std::nullopt, "-222,\"Data out of range\""},
        {"X -1e300", std::nullopt, "-222,\"Data out of range\""},
        {"X 1e400", std::nullopt, "-222,\"Data out of range\""},
        {"X 5V", std::nullopt, "-131,\"Invalid suffix\""},
        {"X", std::nullopt, "-109,\"Missing parameter\""},
        {"X ON", std::nullopt, "-148,\"Character data not allowed\""},
        {"X 'a'", std::nullopt, "-158,\"String data not allowed\""},
        {"X #11a", std::nullopt, "-168,\"Block data not allowed\""},
        {"X (@1)", std::nullopt, "-178,\"Expression data not allowed\""},
        {"X 5,6", 5, "-108,\"Parameter not allowed\""},  // the unread second parameter
    };
    for (const auto& c : cases) {
        std::optional<int> got;
        EXPECT_EQ(run(c.message, [&](Call& call) { got = call.integer(0, 0, 10); }), expectedErrors(c))
            << c.message;
        EXPECT_EQ(got, c.value) << c.message;
    }
}

TEST_F(AccessorTest, RealWithUnit) {
    const std::vector<AccessorCase<double>> cases{
        {"X 2.5", 2.5, ""},
        {"X 2.5V", 2.5, ""},
        {"X -20v", -20.0, ""},
        {"X 19.99969", 19.99969, ""},
        {"X 19.9997", std::nullopt, "-222,\"Data out of range\""},
        {"X MIN", -20.0, ""},
        {"X maximum", 19.99969, ""},
        {"X DEF", std::nullopt, "-224,\"Illegal parameter value\""},  // this range has no default
        {"X 2.5MV", 0.0025, ""},                                      // M is milli
        {"X 500mV", 0.5, ""},
        {"X 1.5 V", 1.5, ""},
        {"X 1500 uv", 0.0015, ""},
        {"X 0.01KV", 10.0, ""},
        {"X 2.5MAV", std::nullopt, "-222,\"Data out of range\""},  // MA is mega
        {"X 2.5S", std::nullopt, "-131,\"Invalid suffix\""},
        {"X 2.5QV", std::nullopt, "-131,\"Invalid suffix\""},
        {"X -2.5e-3", -0.0025, ""},
    };
    for (const auto& c : cases) {
        std::optional<double> got;
        EXPECT_EQ(run(c.message, [&](Call& call) { got = call.real(0, -20.0, 19.99969, "V"); }),
                  expectedErrors(c))
            << c.message;
        EXPECT_EQ(got, c.value) << c.message;
    }
}

TEST_F(AccessorTest, KeywordsStandForTheRangesLimits) {
    const NumericRange period{0.00001, 429.49, 0.01};
    const std::vector<AccessorCase<double>> cases{
        {"X MIN", 0.00001, ""},
        {"X max", 429.49, ""},
        {"X DEFAULT", 0.01, ""},
        {"X 10MS", 0.01, ""},
        {"X 100 US", 0.0001, ""},
        {"X 10NS", std::nullopt, "-222,\"Data out of range\""},
        {"X MINI", std::nullopt, "-148,\"Character data not allowed\""},
    };
    for (const auto& c : cases) {
        std::optional<double> got;
        EXPECT_EQ(run(c.message, [&](Call& call) { got = call.real(0, period, "S"); }), expectedErrors(c))
            << c.message;
        EXPECT_EQ(got, c.value) << c.message;
    }
}

TEST(UnitSuffix, MultipliersOfIeee4882) {
    struct Case {
        std::string_view written;
        std::string_view unit;
        std::optional<int> exponent;
    };
    const Case cases[] = {
        {"V", "V", 0},
        {"mv", "V", -3},
        {"MAV", "V", 6},
        {"KV", "V", 3},
        {"uV", "V", -6},
        {"NS", "S", -9},
        {"PS", "S", -12},
        {"FS", "S", -15},
        {"AS", "S", -18},
        {"GHZ", "HZ", 9},
        {"MHZ", "HZ", 6},
        {"mHz", "HZ", 6},
        {"MOHM", "OHM", 6},
        {"TS", "S", 12},
        {"PES", "S", 15},
        {"EXS", "S", 18},
        {"S", "V", std::nullopt},
        {"XV", "V", std::nullopt},
        {"MMV", "V", std::nullopt},
        {"V", "", std::nullopt},
    };
    for (const Case& c : cases) EXPECT_EQ(suffixExponent(c.written, c.unit), c.exponent) << c.written;
    EXPECT_EQ(scaledByPowerOfTen(500.0, -3), 0.5);
    EXPECT_EQ(scaledByPowerOfTen(1.5, 6), 1.5e6);
}

TEST_F(AccessorTest, Boolean) {
    const std::vector<AccessorCase<bool>> cases{
        {"X ON", true, ""},
        {"X off", false, ""},
        {"X 1", true, ""},
        {"X 0", false, ""},
        {"X 2", true, ""},
        {"X 0.2", false, ""},
        {"X MAYBE", std::nullopt, "-224,\"Illegal parameter value\""},
    };
    for (const auto& c : cases) {
        std::optional<bool> got;
        EXPECT_EQ(run(c.message, [&](Call& call) { got = call.boolean(0); }), expectedErrors(c)) << c.message;
        EXPECT_EQ(got, c.value) << c.message;
    }
}

TEST_F(AccessorTest, WordFromChoices) {
    struct Case {
        std::string message;
        std::optional<std::size_t> index;
        int suffix;
        std::string error;
    };
    const std::vector<Case> cases{
        {"X EXT", 0, 1, ""},
        {"X external", 0, 1, ""},
        {"X EXTC", 1, 1, ""},
        {"X EXTE", std::nullopt, 0, "-224,\"Illegal parameter value\""},
        {"X TTLT5", 2, 5, ""},
        {"X ttltrg0", 2, 0, ""},
        {"X INT12", 3, 12, ""},
        {"X INT", 3, 1, ""},
        {"X NONE3", std::nullopt, 0, "-224,\"Illegal parameter value\""},
        {"X 5", std::nullopt, 0, "-128,\"Numeric data not allowed\""},
    };
    for (const auto& c : cases) {
        std::optional<WordChoice> got;
        const auto errors = run(c.message, [&](Call& call) {
            got = call.word(0, {"EXTernal", "EXTC", "TTLTrg#", "INTernal#", "NONE"});
        });
        EXPECT_EQ(errors, c.error.empty() ? std::vector<std::string>{} : std::vector<std::string>{c.error})
            << c.message;
        ASSERT_EQ(got.has_value(), c.index.has_value()) << c.message;
        if (got) {
            EXPECT_EQ(got->index, *c.index) << c.message;
            EXPECT_EQ(got->suffix, c.suffix) << c.message;
        }
    }
}

TEST_F(AccessorTest, StringBlockAndChannelList) {
    std::optional<std::string> text;
    EXPECT_TRUE(run("X \"a,b;c\"", [&](Call& call) { text = call.string(0); }).empty());
    EXPECT_EQ(text, "a,b;c");

    std::string bytes;
    EXPECT_TRUE(run(std::string("X #15a\0;\n", 9) + "b", [&](Call& call) {
                    bytes = std::string(*call.block(0));
                }).empty());
    EXPECT_EQ(bytes, std::string("a\0;\nb", 5));

    std::optional<std::vector<int>> channels;
    EXPECT_TRUE(
        run("X (@ 1 , 3 : 5 ,16)", [&](Call& call) { channels = call.channelList(0, 1, 16); }).empty());
    EXPECT_EQ(channels, (std::vector<int>{1, 3, 4, 5, 16}));
    EXPECT_EQ(run("X (@1,17)", [&](Call& call) { channels = call.channelList(0, 1, 16); }),
              std::vector<std::string>{"-222,\"Data out of range\""});
    EXPECT_EQ(channels, std::nullopt);
}

TEST_F(AccessorTest, SuffixRangeAndCount) {
    std::optional<int> line;
    EXPECT_TRUE(run("OUTP:TTLT7", [&](Call& call) { line = call.suffixInRange(0, 7); }).empty());
    EXPECT_EQ(line, 7);
    EXPECT_EQ(run("OUTP:TTLT8", [&](Call& call) { line = call.suffixInRange(0, 7); }),
              std::vector<std::string>{"-114,\"Header suffix out of range\""});
    EXPECT_EQ(line, std::nullopt);

    EXPECT_EQ(run("X 1,2,3", [](Call& call) { call.expectCount(1, 2); }),
              std::vector<std::string>{"-108,\"Parameter not allowed\""});
    EXPECT_EQ(run("X", [](Call& call) { call.expectCount(1, 2); }),
              std::vector<std::string>{"-109,\"Missing parameter\""});
    EXPECT_TRUE(run("X 1,2,3", [](Call& call) { call.expectCount(0, 5); }).empty());
}

TEST_F(AccessorTest, FirstFailureIsTheOnlyOneReported) {
    bool laterAccessorsEmpty = false;
    const auto errors = run("X ON,'s'", [&](Call& call) {
        const auto a = call.integer(0, 0, 1);
        const auto b = call.integer(1, 0, 1);
        const auto c = call.block(2);
        laterAccessorsEmpty = !a && !b && !c && call.failed();
        call.fail(err::hardwareError);
    });
    EXPECT_EQ(errors, std::vector<std::string>{"-148,\"Character data not allowed\""});
    EXPECT_TRUE(laterAccessorsEmpty);
}

TEST_F(AccessorTest, FailedQueryRepliesNothing) {
    handler = [](Call& call) {
        call.reply("partial");
        call.fail(err::hardwareMissing);
    };
    EXPECT_EQ(session.send("X"), "");
    EXPECT_EQ(session.drainErrors(), std::vector<std::string>{"-241,\"Hardware missing\""});
}

TEST(NumberText, Parse) {
    struct Case {
        std::string_view text;
        std::optional<double> value;
    };
    for (const auto& c : {Case{"2.5", 2.5}, Case{"-20", -20.0}, Case{"+.5", 0.5}, Case{"1.", 1.0},
                          Case{"1e-3", 0.001}, Case{"-1E+2", -100.0}, Case{"0.0100000", 0.01},
                          Case{"1e-400", 0.0}, Case{"", std::nullopt}, Case{".", std::nullopt},
                          Case{"1e", std::nullopt}, Case{"inf", std::nullopt}, Case{"nan", std::nullopt},
                          Case{"1,5", std::nullopt}, Case{" 1", std::nullopt}, Case{"0x10", std::nullopt}}) {
        EXPECT_EQ(parseReal(c.text), c.value) << c.text;
    }
    EXPECT_EQ(parseReal("1e400"), std::numeric_limits<double>::infinity());
    EXPECT_EQ(parseReal("-1e400"), -std::numeric_limits<double>::infinity());

    EXPECT_EQ(parseInteger("512"), 512);
    EXPECT_EQ(parseInteger("+7"), 7);
    EXPECT_EQ(parseInteger("-32768"), -32768);
    EXPECT_EQ(parseInteger("1.5"), std::nullopt);
    EXPECT_EQ(parseInteger("++1"), std::nullopt);
    EXPECT_EQ(parseInteger("99999999999999999999"), std::nullopt);
}

TEST(NumberText, Format) {
    EXPECT_EQ(formatReal(2.5), "2.5");
    EXPECT_EQ(formatReal(-20.0), "-20");
    EXPECT_EQ(formatReal(-0.0), "0");
    EXPECT_EQ(formatReal(19.99969), "19.99969");
    EXPECT_EQ(formatReal(static_cast<double>(19.99969f), 7), "19.99969");
    EXPECT_EQ(formatReal(0.0001, 6), "0.0001");
    EXPECT_EQ(formatReal(1234567.0, 6), "1.23457E+06");  // NR3 with a capital E
    EXPECT_EQ(formatReal(1e-5), "1E-05");
    EXPECT_EQ(formatFixed(1.25, 6), "1.250000");
    EXPECT_EQ(formatFixed(-20.0, 6), "-20.000000");
    EXPECT_EQ(formatFixed(0.01, 7), "0.0100000");
    EXPECT_EQ(formatFixed(1e300, 2).size(), 304u);
    EXPECT_EQ(formatInteger(-32768), "-32768");
    EXPECT_EQ(formatReal(std::numeric_limits<double>::quiet_NaN()), "9.91E+37");
    EXPECT_EQ(formatReal(std::numeric_limits<double>::infinity()), "9.9E+37");
    for (double value : {2.5, -20.0, 19.99969, 1e-5, 0.1 + 0.2, -1.25e300}) {
        EXPECT_EQ(parseReal(formatReal(value)), value) << value;
    }
}

TEST(ResponseText, BlockAndString) {
    EXPECT_EQ(formatBlock(std::string("\x80\x00\xff\xff", 4)), std::string("#14\x80\x00\xff\xff", 7));
    EXPECT_EQ(formatBlock(""), "#10");
    EXPECT_EQ(formatBlock(std::string(1000, 'a')).substr(0, 6), "#41000");
    EXPECT_EQ(formatString("say \"hi\""), "\"say \"\"hi\"\"\"");
}

}  // namespace
}  // namespace kqsim::scpi
