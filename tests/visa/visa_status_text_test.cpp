// viStatusDesc knows every completion, warning and error code of visa.h.
#include <cstdlib>
#include <fstream>
#include <regex>
#include <string>
#include <vector>

#include "visa_test_support.h"

namespace kqvisatest {
namespace {

struct HeaderCode {
    std::string name;
    ViStatus value;
};

// The status codes visa.h defines, read from the header itself so that a code added there without
// a text shows up here.
std::vector<HeaderCode> headerCodes() {
    const char* source = std::getenv("KQ_SOURCE_DIR");
    std::ifstream header(std::string(source ? source : ".") + "/visa/include/visa.h");
    const std::regex definition(
        R"(#define\s+(VI_(?:SUCCESS|WARN|ERROR)\w*)\s+\(?(_VI_ERROR\s*\+\s*)?(0x[0-9A-Fa-f]+)\)?)");
    std::vector<HeaderCode> codes;
    std::string line;
    while (std::getline(header, line)) {
        std::smatch match;
        if (!std::regex_search(line, match, definition)) continue;
        auto value = static_cast<std::uint32_t>(std::stoul(match[3].str(), nullptr, 16));
        if (match[2].matched) value += 0x80000000u;
        codes.push_back({match[1].str(), static_cast<ViStatus>(value)});
    }
    return codes;
}

class StatusTextTest : public VisaTest {};

TEST_F(StatusTextTest, EveryHeaderCodeHasItsText) {
    const std::vector<HeaderCode> codes = headerCodes();
    ASSERT_GE(codes.size(), 100u);
    const ViSession session = open("VXI0::24::INSTR");
    for (const HeaderCode& code : codes) {
        ViChar text[VI_FIND_BUFLEN] = {};
        ASSERT_EQ(viStatusDesc(session, code.value, text), VI_SUCCESS) << code.name;
        const std::string description = text;
        EXPECT_EQ(description.substr(0, code.name.size() + 2), code.name + ": ") << description;
        EXPECT_GT(description.size(), code.name.size() + 10) << description;
    }
}

TEST_F(StatusTextTest, UnknownCodesGetAGenericText) {
    ViChar text[VI_FIND_BUFLEN] = {};
    EXPECT_EQ(viStatusDesc(rm_, static_cast<ViStatus>(0xBFFC0800), text), VI_WARN_UNKNOWN_STATUS);
    EXPECT_STREQ(text, "Unknown status code 0xBFFC0800.");
    EXPECT_EQ(viStatusDesc(VI_NULL, 1, text), VI_WARN_UNKNOWN_STATUS);
    EXPECT_STREQ(text, "Unknown status code 0x00000001.");
}

TEST_F(StatusTextTest, DescribesWithoutASessionButNotWithAStaleOne) {
    ViChar text[VI_FIND_BUFLEN] = {};
    EXPECT_EQ(viStatusDesc(VI_NULL, VI_ERROR_TMO, text), VI_SUCCESS);
    EXPECT_STREQ(text, "VI_ERROR_TMO: The timeout expired before the operation completed.");
    const ViSession session = open("VXI0::24::INSTR");
    ASSERT_EQ(viClose(session), VI_SUCCESS);
    EXPECT_EQ(viStatusDesc(session, VI_ERROR_TMO, text), VI_ERROR_INV_OBJECT);
}

}  // namespace
}  // namespace kqvisatest
