// The KQ module as a controller sees it over its message interface: identity, every command
// family's settings and read-backs, refusals with their error numbers, quantisation of voltages,
// the reset state, and the status behaviour the driver relies on.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "kq_module_test_support.h"

namespace kqsim::testing {
namespace {

class Kq7120Test : public ModuleTest {};

class Kq7110Test : public ModuleTest {
protected:
    Kq7110Test() : ModuleTest(ModuleKind::KQ7110) {}
};

TEST_F(Kq7120Test, IdentifiesAsAKq7120WithItsFirmwareRevision) {
    EXPECT_EQ(query("*IDN?"), "Harlowfen Instruments,KQ7120,0,A.02.05\n");
    EXPECT_EQ(module().channelCount(), 16);
}

TEST_F(Kq7110Test, IdentifiesAsAKq7110WithEightChannels) {
    EXPECT_EQ(query("*IDN?"), "Harlowfen Instruments,KQ7110,0,A.02.05\n");
    EXPECT_EQ(module().channelCount(), 8);
}

TEST(KqModuleIdentity, IdnModelOverrideReplacesTheModelField) {
    KqModuleOptions options;
    options.idnModel = "KQ7130";
    KqModule module(options);
    Controller bus(module);
    EXPECT_EQ(bus.query("*IDN?"), "Harlowfen Instruments,KQ7130,0,A.02.05\n");
}

struct RoundTrip {
    const char* set;    // sent first, after *RST
    const char* query;  // then this
    const char* reply;  // the reply expected, newline included
};

// Texts exactly as the driver sends them, and the words it matches the replies against.
const RoundTrip kRoundTrips[] = {
    {"SOUR:VOLT:LEV 2.5,(@3)", "SOUR:VOLT:LEV? 3", "2.5\n"},
    {"SOUR:VOLT:LEV -20,(@1,2,16)", "SOUR:VOLT:LEV? 16", "-20\n"},
    {"volt 1.25", "VOLTAGE:LEVEL? 9", "1.25\n"},
    {"VOLT:RANG 10V,(@1,2)", "volt:rang?2", "10V\n"},
    {"VOLT:RANG 10V,(@1,2)", "volt:rang?3", "20V\n"},
    {"TRIG:SOUR TTLT3;SLOP POS", "TRIG:SOUR?", "TTLT3\n"},
    {"TRIG:SOUR EXT;SLOP NEG", "TRIG:SLOP?", "NEG\n"},
    {"TRIG:SOUR INT12", "TRIG:SOUR?", "INT 12\n"},
    {"TRIG:SOUR INT1", "TRIG:SOUR?", "INT 1\n"},
    {"TRIG:SOUR EXTC", "TRIG:SOUR?", "EXTC\n"},
    {"TRIG:SOUR TIM", "TRIG:SOUR?", "TIM\n"},
    {"TRIG:SOUR NONE;SLOP POS", "TRIG:SOUR?", "NONE\n"},
    {"trig:sour ttlt0", "TRIG:SOUR?", "TTLT0\n"},
    {"ROSC:SOUR TIM;SLOP POS", "rosc:sour?", "TIM\n"},
    {"ROSC:SOUR TTLT7;SLOP NEG", "rosc:sour?", "TTLT7\n"},
    {"ROSC:SOUR TTLT7;SLOP NEG", "rosc:slop?", "NEG\n"},
    {"ROSC:SOUR EXTC;SLOP POS", "rosc:sour?", "EXTC\n"},
    {"ROSC:SOUR EXT;SLOP POS", "rosc:sour?", "EXT\n"},
    {"ROSC:SOUR INT;SLOP POS", "rosc:sour?", "INT\n"},
    {"tim 0.0100000", "tim?", "0.01\n"},
    {"tim 0.0000100", "tim?", "1E-05\n"},
    {"tim 429.4900000", "tim?", "429.49\n"},
    {"MARK:SYNC:STAT ON;SLOP NEG", "MARK:SYNC:STAT?", "1\n"},
    {"MARK:SYNC:STAT ON;SLOP NEG", "MARK:SYNC:slop?", "NEG\n"},
    {"SOUR:MARK:SYNC:STAT ON;SLOP POS", "mark:sync:slop?\n", "POS\n"},
    {"outp:ttlt:sour MARK\n", "outp:ttlt:sour?\n", "MARK\n"},
    {"outp:ttlt:sour TRIG\n", "outp:ttlt:sour?\n", "TRIG\n"},
    {"mark:sync:slop NEG\n", "mark:sync:slop?\n", "NEG\n"},
    {"outp:ttlt5\n", "outp:ttlt?\n", "TTLT5\n"},
    {"VOLT:FORM 0", "VOLT:FORM ?", "0\n"},
    {"VOLT:FORM 1", "VOLT:FORM?", "1\n"},
    {"SCAN LOOP, (@1,3)", "SCAN? 3", "LOOP\n"},
    {"SCAN ON, (@2)", "SCAN? 2", "1\n"},
    {"SCAN ARB,(@1)", "SCAN? 1", "ARB\n"},
    {"SCAN FIFO, (@5)", "SCAN? 5", "FIFO\n"},
    {"SCAN LOOP, (@1,3);:SCAN OFF", "SCAN? 3", "0\n"},
    {"SCAN:LIM 3, 10", "SCAN:LIM? 3", "10\n"},
    {"SCAN:TABL 4,1.500000,-2.000000", "SCAN:TABL? 4 2,1", "1.500000,-2.000000\n"},
    {"SCAN:TABL 3 :LOC 10, 1.250000", "SCAN:TABL 3:LOC? 10", "1.250000\n"},
    {"SCAN:TABL 3 :LOC 512, -19.999689", "SCAN:TABL? 3 1,512", "-19.999689\n"},
    {"MEM:SET 5,1.500000,1.500000,-2.000000", "MEM:SET? 5",
     "1.500000,1.500000,-2.000000,0.000000,0.000000,0.000000,0.000000,0.000000,0.000000,0.000000,"
     "0.000000,0.000000,0.000000,0.000000,0.000000,0.000000\n"},
    {"trac:def 5,100", "trac:poin? 5", "100\n"},
    {"trac:def 5,100;:trac:poin 5,250", "trac:poin? 5", "250\n"},
    {"trac:def 5,100", "trac:free?\n", "524188,100\n"},
    {"trac:def 5,100;:trac:del:all", "trac:poin? 5", "0\n"},
    {"*RST", "mem:size?", "524288\n"},
    {"seq:list (@3,0,7)", "seq:list? 2\n", "7\n"},
    {"seq:list (@3,0,7)", "seq:leng?", "3\n"},
    {"seq:leng 5", "seq:list? 4", "0\n"},
    {"seq:star TRIG,(@2)", "seq:star? 2\n", "TRIG\n"},
    {"seq:adv SYNC,(@2)", "seq:adv? 2\n", "SYNC\n"},
    {"seq:dwel 10,(@2)", "seq:dwel? 2\n", "10\n"},
    {"seq:dwel 1048575,(@4095)", "seq:dwel? 4095\n", "1048575\n"},
    {"sour:mark:trig ON,(@2)", "mark:trig? 2\n", "1\n"},
    {"SEQ:LIST (@0);STAR AUTO,(@0);ADV ASYNC,(@0);DWEL 0,(@0)", "SEQ:DWEL? 0", "0\n"},
    // MINimum, MAXimum and DEFault: each setting's limits; a voltage's are its channel's range's.
    {"VOLT:RANG 10V,(@2);:VOLT MAX,(@1,2)", "SOUR:VOLT:LEV? 2", "9.99969482421875\n"},
    {"VOLT:RANG 10V,(@2);:VOLT MAX,(@1,2)", "SOUR:VOLT:LEV? 1", "19.9993896484375\n"},
    {"VOLT:RANG 10V,(@2)", "VOLT? MIN,(@2)", "-10\n"},
    {"VOLT:RANG MIN,(@3)", "volt:rang?3", "10V\n"},
    {"VOLT:RANG 10V,(@3);RANG DEF,(@3)", "volt:rang?3", "20V\n"},
    {"TIM MAX", "tim?", "429.49\n"},
    {"TIM 0.5;TIM DEF", "tim?", "0.01\n"},
    {"*RST", "TIM? MIN", "1E-05\n"},
    {"SCAN:LIM 3, MIN", "SCAN:LIM? 3", "1\n"},
    {"SCAN:TABL 3 :LOC 10, MIN", "SCAN:TABL 3:LOC? 10", "-20.000000\n"},
    {"MEM:SET 5,MAX,DEF,MIN", "MEM:SET? 5",
     "19.999390,0.000000,-20.000000,0.000000,0.000000,0.000000,0.000000,0.000000,0.000000,0.000000,"
     "0.000000,0.000000,0.000000,0.000000,0.000000,0.000000\n"},
    {"VOLT:FORM MIN", "VOLT:FORM?", "0\n"},
    {"*RST", "VOLT:FORM? MAX", "1\n"},
    {"seq:dwel DEF,(@2)", "seq:dwel? 2\n", "1\n"},
    {"trac:def 5,MIN", "trac:poin? 5", "1\n"},
    {"*RST", "seq:leng? MAX", "4096\n"},
    {"*RST", "CAL1:ZERO? MIN", "-128\n"},
    // Suffix multipliers for the unit each command takes, with or without white space before it.
    {"VOLT 625mV,(@1)", "SOUR:VOLT:LEV? 1", "0.625\n"},
    {"VOLT -2500 MV,(@1)", "SOUR:VOLT:LEV? 1", "-2.5\n"},
    {"VOLT 2.5 V,(@1)", "SOUR:VOLT:LEV? 1", "2.5\n"},
    {"VOLT:RANG 10000mV,(@1)", "volt:rang?1", "10V\n"},
    {"TIM 10MS", "tim?", "0.01\n"},
    {"TIM 100US", "tim?", "1E-04\n"},
    {"TIM 0.1 KS", "tim?", "100\n"},
};

class Kq7120RoundTrip : public Kq7120Test, public ::testing::WithParamInterface<RoundTrip> {};

TEST_P(Kq7120RoundTrip, SettingReadsBack) {
    const RoundTrip& trip = GetParam();
    send("*RST");
    EXPECT_EQ(errorsOf(trip.set), std::vector<int>{}) << trip.set;
    EXPECT_EQ(query(trip.query), trip.reply) << trip.set << " then " << trip.query;
    EXPECT_EQ(bus().errors(), std::vector<int>{}) << trip.query;
}

INSTANTIATE_TEST_SUITE_P(CommandFamilies, Kq7120RoundTrip, ::testing::ValuesIn(kRoundTrips));

struct Refusal {
    const char* command;
    std::vector<int> errors;
};

const Refusal kKq7120Refusals[] = {
    {"FOO:BAR 1", {-113}},
    {"SOUR:VOLT:LEV 20,(@1)", {-222}},
    {"SOUR:VOLT:LEV -20.0001,(@1)", {-222}},
    {"SOUR:VOLT:LEV 1,(@17)", {-222}},
    {"SOUR:VOLT:LEV?", {-109}},
    {"VOLT:RANG 10V,(@1);:VOLT 10,(@1)", {-222}},
    {"VOLT:RANG 5V,(@1)", {-224}},
    {"TRIG:SOUR TTLT8", {-224}},
    {"TRIG:SOUR INT17", {-224}},
    {"TRIG:SOUR BUS", {-224}},
    {"TRIG:SLOP UP", {-224}},
    {"ROSC:SOUR TTLT9", {-224}},
    {"ROSC:SOUR NONE", {-224}},
    {"tim 0.0000000", {-222}},
    {"tim 1000.0000000", {-222}},
    {"VOLT:FORM 5", {-222}},
    {"MARK:SYNC:STAT MAYBE", {-224}},
    {"outp:ttlt:sour BOTH", {-224}},
    {"outp:ttlt8", {-114}},
    {"SCAN SOMETIMES, (@1)", {-224}},
    {"SCAN ON, (@0)", {-222}},
    {"SCAN:LIM 3, 0", {-222}},
    {"SCAN:LIM 3, 513", {-222}},
    {"SCAN:TABL 1,25.000000", {-222}},
    {"SCAN:TABL 3 :LOC 513, 1.000000", {-222}},
    {"SCAN:TABL? 3 14,500", {-222}},
    {"MEM:SET 0,1.0", {-222}},
    {"MEM:SET 1", {-109}},
    {"MEM:SET 1,20.0", {-222}},
    {"SOUR:VOLT:SET 513", {-222}},
    {"trac:def 4096,10", {-222}},
    {"trac:def 1,0", {-222}},
    {"trac:def 1,300000;:trac:def 2,300000", {-225}},
    {"trac:poin 9,10", {-224}},
    {"trac:data? 77,1", {-224}},
    {"trac:data 1,17,#14abcd", {-222}},
    {"trac:data 1,2,#13abc", {-161}},
    {"trac:data:poin 1,1,0,5", {-224}},
    {"trac:def 1,10;:trac:data:poin 1,1,10,5", {-222}},
    {"seq:dwel 1048576,(@2)", {-222}},
    {"seq:dwel 1,(@4096)", {-222}},
    {"seq:star SOON,(@2)", {-224}},
    {"seq:adv LATER,(@2)", {-224}},
    {"seq:list? 0", {-222}},
    {"seq:leng 4097", {-222}},
    {"CAL3:GAIN -5;ZERO 12", {-203, -203}},
    {"CAL:DATA#14abcd", {-203}},
    {"CAL:STOR", {-203}},
    {"CAL:STOR:AUTO 1", {-203}},
    {"CAL:SEC:CODE #14abcd", {-203}},
    {"CAL:SEC:STAT 0,#16WRONG!", {-224}},
    {"CAL:SEC:STAT 0", {-109}},
    {"CAL17:GAIN 1", {-114}},
    {"INIT", {-221}},
    {"SCAN ARB,(@1);:INIT", {-221}},
    {"VOLT? MAX", {-109}},
    {"VOLT? MAX,(@17)", {-222}},
    {"seq:leng DEF", {-224}},
    {"trac:def 1,DEF", {-224}},
    {"TIM? 5", {-108}},
    {"VOLT 2QV,(@1)", {-131}},
    {"VOLT 2S,(@1)", {-131}},
    {"TIM 10MV", {-131}},
    {"TIM 1KS", {-222}},
    {"VOLT:RANG 15V,(@1)", {-224}},
};

class Kq7120Refusal : public Kq7120Test, public ::testing::WithParamInterface<Refusal> {};

TEST_P(Kq7120Refusal, RaisesTheErrorAndSetsTheMatchingEventBit) {
    const Refusal& refusal = GetParam();
    send("*RST");
    bus().errors();
    query("*ESR?");
    send(refusal.command);
    const int esr = std::stoi(query("*ESR?"));
    EXPECT_NE(esr & 0x34, 0) << refusal.command;
    EXPECT_EQ(bus().errors(), refusal.errors) << refusal.command;
}

INSTANTIATE_TEST_SUITE_P(CommandFamilies, Kq7120Refusal, ::testing::ValuesIn(kKq7120Refusals));

const Refusal kKq7110Refusals[] = {
    {"SOUR:VOLT:LEV 1,(@9)", {-222}},
    {"SOUR:VOLT:LEV? 9", {-222}},
    {"volt:rang?9", {-222}},
    {"VOLT:RANG 10V,(@1,9)", {-222}},
    {"SCAN ON, (@9)", {-222}},
    {"SCAN:LIM 9, 5", {-222}},
    {"SCAN:TABL 9 :LOC 1, 1.000000", {-114}},
    {"TRIG:SOUR INT9", {-224}},
    {"CAL:SEC:STAT 0,#16KQ7120;:CAL9:GAIN 1", {-114}},
    {"MEM:SET 1,1,1,1,1,1,1,1,1,1", {-108}},
    {"trac:def 1,4;:trac:data 1,9,#14abcd", {-222}},
};

class Kq7110Refusal : public Kq7110Test, public ::testing::WithParamInterface<Refusal> {};

TEST_P(Kq7110Refusal, ChannelsNineToSixteenAreRefused) {
    const Refusal& refusal = GetParam();
    EXPECT_EQ(errorsOf(refusal.command), refusal.errors) << refusal.command;
}

INSTANTIATE_TEST_SUITE_P(UpperChannels, Kq7110Refusal, ::testing::ValuesIn(kKq7110Refusals));

// `count` copies of `value`, comma separated.
std::string listOf(int count, const std::string& value) {
    std::string list = value;
    for (int i = 1; i < count; ++i) list += "," + value;
    return list;
}

struct CountCase {
    ModuleKind kind;
    std::string command;
    std::vector<int> errors;
    std::string query;  // reads back what the command sets
    std::string reply;
};

// Parameter counts are checked before the command acts, and reported before a bad value; the most
// values MEM:SET takes follows the module's channels.
const std::vector<CountCase> kCountCases{
    {ModuleKind::KQ7120,
     "MEM:SET 1," + listOf(9, "1"),
     {},
     "MEM:SET? 1",
     listOf(9, "1.000000") + "," + listOf(7, "0.000000") + "\n"},
    {ModuleKind::KQ7110, "MEM:SET 1," + listOf(8, "1"), {}, "MEM:SET? 1", listOf(8, "1.000000") + "\n"},
    {ModuleKind::KQ7110, "MEM:SET 1," + listOf(9, "1"), {-108}, "MEM:SET? 1", listOf(8, "0.000000") + "\n"},
    {ModuleKind::KQ7120, "MEM:SET 0", {-109}, "MEM:SET? 1", listOf(16, "0.000000") + "\n"},
    {ModuleKind::KQ7120, "TIM 1000,1", {-108}, "TIM?", "0.01\n"},
};

class CommandParameterCount : public ModuleTest, public ::testing::WithParamInterface<CountCase> {
protected:
    CommandParameterCount() : ModuleTest(GetParam().kind) {}
};

TEST_P(CommandParameterCount, IsCheckedBeforeTheCommandActs) {
    const CountCase& c = GetParam();
    EXPECT_EQ(errorsOf(c.command), c.errors) << c.command;
    EXPECT_EQ(query(c.query), c.reply) << c.command;
}

INSTANTIATE_TEST_SUITE_P(BothModels, CommandParameterCount, ::testing::ValuesIn(kCountCases));

TEST_F(Kq7110Test, AcceptsItsEightChannels) {
    EXPECT_EQ(errorsOf("SOUR:VOLT:LEV 2.5,(@1,8);:TRIG:SOUR INT8;:CAL:SEC:STAT 0,#16KQ7120;:CAL8:GAIN 3"),
              std::vector<int>{});
    EXPECT_EQ(query("SOUR:VOLT:LEV? 8"), "2.5\n");
    EXPECT_EQ(query("TRIG:SOUR?"), "INT 8\n");
    EXPECT_EQ(module().calibrationConstants()[7], 3);
    EXPECT_EQ(query("CAL:DATA?").size(), 4u + 64u + 1u);
}

struct Quantisation {
    const char* range;  // "20V" or "10V"
    const char* volts;  // as sent
    std::uint16_t code;
    const char* reply;
};

const Quantisation kQuantisations[] = {
    {"20V", "-20", 0x0000, "-20"},
    {"20V", "0", 0x8000, "0"},
    {"20V", "0.0003", 0x8000, "0"},
    {"20V", "0.00031", 0x8001, "0.0006103515625"},
    {"20V", "2.5", 0x9000, "2.5"},
    {"20V", "1.5", 0x899A, "1.500244140625"},
    {"20V", "-1e-05", 0x8000, "0"},
    {"20V", "19.99969", 0xFFFF, "19.9993896484375"},
    {"20V", "19.9997", 0xFFFF, "19.9993896484375"},
    {"10V", "-10", 0x0000, "-10"},
    {"10V", "0.00015", 0x8000, "0"},
    {"10V", "0.000153", 0x8001, "0.00030517578125"},
    {"10V", "9.99984", 0xFFFF, "9.99969482421875"},
};

class Kq7120Quantisation : public Kq7120Test, public ::testing::WithParamInterface<Quantisation> {};

TEST_P(Kq7120Quantisation, VoltageLandsOnTheNearestDacStep) {
    const Quantisation& sample = GetParam();
    std::string command =
        std::string("VOLT:RANG ") + sample.range + ",(@4);:SOUR:VOLT:LEV " + sample.volts + ",(@4)";
    EXPECT_EQ(errorsOf(command), std::vector<int>{}) << command;
    EXPECT_EQ(module().dacCode(4), sample.code) << command;
    EXPECT_EQ(query("SOUR:VOLT:LEV? 4"), std::string(sample.reply) + "\n") << command;
}

INSTANTIATE_TEST_SUITE_P(BothRanges, Kq7120Quantisation, ::testing::ValuesIn(kQuantisations));

TEST_F(Kq7120Test, ResetRestoresTheDocumentedStateAndKeepsStoredData) {
    send("VOLT 3,(@1);:VOLT:RANG 10V,(@2);:SCAN LOOP,(@3);:SCAN:LIM 3,7;:SCAN:TABL 3,1.5,2.5");
    send("TRIG:SOUR TTLT2;SLOP NEG;:ROSC:SOUR TIM;SLOP NEG;:TIM 0.5;:MARK:SYNC:STAT ON;SLOP NEG");
    send("OUTP:TTLT:SOUR MARK;:OUTP:TTLT6;:VOLT:FORM 0;:MEM:SET 2,1.25;:TRAC:DEF 7,64;:SEQ:LIST (@7)");
    send("CAL:SEC:STAT 0,#16KQ7120;:CAL1:GAIN 5");
    ASSERT_EQ(bus().errors(), std::vector<int>{});
    const std::uint16_t words[] = {1, 2, 3};
    module().writeRegisterBlock(0x20, words, 3, false);

    send("*RST");
    EXPECT_EQ(query("SOUR:VOLT:LEV? 1"), "0\n");
    EXPECT_EQ(query("volt:rang?2"), "20V\n");
    EXPECT_EQ(query("SCAN? 3"), "0\n");
    EXPECT_EQ(query("SCAN:LIM? 3"), "512\n");
    EXPECT_EQ(query("TRIG:SOUR?"), "AUTO\n");
    EXPECT_EQ(query("TRIG:SLOP?"), "POS\n");
    EXPECT_EQ(query("rosc:sour?"), "INT\n");
    EXPECT_EQ(query("rosc:slop?"), "POS\n");
    EXPECT_EQ(query("tim?"), "0.01\n");
    EXPECT_EQ(query("MARK:SYNC:STAT?"), "0\n");
    EXPECT_EQ(query("MARK:SYNC:SLOP?"), "POS\n");
    EXPECT_EQ(query("outp:ttlt:sour?"), "NONE\n");
    EXPECT_EQ(query("outp:ttlt?"), "TTLT0\n");
    EXPECT_EQ(query("VOLT:FORM?"), "1\n");
    EXPECT_EQ(module().fifoStatus(), 0x4000);
    // Stored data and calibration survive a reset.
    EXPECT_EQ(query("SCAN:TABL? 3 2,1"), "1.500000,2.500000\n");
    EXPECT_EQ(query("MEM:SET? 2").substr(0, 9), "1.250000,");
    EXPECT_EQ(query("trac:poin? 7"), "64\n");
    EXPECT_EQ(query("seq:list? 0"), "7\n");
    EXPECT_EQ(query("CAL1:GAIN?"), "5\n");
    EXPECT_EQ(query("CAL:SEC:STAT?"), "0\n");
    EXPECT_EQ(bus().errors(), std::vector<int>{});
}

TEST_F(Kq7120Test, RangeChangeKeepsTheVoltageOrLimitsItToTheNewRange) {
    send("VOLT 2.5,(@1);:VOLT -15,(@2);:VOLT 15,(@3);:VOLT:RANG 10V,(@1,2,3)");
    EXPECT_EQ(bus().errors(), std::vector<int>{});
    EXPECT_EQ(query("SOUR:VOLT:LEV? 1"), "2.5\n");
    EXPECT_EQ(query("SOUR:VOLT:LEV? 2"), "-10\n");
    EXPECT_EQ(query("SOUR:VOLT:LEV? 3"), "9.99969482421875\n");
    EXPECT_EQ(module().dacCode(3), 0xFFFF);
}

TEST_F(Kq7120Test, SelfTestReportsTheConfiguredResult) {
    EXPECT_EQ(query("*TST?"), "0\n");
    module().setSelfTestResult(static_cast<std::int16_t>(0x8000));
    EXPECT_EQ(query("*TST?"), "-32768\n");
}

TEST_F(Kq7120Test, NewMessageDiscardsAnUnreadReplyWithQueryInterrupted) {
    send("*IDN?");
    EXPECT_TRUE(module().replyPending());
    EXPECT_EQ(query("SYST:ERR?"), "-410,\"Query INTERRUPTED\"\n");
    EXPECT_EQ(std::stoi(query("*ESR?")) & 0x04, 0x04);
}

TEST_F(Kq7120Test, EventStatusFlagsCommandAndExecutionErrorsForTheDriversCheck) {
    EXPECT_EQ(query("*ESR?"), "0\n");
    send("SOUR:VOLT:LEV 25,(@1)");
    EXPECT_EQ(query("*ESR?"), "16\n");
    EXPECT_EQ(query("*ESR?"), "0\n");
    send("NOT:A:COMMAND");
    EXPECT_EQ(query("*ESR?"), "32\n");
    EXPECT_EQ(query("SYST:ERR?"), "-222,\"Data out of range\"\n");
    EXPECT_EQ(query("SYST:ERR?"), "-113,\"Undefined header\"\n");
    EXPECT_EQ(query("SYST:ERR?"), "0,\"No error\"\n");
}

TEST_F(Kq7120Test, MemoryArraySetsEveryChannelAtOnce) {
    std::string command = "MEM:SET 12";
    // Multiples of 0.625 V lie on the 20 V range's code grid.
    for (int channel = 1; channel <= 16; ++channel) command += "," + std::to_string(channel * 625) + "e-3";
    ASSERT_EQ(errorsOf(command), std::vector<int>{});
    ASSERT_EQ(errorsOf("SOUR:VOLT:SET 12"), std::vector<int>{});
    EXPECT_EQ(query("SOUR:VOLT:LEV? 16"), "10\n");
    EXPECT_DOUBLE_EQ(module().outputVoltage(7), 4.375);
    // A value the channel's range cannot take refuses the whole array.
    ASSERT_EQ(errorsOf("VOLT 0,(@16);:VOLT:RANG 10V,(@16)"), std::vector<int>{});
    EXPECT_EQ(errorsOf("SOUR:VOLT:SET 12"), std::vector<int>{-222});
    EXPECT_EQ(query("SOUR:VOLT:LEV? 1"), "0.625\n");
}

TEST_F(Kq7120Test, TriggerStepsScanningChannelsThroughTheirTables) {
    send("SCAN:TABL 1,1.25,2.5,3.75;:SCAN:LIM 1, 2;:SCAN ON, (@1)");
    send("SCAN:TABL 2,1.25,2.5,3.75;:SCAN:LIM 2, 2;:SCAN LOOP, (@2)");
    send("VOLT 5,(@3)");
    ASSERT_EQ(bus().errors(), std::vector<int>{});
    std::vector<double> first, second;
    for (int i = 0; i < 3; ++i) {
        send("*TRG");
        first.push_back(module().outputVoltage(1));
        second.push_back(module().outputVoltage(2));
    }
    EXPECT_EQ(first, (std::vector<double>{1.25, 2.5, 2.5}));    // ON stops at the limit
    EXPECT_EQ(second, (std::vector<double>{1.25, 2.5, 1.25}));  // LOOP starts over
    EXPECT_DOUBLE_EQ(module().outputVoltage(3), 5.0);
    send("SCAN OFF");
    EXPECT_DOUBLE_EQ(module().outputVoltage(1), 0.0);
}

TEST_F(Kq7120Test, InitiateStartsTheGeneratorInTheChannelsModeAndAbortStopsIt) {
    EXPECT_EQ(errorsOf("SCAN ARB,(@1);:TRAC:DEF 0,16;:SEQ:LIST (@0);:INIT"), std::vector<int>{});
    EXPECT_EQ(module().runState(), RunState::ArbRunning);
    EXPECT_EQ(errorsOf("INIT"), std::vector<int>{-213});
    EXPECT_EQ(errorsOf("TRAC:DEL:ALL"), std::vector<int>{-221});
    EXPECT_EQ(errorsOf("ABOR"), std::vector<int>{});
    EXPECT_EQ(module().runState(), RunState::Idle);

    EXPECT_EQ(errorsOf("SCAN OFF;:SCAN FIFO,(@1,2);:INIT"), std::vector<int>{});
    EXPECT_EQ(module().runState(), RunState::FifoRunning);
    send("SCAN OFF");
    EXPECT_EQ(module().runState(), RunState::Idle);
}

TEST_F(Kq7120Test, SequenceWithAnUndefinedSegmentCannotStart) {
    EXPECT_EQ(errorsOf("SCAN ARB,(@1);:TRAC:DEF 0,16;:SEQ:LIST (@0,3);:INIT"), std::vector<int>{-221});
    EXPECT_EQ(module().runState(), RunState::Idle);
}

std::string blockOf(std::initializer_list<int> bytes) {
    std::string text;
    for (int byte : bytes) text.push_back(static_cast<char>(byte));
    return text;
}

TEST_F(Kq7120Test, SegmentDataTravelsAsBigEndianWordsInTheDataFormat) {
    send("VOLT:FORM 1");
    send("trac:data 1,2,#0" + blockOf({0x80, 0x00, 0xFF, 0xFF}));
    ASSERT_EQ(bus().errors(), std::vector<int>{});
    EXPECT_EQ(query("trac:poin? 1"), "2\n");
    EXPECT_EQ(query("trac:data? 1,2"), "#40004" + blockOf({0x80, 0x00, 0xFF, 0xFF}) + "\n");
    EXPECT_EQ(module().segmentCodes(1, 2), (std::vector<std::uint16_t>{0x8000, 0xFFFF}));
    EXPECT_EQ(query("trac:data:poin? 1,2,1"), "-1\n");
    // The same codes read in the signed format.
    send("VOLT:FORM 0");
    EXPECT_EQ(query("trac:data? 1,2"), "#40004" + blockOf({0x00, 0x00, 0x7F, 0xFF}) + "\n");
    EXPECT_EQ(query("trac:data:poin? 1,2,1"), "32767\n");
    // Other channels of the segment hold 0 V.
    EXPECT_EQ(query("trac:data? 1,1"), "#40004" + blockOf({0x00, 0x00, 0x00, 0x00}) + "\n");
}

TEST_F(Kq7120Test, IndefiniteBlockEndsAtEndAndDropsATerminatingNewline) {
    send("VOLT:FORM 1");
    send("trac:data 3,1,#0" + blockOf({0x12, 0x34, 0x0A}));
    send("trac:data 4,1,#0" + blockOf({0x0A, 0x0A}));
    EXPECT_EQ(bus().errors(), std::vector<int>{});
    EXPECT_EQ(module().segmentCodes(3, 1), std::vector<std::uint16_t>{0x1234});
    EXPECT_EQ(module().segmentCodes(4, 1), std::vector<std::uint16_t>{0x0A0A});
}

TEST_F(Kq7120Test, LongWaveformBlocksTakeAsManyCountDigitsAsTheyNeed) {
    send("trac:def 1,4999;:trac:def 2,5000");
    const std::string shortBlock = query("trac:data? 1,1");
    const std::string longBlock = query("trac:data? 2,1");
    EXPECT_EQ(shortBlock.substr(0, 6), "#49998");
    EXPECT_EQ(shortBlock.size(), 6u + 9998u + 1u);
    EXPECT_EQ(longBlock.substr(0, 7), "#510000");
    EXPECT_EQ(longBlock.size(), 7u + 10000u + 1u);
}

TEST_F(Kq7120Test, SegmentsCopyAndTakePointsAndAccountForMemory) {
    send("VOLT:FORM 1;:trac:def 1,3;:trac:data:poin 1,2,0,4660;:trac:data:poin 1,2,2,-2");
    send("trac:data 5,6,1,2");
    ASSERT_EQ(bus().errors(), std::vector<int>{});
    EXPECT_EQ(module().segmentCodes(5, 6), (std::vector<std::uint16_t>{0x1234, 0x8000, 0xFFFE}));
    EXPECT_EQ(query("trac:free?"), "524282,6\n");
    EXPECT_EQ(errorsOf("trac:poin 5,1"), std::vector<int>{});
    EXPECT_EQ(module().segmentCodes(5, 6), std::vector<std::uint16_t>{0x1234});
}

TEST_F(Kq7120Test, SecurityGuardsEveryCalibrationWriteUntilTheRightCode) {
    EXPECT_EQ(query("CAL:SEC:STAT?"), "1\n");
    EXPECT_EQ(errorsOf("CAL3:GAIN -5;ZERO 12"), (std::vector<int>{-203, -203}));
    EXPECT_EQ(errorsOf("CAL:SEC:STAT 0,#16KQ7121"), std::vector<int>{-224});
    EXPECT_EQ(query("CAL:SEC:STAT?"), "1\n");
    EXPECT_EQ(errorsOf("CAL:SEC:STAT 0,#16KQ7120"), std::vector<int>{});
    EXPECT_EQ(query("CAL:SEC:STAT?"), "0\n");

    EXPECT_EQ(errorsOf("CAL3:GAIN -5;ZERO 12;:VOLT:RANG 10V,(@3);:CAL3:GAIN 7"), std::vector<int>{});
    const auto constants = module().calibrationConstants();
    EXPECT_EQ(constants[2], -5);       // gain, 20 V range, channel 3
    EXPECT_EQ(constants[32 + 2], 12);  // zero, 20 V range, channel 3
    EXPECT_EQ(constants[16 + 2], 7);   // gain, 10 V range, channel 3
    EXPECT_EQ(query("CAL3:GAIN?"), "7\n");
    EXPECT_EQ(errorsOf("CAL3:GAIN 128"), std::vector<int>{-222});

    EXPECT_EQ(query("CAL:COUNT?"), "0\n");
    EXPECT_EQ(errorsOf("CAL:STOR"), std::vector<int>{});
    EXPECT_EQ(query("CAL:COUNT?"), "1\n");

    // A new code, set while security is off, switches it on in the same message.
    EXPECT_EQ(errorsOf("CAL:SEC:CODE #212NEWCODE12345;STAT ON"), std::vector<int>{});
    EXPECT_EQ(query("CAL:SEC:STAT?"), "1\n");
    EXPECT_EQ(errorsOf("CAL:SEC:CODE #13abc"), std::vector<int>{-203});
    EXPECT_EQ(errorsOf("CAL:SEC:STAT 0,#16KQ7120"), std::vector<int>{-224});
    EXPECT_EQ(errorsOf("CAL:SEC:STAT 0,#212NEWCODE12345"), std::vector<int>{});
    EXPECT_EQ(errorsOf("CAL:SEC:CODE #213THIRTEENCHARS"), std::vector<int>{-224});
    EXPECT_EQ(errorsOf("CAL:SEC:CODE #10"), std::vector<int>{-224});
}

TEST_F(Kq7120Test, CalibrationBlockGoesInWithZeroBytesAndComesBackWhole) {
    std::string bytes;
    for (int i = 0; i < 64; ++i) bytes.push_back(static_cast<char>(i % 3 == 0 ? 0 : -i));
    send("CAL:SEC:STAT 0,#16KQ7120");
    EXPECT_EQ(errorsOf("CAL:DATA#264" + bytes), std::vector<int>{});
    EXPECT_EQ(query("CAL:DATA?"), "#264" + bytes + "\n");
    EXPECT_EQ(errorsOf("CAL:DATA #264" + bytes), std::vector<int>{});
    EXPECT_EQ(errorsOf("CAL:DATA#15abcde"), std::vector<int>{-224});
}

TEST_F(Kq7120Test, AutoStoreStoresEveryCalibrationWrite) {
    send("CAL:SEC:STAT 0,#16KQ7120");
    EXPECT_EQ(errorsOf("CAL:STOR:AUTO 1"), std::vector<int>{});
    EXPECT_EQ(query("CAL:STOR:AUTO?"), "1\n");
    send("CAL1:GAIN 4;ZERO -4");
    EXPECT_EQ(query("CAL:COUNT?"), "2\n");
    restart();
    EXPECT_EQ(query("CAL1:ZERO?"), "-4\n");
}

TEST_F(Kq7120Test, NonVolatileMemorySurvivesARestartButUnstoredConstantsDoNot) {
    send("CAL:SEC:STAT 0,#16KQ7120;:CAL2:GAIN 11;:CAL:STOR;:CAL2:GAIN 99");
    send("CAL:SEC:CODE #15ABCDE;STAT ON");
    ASSERT_EQ(bus().errors(), std::vector<int>{});
    restart();
    EXPECT_EQ(query("CAL2:GAIN?"), "11\n");
    EXPECT_EQ(query("CAL:COUNT?"), "1\n");
    EXPECT_EQ(query("CAL:SEC:STAT?"), "1\n");
    EXPECT_EQ(errorsOf("CAL:SEC:STAT 0,#15ABCDE"), std::vector<int>{});
}

// Every text the driver sends, in an order that satisfies their preconditions: none may raise an
// error, and every query must answer.
TEST_F(Kq7120Test, AcceptsEveryTextTheDriverSends) {
    std::string calibrationBlock = "CAL:DATA#264";
    for (int i = 0; i < 64; ++i) calibrationBlock.push_back(static_cast<char>(i % 2 ? -1 : 0));
    const std::string textLoad = std::string("trac:data 4095,16,#0") + '\x12' + '\x34' + '\xFF' + '\xFE';
    const std::string texts[] = {
        "*RST",
        "*ESR?",
        "*IDN?",
        "*TST?",
        "SYST:ERR?",
        "*OPC",
        "*OPC?",
        "*CLS",
        "*SRE 32",
        "*ESE 60",
        "STAT:OPER:ENAB 1",
        "*STB?",
        "*SRE?",
        "*ESE?",
        "STAT:OPER:ENAB?",
        "STAT:OPER:COND?",
        "SOUR:VOLT:LEV 2.5,(@1,2,16)",
        "SOUR:VOLT:LEV 19.9997,(@1)",
        "SOUR:VOLT:LEV 1e-05,(@3)",
        "SOUR:VOLT:LEV -20,(@3)",
        "SOUR:VOLT:LEV? 3",
        "VOLT:RANG 10V,(@1,2)",
        "VOLT:RANG 20V,(@1,2)",
        "volt:rang?3",
        "*TRG",
        "TRIG:SOUR TTLT3;SLOP POS",
        "TRIG:SOUR EXT;SLOP NEG",
        "TRIG:SOUR INT12",
        "TRIG:SOUR INT9",
        "TRIG:SOUR EXTC",
        "TRIG:SOUR TIM",
        "TRIG:SOUR AUTO",
        "TRIG:SOUR?",
        "TRIG:SLOP?",
        "MEM:SET 5,1.500000,1.500000,1.500000,1.500000,1.500000,1.500000,1.500000,1.500000,19.999689,"
        "-20.000000,1.500000,1.500000,1.500000,1.500000,1.500000,1.500000",
        "MEM:SET? 5",
        "SOUR:VOLT:SET 5",
        "SCAN OFF",
        "SCAN LOOP, (@1,3)",
        "SCAN ON, (@2)",
        "SCAN:LIM 3, 10",
        "SCAN:TABL 4,1.500000,-2.000000",
        "SCAN:TABL 3 :LOC 10, 1.250000",
        "SCAN? 3",
        "SCAN:LIM? 3",
        "SCAN:TABL? 3 10,1",
        "SCAN:TABL? 3 13,500",
        "SCAN:TABL 3:LOC? 10",
        "SCAN OFF",
        "CAL:SEC:STAT?",
        "CAL:SEC:STAT 0,#16KQ7120",
        "CAL3:GAIN -5;ZERO 12",
        calibrationBlock,
        "CAL:STOR:AUTO 1",
        "CAL:STOR:AUTO 0",
        "CAL:STOR",
        "CAL:COUNT?",
        "CAL:DATA?",
        "CAL:SEC:STAT 1",
        "CAL:SEC:STAT 0,#16KQ7120",
        "CAL:SEC:CODE #212abcdefghijkl;STAT ON",
        "CAL:SEC:STAT 0,#212abcdefghijkl",
        "CAL:SEC:CODE #16KQ7120;STAT ON",
        "ROSC:SOUR TIM;SLOP POS",
        "ROSC:SOUR TTLT0;SLOP NEG",
        "ROSC:SOUR EXTC;SLOP POS",
        "rosc:sour?",
        "rosc:slop?",
        "MARK:SYNC:STAT ON;SLOP NEG",
        "MARK:SYNC:STAT?",
        "MARK:SYNC:slop?",
        "tim 0.0100000",
        "tim 0.0000100",
        "tim 429.4900000",
        "tim?\n",
        "VOLT:FORM 1",
        "VOLT:FORM ?",
        "outp:ttlt:sour MARK\n",
        "mark:sync:slop NEG\n",
        "outp:ttlt5\n",
        "outp:ttlt:sour?\n",
        "mark:sync:slop?\n",
        "outp:ttlt?\n",
        "trac:def 5,100",
        "trac:poin 5,200",
        "trac:def 1,4",
        "trac:data 5,6,1,2",
        "trac:data:poin 1,2,0,-2",
        "trac:data:poin 1,2,3,4660",
        textLoad,
        "trac:free?\n",
        "trac:poin? 5\n",
        "trac:data:poin? 1,2,0\n",
        "trac:data? 1,2",
        "trac:data? 4095,16",
        "mem:size?",
        "seq:leng 3",
        "seq:list (@3,0,7)",
        "seq:list (@0)",
        "seq:star AUTO,(@2)",
        "seq:star TRIG,(@2)",
        "seq:adv SYNC,(@2)",
        "seq:adv ASYNC,(@2)",
        "seq:dwel 10,(@2)",
        "seq:dwel 1048575,(@2)",
        "sour:mark:trig ON,(@2)",
        "sour:mark:trig OFF,(@2)",
        "seq:list? 0\n",
        "seq:dwel? 2\n",
        "seq:star? 2\n",
        "seq:adv? 2\n",
        "mark:trig? 2\n",
        "trac:del:all",
        "*RST\n",
        "TRIG:SOUR NONE;SLOP POS\n",
        "VOLT:FORM 0\n",
        "SCAN ARB,(@1)\n",
        "SEQ:LIST (@0)\n",
        "SEQ:STAR TRIG,(@0)\n",
        "SEQ:ADV SYNC,(@0)\n",
        "SEQ:DWEL 0,(@0)\n",
        "SOUR:MARK:SYNC:STAT ON;SLOP POS\n",
        "SOUR:MARK:TRIG ON,(@0)\n",
        "trac:def 0,8",
        "INIT\n",
        "ABOR",
        "SCAN FIFO,(@1,2)",
        "INIT",
        "ABOR",
        "SCAN OFF",
    };
    for (const std::string& text : texts) {
        const std::string reply = query(text);
        EXPECT_EQ(bus().errors(), std::vector<int>{}) << text;
        const bool isQuery = text.find('?') != std::string::npos;
        EXPECT_EQ(!reply.empty(), isQuery) << text;
        if (isQuery) {
            EXPECT_EQ(reply.back(), '\n') << text;
        }
    }
}

}  // namespace
}  // namespace kqsim::testing
