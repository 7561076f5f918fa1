// The KQ module's IEEE 488.2 message exchange as a VISA client sees it: exact bytes written with
// viWrite, replies read with viRead, the status byte read by serial poll.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "kq_module_test_support.h"
#include "kqsim/mainframe.h"
#include "visa.h"

namespace kqsim::testing {
namespace {

constexpr ViUInt32 kReadLimit = 64 * 1024;

class MessageExchangeTest : public ::testing::Test {
protected:
    void SetUp() override {
        installChassis({.modules = {{.logicalAddress = 24, .slot = 2}},
                        .stateDirectory = freshFolder(currentTestName()).string()});
        ASSERT_EQ(viOpenDefaultRM(&rm_), VI_SUCCESS);
        ASSERT_EQ(viOpen(rm_, "VXI0::24::INSTR", VI_NULL, VI_NULL, &session_), VI_SUCCESS);
        write("*RST;*CLS");
    }

    void TearDown() override {
        viClose(rm_);
        installChassis(ChassisConfig{});
    }

    // One viWrite of exactly these bytes, END with the last one unless `end` is false.
    void write(const std::string& bytes, bool end = true) {
        viSetAttribute(session_, VI_ATTR_SEND_END_EN, end ? VI_TRUE : VI_FALSE);
        ViUInt32 count = 0;
        EXPECT_EQ(viWrite(session_, reinterpret_cast<ViConstBuf>(bytes.data()),
                          static_cast<ViUInt32>(bytes.size()), &count),
                  VI_SUCCESS)
            << bytes;
        EXPECT_EQ(count, bytes.size());
    }

    // One viRead; the bytes read, and its status in `status`.
    std::string read(ViStatus& status) {
        std::string reply(kReadLimit, '\0');
        ViUInt32 count = 0;
        status = viRead(session_, reinterpret_cast<ViBuf>(reply.data()), kReadLimit, &count);
        reply.resize(count);
        return reply;
    }

    std::string query(const std::string& message) {
        write(message);
        ViStatus status = VI_SUCCESS;
        std::string reply = read(status);
        EXPECT_EQ(status, VI_SUCCESS) << message;
        return reply;
    }

    // The error queue, oldest first; empty afterwards.
    std::vector<int> errors() {
        std::vector<int> numbers;
        for (int guard = 0; guard < 32; ++guard) {
            const int number = std::atoi(query("SYST:ERR?").c_str());
            if (number == 0) break;
            numbers.push_back(number);
        }
        return numbers;
    }

    ViUInt16 serialPoll() {
        ViUInt16 statusByte = 0;
        EXPECT_EQ(viReadSTB(session_, &statusByte), VI_SUCCESS);
        return statusByte;
    }

    ViSession rm_ = VI_NULL;
    ViSession session_ = VI_NULL;
};

std::string calibrationBytes() {
    std::string bytes;
    for (int i = 0; i < 64; ++i) bytes.push_back(static_cast<char>(i == 63 ? '\n' : -i));
    return bytes;
}

struct Exchange {
    std::string message;  // written first, with END on its last byte
    std::string query;    // then this, and its reply read
    std::string reply;
    std::vector<int> errors;  // queued by both
};

const Exchange kExchanges[] = {
    // Numeric parameters take MINimum, MAXimum and DEFault, and their queries answer the limits.
    {"TIM MIN", "TIM?", "1E-05\n", {}},
    {"TIM DEF", "TIM? MIN;TIM? MAX;TIM? DEF;TIM?", "1E-05;429.49;0.01;0.01\n", {}},
    {"VOLT MAX,(@1)", "VOLT? 1;VOLT? MAX,(@1)", "19.9993896484375;19.9993896484375\n", {}},
    {"VOLT:RANG 10V,(@2);:VOLT MIN,(@1,2)", "VOLT? 1;VOLT? 2;VOLT? MIN,2", "-20;-10;-10\n", {}},
    {"VOLT 5,(@3);VOLT DEF,(@3)", "VOLT? 3", "0\n", {}},
    {"VOLT:RANG MIN,(@4)", "VOLT:RANG? 4;:VOLT:RANG? MAX;:VOLT:RANG? DEF", "10V;20V;20V\n", {}},
    {"SCAN:LIM 3,MIN", "SCAN:LIM? 3;LIM? MAX;LIM? DEF", "1;512;512\n", {}},
    {"SCAN:TABL 4,MIN,MAX,DEF", "SCAN:TABL? 4 3,1", "-20.000000,19.999390,0.000000\n", {}},
    {"VOLT:FORM MIN", "VOLT:FORM?;FORM? DEF", "0;1\n", {}},
    {"SEQ:DWEL MAX,(@2)", "SEQ:DWEL? 2;DWEL? DEF;LENG? MAX", "1048575;1;4096\n", {}},
    {"TRAC:DEF 5,MAX", "TRAC:POIN? 5;POIN? MIN", "524288;1\n", {}},
    {"*WAI", "CAL3:GAIN? MIN;ZERO? MAX", "-128;127\n", {}},
    {"SEQ:LENG DEF", "VOLT? MAX", "", {-224, -109}},
    // Suffixes with multipliers, apart from the number or not.
    {"VOLT 625mV,(@1)", "VOLT? 1", "0.625\n", {}},
    {"VOLT 2.5 V,(@1)", "VOLT? 1", "2.5\n", {}},
    {"TIM 10MS", "TIM?", "0.01\n", {}},
    {"TIM 100US", "TIM?", "1E-04\n", {}},
    {"TIM 1 KS", "TIM 1HZ", "", {-222, -131}},
    // The error queue and the questionable group in the status byte.
    {"*SRE 4;STAT:QUES:ENAB 16", "STAT:QUES?;QUES:COND?;ENAB?;*STB?", "0;0;16;0\n", {}},
    {"FOO", "*STB?", "4\n", {-113}},
    {"STAT:QUES:ENAB 3;:STAT:PRES", "STAT:QUES:ENAB?", "0\n", {}},
    // An indefinite block ended by NL^END leaves the NL out.
    {"CAL:SEC:STAT 0,#0KQ7120\n", "CAL:SEC:STAT?", "0\n", {}},
    {"CAL:SEC:STAT 0,#16KQ7120;:CAL:DATA #0" + calibrationBytes() + "\n",
     "CAL:DATA?",
     "#264" + calibrationBytes() + "\n",
     {}},
    // The driver's text load: the last data byte carries END, no NL, even when it is a NL byte.
    {"VOLT:FORM 1;:TRAC:DATA 1,1,#0" + std::string("\x12\x0A", 2), "TRAC:DATA:POIN? 1,1,0", "4618\n", {}},
};

class MessageExchange : public MessageExchangeTest, public ::testing::WithParamInterface<Exchange> {};

TEST_P(MessageExchange, AnswersAsIeee4882Has) {
    const Exchange& exchange = GetParam();
    write(exchange.message);
    write(exchange.query);
    if (!exchange.reply.empty()) {
        ViStatus status = VI_SUCCESS;
        EXPECT_EQ(read(status), exchange.reply) << exchange.message << " then " << exchange.query;
        EXPECT_EQ(status, VI_SUCCESS);
    }
    EXPECT_EQ(errors(), exchange.errors) << exchange.message << " then " << exchange.query;
}

INSTANTIATE_TEST_SUITE_P(Kq7120, MessageExchange, ::testing::ValuesIn(kExchanges));

// A real module logs -420 and sets the query-error bit, so a stray read fails the next error check;
// the simulated one answers at once, as a timeout.
TEST_F(MessageExchangeTest, ReadWithNothingToAnswerIsQueryUnterminated) {
    ViStatus status = VI_SUCCESS;
    EXPECT_EQ(read(status), "");
    EXPECT_EQ(status, VI_ERROR_TMO);
    EXPECT_EQ(query("*ESR?"), "4\n");

    query("*IDN?");  // the whole reply read: nothing is left
    read(status);
    EXPECT_EQ(status, VI_ERROR_TMO);
    write("*IDN?", false);  // a query not yet terminated
    read(status);
    EXPECT_EQ(status, VI_ERROR_TMO);
    EXPECT_EQ(viClear(session_), VI_SUCCESS);
    EXPECT_EQ(errors(), (std::vector<int>{-420, -420, -420}));
}

TEST_F(MessageExchangeTest, ServiceRequestGoesAwayWithItsCause) {
    write("*ESE 32;*SRE 32");
    write("FOO");
    write("*CLS");
    EXPECT_EQ(serialPoll(), 0);
    write("FOO");
    EXPECT_EQ(serialPoll(), 0x04 | 0x20 | 0x40);  // error queue, ESB and RQS
    EXPECT_EQ(serialPoll(), 0x04 | 0x20);         // RQS goes with the poll

    write("*CLS;*ESE 0;*SRE 4");
    write("FOO");
    EXPECT_EQ(query("SYST:ERR?"), "-113,\"Undefined header\"\n");
    EXPECT_EQ(serialPoll(), 0);
}

TEST_F(MessageExchangeTest, DeadlockClearsTheOutputAndRunsTheRestOfTheMessage) {
    write("TRAC:DEF 0,524288");
    std::string message = "TRAC:DATA? 0,1";
    for (int i = 0; i < 8; ++i) message += ";DATA? 0,1";  // 9 MiB of replies
    write(message + ";:VOLT 2.5,(@1);*OPC?");
    ViStatus status = VI_SUCCESS;
    EXPECT_EQ(read(status), "");
    EXPECT_EQ(status, VI_ERROR_TMO);
    EXPECT_EQ(errors(), (std::vector<int>{-430, -420}));
    EXPECT_EQ(query("VOLT? 1"), "2.5\n");
}

}  // namespace
}  // namespace kqsim::testing
