// The ARB set-up the segment, sequence and run panels build and the run panel loads: one record for
// the program's lifetime.
#pragma once

#include <array>
#include <string>

inline constexpr int kArbChannels = 16;
inline constexpr int kArbMaxSegments = 17;
inline constexpr int kArbMaxSteps = 16;

struct ArbSegmentEntry {
    int channel = 0;   // 1-16
    std::string path;  // waveform file, as the operator chose it
};

struct ArbSegment {
    std::array<ArbSegmentEntry, kArbChannels> entries{};
    int entryCount = 0;
    int segmentNumber = 0;  // the module's segment number, 0-4095
};

struct ArbStep {
    int segmentNumber = 0;
    int start = 0;    // 0 trigger, 1 auto
    int advance = 0;  // 0 sync, 1 async
    int marker = 0;
    int repeat = 0;
};

struct ArbDefinition {
    std::array<int, kArbChannels> channelEnabled{};  // channel i+1 plays in entry i
    std::array<ArbSegment, kArbMaxSegments> segments{};
    int segmentCount = 0;
    // One spare entry beyond the 16 steps the sequence panel allows.
    std::array<ArbStep, kArbMaxSteps + 1> steps{};
    int stepCount = 0;
    int dataFormat = 0;
    int markerState = 0;
    int markerSlope = 0;
};

ArbDefinition& arbDefinition();

// Forgets the whole set-up.
void InitializeArbDefinitions();
