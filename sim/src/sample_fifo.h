// The FIFO that streams samples to the outputs in FIFO mode: a fixed-depth queue of DAC codes with
// the status word the controller reads from the module's registers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "kqsim/kq_module_types.h"

namespace kqsim {

// Bits of the FIFO status word.
inline constexpr std::uint16_t kFifoFullBit = 0x8000;
inline constexpr std::uint16_t kFifoEmptyBit = 0x4000;
inline constexpr std::uint16_t kFifoUnderrunBit = 0x2000;

class SampleFifo {
public:
    explicit SampleFifo(std::size_t depth = kFifoDepthWords);

    std::size_t depth() const { return ring_.size(); }
    std::size_t fill() const { return fill_; }
    bool full() const { return fill_ == ring_.size(); }
    bool empty() const { return fill_ == 0; }

    // Takes codes until the FIFO is full; returns how many it took.
    std::size_t push(std::span<const std::uint16_t> codes);
    // The oldest frame.size() codes, taken out; false (and nothing taken) when fewer are queued.
    bool popFrame(std::span<std::uint16_t> frame);
    // Discards the oldest `count` codes (all when fewer are queued).
    void drop(std::size_t count);
    // Empties the FIFO and forgets an underrun.
    void clear();

    // Playback records that the FIFO ran dry while generating.
    void markUnderrun() { underrun_ = true; }
    bool underrun() const { return underrun_; }
    std::uint16_t statusWord() const;

private:
    std::vector<std::uint16_t> ring_;
    std::size_t head_ = 0;  // oldest code
    std::size_t fill_ = 0;
    bool underrun_ = false;
};

}  // namespace kqsim
