// Waveform memory of the arbitrary waveform generator: numbered segments, each with one size and one
// array of DAC codes per channel, drawn from a fixed pool of points, and the sequence of steps that
// plays them. Operations return 0 or the SCPI error number that refuses them.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <map>
#include <span>
#include <vector>

#include "kqsim/kq_module_types.h"

namespace kqsim {

class ArbMemory {
public:
    std::size_t capacity() const { return kWaveformMemoryPoints; }
    std::size_t used() const { return used_; }
    std::size_t available() const { return capacity() - used_; }

    bool defined(int segment) const { return segments_.contains(segment); }
    // Points of a segment; 0 for one not defined.
    std::size_t size(int segment) const;

    // Creates a segment of `points` points at 0 V, or gives an existing one that size (the samples
    // that still fit are kept).
    int define(int segment, std::size_t points);
    // Changes the size of an existing segment.
    int resize(int segment, std::size_t points);
    void removeAll();

    // Writes codes from point `start` on, creating the segment or growing it to take them all.
    // Nothing is written when the memory cannot take them (-225).
    int write(int segment, int channel, std::size_t start, std::span<const std::uint16_t> codes);
    // One point of an existing segment.
    int setPoint(int segment, int channel, std::size_t offset, std::uint16_t code);
    std::uint16_t point(int segment, int channel, std::size_t offset) const;
    // All points of one channel; empty for a segment not defined.
    std::vector<std::uint16_t> channelData(int segment, int channel) const;
    // Copies a channel of one segment into a channel of another, creating the destination with the
    // source's size when it does not exist; points beyond the shorter of the two are left alone.
    int copy(int destinationSegment, int destinationChannel, int sourceSegment, int sourceChannel);

    // The sequence: step i plays segment sequence()[i]; every step has its parameters.
    const std::vector<int>& sequence() const { return sequence_; }
    void setSequence(std::vector<int> segments) { sequence_ = std::move(segments); }
    // New steps play segment 0.
    void setSequenceLength(std::size_t steps) { sequence_.resize(steps, 0); }
    SequenceStep& step(int index) { return steps_[static_cast<std::size_t>(index)]; }
    const SequenceStep& step(int index) const { return steps_[static_cast<std::size_t>(index)]; }

private:
    // A channel's array may be shorter than the segment; the points beyond it are at 0 V.
    struct Segment {
        std::size_t size = 0;
        std::array<std::vector<std::uint16_t>, kMaxChannels> channels;
    };
    int reserve(int segment, std::size_t points);  // creates or resizes, checking the pool

    std::map<int, Segment> segments_;
    std::size_t used_ = 0;
    std::vector<int> sequence_;
    std::array<SequenceStep, kSequenceSteps> steps_{};
};

}  // namespace kqsim
