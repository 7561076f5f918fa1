// The module's one trigger source and its active edge.
#include <array>
#include <string>
#include <string_view>

#include "c_boundary.h"
#include "code_table.h"
#include "kq7120.h"
#include "model_table.h"
#include "reply_text.h"
#include "status_check.h"
#include "transport.h"

namespace kq7120 {
namespace {

constexpr std::size_t kTriggerReplyLimit = 100;

struct TriggerSource {
    ViInt16 code;
    std::string_view word;  // as sent after "TRIG:SOUR "
    bool hasSlope;          // the external input and the TTL trigger lines carry an edge
};

// Indexed by code - kq7120_TRIG_SRC_AUTO.
constexpr std::array<TriggerSource, 29> kTriggerSources = {{
    {kq7120_TRIG_SRC_AUTO, "AUTO", false},      {kq7120_TRIG_SRC_EXT, "EXT", true},
    {kq7120_TRIG_SRC_TTLTRG0, "TTLT0", true},   {kq7120_TRIG_SRC_TTLTRG1, "TTLT1", true},
    {kq7120_TRIG_SRC_TTLTRG2, "TTLT2", true},   {kq7120_TRIG_SRC_TTLTRG3, "TTLT3", true},
    {kq7120_TRIG_SRC_TTLTRG4, "TTLT4", true},   {kq7120_TRIG_SRC_TTLTRG5, "TTLT5", true},
    {kq7120_TRIG_SRC_TTLTRG6, "TTLT6", true},   {kq7120_TRIG_SRC_TTLTRG7, "TTLT7", true},
    {kq7120_TRIG_SRC_INT_CH1, "INT1", false},   {kq7120_TRIG_SRC_INT_CH2, "INT2", false},
    {kq7120_TRIG_SRC_INT_CH3, "INT3", false},   {kq7120_TRIG_SRC_INT_CH4, "INT4", false},
    {kq7120_TRIG_SRC_INT_CH5, "INT5", false},   {kq7120_TRIG_SRC_INT_CH6, "INT6", false},
    {kq7120_TRIG_SRC_INT_CH7, "INT7", false},   {kq7120_TRIG_SRC_INT_CH8, "INT8", false},
    {kq7120_TRIG_SRC_INT_CH9, "INT9", false},   {kq7120_TRIG_SRC_INT_CH10, "INT10", false},
    {kq7120_TRIG_SRC_INT_CH11, "INT11", false}, {kq7120_TRIG_SRC_INT_CH12, "INT12", false},
    {kq7120_TRIG_SRC_INT_CH13, "INT13", false}, {kq7120_TRIG_SRC_INT_CH14, "INT14", false},
    {kq7120_TRIG_SRC_INT_CH15, "INT15", false}, {kq7120_TRIG_SRC_INT_CH16, "INT16", false},
    {kq7120_TRIG_SRC_TIMER, "TIM", false},      {kq7120_TRIG_SRC_EXTCLK, "EXTC", false},
    {kq7120_TRIG_SRC_NONE, "NONE", false},
}};
static_assert(rowsFollowCodes(kTriggerSources, &TriggerSource::code, kq7120_TRIG_SRC_AUTO));

struct ReplyWord {
    std::string_view text;
    ViInt16 code;
};

// Searched for in this order, anywhere in the reply and without regard to case: a word that is the
// start of another ("EXT" of "EXTC", "INT 1" of "INT 12") comes after it.
constexpr std::array<ReplyWord, 29> kTriggerReplyWords = {{
    {"AUTO", kq7120_TRIG_SRC_AUTO},       {"EXTC", kq7120_TRIG_SRC_EXTCLK},
    {"EXT", kq7120_TRIG_SRC_EXT},         {"TTLT0", kq7120_TRIG_SRC_TTLTRG0},
    {"TTLT1", kq7120_TRIG_SRC_TTLTRG1},   {"TTLT2", kq7120_TRIG_SRC_TTLTRG2},
    {"TTLT3", kq7120_TRIG_SRC_TTLTRG3},   {"TTLT4", kq7120_TRIG_SRC_TTLTRG4},
    {"TTLT5", kq7120_TRIG_SRC_TTLTRG5},   {"TTLT6", kq7120_TRIG_SRC_TTLTRG6},
    {"TTLT7", kq7120_TRIG_SRC_TTLTRG7},   {"INT 10", kq7120_TRIG_SRC_INT_CH10},
    {"INT 11", kq7120_TRIG_SRC_INT_CH11}, {"INT 12", kq7120_TRIG_SRC_INT_CH12},
    {"INT 13", kq7120_TRIG_SRC_INT_CH13}, {"INT 14", kq7120_TRIG_SRC_INT_CH14},
    {"INT 15", kq7120_TRIG_SRC_INT_CH15}, {"INT 16", kq7120_TRIG_SRC_INT_CH16},
    {"INT 1", kq7120_TRIG_SRC_INT_CH1},   {"INT 2", kq7120_TRIG_SRC_INT_CH2},
    {"INT 3", kq7120_TRIG_SRC_INT_CH3},   {"INT 4", kq7120_TRIG_SRC_INT_CH4},
    {"INT 5", kq7120_TRIG_SRC_INT_CH5},   {"INT 6", kq7120_TRIG_SRC_INT_CH6},
    {"INT 7", kq7120_TRIG_SRC_INT_CH7},   {"INT 8", kq7120_TRIG_SRC_INT_CH8},
    {"INT 9", kq7120_TRIG_SRC_INT_CH9},   {"NONE", kq7120_TRIG_SRC_NONE},
    {"TIM", kq7120_TRIG_SRC_TIMER},
}};

struct SlopeWord {
    ViUInt16 code;
    std::string_view word;
};

// Indexed by slope code; the read-back looks for "POS" first.
constexpr std::array<SlopeWord, 2> kSlopes = {{
    {kq7120_SLOPE_NEGATIVE, "NEG"},
    {kq7120_SLOPE_POSITIVE, "POS"},
}};
static_assert(rowsFollowCodes(kSlopes, &SlopeWord::code));

bool isInternalChannelSource(ViInt16 code) {
    return code >= kq7120_TRIG_SRC_INT_CH1 && code <= kq7120_TRIG_SRC_INT_CH16;
}

}  // namespace
}  // namespace kq7120

using namespace kq7120;

ViStatus kq7120_configTriggerParams(ViSession instHndl, ViInt16 trigSour, ViUInt16 slope) {
    return guardedCall([&]() -> ViStatus {
        if (const ViStatus status = kq7120_invalidIntegerRange(trigSour, kq7120_TRIG_SRC_AUTO,
                                                               kq7120_TRIG_SRC_NONE, VI_ERROR_PARAMETER2);
            failed(status)) {
            return status;
        }
        ViInt16 model = 0;
        if (const ViStatus status = getModelNum(instHndl, &model); failed(status)) return status;
        if (isInternalChannelSource(trigSour)) {
            const ViInt16 highestSource =
                static_cast<ViInt16>(kq7120_TRIG_SRC_INT_CH1 + channelCountOf(model) - 1);
            if (const ViStatus status = kq7120_invalidIntegerRange(trigSour, kq7120_TRIG_SRC_INT_CH1,
                                                                   highestSource, VI_ERROR_PARAMETER2);
                failed(status)) {
                return status;
            }
        }
        const auto& source = kTriggerSources[static_cast<std::size_t>(trigSour - kq7120_TRIG_SRC_AUTO)];
        if (const ViStatus status =
                kq7120_invalidIntegerRange(static_cast<ViInt16>(slope), kq7120_SLOPE_NEGATIVE,
                                           kq7120_SLOPE_POSITIVE, VI_ERROR_PARAMETER3);
            failed(status)) {
            return status;
        }
        std::string command = "TRIG:SOUR " + std::string(source.word);
        if (source.hasSlope) command += ";SLOP " + std::string(kSlopes[slope].word);
        return commandWithCheck(instHndl, command);
    });
}

ViStatus kq7120_queryTriggerParams(ViSession instHndl, ViInt16* trigSour, ViUInt16* slope) {
    return guardedCall([&]() -> ViStatus {
        if (!trigSour) return VI_ERROR_PARAMETER2;
        if (!slope) return VI_ERROR_PARAMETER3;
        std::string reply;
        if (const ViStatus status = queryWithCheck(instHndl, "TRIG:SOUR?", kTriggerReplyLimit, reply);
            failed(status))
            return status;
        // A reply naming no known source leaves *trigSour as the caller set it.
        for (const auto& word : kTriggerReplyWords) {
            if (containsIgnoringCase(reply, word.text)) {
                *trigSour = word.code;
                break;
            }
        }
        if (const ViStatus status = queryWithCheck(instHndl, "TRIG:SLOP?", kTriggerReplyLimit, reply);
            failed(status))
            return status;
        if (reply.find(kSlopes[kq7120_SLOPE_POSITIVE].word) != std::string::npos) {
            *slope = kq7120_SLOPE_POSITIVE;
        } else if (reply.find(kSlopes[kq7120_SLOPE_NEGATIVE].word) != std::string::npos) {
            *slope = kq7120_SLOPE_NEGATIVE;
        }
        return VI_SUCCESS;
    });
}
