// The IEEE 488.2 / SCPI message engine of a simulated instrument: takes program message bytes, runs
// each command of a complete message through the instrument's command table, and queues the reply,
// keeping the status registers and the error queue as a real instrument does.
//
// Grammar: IEEE 488.2 / SCPI program messages, with the forms this module's driver sends:
//   - Message terminators: "\n" (outside block data) and END. The bytes of an indefinite block
//     (#0...) all belong to the block up to END, except a final "\n": NL^END ends the message
//     (Parameter::newlineEnded tells a handler it was there).
//   - Program message units are separated by ';'. A unit after ';' that starts with neither ':' nor
//     '*' is relative to the previous header's path (its mnemonics without the last):
//     "TRIG:SOUR EXT;SLOP NEG" is TRIG:SOUR EXT then TRIG:SLOP NEG; "CAL3:GAIN -5;ZERO 12" keeps CAL3.
//     ':' starts again at the root; common commands leave the path as it is. A ';' right before the
//     end of the message is accepted; an empty unit (";;") is -102 Syntax error.
//   - A header is followed by white space before its parameters, except that parameters may follow a
//     query's '?' directly ("volt:rang?3") and block data may follow any header directly
//     ("CAL:DATA#264...").
//   - A '?' standing alone after a header and white space makes it the query: "VOLT:FORM ?" is
//     VOLT:FORM?.
//   - A header suffix written apart: an unsigned integer after a set header's last mnemonic and white
//     space, followed (with or without white space) by ':' and a mnemonic, is that mnemonic's numeric
//     suffix and the header goes on: "SCAN:TABL 3 :LOC 10, 1.250000" is SCAN:TABL3:LOC 10,1.25 and
//     "SCAN:TABL 3:LOC? 10" is SCAN:TABL3:LOC? 10; register them as "SCAN:TABLe#:LOCation" and
//     "SCAN:TABLe#:LOCation?" and read the channel with Call::suffix.
//   - Commands registered with Separators::commaOrSpace also take white space between parameters:
//     "SCAN:TABL? 3 10,1" has the parameters 3, 10 and 1.
//   - A unit suffix may follow its number directly or after white space (10V, 1.5 V, 500mV), except
//     in Separators::commaOrSpace commands, where white space separates parameters.
//   - Numeric parameters take MINimum, MAXimum and DEFault (see Call).
// White space is every byte 0x00-0x20 except "\n".
//
// Errors: an error the parser finds (an undefined header, malformed data, also -223 for an overlong
// channel list) and a command error (-1xx) reported by a handler or its parameter accessors end the
// message: the units after it are skipped, as a real parser cannot trust the rest. Execution and
// device-specific errors (-2xx, -3xx, positive numbers) from a handler end only its own unit; the
// next units run. Replies of queries that ran before an error are still sent; a failed query adds
// no reply. A command whose parameter count is outside its row's range gets -109 or -108 (command
// errors) and its handler does not run. A handler that leaves parameters unread without calling
// Call::expectCount gets -108.
// A handler that throws std::bad_alloc gives -225, any other std::exception -310; the message ends.
//
// Replies: the responses of the queries of one message are joined with ';', ended with "\n" and queued
// when the message has run. A message starting while a reply is still queued (even partly read)
// discards that reply and reports -410 Query INTERRUPTED.
//
// A read with no reply queued (no query sent, or the message not yet complete) gives -420 Query
// UNTERMINATED and returns nothing at once.
//
// Bounds: a message longer than InterpreterLimits::maxInputBytes gives -363 Input buffer overrun; its
// bytes up to the next END are dropped. Replies that would exceed maxReplyBytes give -430 Query
// DEADLOCKED: as IEEE 488.2 resolves a deadlock, the replies gathered so far are dropped and the rest
// of the message runs with its replies discarded, so the message leaves nothing to read.
//
// The engine answers these itself (the instrument's table may override any of them by registering
// the same header):
//   *CLS *ESE *ESE? *ESR? *SRE *SRE? *STB? *OPC *OPC? *WAI
//   STATus:OPERation[:EVENt]? STATus:OPERation:CONDition? STATus:OPERation:ENABle
//   STATus:OPERation:ENABle? STATus:QUEStionable[:EVENt]? STATus:QUEStionable:CONDition?
//   STATus:QUEStionable:ENABle STATus:QUEStionable:ENABle? STATus:PRESet
//   SYSTem:ERRor[:NEXT]? SYSTem:VERSion?
// The instrument registers its own *RST, *IDN?, *TST?, *TRG and device commands.
//
// Use: the instrument owns one interpreter built from its table and forwards kqsim::Instrument's
// message calls to it:
//
//   Module::Module()
//       : scpi_({{"[SOURce]:VOLTage[:LEVel]", scpi::takes(1, 2), [this](scpi::Call& c) { setVoltage(c); }},
//                {"[SOURce]:VOLTage[:LEVel]?", scpi::takes(1), [this](scpi::Call& c) { queryVoltage(c); }},
//                {"SCAN:TABLe?", scpi::takes(1, 3), [this](scpi::Call& c) { queryScanTable(c); },
//                 scpi::Separators::commaOrSpace}}) {}
//   void Module::writeMessage(std::string_view bytes, bool end) { scpi_.writeMessage(bytes, end); }
//
// Not thread-safe: the owning instrument serialises calls. Handlers capture the instrument, so the
// interpreter is neither copyable nor movable.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "kqsim/instrument.h"
#include "kqsim/pending_reply.h"
#include "scpi/call.h"
#include "scpi/command_tree.h"
#include "scpi/error_queue.h"
#include "scpi/message_framer.h"
#include "scpi/status_system.h"

namespace kqsim::scpi {

struct InterpreterLimits {
    std::size_t maxInputBytes = 4 * 1024 * 1024;  // one program message
    std::size_t maxReplyBytes = 8 * 1024 * 1024;  // one reply
    std::size_t errorQueueCapacity = ErrorQueue::defaultCapacity;
};

class Interpreter {
public:
    // `commands`: the instrument's table; the engine's own commands are added after it. Sets PON in
    // the standard event status register, as at power-on. Throws std::invalid_argument for a
    // malformed header pattern.
    explicit Interpreter(std::vector<Command> commands, InterpreterLimits limits = {});
    Interpreter(const Interpreter&) = delete;
    Interpreter& operator=(const Interpreter&) = delete;

    // kqsim::Instrument's message interface; readReply with nothing queued is the controller reading
    // where there is nothing to answer (-420).
    void writeMessage(std::string_view bytes, bool end);
    bool replyPending() const;
    ReplyChunk readReply(char* into, std::size_t max);
    // Device clear: pending input and reply dropped, status and error queue kept.
    void deviceClear();
    // Serial poll (see StatusSystem::serialPoll).
    std::uint8_t statusByte();

    // Queues an error and sets its standard event status bit; for errors that arise outside a
    // command (a handler reports through Call::fail).
    void reportError(int code);
    // A device-specific error number with its text, for reportError and Call::fail.
    void defineError(int code, std::string text);

    StatusSystem& status() { return status_; }
    const StatusSystem& status() const { return status_; }
    ErrorQueue& errors() { return errors_; }
    const ErrorQueue& errors() const { return errors_; }

private:
    void execute(std::string_view message);
    std::vector<Command> standardCommands();

    InterpreterLimits limits_;
    StatusSystem status_;
    ErrorQueue errors_;
    CommandTree tree_;
    MessageFramer framer_;
    std::string input_;
    bool droppingUntilEnd_ = false;
    PendingReply reply_;
};

}  // namespace kqsim::scpi
