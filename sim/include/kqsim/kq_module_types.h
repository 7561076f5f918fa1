// Settings and limits of the simulated KQ7120/KQ7110 DAC module, as its C++ accessors report them.
#pragma once

#include <cstddef>
#include <cstdint>

#include "kqsim/sim_clock.h"

namespace kqsim {

inline constexpr int kKq7120Channels = 16;
inline constexpr int kKq7110Channels = 8;
inline constexpr int kMaxChannels = kKq7120Channels;

inline constexpr int kScanTableEntries = 512;
inline constexpr int kMemoryArrays = 512;
inline constexpr int kSegmentCount = 4096;   // segments 0-4095
inline constexpr int kSequenceSteps = 4096;  // steps 0-4095
inline constexpr long kMaxDwell = 1048575;   // repeat count of a sequence step; 0 = continuous
// Waveform memory: every segment takes its size in points from one pool; all channels of a segment
// share its size, so the pool is counted in segment points.
inline constexpr std::size_t kWaveformMemoryPoints = 512 * 1024;
// Deep enough for a controller that writes one block of 256K words before it starts the FIFO.
inline constexpr std::size_t kFifoDepthWords = 262144;
// Sample clock "INT": the internal oscillator, 100 kHz (the timer's fastest rate).
inline constexpr SimClock::duration kInternalSamplePeriod = std::chrono::microseconds(10);
// Recent output samples kept per channel.
inline constexpr std::size_t kOutputHistoryLength = 4096;
inline constexpr int kCalibrationConstants = 64;  // 32 gain, then 32 zero
inline constexpr std::size_t kSecurityCodeMaxLength = 12;

// DAC codes are kept as the converter takes them: offset binary, 0x0000 = -full scale,
// 0x8000 = 0 V, 0xFFFF = one step below +full scale.
inline constexpr std::uint16_t kZeroVoltsCode = 0x8000;

enum class OutputRange { Volts20, Volts10 };
enum class ScanMode { Off, On, Loop, Arb, Fifo };
enum class DataFormat { Signed, Unsigned };  // how 16-bit words from the controller are read
enum class Slope { Negative, Positive };

enum class TriggerSourceKind { Auto, External, TtlLine, Internal, Timer, ExternalClock, None };
struct TriggerSource {
    TriggerSourceKind kind = TriggerSourceKind::Auto;
    int number = 0;  // TTL line 0-7, or internal channel 1-16
    friend bool operator==(const TriggerSource&, const TriggerSource&) = default;
};

enum class ClockSourceKind { TtlLine, Internal, External, ExternalClock, Timer };
struct ClockSource {
    ClockSourceKind kind = ClockSourceKind::Internal;
    int line = 0;  // TTL line 0-7
    friend bool operator==(const ClockSource&, const ClockSource&) = default;
};

enum class OutputTriggerSource { None, Trigger, Marker };

enum class SequenceStart { Trigger, Auto };
enum class SequenceAdvance { Sync, Async };

struct SequenceStep {
    SequenceStart start = SequenceStart::Auto;
    SequenceAdvance advance = SequenceAdvance::Async;
    long dwell = 1;
    bool marker = false;
    friend bool operator==(const SequenceStep&, const SequenceStep&) = default;
};

// What the waveform generator is doing.
enum class RunState { Idle, ArbRunning, FifoRunning };

// A value a channel's DAC took, and when.
struct OutputSample {
    SimClock::time_point time;
    double volts = 0.0;
    friend bool operator==(const OutputSample&, const OutputSample&) = default;
};

}  // namespace kqsim
