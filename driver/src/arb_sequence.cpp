// The ARB sequence: which segment each step plays, and each step's start, advance, repeat count and
// marker.
#include <array>
#include <span>
#include <string>
#include <string_view>

#include "c_boundary.h"
#include "formatted_query.h"
#include "kq7120.h"
#include "number_text.h"
#include "status_check.h"
#include "transport.h"

namespace kq7120 {
namespace {

constexpr ViInt16 kLongestSequence = kq7120_MAX_SEQUENCE + 1;

// Indexed by code.
constexpr std::array<std::string_view, 2> kStartWords = {"TRIG", "AUTO"};
constexpr std::array<std::string_view, 2> kAdvanceWords = {"SYNC", "ASYNC"};
constexpr std::array<std::string_view, 2> kMarkerWords = {"OFF", "ON"};
static_assert(kStartWords[kq7120_SEQ_TRIG_START] == "TRIG" && kStartWords[kq7120_SEQ_AUTO_START] == "AUTO");
static_assert(kAdvanceWords[kq7120_SEQ_SYNC_ADVANCE] == "SYNC" &&
              kAdvanceWords[kq7120_SEQ_ASYNC_ADVANCE] == "ASYNC");
static_assert(kMarkerWords[kq7120_SEQ_MARKER_OFF] == "OFF" && kMarkerWords[kq7120_SEQ_MARKER_ON] == "ON");

// A two-word table's code: 0 or 1.
ViStatus checkWordCode(ViInt16 code, ViStatus failure) {
    return kq7120_invalidIntegerRange(code, 0, 1, failure);
}

// The four step commands, each with its error check, up to the first failure. The codes are checked.
ViStatus sendStepParameters(ViSession instHndl, ViInt16 step, ViInt16 start, ViInt16 advance, ViInt32 repeat,
                            ViInt16 marker) {
    const std::string target = ",(@" + decimalText(step) + ")";
    const std::array<std::string, 4> commands = {
        "seq:star " + std::string(kStartWords[static_cast<std::size_t>(start)]) + target,
        "seq:adv " + std::string(kAdvanceWords[static_cast<std::size_t>(advance)]) + target,
        "seq:dwel " + decimalText(repeat) + target,
        "sour:mark:trig " + std::string(kMarkerWords[static_cast<std::size_t>(marker)]) + target,
    };
    for (const std::string& command : commands) {
        if (const ViStatus status = commandWithCheck(instHndl, command); failed(status)) return status;
    }
    return VI_SUCCESS;
}

}  // namespace
}  // namespace kq7120

using namespace kq7120;

ViStatus kq7120_arbResizeSequence(ViSession instHndl, ViInt16 listSize) {
    return guardedCall([&] { return commandWithCheck(instHndl, "seq:leng " + decimalText(listSize)); });
}

ViStatus kq7120_arbDefineSequence(ViSession instHndl, const ViInt16 sequenceList[], ViInt16 numOfSegments) {
    return guardedCall([&]() -> ViStatus {
        if (!sequenceList) return VI_ERROR_PARAMETER2;
        if (const ViStatus status =
                kq7120_invalidIntegerRange(numOfSegments, 1, kLongestSequence, VI_ERROR_PARAMETER3);
            failed(status)) {
            return status;
        }
        std::string command = "seq:list (@";
        for (const ViInt16 segment : std::span(sequenceList, static_cast<std::size_t>(numOfSegments))) {
            command += decimalText(segment);
            command += ',';
        }
        command.back() = ')';
        return commandWithCheck(instHndl, command);
    });
}

ViStatus kq7120_arbSetSeqParms(ViSession instHndl, ViInt16 seqIndex, ViInt16 seqStart, ViInt16 seqAdvance,
                               ViInt16 seqRepeat, ViInt16 seqMarker) {
    return guardedCall([&]() -> ViStatus {
        // Index and repeat count are the module's to judge; the codes choose words and must name one.
        if (const ViStatus status = checkWordCode(seqStart, VI_ERROR_PARAMETER3); failed(status))
            return status;
        if (const ViStatus status = checkWordCode(seqAdvance, VI_ERROR_PARAMETER4); failed(status))
            return status;
        if (const ViStatus status = checkWordCode(seqMarker, VI_ERROR_PARAMETER6); failed(status))
            return status;
        return sendStepParameters(instHndl, seqIndex, seqStart, seqAdvance, seqRepeat, seqMarker);
    });
}

ViStatus kq7120_arbSetSeqParmsEx(ViSession instHndl, ViInt16 seqIndex, ViInt16 seqStart, ViInt16 seqAdvance,
                                 ViInt32 seqRepeat, ViInt16 seqMarker) {
    return guardedCall([&]() -> ViStatus {
        if (const ViStatus status = kq7120_invalidIntegerRange(seqIndex, kq7120_MIN_SEQUENCE,
                                                               kq7120_MAX_SEQUENCE, VI_ERROR_PARAMETER2);
            failed(status)) {
            return status;
        }
        if (const ViStatus status = checkWordCode(seqStart, VI_ERROR_PARAMETER3); failed(status))
            return status;
        if (const ViStatus status = checkWordCode(seqAdvance, VI_ERROR_PARAMETER4); failed(status))
            return status;
        if (const ViStatus status = kq7120_invalidLongIntRange(seqRepeat, kq7120_SEQ_REPEAT_MIN,
                                                               kq7120_SEQ_REPEAT_MAX, VI_ERROR_PARAMETER5);
            failed(status)) {
            return status;
        }
        if (const ViStatus status = checkWordCode(seqMarker, VI_ERROR_PARAMETER6); failed(status))
            return status;
        return sendStepParameters(instHndl, seqIndex, seqStart, seqAdvance, seqRepeat, seqMarker);
    });
}

ViStatus kq7120_arbQuerySeqParms(ViSession instHndl, ViInt16 sequenceNumber, ViInt16* segmentNumber,
                                 ViInt32* repeatCount, ViInt16* start, ViInt16* advance, ViInt16* marker) {
    return guardedCall([&]() -> ViStatus {
        if (const ViStatus status = kq7120_invalidIntegerRange(sequenceNumber, kq7120_MIN_SEQUENCE,
                                                               kq7120_MAX_SEQUENCE, VI_ERROR_PARAMETER2);
            failed(status)) {
            return status;
        }
        // The outputs keep the codes this function has always given them, one less than their position.
        if (!segmentNumber) return VI_ERROR_PARAMETER2;
        if (!repeatCount) return VI_ERROR_PARAMETER3;
        if (!start) return VI_ERROR_PARAMETER4;
        if (!advance) return VI_ERROR_PARAMETER5;
        if (!marker) return VI_ERROR_PARAMETER6;
        const int step = sequenceNumber;
        ViStatus status =
            queryFormattedNumber<int>(instHndl, "seq:list? %d\n", "%d%*t", *segmentNumber, step);
        if (failed(status)) return status;
        status = queryFormattedNumber<ViInt32>(instHndl, "seq:dwel? %d\n", "%ld%*t", *repeatCount, step);
        if (failed(status)) return status;
        status = queryFormattedWordCode(instHndl, "seq:star? %d\n", kStartWords, *start, step);
        if (failed(status)) return status;
        status = queryFormattedWordCode(instHndl, "seq:adv? %d\n", kAdvanceWords, *advance, step);
        if (failed(status)) return status;
        return queryFormattedNumber<int>(instHndl, "mark:trig? %d\n", "%d%*t", *marker, step);
    });
}
