// The programmed settings of a KQ module: what the controller has set and can read back. What the
// outputs actually do with them lives in Playback.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "kqsim/kq_module_types.h"

namespace kqsim {

using ChannelVoltages = std::array<double, kMaxChannels>;

struct ChannelSettings {
    std::uint16_t dcCode = kZeroVoltsCode;
    OutputRange range = OutputRange::Volts20;
    ScanMode scanMode = ScanMode::Off;
    int scanLimit = kScanTableEntries;
    std::array<double, kScanTableEntries> scanTable{};  // volts, entry 1 first
};

inline constexpr double kResetTimerPeriod = 0.01;
inline constexpr double kMinTimerPeriod = 0.00001;
inline constexpr double kMaxTimerPeriod = 429.49;

struct ModuleSettings {
    std::array<ChannelSettings, kMaxChannels> channels{};
    TriggerSource triggerSource{TriggerSourceKind::Auto, 0};
    Slope triggerSlope = Slope::Positive;
    ClockSource clockSource{ClockSourceKind::Internal, 0};
    Slope clockSlope = Slope::Positive;
    double timerPeriod = kResetTimerPeriod;
    bool markerOn = false;
    Slope markerSlope = Slope::Positive;
    OutputTriggerSource outputTriggerSource = OutputTriggerSource::None;
    int outputTriggerLine = 0;
    DataFormat dataFormat = DataFormat::Unsigned;
    std::vector<ChannelVoltages> memoryArrays = std::vector<ChannelVoltages>(kMemoryArrays);  // array 1 first

    // *RST: every setting back to its reset value. Stored data (scan tables, memory arrays) is kept,
    // as the module keeps its waveform memory.
    void reset();
};

}  // namespace kqsim
