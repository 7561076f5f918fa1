// Shared by the SCPI engine tests: a small command table whose handlers record what they received,
// and a session that talks to an interpreter as a controller does.
#pragma once

#include <limits>
#include <string>
#include <string_view>
#include <vector>

#include "scpi/call.h"
#include "scpi/command_tree.h"
#include "scpi/interpreter.h"
#include "scpi/number_text.h"

namespace kqsim::scpi::testing {

// For rows that record whatever they are sent.
inline constexpr ParameterCount anyCount{0, std::numeric_limits<std::size_t>::max()};

// One call as a handler saw it: "PATTERN suffixes|parameters", for example
// "CALibration#:GAIN 3|n:-5" or "[SOURce]:VOLTage[:LEVel] |n:2.5 c:1,2,16".
inline std::string describeCall(std::string_view pattern, const Call& call, std::size_t suffixCount) {
    std::string text(pattern);
    text += ' ';
    for (std::size_t i = 0; i < suffixCount; ++i) {
        if (i > 0) text += ',';
        text += formatInteger(call.suffix(i));
    }
    text += '|';
    for (std::size_t i = 0; i < call.parameterCount(); ++i) {
        const Parameter& parameter = call.parameter(i);
        if (i > 0) text += ' ';
        switch (parameter.type) {
            case ParameterType::number:
                text += "n:" + formatReal(parameter.number) + parameter.unit;
                break;
            case ParameterType::word:
                text += "w:" + parameter.text;
                break;
            case ParameterType::string:
                text += "s:" + parameter.text;
                break;
            case ParameterType::block:
                text += "b" + formatInteger(static_cast<long long>(parameter.text.size()));
                break;
            case ParameterType::channelList: {
                text += "c:";
                for (std::size_t c = 0; c < parameter.channels.size(); ++c) {
                    if (c > 0) text += ',';
                    text += formatInteger(parameter.channels[c]);
                }
                break;
            }
            case ParameterType::expression:
                text += "e:" + parameter.text;
                break;
        }
    }
    return text;
}

// A command table shaped like the module's: every handler records its call; queries reply "Q<n>"
// with the number of the call.
class RecordingTable {
public:
    std::vector<std::string> log;
    std::vector<std::string> blocks;  // block parameters, in order received

    std::vector<Command> table() {
        std::vector<Command> commands;
        for (const auto& [pattern, separators] : patterns()) {
            std::size_t suffixCount = 0;
            for (char c : pattern) suffixCount += c == '#' ? 1 : 0;
            commands.push_back({pattern, anyCount,
                                [this, pattern, suffixCount](Call& call) {
                                    log.push_back(describeCall(pattern, call, suffixCount));
                                    for (std::size_t i = 0; i < call.parameterCount(); ++i) {
                                        if (call.parameter(i).type == ParameterType::block) {
                                            blocks.push_back(call.parameter(i).text);
                                        }
                                    }
                                    if (call.isQuery())
                                        call.reply("Q" + formatInteger(static_cast<long long>(log.size())));
                                },
                                separators});
        }
        // Handlers that fail: an execution error, and a command error from a parameter accessor.
        commands.push_back({"TEST:EXECution", anyCount, [this](Call& call) {
                                log.push_back("TEST:EXECution");
                                call.fail(err::dataOutOfRange);
                            }});
        commands.push_back({"TEST:COMMand", anyCount, [this](Call& call) {
                                log.push_back("TEST:COMMand");
                                call.integer(0, 0, 1);
                            }});
        return commands;
    }

private:
    struct Pattern {
        std::string_view header;
        Separators separators = Separators::comma;
    };
    static std::vector<Pattern> patterns() {
        return {
            {"[SOURce]:VOLTage[:LEVel]"},
            {"[SOURce]:VOLTage[:LEVel]?"},
            {"[SOURce]:VOLTage:RANGe"},
            {"[SOURce]:VOLTage:RANGe?"},
            {"[SOURce]:VOLTage:FORMat"},
            {"[SOURce]:VOLTage:FORMat?"},
            {"TRIGger:SOURce"},
            {"TRIGger:SOURce?"},
            {"TRIGger:SLOPe"},
            {"TRIGger:SLOPe?"},
            {"CALibration#:GAIN"},
            {"CALibration#:ZERO"},
            {"CALibration#:GAIN?"},
            {"CALibration:SECure:CODE"},
            {"CALibration:SECure:STATe"},
            {"CALibration:DATA"},
            {"TRACe:DATA"},
            {"TRACe:DATA?"},
            {"SCAN"},
            {"SCAN?"},
            {"SCAN:TABLe"},
            {"SCAN:TABLe?", Separators::commaOrSpace},
            {"SCAN:TABLe#:LOCation"},
            {"SCAN:TABLe#:LOCation?"},
            {"SCAN:LIMit"},
            {"MEMory:SET"},
            {"MEMory:SET?"},
            {"TIMer"},
            {"ROSCillator:SOURce?"},
            {"SEQuence:DWELl"},
            {"[SOURce]:MARKer:TRIGger"},
            {"[SOURce]:MARKer:TRIGger?"},
            {"[SOURce]:MARKer:SYNC:STATe"},
            {"[SOURce]:MARKer:SYNC:SLOPe"},
            {"OUTPut:TTLTrg#"},
            {"OUTPut:TTLTrg#?"},
            {"DISPlay:TEXT"},
            {"*RST"},
            {"*TST?"},
            {"*IDN?"},
            {"*TRG"},
            {"INITiate"},
            {"ABORt"},
        };
    }
};

// A controller's view of an interpreter.
class Session {
public:
    explicit Session(std::vector<Command> commands, InterpreterLimits limits = {})
        : interpreter(std::move(commands), limits) {}

    // Writes the message with END and returns the whole reply ("" when none is queued).
    std::string send(std::string_view message) {
        interpreter.writeMessage(message, true);
        return readAll();
    }
    std::string readAll() {
        std::string reply;
        char buffer[256];
        while (interpreter.replyPending()) {
            const ReplyChunk chunk = interpreter.readReply(buffer, sizeof buffer);
            reply.append(buffer, chunk.count);
            if (chunk.end) break;
        }
        return reply;
    }
    // Every queued error, oldest first, as SYST:ERR? gives them (without the final 0,"No error").
    std::vector<std::string> drainErrors() {
        std::vector<std::string> errors;
        for (int i = 0; i < 1000; ++i) {
            std::string reply = send("SYST:ERR?");
            if (reply == "0,\"No error\"\n") break;
            errors.push_back(reply.substr(0, reply.size() - 1));
        }
        return errors;
    }

    Interpreter interpreter;
};

}  // namespace kqsim::scpi::testing
