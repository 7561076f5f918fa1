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
