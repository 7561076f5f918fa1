// Trigger, sample clock, timer, marker and output trigger settings, and starting and stopping the
// waveform generator (TRIGger, [SOURce]:ROSCillator, [SOURce]:TIMer, [SOURce]:MARKer:SYNC,
// OUTPut:TTLTrg, INITiate, ABORt).
#include <optional>

#include "commands/arguments.h"
#include "commands/subsystems.h"
#include "scpi/error_queue.h"
#include "scpi/number_text.h"

namespace kqsim::commands {
namespace {

namespace err = scpi::err;
using scpi::formatInteger;

constexpr WordEntry<TriggerSourceKind> kTriggerSourceWords[] = {
    {"AUTO", TriggerSourceKind::Auto, "AUTO"},
    {"EXTernal", TriggerSourceKind::External, "EXT"},
    {"EXTClock", TriggerSourceKind::ExternalClock, "EXTC"},
    {"TTLTrg#", TriggerSourceKind::TtlLine, "TTLT"},
    {"INTernal#", TriggerSourceKind::Internal, "INT "},
    {"TIMer", TriggerSourceKind::Timer, "TIM"},
    {"NONE", TriggerSourceKind::None, "NONE"},
};

constexpr WordEntry<ClockSourceKind> kClockSourceWords[] = {
    {"TTLTrg#", ClockSourceKind::TtlLine, "TTLT"},  {"INTernal", ClockSourceKind::Internal, "INT"},
    {"EXTernal", ClockSourceKind::External, "EXT"}, {"EXTClock", ClockSourceKind::ExternalClock, "EXTC"},
    {"TIMer", ClockSourceKind::Timer, "TIM"},
};

constexpr WordEntry<Slope> kSlopeWords[] = {
    {"NEGative", Slope::Negative, "NEG"},
    {"POSitive", Slope::Positive, "POS"},
};

constexpr WordEntry<OutputTriggerSource> kOutputTriggerWords[] = {
    {"NONE", OutputTriggerSource::None, "NONE"},
    {"TRIGger", OutputTriggerSource::Trigger, "TRIG"},
    {"MARKer", OutputTriggerSource::Marker, "MARK"},
};

constexpr int kTtlLines = 8;

void setTriggerSource(ModuleCore& core, Call& call) {
    int suffix = 1;
    const auto entry = chooseWord(call, 0, kTriggerSourceWords, suffix);
    if (!entry) return;
    TriggerSource source{entry->value, 0};
    if (entry->value == TriggerSourceKind::TtlLine) {
        if (suffix < 0 || suffix >= kTtlLines) return call.fail(err::illegalParameterValue);
        source.number = suffix;
    } else if (entry->value == TriggerSourceKind::Internal) {
        if (!core.validChannel(suffix)) return call.fail(err::illegalParameterValue);
        source.number = suffix;
    }
    core.setTriggerSource(source);
}

void queryTriggerSource(ModuleCore& core, Call& call) {
    const TriggerSource& source = core.settings().triggerSource;
    std::string word(replyWord(kTriggerSourceWords, source.kind));
    if (source.kind == TriggerSourceKind::TtlLine || source.kind == TriggerSourceKind::Internal) {
        word += formatInteger(source.number);
    }
    call.reply(word);
}

void setTriggerSlope(ModuleCore& core, Call& call) {
    if (const auto slope = chooseWord(call, 0, kSlopeWords)) core.setTriggerSlope(*slope);
}

void queryTriggerSlope(ModuleCore& core, Call& call) {
    call.reply(replyWord(kSlopeWords, core.settings().triggerSlope));
}

void setClockSource(ModuleCore& core, Call& call) {
    int suffix = 1;
    const auto entry = chooseWord(call, 0, kClockSourceWords, suffix);
    if (!entry) return;
    ClockSource source{entry->value, 0};
    if (entry->value == ClockSourceKind::TtlLine) {
        if (suffix < 0 || suffix >= kTtlLines) return call.fail(err::illegalParameterValue);
        source.line = suffix;
    }
    core.setClockSource(source);
}

void queryClockSource(ModuleCore& core, Call& call) {
    const ClockSource& source = core.settings().clockSource;
    std::string word(replyWord(kClockSourceWords, source.kind));
    if (source.kind == ClockSourceKind::TtlLine) word += formatInteger(source.line);
    call.reply(word);
}

void setClockSlope(ModuleCore& core, Call& call) {
    if (const auto slope = chooseWord(call, 0, kSlopeWords)) core.setClockSlope(*slope);
}

void queryClockSlope(ModuleCore& core, Call& call) {
    call.reply(replyWord(kSlopeWords, core.settings().clockSlope));
}

void setTimer(ModuleCore& core, Call& call) {
    if (const auto period = call.real(0, kLimits.timerPeriod, "S")) core.setTimerPeriod(*period);
}

void queryTimer(ModuleCore& core, Call& call) {
    if (answeredLimit(call, kLimits.timerPeriod, scpi::formatReal)) return;
    if (formTakes(call, 0)) call.reply(scpi::formatReal(core.settings().timerPeriod));
}

void setMarkerState(ModuleCore& core, Call& call) {
    if (const auto state = call.boolean(0)) core.setMarker(*state);
}

void queryMarkerState(ModuleCore& core, Call& call) { call.reply(core.settings().markerOn ? "1" : "0"); }

void setMarkerSlope(ModuleCore& core, Call& call) {
    if (const auto slope = chooseWord(call, 0, kSlopeWords)) core.setMarkerSlope(*slope);
}

void queryMarkerSlope(ModuleCore& core, Call& call) {
    call.reply(replyWord(kSlopeWords, core.settings().markerSlope));
}

// OUTP:TTLT<n> [ON]: the output trigger drives line n. OFF on the line in use stops driving it.
void setOutputTriggerLine(ModuleCore& core, Call& call) {
    const auto line = call.suffixInRange(0, kTtlLines - 1);
    const auto state = call.has(0) ? call.boolean(0) : std::optional<bool>(true);
    if (!line || !state) return;
    core.setOutputTriggerLine(*line, *state);
}

void queryOutputTriggerLine(ModuleCore& core, Call& call) {
    call.reply("TTLT" + formatInteger(core.settings().outputTriggerLine));
}

void setOutputTriggerSource(ModuleCore& core, Call& call) {
    if (const auto source = chooseWord(call, 0, kOutputTriggerWords)) core.setOutputTriggerSource(*source);
}

void queryOutputTriggerSource(ModuleCore& core, Call& call) {
    call.reply(replyWord(kOutputTriggerWords, core.settings().outputTriggerSource));
}

void initiate(ModuleCore& core, Call& call) { succeeded(call, core.initiate()); }

void abort(ModuleCore& core, Call&) { core.abort(); }

}  // namespace

std::vector<scpi::Command> triggerClockCommands(ModuleCore& core) {
    const RowMaker row(core);
    return {
        row("TRIGger[:SEQuence]:SOURce", takes(1), setTriggerSource),
        row("TRIGger[:SEQuence]:SOURce?", takes(0), queryTriggerSource),
        row("TRIGger[:SEQuence]:SLOPe", takes(1), setTriggerSlope),
        row("TRIGger[:SEQuence]:SLOPe?", takes(0), queryTriggerSlope),
        row("[SOURce]:ROSCillator:SOURce", takes(1), setClockSource),
        row("[SOURce]:ROSCillator:SOURce?", takes(0), queryClockSource),
        row("[SOURce]:ROSCillator:SLOPe", takes(1), setClockSlope),
        row("[SOURce]:ROSCillator:SLOPe?", takes(0), queryClockSlope),
        row("[SOURce]:TIMer", takes(1), setTimer),
        row("[SOURce]:TIMer?", takes(0, 1), queryTimer),
        row("[SOURce]:MARKer:SYNC:STATe", takes(1), setMarkerState),
        row("[SOURce]:MARKer:SYNC:STATe?", takes(0), queryMarkerState),
        row("[SOURce]:MARKer:SYNC:SLOPe", takes(1), setMarkerSlope),
        row("[SOURce]:MARKer:SYNC:SLOPe?", takes(0), queryMarkerSlope),
        row("OUTPut:TTLTrg:SOURce", takes(1), setOutputTriggerSource),
        row("OUTPut:TTLTrg:SOURce?", takes(0), queryOutputTriggerSource),
        row("OUTPut:TTLTrg#[:STATe]", takes(0, 1), setOutputTriggerLine),
        row("OUTPut:TTLTrg#[:STATe]?", takes(0), queryOutputTriggerLine),
        row("INITiate[:IMMediate]", takes(0), initiate),
        row("ABORt", takes(0), abort),
    };
}

}  // namespace kqsim::commands
