#include "scpi/interpreter.h"

#include <algorithm>
#include <exception>
#include <new>
#include <utility>

#include "scpi/message_parser.h"
#include "scpi/number_text.h"

namespace kqsim::scpi {
namespace {

bool isCommandError(int code) { return code <= -100 && code > -200; }

// Values the enable registers take: the 8-bit ones of IEEE 488.2 and the 15 bits of a SCPI group.
constexpr NumericRange kByteRegisterRange{0, 255, std::nullopt};
constexpr NumericRange kGroupEnableRange{0, 32767, std::nullopt};

std::vector<Command> joined(std::vector<Command> first, std::vector<Command> second) {
    first.reserve(first.size() + second.size());
    for (auto& command : second) first.push_back(std::move(command));
    return first;
}

}  // namespace

Interpreter::Interpreter(std::vector<Command> commands, InterpreterLimits limits)
    : limits_(limits),
      errors_(limits.errorQueueCapacity),
      tree_(joined(std::move(commands), standardCommands())) {
    status_.setEvents(esr::powerOn);
}

std::vector<Command> Interpreter::standardCommands() {
    return {
        {"*CLS", takes(0),
         [this](Call&) {
             status_.clearEvents();
             errors_.clear();
             status_.setErrorAvailable(false);
         }},
        {"*ESE", takes(1),
         [this](Call& call) {
             if (auto mask = call.integer(0, kByteRegisterRange)) {
                 status_.setEventEnable(static_cast<std::uint8_t>(*mask));
             }
         }},
        {"*ESE?", takes(0), [this](Call& call) { call.reply(formatInteger(status_.eventEnable())); }},
        {"*ESR?", takes(0), [this](Call& call) { call.reply(formatInteger(status_.readEvents())); }},
        {"*SRE", takes(1),
         [this](Call& call) {
             if (auto mask = call.integer(0, kByteRegisterRange)) {
                 status_.setServiceRequestEnable(static_cast<std::uint8_t>(*mask));
             }
         }},
        {"*SRE?", takes(0),
         [this](Call& call) { call.reply(formatInteger(status_.serviceRequestEnable())); }},
        {"*STB?", takes(0), [this](Call& call) { call.reply(formatInteger(status_.statusByte())); }},
        // Every operation has completed by the time the next command runs.
        {"*OPC", takes(0), [this](Call&) { status_.setEvents(esr::operationComplete); }},
        {"*OPC?", takes(0), [](Call& call) { call.reply("1"); }},
        {"*WAI", takes(0), [](Call&) {}},
        {"STATus:OPERation[:EVENt]?", takes(0),
         [this](Call& call) { call.reply(formatInteger(status_.readOperationEvents())); }},
        {"STATus:OPERation:CONDition?", takes(0),
         [this](Call& call) { call.reply(formatInteger(status_.operationCondition())); }},
        {"STATus:OPERation:ENABle", takes(1),
         [this](Call& call) {
             if (auto mask = call.integer(0, kGroupEnableRange)) {
                 status_.setOperationEnable(static_cast<std::uint16_t>(*mask));
             }
         }},
        {"STATus:OPERation:ENABle?", takes(0),
         [this](Call& call) { call.reply(formatInteger(status_.operationEnable())); }},
        {"STATus:QUEStionable[:EVENt]?", takes(0),
         [this](Call& call) { call.reply(formatInteger(status_.readQuestionableEvents())); }},
        {"STATus:QUEStionable:CONDition?", takes(0),
         [this](Call& call) { call.reply(formatInteger(status_.questionableCondition())); }},
        {"STATus:QUEStionable:ENABle", takes(1),
         [this](Call& call) {
             if (auto mask = call.integer(0, kGroupEnableRange)) {
                 status_.setQuestionableEnable(static_cast<std::uint16_t>(*mask));
             }
         }},
        {"STATus:QUEStionable:ENABle?", takes(0),
         [this](Call& call) { call.reply(formatInteger(status_.questionableEnable())); }},
        {"STATus:PRESet", takes(0), [this](Call&) { status_.preset(); }},
        {"SYSTem:ERRor[:NEXT]?", takes(0),
         [this](Call& call) {
             call.reply(formatErrorReply(errors_.pop()));
             status_.setErrorAvailable(!errors_.empty());
         }},
        {"SYSTem:VERSion?", takes(0), [](Call& call) { call.reply("1999.0"); }},
    };
}

void Interpreter::writeMessage(std::string_view bytes, bool end) {
    while (!bytes.empty()) {
        if (droppingUntilEnd_) {
            if (end) droppingUntilEnd_ = false;
            return;
        }
        if (input_.empty() && reply_.pending()) {
            // A new message while the last reply is unread: IEEE 488.2 discards the reply.
            reply_.clear();
            status_.setMessageAvailable(false);
            reportError(err::queryInterrupted);
        }
        const std::size_t terminator = framer_.scan(bytes);
        const std::string_view part = bytes.substr(0, std::min(terminator, bytes.size()));
        if (part.size() > limits_.maxInputBytes - input_.size()) {
            reportError(err::inputBufferOverrun);
            input_.clear();
            input_.shrink_to_fit();
            framer_.reset();
            droppingUntilEnd_ = !end;
            return;
        }
        input_.append(part);
        if (terminator == MessageFramer::noTerminator) break;
        bytes.remove_prefix(terminator + 1);
        execute(input_);
        input_.clear();
        framer_.reset();
    }
    if (end && !input_.empty()) {
        execute(input_);
        input_.clear();
        framer_.reset();
    }
}

void Interpreter::execute(std::string_view message) {
    MessageParser parser(message);
    std::string replies;
    bool anyReply = false;
    bool deadlocked = false;
    bool commandErrorSeen = false;
    const auto report = [this, &commandErrorSeen](int code) {
        if (isCommandError(code)) commandErrorSeen = true;
        reportError(code);
    };

    while (auto header = parser.nextHeader()) {
        const auto match = tree_.find(*header);
        if (!match) {
            reportError(err::undefinedHeader);
            break;
        }
        auto parameters = parser.parameters(match->command->separators);
        if (!parameters) break;

        Call call(header->query, match->suffixes, std::move(*parameters), report);
        // The count comes first: a command with too few or too many parameters runs no part of its
        // handler, and reports that rather than an error in a parameter's value.
        const ParameterCount& count = match->command->parameterCount;
        if (call.countWithin(count.min, count.max)) {
            try {
                match->command->handler(call);
            } catch (const std::bad_alloc&) {
                call.fail(err::outOfMemory);
                break;
            } catch (const std::exception&) {
                call.fail(err::systemError);
                break;
            }
        }
        if (!call.failed() && call.hasUnreadParameters()) call.fail(err::parameterNotAllowed);
        if (commandErrorSeen) break;
        if (!header->query || call.failed() || deadlocked) continue;

        if (replies.size() + call.response().size() + 2 > limits_.maxReplyBytes) {
            // IEEE 488.2 deadlock: the output queue is cleared and parsing goes on; the rest of the
            // message's replies are discarded, so the message leaves nothing to read.
            reportError(err::queryDeadlocked);
            deadlocked = true;
            replies.clear();
            replies.shrink_to_fit();
            anyReply = false;
            continue;
        }
        if (anyReply) replies += ';';
        replies += call.response();
        anyReply = true;
    }
    if (parser.error() != 0) reportError(parser.error());
    if (anyReply) {
        replies += '\n';
        reply_.set(std::move(replies));
        status_.setMessageAvailable(true);
    }
}

bool Interpreter::replyPending() const { return reply_.pending(); }

ReplyChunk Interpreter::readReply(char* into, std::size_t max) {
    if (!reply_.pending()) {
        // Addressed to talk with nothing to say (no query, or one still unterminated).
        reportError(err::queryUnterminated);
        return {};
    }
    const ReplyChunk chunk = reply_.read(into, max);
    if (chunk.end) status_.setMessageAvailable(false);
    return chunk;
}

void Interpreter::deviceClear() {
    input_.clear();
    framer_.reset();
    droppingUntilEnd_ = false;
    reply_.clear();
    status_.setMessageAvailable(false);
}

std::uint8_t Interpreter::statusByte() { return status_.serialPoll(); }

void Interpreter::reportError(int code) {
    std::uint8_t bits = eventBitsForError(code);
    if (!errors_.push(code)) bits |= eventBitsForError(err::queueOverflow);
    status_.setEvents(bits);
    status_.setErrorAvailable(!errors_.empty());
}

void Interpreter::defineError(int code, std::string text) { errors_.define(code, std::move(text)); }

}  // namespace kqsim::scpi
