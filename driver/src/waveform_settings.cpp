// Settings of ARB and FIFO output: sample clock, timer, marker, output trigger line and the data
// format of DAC codes.
#include <array>
#include <string>
#include <string_view>

#include "c_boundary.h"
#include "formatted_query.h"
#include "kq7120.h"
#include "number_text.h"
#include "status_check.h"
#include "transport.h"
#include "visa_binding.h"

namespace kq7120 {
namespace {

// Indexed by clock source code.
constexpr std::array<std::string_view, kq7120_MAX_CLOCK_SOURCES> kClockSourceWords = {
    "TTLT0", "TTLT1", "TTLT2", "TTLT3", "TTLT4", "TTLT5", "TTLT6", "TTLT7", "INT", "EXT", "EXTC", "TIM",
};

static_assert(kClockSourceWords[kq7120_ROSC_TTLTRG0] == "TTLT0" &&
              kClockSourceWords[kq7120_ROSC_TTLTRG7] == "TTLT7" &&
              kClockSourceWords[kq7120_ROSC_INTERNAL] == "INT" &&
              kClockSourceWords[kq7120_ROSC_EXT] == "EXT" &&
              kClockSourceWords[kq7120_ROSC_EXTCLK] == "EXTC" &&
              kClockSourceWords[kq7120_ROSC_TIMER] == "TIM");

// Indexed by slope code.
constexpr std::array<std::string_view, 2> kSlopeWords = {"NEG", "POS"};
static_assert(kSlopeWords[kq7120_NEGATIVE] == "NEG" && kSlopeWords[kq7120_POSITIVE] == "POS");

// Indexed by marker state.
constexpr std::array<std::string_view, 2> kMarkerStateWords = {"OFF", "ON"};
static_assert(kMarkerStateWords[kq7120_OFF] == "OFF" && kMarkerStateWords[kq7120_ON] == "ON");

// Indexed by output trigger source code.
constexpr std::array<std::string_view, 3> kOutputTriggerWords = {"NONE", "TRIG", "MARK"};
static_assert(kOutputTriggerWords[kq7120_OUT_TRIG_NONE] == "NONE" &&
              kOutputTriggerWords[kq7120_OUT_TRIG_TRIGGER] == "TRIG" &&
              kOutputTriggerWords[kq7120_OUT_TRIG_MARKER] == "MARK");

// "outp:ttlt?" answers the line as "TTLT<n>".
constexpr std::string_view kTriggerLinePrefix = "TTLT";

// The timer period as "%4.7f": seven decimals, at least four characters (only "nan" and "inf" need
// the padding).
std::string timerText(ViReal64 period) {
    constexpr std::size_t kWidth = 4;
    std::string text = fixedText(period, 7);
    if (text.size() < kWidth) text.insert(0, kWidth - text.size(), ' ');
    return text;
}

ViStatus checkSlope(ViUInt16 slope, ViStatus code) { return slope < kSlopeWords.size() ? VI_SUCCESS : code; }

}  // namespace
}  // namespace kq7120

using namespace kq7120;

ViStatus kq7120_setupClock(ViSession instHndl, ViInt16 clockSource, ViUInt16 slope) {
    return guardedCall([&]() -> ViStatus {
        if (const ViStatus status = kq7120_invalidIntegerRange(clockSource, kq7120_ROSC_TTLTRG0,
                                                               kq7120_ROSC_TIMER, VI_ERROR_PARAMETER2);
            failed(status)) {
            return status;
        }
        if (const ViStatus status = checkSlope(slope, VI_ERROR_PARAMETER3); failed(status)) return status;
        return commandWithCheck(
            instHndl, "ROSC:SOUR " + std::string(kClockSourceWords[static_cast<std::size_t>(clockSource)]) +
                          ";SLOP " + std::string(kSlopeWords[slope]));
    });
}

ViStatus kq7120_setupMarker(ViSession instHndl, ViUInt16 markerState, ViUInt16 slope) {
    return guardedCall([&]() -> ViStatus {
        if (markerState >= kMarkerStateWords.size()) return VI_ERROR_PARAMETER2;
        if (const ViStatus status = checkSlope(slope, VI_ERROR_PARAMETER3); failed(status)) return status;
        return commandWithCheck(instHndl, "MARK:SYNC:STAT " + std::string(kMarkerStateWords[markerState]) +
                                              ";SLOP " + std::string(kSlopeWords[slope]));
    });
}

ViStatus kq7120_setupTimer(ViSession instHndl, ViReal64 period) {
    return guardedCall([&] { return commandWithCheck(instHndl, "tim " + timerText(period)); });
}

ViStatus kq7120_setupDataFormat(ViSession instHndl, ViInt16 dataFormat) {
    return guardedCall([&] { return commandWithCheck(instHndl, "VOLT:FORM " + decimalText(dataFormat)); });
}

ViStatus kq7120_setupOutput(ViSession instHndl, ViInt16 trigSource, ViInt16 trigline, ViUInt16 markerSlope) {
    return guardedCall([&]() -> ViStatus {
        if (const ViStatus status = kq7120_invalidIntegerRange(trigSource, kq7120_OUT_TRIG_NONE,
                                                               kq7120_OUT_TRIG_MARKER, VI_ERROR_PARAMETER2);
            failed(status)) {
            return status;
        }
        if (const ViStatus status =
                kq7120_invalidIntegerRange(trigline, kq7120_TRIGOUT0, kq7120_TRIGOUT7, VI_ERROR_PARAMETER3);
            failed(status)) {
            return status;
        }
        if (const ViStatus status = checkSlope(markerSlope, VI_ERROR_PARAMETER4); failed(status))
            return status;
        const std::string source(kOutputTriggerWords[static_cast<std::size_t>(trigSource)]);
        const std::string slope(kSlopeWords[markerSlope]);
        ViStatus status = visa::formattedWrite(instHndl, "outp:ttlt:sour %s\n", source.c_str());
        if (failed(status)) return status;
        status = visa::formattedWrite(instHndl, "mark:sync:slop %s\n", slope.c_str());
        if (failed(status)) return status;
        return visa::formattedWrite(instHndl, "outp:ttlt%d\n", static_cast<int>(trigline));
    });
}

ViStatus kq7120_queryClockParms(ViSession instHndl, ViInt16* clockSource, ViUInt16* slope) {
    return guardedCall([&]() -> ViStatus {
        if (!clockSource) return VI_ERROR_PARAMETER2;
        if (!slope) return VI_ERROR_PARAMETER3;
        if (const ViStatus status = queryWordCode(instHndl, "rosc:sour?", kq7120_READ_BUFF_SIZE,
                                                  kClockSourceWords, WordExtent::WholeReply, *clockSource);
            failed(status)) {
            return status;
        }
        return queryWordCode(instHndl, "rosc:slop?", kq7120_READ_BUFF_SIZE, kSlopeWords,
                             WordExtent::WholeReply, *slope);
    });
}

ViStatus kq7120_queryMarkerParms(ViSession instHndl, ViInt16* markerState, ViUInt16* slope) {
    return guardedCall([&]() -> ViStatus {
        if (!markerState) return VI_ERROR_PARAMETER2;
        if (!slope) return VI_ERROR_PARAMETER3;
        if (const ViStatus status =
                queryInteger(instHndl, "MARK:SYNC:STAT?", kq7120_READ_BUFF_SIZE, *markerState);
            failed(status)) {
            return status;
        }
        return queryWordCode(instHndl, "MARK:SYNC:slop?", kq7120_READ_BUFF_SIZE, kSlopeWords,
                             WordExtent::WholeReply, *slope);
    });
}

ViStatus kq7120_queryTimer(ViSession instHndl, ViReal64* timerValue) {
    return guardedCall([&]() -> ViStatus {
        if (!timerValue) return VI_ERROR_PARAMETER2;
        return queryFormattedNumber<ViReal64>(instHndl, "tim?\n", "%lg%*t", *timerValue);
    });
}

ViStatus kq7120_queryDataFormat(ViSession instHndl, ViInt16* format) {
    return guardedCall([&]() -> ViStatus {
        if (!format) return VI_ERROR_PARAMETER2;
        return queryInteger(instHndl, "VOLT:FORM ?", kq7120_READ_BUFF_SIZE, *format);
    });
}

ViStatus kq7120_queryOutput(ViSession instHndl, ViInt16* source, ViInt16* trigline, ViUInt16* slope) {
    return guardedCall([&]() -> ViStatus {
        if (instHndl == 0) return VI_ERROR_PARAMETER1;
        if (!source) return VI_ERROR_PARAMETER2;
        if (!trigline) return VI_ERROR_PARAMETER3;
        if (!slope) return VI_ERROR_PARAMETER4;
        ViStatus status = queryFormattedWordCode(instHndl, "outp:ttlt:sour?\n", kOutputTriggerWords, *source);
        if (failed(status)) return status;
        status = queryFormattedWordCode(instHndl, "mark:sync:slop?\n", kSlopeWords, *slope);
        if (failed(status)) return status;
        std::string word;
        status = queryWord(instHndl, "outp:ttlt?\n", word);
        if (failed(status)) return status;
        // The line number follows the prefix; a reply without one names no line.
        const std::string_view reply(word);
        const bool namesLine =
            reply.starts_with(kTriggerLinePrefix) && reply.size() > kTriggerLinePrefix.size() &&
            reply[kTriggerLinePrefix.size()] >= '0' && reply[kTriggerLinePrefix.size()] <= '9';
        if (!namesLine) return VI_ERROR_INV_RESPONSE;
        *trigline = static_cast<ViInt16>(leadingInteger(reply.substr(kTriggerLinePrefix.size())));
        return status;
    });
}
