// Status texts, the range checks, and the reply/command text helpers underneath every function.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "kq7120.h"
#include "kqvisa/bus_trace.h"
#include "kqvisa/fault_injection.h"
#include "number_text.h"
#include "reply_text.h"
#include "scpi_log.h"

namespace {

std::string messageOf(ViStatus code) {
    ViChar text[256] = "untouched";
    EXPECT_EQ(kq7120_error_message(0, code, text), VI_SUCCESS);
    return text;
}

// What the driver is to show for a code it leaves to VISA: VISA's text, or "Unknown Error" when VISA
// has none (any status but 0).
std::string visaText(ViStatus code) {
    ViChar text[256] = {};
    if (viStatusDesc(0, code, text) != VI_SUCCESS) return "Unknown Error";
    return text;
}

struct CodeText {
    std::uint32_t code;
    const char* text;
};

TEST(ErrorMessage, DriverAndParameterCodesHaveFixedTexts) {
    const CodeText table[] = {
        {0xBFFC0001, "Error in Parameter 1"},
        {0xBFFC0002, "Error in Parameter 2"},
        {0xBFFC0003, "Error in Parameter 3"},
        {0xBFFC0004, "Error in Parameter 4"},
        {0xBFFC0005, "Error in Parameter 5"},
        {0xBFFC0006, "Error in Parameter 6"},
        {0xBFFC0007, "Error in Parameter 7"},
        {0xBFFC0008, "Error in Parameter 8"},
        {0xBFFC0800, "Invalid Manufacturer ID"},
        {0xBFFC0801, "Invalid Model Code"},
        {0xBFFC0802, "Unknown Error Code"},
        {0xBFFC0803, "Value of code parameter does not match the currently programmed security code"},
        {0xBFFC0804, "Queue (length) Overflow"},
        {0xBFFC0805, "Invalid ID Response"},
        {0xBFFC0806, "Error writing to the SCPI Log File"},
        {0xBFFC0807, "Error opening the SCPI Log File"},
        {0xBFFC0808, "Error closing the SCPI Log File"},
        {0xBFFC0809, "Device Not Ready. You can try Error Query Panel"},
        {0xBFFC080A, "Read Buffer Full"},
        {0xBFFC080B, "Error in *IDN? query response"},
        {0xBFFC080C, "Instrument Error. Use Error Query Panel"},
        {0xBFFC080D, "Error calibrating offset/gain"},
        {0xBFFC080E, "Error storing calibration data"},
        {0xBFFC080F, "Error setting output voltage"},
        {0xBFFC0810, "Error setting trigger parameters"},
        {0xBFFC0811, "Running low on system resources"},
        {0xBFFC0812, "Error Setting Scan Mode"},
        {0xBFFC0813, "Error Setting Scan Limit"},
        {0xBFFC0814, "Error Setting Scan List"},
        {0xBFFC0815, "Trigger source should be TTLT0-7 or EXT for SCAN mode ON or LOOP"},
        {0xBFFC0816, "Invalid Scan Mode transition from ON to LOOP or LOOP to ON"},
        {0xBFFC0817, "Unknown Error Code"},
        {0xBFFC0FFE, "Unknown Error Code"},
    };
    for (const auto& row : table) {
        EXPECT_EQ(messageOf(static_cast<ViStatus>(row.code)), row.text) << std::hex << row.code;
    }
}

TEST(ErrorMessage, HeaderConstantsCarryTheTableCodes) {
    EXPECT_EQ(static_cast<std::uint32_t>(kq7120_INV_MANF_ID), 0xBFFC0800u);
    EXPECT_EQ(static_cast<std::uint32_t>(kq7120_INSTRUMENT_ERROR), 0xBFFC080Cu);
    EXPECT_EQ(static_cast<std::uint32_t>(kq7120_WRITE_ERROR), 0xBFFC0817u);
    EXPECT_EQ(kq7120_INSTRUMENT_ERROR, -1074001908);
    EXPECT_EQ(VI_ERROR_PARAMETER1, -1074003967);
    EXPECT_EQ(VI_ERROR_PARAMETER8, -1074003960);
    EXPECT_EQ(VI_ERROR_INV_RESPONSE, -1074003950);
    EXPECT_EQ(VI_ERROR_INV_OBJECT, -1073807346);
    EXPECT_EQ(VI_ERROR_RSRC_NFOUND, -1073807343);
}

TEST(ErrorMessage, OtherCodesAreAskedOfVisa) {
    for (const std::uint32_t code : {0xBFFC0FFFu, 0xBFFC0009u, 0xBFFC0000u, 0xBFFF0015u, 0u}) {
        const auto status = static_cast<ViStatus>(code);
        kqvisa::clearTrace();
        EXPECT_EQ(messageOf(status), visaText(status)) << std::hex << code;
        bool asked = false;
        for (const auto& record : kqvisa::trace()) asked = asked || record.op == kqvisa::Op::StatusDesc;
        EXPECT_TRUE(asked) << std::hex << code;
    }
    EXPECT_NE(messageOf(VI_ERROR_TMO), "Unknown Error") << "VISA knows its own codes";
}

TEST(ErrorMessage, VisaWithoutATextGivesUnknownError) {
    kqvisa::failCall(kqvisa::Op::StatusDesc, VI_ERROR_INV_OBJECT);
    EXPECT_EQ(messageOf(VI_ERROR_TMO), "Unknown Error");
    kqvisa::resetFaults();
}

TEST(ErrorMessage, OlderNameForwards) {
    ViChar text[256] = {};
    EXPECT_EQ(kq7120_errorMessage(0, kq7120_READ_BUFFER_FULL, text), VI_SUCCESS);
    EXPECT_STREQ(text, "Read Buffer Full");
    EXPECT_EQ(kq7120_error_message(0, kq7120_READ_BUFFER_FULL, nullptr), VI_ERROR_PARAMETER3);
}

TEST(RangeChecks, BoundsAreInclusive) {
    const ViStatus code = VI_ERROR_PARAMETER5;
    EXPECT_EQ(kq7120_invalidIntegerRange(5, 1, 5, code), VI_SUCCESS);
    EXPECT_EQ(kq7120_invalidIntegerRange(1, 1, 5, code), VI_SUCCESS);
    EXPECT_EQ(kq7120_invalidIntegerRange(0, 1, 5, code), code);
    EXPECT_EQ(kq7120_invalidIntegerRange(6, 1, 5, code), code);
    EXPECT_EQ(kq7120_invalidIntegerRange(-32768, -32768, 32767, code), VI_SUCCESS);
    EXPECT_EQ(kq7120_invalidLongIntRange(1048575, 0, 1048575, code), VI_SUCCESS);
    EXPECT_EQ(kq7120_invalidLongIntRange(1048576, 0, 1048575, code), code);
    EXPECT_EQ(kq7120_invalidLongIntRange(-1, 0, 1048575, code), code);
}

TEST(RangeChecks, RealBoundsComparedAsDoubles) {
    const ViStatus code = VI_ERROR_PARAMETER2;
    EXPECT_EQ(kq7120_invalidRealRange(static_cast<ViReal32>(19.99969), -20.0, 19.99969, code), VI_SUCCESS);
    EXPECT_EQ(kq7120_invalidRealRange(19.99969, -20.0, 19.99969, code), VI_SUCCESS);
    EXPECT_EQ(kq7120_invalidRealRange(static_cast<ViReal32>(19.9997), -20.0, 19.99969, code), code);
    EXPECT_EQ(kq7120_invalidRealRange(-20.0, -20.0, 19.99969, code), VI_SUCCESS);
    EXPECT_EQ(kq7120_invalidRealRange(-20.000001, -20.0, 19.99969, code), code);
    EXPECT_EQ(kq7120_invalidRealRange(std::nan(""), -20.0, 19.99969, code), VI_SUCCESS);
}

TEST(RangeChecks, SessionZeroIsInvalidAnyOtherPasses) {
    EXPECT_EQ(kq7120_invalidSession(0), VI_ERROR_INV_OBJECT);
    EXPECT_EQ(kq7120_invalidSession(1), VI_SUCCESS);
    EXPECT_EQ(kq7120_invalidSession(0xFFFFFFFF), VI_SUCCESS);
}

TEST(ReplyNumbers, LeadingIntegerIsDefinedForAnyText) {
    struct Case {
        const char* text;
        ViInt32 value;
    };
    const Case cases[] = {
        {"42\n", 42},
        {"  -7,next", -7},
        {"+5\n", 5},
        {"260\n", 260},
        {"", 0},
        {"\n", 0},
        {"abc\n", 0},
        {"+-3", 0},
        {"12abc", 12},
        {"99999999999\n", 0},
        {"-2147483648", -2147483647 - 1},
        {"1.9\n", 1},
        {"\t\r 3", 3},
    };
    for (const auto& c : cases) EXPECT_EQ(kq7120::leadingInteger(c.text), c.value) << '"' << c.text << '"';
}

TEST(ReplyNumbers, LeadingRealIsDefinedForAnyText) {
    struct Case {
        const char* text;
        ViReal32 value;
    };
    const Case cases[] = {
        {"2.5\n", 2.5f}, {" -20.000000,", -20.0f}, {"1e-05\n", 1e-05f},         {"+1.25", 1.25f}, {"", 0.0f},
        {"V\n", 0.0f},   {"1e99\n", 0.0f},         {"19.999689\n", 19.999689f},
    };
    for (const auto& c : cases) EXPECT_EQ(kq7120::leadingSingle(c.text), c.value) << '"' << c.text << '"';
}

TEST(ReplyText, CommaFieldsKeepEmptyFields) {
    using Fields = std::vector<std::string_view>;
    EXPECT_EQ(kq7120::commaFields("a,,b\n"), (Fields{"a", "", "b\n"}));
    EXPECT_EQ(kq7120::commaFields("KQ7120\n"), (Fields{"KQ7120\n"}));
    EXPECT_EQ(kq7120::commaFields(""), (Fields{""}));
    EXPECT_EQ(kq7120::commaFields("1,2,"), (Fields{"1", "2", ""}));
}

TEST(ReplyText, SearchIgnoresCaseAndStaysInTheText) {
    EXPECT_EQ(kq7120::findIgnoringCase("trig: ttlt5\n", "TTLT5"), 6u);
    EXPECT_EQ(kq7120::findIgnoringCase("TTL", "TTLT5"), std::string_view::npos);
    EXPECT_EQ(kq7120::findIgnoringCase("CAL:SEC", ":sec", 4), std::string_view::npos);
    EXPECT_TRUE(kq7120::containsIgnoringCase("Int 12", "INT 1"));
}

struct BlockCase {
    std::string reply;
    ViStatus status;
    std::vector<ViInt16> values;
};

TEST(DefiniteBlock, DecodesWithinTheBytesReceivedAndTheCapacity) {
    std::string sixtyFour;
    std::vector<ViInt16> sixtyFourValues;
    for (int i = 0; i < 64; ++i) {
        sixtyFour += static_cast<char>(i * 4 - 128);
        sixtyFourValues.push_back(static_cast<ViInt16>(i * 4 - 128));
    }
    const BlockCase cases[] = {
        {std::string("#15\x01\xFF\x80\x7F\x00\n", 9), VI_SUCCESS, {1, -1, -128, 127, 0}},
        {"#264" + sixtyFour + "\n", VI_SUCCESS, sixtyFourValues},
        {"#10\n", VI_SUCCESS, {}},
        {"#265" + sixtyFour + "x\n", VI_ERROR_INV_RESPONSE, {}},  // more than the caller holds
        {"#15\x01\x02\n", VI_ERROR_INV_RESPONSE, {}},             // fewer bytes than announced
        {"#", VI_ERROR_INV_RESPONSE, {}},
        {"#0\x01\x02\n", VI_ERROR_INV_RESPONSE, {}},  // no length digits
        {"#3", VI_ERROR_INV_RESPONSE, {}},            // header cut short
        {"#2x4", VI_ERROR_INV_RESPONSE, {}},
    };
    for (const auto& c : cases) {
        std::vector<ViInt16> out(65, 12345);
        ViInt16 count = -1;
        EXPECT_EQ(kq7120_decipherArbitraryBlock(c.reply.data(), static_cast<ViUInt32>(c.reply.size()),
                                                out.data(), 64, &count),
                  c.status)
            << c.reply.substr(0, 6);
        EXPECT_EQ(count, static_cast<ViInt16>(c.values.size()));
        EXPECT_EQ(std::vector<ViInt16>(out.begin(), out.begin() + static_cast<long>(c.values.size())),
                  c.values);
        EXPECT_EQ(out[c.values.size()], 12345) << "nothing stored past the values";
    }
}

TEST(ScpiLogRecord, SecurityCodesAreHidden) {
    struct Case {
        const char* command;
        const char* record;
    };
    const Case cases[] = {
        {"CAL:SEC:STAT 0,#16secret", "CAL:SEC:STAT 0,#16******"},
        {"CAL:SEC:CODE #212abcdefghijkl;STAT ON", "CAL:SEC:CODE #212************;STAT ON"},
        {"cal:sec:stat 0,#13a#b", "cal:sec:stat 0,#13***"},
        {"CALibration:SECurity:STATe OFF,#14KQ71", "CALibration:SECurity:STATe OFF,#14****"},
        {"CAL:SEC:STAT 0,#19ab", "CAL:SEC:STAT 0,#19**"},
        {"CAL:SEC:STAT 0,#9", "CAL:SEC:STAT 0,#9"},
        {"CAL:SEC:STAT 0,#1x", "CAL:SEC:STAT 0,#1x"},
        {"CAL:SEC:STAT 1", "CAL:SEC:STAT 1"},
        {"CAL:DATA#264abc", "CAL:DATA#264abc"},
        {"SOUR:VOLT:LEV 2.5,(@1)", "SOUR:VOLT:LEV 2.5,(@1)"},
        // Only the code parameters of the two security commands, whatever their spelling.
        {"CAL:DATA#18ab:SECcd", "CAL:DATA#18ab:SECcd"},
        {"CAL:DATA #14:SEC;CAL:SEC:STAT 0,#12ab", "CAL:DATA #14:SEC;CAL:SEC:STAT 0,#12**"},
        {"calibration:security:code \"a;b\"\"c\"", "calibration:security:code \"******\""},
        {":CAL:SEC:STAT OFF,'KQ7120'", ":CAL:SEC:STAT OFF,'******'"},
        {"CAL:SEC:STAT 0,#16KQ7120;CODE #12xy", "CAL:SEC:STAT 0,#16******;CODE #12**"},
        {"CAL:SEC:CODE #12ab;*CLS;STAT 0,#12cd", "CAL:SEC:CODE #12**;*CLS;STAT 0,#12**"},
        {"CAL:SEC:STAT #12ab", "CAL:SEC:STAT #12ab"},
        {"CAL:SEC:STAT?;:CAL:DATA?;CAL:SEC:CODE?", "CAL:SEC:STAT?;:CAL:DATA?;CAL:SEC:CODE?"},
        {"SOUR:SEC:CODE #12ab;CAL:SECURE:CODE #12ab", "SOUR:SEC:CODE #12ab;CAL:SECURE:CODE #12ab"},
        {"CAL:SEC:CODE #0abc", "CAL:SEC:CODE #0***"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(kq7120::scpi_log::withCodesHidden(c.command), c.record) << c.command;
    }
}

}  // namespace
