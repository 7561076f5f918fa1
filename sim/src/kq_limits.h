// The limits of the KQ module's numeric parameters: what MINimum and MAXimum stand for in each, and
// DEFault where the setting has one (its reset or power-on value).
#pragma once

#include "dac_code.h"
#include "kqsim/kq_module_types.h"
#include "module_settings.h"
#include "scpi/parameters.h"

namespace kqsim {

struct NumericLimits {
    scpi::NumericRange outputRange;     // volts full scale (VOLT:RANG 10V)
    scpi::NumericRange dataFormat;      // 0 signed, 1 unsigned
    scpi::NumericRange memoryArray;     // index
    scpi::NumericRange scanEntry;       // table index, and the count of a table query
    scpi::NumericRange scanLimit;       // last table entry played
    scpi::NumericRange timerPeriod;     // seconds
    scpi::NumericRange segment;         // ARB segment number
    scpi::NumericRange segmentPoints;   // points of a segment
    scpi::NumericRange pointOffset;     // a point of a segment
    scpi::NumericRange sampleWord;      // a data point, signed or as the word itself
    scpi::NumericRange sequenceLength;  // steps
    scpi::NumericRange sequenceStep;    // step number
    scpi::NumericRange dwell;           // passes through a step's segment; 0 for ever
    scpi::NumericRange calibrationConstant;
};

inline constexpr NumericLimits kNumericLimits{
    .outputRange = {10.0, 20.0, 20.0},
    .dataFormat = {0, 1, 1},
    .memoryArray = {1, kMemoryArrays, std::nullopt},
    .scanEntry = {1, kScanTableEntries, std::nullopt},
    .scanLimit = {1, kScanTableEntries, kScanTableEntries},
    .timerPeriod = {kMinTimerPeriod, kMaxTimerPeriod, kResetTimerPeriod},
    .segment = {0, kSegmentCount - 1, std::nullopt},
    .segmentPoints = {1, static_cast<double>(kWaveformMemoryPoints), std::nullopt},
    .pointOffset = {0, static_cast<double>(kWaveformMemoryPoints) - 1, std::nullopt},
    .sampleWord = {-32768, 65535, std::nullopt},
    .sequenceLength = {0, kSequenceSteps, std::nullopt},
    .sequenceStep = {0, kSequenceSteps - 1, std::nullopt},
    .dwell = {0, static_cast<double>(kMaxDwell), 1},
    .calibrationConstant = {-128, 127, std::nullopt},
};

// A DC level on a channel in `range`: from -full scale to the top code, 0 V by default.
inline scpi::NumericRange dcVoltageLimits(OutputRange range) {
    const double fullScale = rangeScale(range).fullScale;
    return {-fullScale, fullScale - codeStep(range), 0.0};
}

// Scan table entries and memory array values, kept as sent within the 20 V range's span.
inline scpi::NumericRange storedVoltageLimits() { return dcVoltageLimits(OutputRange::Volts20); }

}  // namespace kqsim
