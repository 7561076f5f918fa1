// The ARB sequence: its length, the segment of each step and each step's start, advance, dwell and
// marker ([SOURce]:SEQuence, [SOURce]:MARKer:TRIGger).
#include "commands/arguments.h"
#include "commands/subsystems.h"
#include "scpi/error_queue.h"
#include "scpi/number_text.h"

namespace kqsim::commands {
namespace {

namespace err = scpi::err;
using scpi::formatInteger;

constexpr WordEntry<SequenceStart> kSequenceStartWords[] = {
    {"TRIGger", SequenceStart::Trigger, "TRIG"},
    {"AUTO", SequenceStart::Auto, "AUTO"},
};

constexpr WordEntry<SequenceAdvance> kSequenceAdvanceWords[] = {
    {"SYNC", SequenceAdvance::Sync, "SYNC"},
    {"ASYNC", SequenceAdvance::Async, "ASYNC"},
};

void setSequenceLength(ModuleCore& core, Call& call) {
    const auto length = call.integer(0, kLimits.sequenceLength);
    if (!length || !succeeded(call, core.arbChangeAllowed())) return;
    core.arb().setSequenceLength(static_cast<std::size_t>(*length));
}

void querySequenceLength(ModuleCore& core, Call& call) {
    if (answeredLimit(call, kLimits.sequenceLength, formatWhole)) return;
    if (formTakes(call, 0)) call.reply(formatInteger(static_cast<long long>(core.arb().sequence().size())));
}

// SEQ:LIST (@3,0,7): step i plays the i-th segment of the list.
void setSequenceList(ModuleCore& core, Call& call) {
    const auto segments = call.channelList(0, kLimits.segment);
    if (!segments || !succeeded(call, core.arbChangeAllowed())) return;
    if (segments->size() > static_cast<std::size_t>(kSequenceSteps)) return call.fail(err::tooMuchData);
    core.arb().setSequence(*segments);
}

void querySequenceList(ModuleCore& core, Call& call) {
    const auto step = stepArgument(call, 0);
    if (!step) return;
    const auto& sequence = core.arb().sequence();
    if (static_cast<std::size_t>(*step) >= sequence.size()) return call.fail(err::dataOutOfRange);
    call.reply(formatInteger(sequence[static_cast<std::size_t>(*step)]));
}

void setSequenceStart(ModuleCore& core, Call& call) {
    const auto start = chooseWord(call, 0, kSequenceStartWords);
    const auto steps = stepsArgument(call, 1);
    if (!start || !steps) return;
    for (int step : *steps) core.arb().step(step).start = *start;
}

void querySequenceStart(ModuleCore& core, Call& call) {
    if (const auto step = stepArgument(call, 0)) {
        call.reply(replyWord(kSequenceStartWords, core.arb().step(*step).start));
    }
}

void setSequenceAdvance(ModuleCore& core, Call& call) {
    const auto advance = chooseWord(call, 0, kSequenceAdvanceWords);
    const auto steps = stepsArgument(call, 1);
    if (!advance || !steps) return;
    for (int step : *steps) core.arb().step(step).advance = *advance;
}

void querySequenceAdvance(ModuleCore& core, Call& call) {
    if (const auto step = stepArgument(call, 0)) {
        call.reply(replyWord(kSequenceAdvanceWords, core.arb().step(*step).advance));
    }
}

void setSequenceDwell(ModuleCore& core, Call& call) {
    const auto dwell = call.integer(0, kLimits.dwell);
    const auto steps = stepsArgument(call, 1);
    if (!dwell || !steps) return;
    for (int step : *steps) core.arb().step(step).dwell = *dwell;
}

void querySequenceDwell(ModuleCore& core, Call& call) {
    if (answeredLimit(call, kLimits.dwell, formatWhole)) return;
    if (const auto step = stepArgument(call, 0)) call.reply(formatInteger(core.arb().step(*step).dwell));
}

void setSequenceMarker(ModuleCore& core, Call& call) {
    const auto marker = call.boolean(0);
    const auto steps = stepsArgument(call, 1);
    if (!marker || !steps) return;
    for (int step : *steps) core.arb().step(step).marker = *marker;
}

void querySequenceMarker(ModuleCore& core, Call& call) {
    if (const auto step = stepArgument(call, 0)) call.reply(core.arb().step(*step).marker ? "1" : "0");
}

}  // namespace

std::vector<scpi::Command> arbSequenceCommands(ModuleCore& core) {
    const RowMaker row(core);
    return {
        row("[SOURce]:SEQuence:LENGth", takes(1), setSequenceLength),
        row("[SOURce]:SEQuence:LENGth?", takes(0, 1), querySequenceLength),
        row("[SOURce]:SEQuence:LIST", takes(1), setSequenceList),
        row("[SOURce]:SEQuence:LIST?", takes(1), querySequenceList),
        row("[SOURce]:SEQuence:STARt", takes(2), setSequenceStart),
        row("[SOURce]:SEQuence:STARt?", takes(1), querySequenceStart),
        row("[SOURce]:SEQuence:ADVance", takes(2), setSequenceAdvance),
        row("[SOURce]:SEQuence:ADVance?", takes(1), querySequenceAdvance),
        row("[SOURce]:SEQuence:DWELl", takes(2), setSequenceDwell),
        row("[SOURce]:SEQuence:DWELl?", takes(1), querySequenceDwell),
        row("[SOURce]:MARKer:TRIGger", takes(2), setSequenceMarker),
        row("[SOURce]:MARKer:TRIGger?", takes(1), querySequenceMarker),
    };
}

}  // namespace kqsim::commands
