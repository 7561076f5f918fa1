// Program messages as the driver and a console user send them, resolved against a small table shaped
// like the module's: each must reach the intended command with the intended suffixes and parameters.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "scpi_test_support.h"

namespace kqsim::scpi {
namespace {

using testing::RecordingTable;
using testing::Session;

struct Resolution {
    std::string message;
    std::vector<std::string> calls;
};

class ParserTest : public ::testing::TestWithParam<Resolution> {};

std::string binary(std::string_view text) { return std::string(text); }

const std::string calibrationBlock = [] {
    std::string bytes;
    for (int i = 0; i < 64; ++i) bytes += static_cast<char>(i * 37);  // holds 0x00, "\n", ';', '#'
    bytes[5] = '\n';
    bytes[6] = ';';
    return bytes;
}();

const std::vector<Resolution> resolutions{
    // Short, long and mixed forms, any case, optional nodes.
    {"SOUR:VOLT:LEV 2.5,(@1,2,16)", {"[SOURce]:VOLTage[:LEVel] |n:2.5 c:1,2,16"}},
    {"source:voltage:level -20,(@3)", {"[SOURce]:VOLTage[:LEVel] |n:-20 c:3"}},
    {"VOLT 1E-3,(@1:4)", {"[SOURce]:VOLTage[:LEVel] |n:0.001 c:1,2,3,4"}},
    {":Sour:Volt +.5,(@4:2,7)", {"[SOURce]:VOLTage[:LEVel] |n:0.5 c:4,3,2,7"}},
    {"SOUR:VOLT:LEV? 3", {"[SOURce]:VOLTage[:LEVel]? |n:3"}},
    {"SOUR:VOLT:LEV? ", {"[SOURce]:VOLTage[:LEVel]? |"}},
    {"volt:rang?3", {"[SOURce]:VOLTage:RANGe? |n:3"}},
    {"VOLT:RANG 10V,(@1,2)", {"[SOURce]:VOLTage:RANGe |n:10V c:1,2"}},
    // A unit may stand apart from its number, except where white space separates parameters.
    {"VOLT 1.5 V,(@1)", {"[SOURce]:VOLTage[:LEVel] |n:1.5V c:1"}},
    {"VOLT -500 mV", {"[SOURce]:VOLTage[:LEVel] |n:-500mV"}},
    {"SCAN:TABL? 3 10 , 1", {"SCAN:TABLe? |n:3 n:10 n:1"}},
    {"VOLT:FORM ?", {"[SOURce]:VOLTage:FORMat? |"}},
    {"VOLT:FORM 0", {"[SOURce]:VOLTage:FORMat |n:0"}},
    // Compound messages keep the header path; ':' starts at the root; common commands keep the path.
    {"TRIG:SOUR EXT;SLOP NEG", {"TRIGger:SOURce |w:EXT", "TRIGger:SLOPe |w:NEG"}},
    {"TRIG:SOUR TTLT3;*RST;SLOP POS", {"TRIGger:SOURce |w:TTLT3", "*RST |", "TRIGger:SLOPe |w:POS"}},
    {"TRIG:SOUR INT12;:SCAN OFF", {"TRIGger:SOURce |w:INT12", "SCAN |w:OFF"}},
    {"CAL3:GAIN -5;ZERO 12", {"CALibration#:GAIN 3|n:-5", "CALibration#:ZERO 3|n:12"}},
    {"CAL:GAIN 7", {"CALibration#:GAIN 1|n:7"}},
    {"CALIBRATION16:GAIN?", {"CALibration#:GAIN? 16|"}},
    {"MARK:SYNC:STAT ON;SLOP NEG", {"[SOURce]:MARKer:SYNC:STATe |w:ON", "[SOURce]:MARKer:SYNC:SLOPe |w:NEG"}},
    {"SOUR:MARK:SYNC:STAT ON;SLOP POS",
     {"[SOURce]:MARKer:SYNC:STATe |w:ON", "[SOURce]:MARKer:SYNC:SLOPe |w:POS"}},
    {"sour:mark:trig ON,(@2)", {"[SOURce]:MARKer:TRIGger |w:ON c:2"}},
    {"mark:trig? 2", {"[SOURce]:MARKer:TRIGger? |n:2"}},
    {"SOUR:VOLT 1;VOLT:RANG 20V", {"[SOURce]:VOLTage[:LEVel] |n:1", "[SOURce]:VOLTage:RANGe |n:20V"}},
    // Blocks: definite with any bytes, directly after the header, and indefinite to the end.
    {"CAL:SEC:CODE #16abcdef;STAT ON", {"CALibration:SECure:CODE |b6", "CALibration:SECure:STATe |w:ON"}},
    {"CAL:SEC:STAT 0,#16abcdef", {"CALibration:SECure:STATe |n:0 b6"}},
    {"CAL:DATA#264" + calibrationBlock, {"CALibration:DATA |b64"}},
    // The final NL came with END: it ends the message and is no data.
    {"trac:data 1,2,#0" + binary(std::string_view("\x80\x00\n;\xff\n", 6)), {"TRACe:DATA |n:1 n:2 b5"}},
    {"trac:data 1,2,#0", {"TRACe:DATA |n:1 n:2 b0"}},
    {"trac:data? 1,2", {"TRACe:DATA? |n:1 n:2"}},
    // The scan table texts with their odd spacing.
    {"SCAN:TABL 3 :LOC 10, 1.250000", {"SCAN:TABLe#:LOCation 3|n:10 n:1.25"}},
    {"SCAN:TABL 3:LOC? 10", {"SCAN:TABLe#:LOCation? 3|n:10"}},
    {"SCAN:TABL? 3 10,1", {"SCAN:TABLe? |n:3 n:10 n:1"}},
    {"SCAN:TABL 4,1.500000,-2.000000", {"SCAN:TABLe |n:4 n:1.5 n:-2"}},
    {"SCAN LOOP, (@1,3)", {"SCAN |w:LOOP c:1,3"}},
    {"SCAN? 3", {"SCAN? |n:3"}},
    {"SCAN:LIM 3, 10", {"SCAN:LIMit |n:3 n:10"}},
    {"MEM:SET 5,1.500000,19.999689", {"MEMory:SET |n:5 n:1.5 n:19.999689"}},
    {"MEM:SET? 5", {"MEMory:SET? |n:5"}},
    // Clock, marker, output trigger and run control.
    {"tim 0.0100000", {"TIMer |n:0.01"}},
    {"rosc:sour?", {"ROSCillator:SOURce? |"}},
    {"seq:dwel 10,(@2)", {"SEQuence:DWELl |n:10 c:2"}},
    {"outp:ttlt5\n", {"OUTPut:TTLTrg# 5|"}},
    {"OUTP:TTLTRG0", {"OUTPut:TTLTrg# 0|"}},
    {"outp:ttlt?\n", {"OUTPut:TTLTrg#? 1|"}},
    {"INIT", {"INITiate |"}},
    {"initiate;abort", {"INITiate |", "ABORt |"}},
    {"ABOR\n", {"ABORt |"}},
    // Common commands.
    {"*RST", {"*RST |"}},
    {"*tst?", {"*TST? |"}},
    {"*IDN?;*TRG", {"*IDN? |", "*TRG |"}},
    {"*RST;", {"*RST |"}},
    // Other data types.
    {"DISP:TEXT 'it''s',\"say \"\"hi\"\"\"", {"DISPlay:TEXT |s:it's s:say \"hi\""}},
    {"VOLT:FORM #H1F", {"[SOURce]:VOLTage:FORMat |n:31"}},
    {"VOLT:FORM #b101,#q17", {"[SOURce]:VOLTage:FORMat |n:5 n:15"}},
    {"TRIG:SOUR (1+2)", {"TRIGger:SOURce |e:1+2"}},
    // White space: any control byte but "\n" separates.
    {"\t*RST\r", {"*RST |"}},
    {std::string("VOLT\0"
                 "2",
                 6),
     {"[SOURce]:VOLTage[:LEVel] |n:2"}},
};

TEST_P(ParserTest, ResolvesToIntendedCommand) {
    RecordingTable table;
    Session session(table.table());
    session.interpreter.status().readEvents();  // power-on event
    session.send(GetParam().message);
    EXPECT_EQ(table.log, GetParam().calls);
    EXPECT_EQ(session.drainErrors(), std::vector<std::string>{});
}

INSTANTIATE_TEST_SUITE_P(DriverTexts, ParserTest, ::testing::ValuesIn(resolutions));

TEST(ParserBlocks, DeliverEveryByte) {
    RecordingTable table;
    Session session(table.table());
    session.send("CAL:DATA#264" + calibrationBlock);
    std::string indefinite("\n\0;#9\"", 6);
    session.send("trac:data 1,2,#0" + indefinite);
    ASSERT_EQ(table.blocks.size(), 2u);
    EXPECT_EQ(table.blocks[0], calibrationBlock);
    EXPECT_EQ(table.blocks[1], indefinite);
}

TEST(ParserBlocks, MessageSentInPiecesWithNewlinesInBlock) {
    RecordingTable table;
    Session session(table.table());
    const std::string message = "CAL:DATA #264" + calibrationBlock + ";SEC:STAT ON\n";
    for (char c : message) session.interpreter.writeMessage(std::string_view(&c, 1), false);
    EXPECT_EQ(table.log,
              (std::vector<std::string>{"CALibration:DATA |b64", "CALibration:SECure:STATe |w:ON"}));
    ASSERT_EQ(table.blocks.size(), 1u);
    EXPECT_EQ(table.blocks[0], calibrationBlock);
}

struct Rejection {
    std::string message;
    std::string firstError;
    std::vector<std::string> callsBefore;
};

class ParserRejectionTest : public ::testing::TestWithParam<Rejection> {};

const std::vector<Rejection> rejections{
    {"VOLTA 1", "-113,\"Undefined header\"", {}},
    {"FOO:BAR?", "-113,\"Undefined header\"", {}},
    {"VOLT:LEV2 1", "-113,\"Undefined header\"", {}},
    {"*RST?", "-113,\"Undefined header\"", {}},
    {"SYST:ERR", "-113,\"Undefined header\"", {}},
    {"ABCDEFGHIJKLM", "-112,\"Program mnemonic too long\"", {}},
    {"OUTP:TTLT1234567890", "-114,\"Header suffix out of range\"", {}},
    {"VOLT,1", "-111,\"Header separator error\"", {}},
    {"VOLT\x80 1", "-101,\"Invalid character\"", {}},
    {"VOLT::LEV 1", "-102,\"Syntax error\"", {}},
    {"VOLT 1;;VOLT 2", "-102,\"Syntax error\"", {"[SOURce]:VOLTage[:LEVel] |n:1"}},
    {";*RST", "-102,\"Syntax error\"", {}},
    {"VOLT 1,,2", "-109,\"Missing parameter\"", {}},
    {"VOLT 1,", "-109,\"Missing parameter\"", {}},
    {"VOLT 1 2", "-103,\"Invalid separator\"", {}},
    {"VOLT 1.2.3", "-121,\"Invalid character in number\"", {}},
    {"VOLT -", "-121,\"Invalid character in number\"", {}},
    {"VOLT #HXY", "-121,\"Invalid character in number\"", {}},
    {"VOLT 1e40000", "-123,\"Exponent too large\"", {}},
    {"VOLT " + std::string(300, '1'), "-124,\"Too many digits\"", {}},
    {"TRIG:SOUR ABCDEFGHIJKLM", "-144,\"Character data too long\"", {}},
    {"DISP:TEXT 'abc", "-151,\"Invalid string data\"", {}},
    {"CAL:DATA #9999999999", "-161,\"Invalid block data\"", {}},
    {"CAL:DATA #3ab", "-161,\"Invalid block data\"", {}},
    {"CAL:DATA #", "-161,\"Invalid block data\"", {}},
    {"CAL:DATA #15abc", "-161,\"Invalid block data\"", {}},
    {"VOLT 1,(@1,2", "-171,\"Invalid expression\"", {}},
    {"VOLT 1,(@)", "-171,\"Invalid expression\"", {}},
    {"VOLT 1,(@1,,2)", "-171,\"Invalid expression\"", {}},
    {"VOLT 1,(@-1)", "-171,\"Invalid expression\"", {}},
    {"VOLT 1,(@1:70000)", "-223,\"Too much data\"", {}},
    {"VOLT @", "-102,\"Syntax error\"", {}},
    // A command error ends the message; an execution error ends only its unit.
    {"TRIG:SOUR EXT;FOO;SLOP NEG", "-113,\"Undefined header\"", {"TRIGger:SOURce |w:EXT"}},
    {"TEST:COMM;*RST", "-109,\"Missing parameter\"", {"TEST:COMMand"}},
    {"TEST:EXEC;*RST", "-222,\"Data out of range\"", {"TEST:EXECution", "*RST |"}},
};

TEST_P(ParserRejectionTest, ReportsErrorAndSkipsRest) {
    RecordingTable table;
    Session session(table.table());
    session.send(GetParam().message);
    EXPECT_EQ(table.log, GetParam().callsBefore);
    const auto errors = session.drainErrors();
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0], GetParam().firstError);
}

INSTANTIATE_TEST_SUITE_P(Malformed, ParserRejectionTest, ::testing::ValuesIn(rejections));

// The row's count is checked before the handler: a refused command runs none of it, and a count
// error is reported rather than an error in a value.
TEST(CommandTable, ParameterCountIsCheckedBeforeTheHandlerRuns) {
    struct Case {
        std::string message;
        std::vector<std::string> errors;
        int runs;
    };
    const std::vector<Case> cases{
        {"LEVel", {"-109,\"Missing parameter\""}, 0},
        {"LEVel 1,2,3", {"-108,\"Parameter not allowed\""}, 0},
        {"LEVel 99,2,3", {"-108,\"Parameter not allowed\""}, 0},
        {"LEVel 99,2", {"-222,\"Data out of range\""}, 1},
    };
    for (const Case& c : cases) {
        int runs = 0;
        Session session({{"LEVel", takes(1, 2), [&runs](Call& call) {
                              ++runs;
                              for (std::size_t i = 0; i < call.parameterCount(); ++i) call.integer(i, 0, 10);
                          }}});
        session.send(c.message);
        EXPECT_EQ(session.drainErrors(), c.errors) << c.message;
        EXPECT_EQ(runs, c.runs) << c.message;
    }
}

TEST(CommandTable, RejectsMalformedPatterns) {
    for (std::string_view pattern :
         {"", "voltage", "VOLTage[:LEVel", "VOLT::LEV", "*IDN#?", "ABCDEFGHIJKLMn"}) {
        EXPECT_THROW(CommandTree({{pattern, takes(0), [](Call&) {}}}), std::invalid_argument) << pattern;
    }
    EXPECT_THROW(CommandTree({{"*RST", takes(0), nullptr}}), std::invalid_argument);
    EXPECT_THROW(CommandTree({{"*RST", takes(2, 1), [](Call&) {}}}), std::invalid_argument);
}

}  // namespace
}  // namespace kqsim::scpi
