#include "sample_fifo.h"

#include <algorithm>

namespace kqsim {

SampleFifo::SampleFifo(std::size_t depth) : ring_(std::max<std::size_t>(depth, 1)) {}

std::size_t SampleFifo::push(std::span<const std::uint16_t> codes) {
    const std::size_t taken = std::min(codes.size(), ring_.size() - fill_);
    // The free space is at most two contiguous runs: up to the end of the ring, then from its start.
    const std::size_t tail = (head_ + fill_) % ring_.size();
    const std::size_t firstRun = std::min(taken, ring_.size() - tail);
    std::copy_n(codes.begin(), firstRun, ring_.begin() + static_cast<std::ptrdiff_t>(tail));
    std::copy_n(codes.begin() + static_cast<std::ptrdiff_t>(firstRun), taken - firstRun, ring_.begin());
    fill_ += taken;
    return taken;
}

bool SampleFifo::popFrame(std::span<std::uint16_t> frame) {
    if (frame.size() > fill_) return false;
    for (std::uint16_t& code : frame) {
        code = ring_[head_];
        head_ = (head_ + 1) % ring_.size();
    }
    fill_ -= frame.size();
    return true;
}

void SampleFifo::drop(std::size_t count) {
    const std::size_t dropped = std::min(count, fill_);
    head_ = (head_ + dropped) % ring_.size();
    fill_ -= dropped;
}

void SampleFifo::clear() {
    head_ = 0;
    fill_ = 0;
    underrun_ = false;
}

std::uint16_t SampleFifo::statusWord() const {
    std::uint16_t word = 0;
    if (full()) word |= kFifoFullBit;
    if (empty()) word |= kFifoEmptyBit;
    if (underrun_) word |= kFifoUnderrunBit;
    return word;
}

}  // namespace kqsim
