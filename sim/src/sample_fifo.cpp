#include "sample_fifo.h"

#include <algorithm>

namespace kqsim {

SampleFifo::SampleFifo(std::size_t depth) : ring_(std::max<std::size_t>(depth, 1)) {}

std::size_t SampleFifo::push(std::span<const std::uint16_t> codes) {
    const std::size_t taken = std::min(codes.size(), ring_.size() - fill_);
    for (std::size_t i = 0; i < taken; ++i) ring_[(head_ + fill_ + i) % ring_.size()] = codes[i];
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
