// Random and mutated program messages, binary blocks among them, must never crash or hang the engine,
// and it must still answer well-formed replies afterwards.
#include <gtest/gtest.h>

#include <array>
#include <random>
#include <regex>
#include <string>
#include <vector>

#include "scpi_test_support.h"

namespace kqsim::scpi {
namespace {

using testing::RecordingTable;
using testing::Session;

// Reads each parameter with another accessor, so random data reaches every conversion.
void probe(Call& call) {
    for (std::size_t i = 0; i < call.parameterCount() && !call.failed(); ++i) {
        switch (i % 7) {
            case 0:
                call.integer(i, -1000, 1000);
                break;
            case 1:
                call.real(i, -20.0, 20.0, "V");
                break;
            case 2:
                call.boolean(i);
                break;
            case 3:
                call.word(i, {"EXTernal", "TTLTrg#", "INTernal#"});
                break;
            case 4:
                call.string(i);
                break;
            case 5:
                call.block(i);
                break;
            case 6:
                call.channelList(i, 0, 4095);
                break;
        }
    }
    if (call.isQuery()) call.reply(formatInteger(static_cast<long long>(call.parameterCount())));
}

const std::vector<std::string> seeds{
    "SOUR:VOLT:LEV 2.5,(@1,2,16)",
    "SOUR:VOLT:LEV? 3",
    "volt:rang?3",
    "VOLT:RANG 10V,(@1,2)",
    "TRIG:SOUR EXT;SLOP NEG",
    "CAL3:GAIN -5;ZERO 12",
    "CAL:SEC:CODE #16abcdef;STAT ON",
    "CAL:SEC:STAT 0,#16abcdef",
    "CAL:DATA#264" + std::string(64, '\0'),
    "trac:data 1,2,#0\x01\x02\n\xff",
    "SCAN:TABL 3 :LOC 10, 1.250000",
    "SCAN:TABL 3:LOC? 10",
    "SCAN:TABL? 3 10,1",
    "SCAN LOOP, (@1,3)",
    "SCAN:LIM 3, 10",
    "MEM:SET 5,1.500000,1.5",
    "MEM:SET? 5",
    "VOLT:FORM ?",
    "tim 0.0100000",
    "rosc:sour?",
    "seq:dwel 10,(@2)",
    "sour:mark:trig ON,(@2)",
    "mark:trig? 2",
    "MARK:SYNC:STAT ON;SLOP NEG",
    "outp:ttlt5\n",
    "*RST",
    "*TST?",
    "*IDN?",
    "*ESR?",
    "*ESE 60",
    "*SRE 32",
    "*STB?",
    "*CLS",
    "*OPC",
    "*OPC?",
    "*TRG",
    "STAT:OPER:ENAB 1",
    "STAT:OPER:COND?",
    "SYST:ERR?",
    "INIT",
    "ABOR",
    "PROB 1,2.5V,ON,EXT,'s',#13abc,(@1:3)",
    "PROB? #H7F,-1e3,OFF,TTLT7,\"q\"\"q\",#0tail",
};

const std::array<std::string_view, 22> fragments{";",
                                                 ":",
                                                 "?",
                                                 "#",
                                                 "#0",
                                                 "#9999999999",
                                                 "#15",
                                                 "#3",
                                                 "\"",
                                                 "'",
                                                 "(@",
                                                 ")",
                                                 ",",
                                                 "\n",
                                                 std::string_view("\0", 1),
                                                 "\xff",
                                                 "*",
                                                 "1e99999",
                                                 "(@1:99999999)",
                                                 " ",
                                                 "(((",
                                                 "MAX"};

class RandomMessages {
public:
    explicit RandomMessages(std::uint32_t seed) : random_(seed) {}

    std::string next() {
        switch (pick(10)) {
            case 0:
                return randomBytes(pick(300));
            case 1:
                return randomText(pick(120));
            default:
                return mutated(seeds[pick(seeds.size())]);
        }
    }
    std::size_t pick(std::size_t bound) {
        return std::uniform_int_distribution<std::size_t>(0, bound - 1)(random_);
    }

private:
    std::string randomBytes(std::size_t length) {
        std::string bytes;
        for (std::size_t i = 0; i < length; ++i) bytes += static_cast<char>(pick(256));
        return bytes;
    }
    std::string randomText(std::size_t length) {
        static constexpr std::string_view alphabet =
            "ABCDEFGHIJKLMNOPQRSTUVWXYZabcxyz0123456789:;,?*#@()'\" .+-eE\t\n";
        std::string text;
        for (std::size_t i = 0; i < length; ++i) text += alphabet[pick(alphabet.size())];
        return text;
    }
    std::string mutated(std::string message) {
        const std::size_t edits = pick(4);
        for (std::size_t e = 0; e < edits; ++e) {
            const std::size_t at = message.empty() ? 0 : pick(message.size() + 1);
            switch (pick(6)) {
                case 0:
                    message.insert(at, fragments[pick(fragments.size())]);
                    break;
                case 1:
                    if (at < message.size()) message[at] = static_cast<char>(pick(256));
                    break;
                case 2:
                    message.erase(at, pick(8));
                    break;
                case 3:
                    message.insert(at, message.substr(0, pick(message.size() + 1)));
                    break;
                case 4:
                    message.resize(at);
                    break;
                case 5:
                    message += ";" + seeds[pick(seeds.size())];
                    break;
            }
        }
        return message;
    }

    std::mt19937 random_;
};

bool wellFormedError(const std::string& reply) {
    static const std::regex error(R"(^(0|-?[1-9][0-9]*),"([^"]|"")*"\n$)");
    return std::regex_match(reply, error);
}

TEST(RandomInput, NeverCrashesOrHangsAndStaysConsistent) {
    RecordingTable table;
    std::vector<Command> commands = table.table();
    commands.push_back({"PROBe", testing::anyCount, probe});
    commands.push_back({"PROBe?", testing::anyCount, probe});
    Session session(std::move(commands));
    RandomMessages messages(20240611);

    char buffer[64];
    for (int round = 0; round < 4000; ++round) {
        const std::string message = messages.next();
        // Delivered in up to three pieces; most messages end with END, some run into the next.
        std::size_t at = 0;
        for (std::size_t piece = messages.pick(3) + 1; piece > 0; --piece) {
            const std::size_t length =
                piece == 1 ? message.size() - at : messages.pick(message.size() - at + 1);
            const bool last = piece == 1;
            session.interpreter.writeMessage(std::string_view(message).substr(at, length),
                                             last && messages.pick(10) != 0);
            at += length;
        }
        switch (messages.pick(8)) {
            case 0:
                session.interpreter.readReply(buffer, messages.pick(sizeof buffer) + 1);
                break;
            case 1:
                session.readAll();
                break;
            case 2:
                session.interpreter.statusByte();
                break;
            case 3:
                session.interpreter.deviceClear();
                break;
            default:
                break;
        }
        if (round % 100 == 99) {
            session.interpreter.deviceClear();
            ASSERT_EQ(session.send("*OPC?"), "1\n") << "after round " << round;
        }
    }

    session.interpreter.deviceClear();
    for (std::size_t i = 0; i <= ErrorQueue::defaultCapacity; ++i) {
        const std::string reply = session.send("SYST:ERR?");
        ASSERT_TRUE(wellFormedError(reply)) << reply;
    }
    EXPECT_EQ(session.send("SYST:ERR?"), "0,\"No error\"\n");
    const std::string events = session.send("*ESR?");
    ASSERT_FALSE(events.empty());
    const auto value = parseInteger(std::string_view(events).substr(0, events.size() - 1));
    ASSERT_TRUE(value.has_value()) << events;
    EXPECT_GE(*value, 0);
    EXPECT_LE(*value, 255);
    EXPECT_EQ(session.send("*ESR?"), "0\n");
}

// A compound message of `unit` repeated to about 256 KB.
std::string chain(std::string_view unit) {
    std::string text;
    while (text.size() < (1 << 18)) text += unit;
    return text;
}

TEST(RandomInput, HugeAndDeepMessages) {
    RecordingTable table;
    Session session(table.table());
    std::mt19937 random(7);
    std::string binary(1 << 20, '\0');
    for (char& c : binary) c = static_cast<char>(random());

    const std::vector<std::string> messages{
        "CAL:DATA #71048576" + binary,
        "trac:data 1,2,#0" + binary,
        binary,
        std::string(1 << 20, ';'),
        chain("*CLS;"),
        chain(":TRIG:SOUR EXT;SLOP NEG;"),  // every unit runs
        std::string(1 << 20, '('),
        "VOLT " + std::string(1 << 20, '9'),
        "DISP:TEXT \"" + std::string(1 << 20, 'x'),
        "#0",
        "#9999999999",
        "CAL:DATA #9999999999",
    };
    for (const auto& message : messages) {
        session.send(message);
        session.interpreter.deviceClear();
        EXPECT_EQ(session.send("*OPC?"), "1\n") << message.substr(0, 40);
    }
    const std::string_view triggerUnits = ":TRIG:SOUR EXT;SLOP NEG;";
    EXPECT_EQ(table.log.size(),
              2 + 2 * (chain(triggerUnits).size() / triggerUnits.size()));  // both blocks too
    session.drainErrors();
    const std::string queries = chain(":SYST:ERR?;");
    const std::string reply = session.send(queries);
    EXPECT_EQ(reply.back(), '\n');
    EXPECT_GT(reply.size(), queries.size());
    EXPECT_EQ(session.send("SYST:ERR?"), "0,\"No error\"\n");
}

}  // namespace
}  // namespace kqsim::scpi
