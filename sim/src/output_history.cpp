#include "output_history.h"

#include <algorithm>

namespace kqsim {

void OutputHistory::record(SimClock::time_point time, double volts) {
    ring_[next_] = {time, volts};
    next_ = (next_ + 1) % ring_.size();
    count_ = std::min(count_ + 1, ring_.size());
}

std::vector<OutputSample> OutputHistory::recent(std::size_t count) const {
    const std::size_t taken = std::min(count, count_);
    std::vector<OutputSample> samples;
    samples.reserve(taken);
    for (std::size_t i = taken; i > 0; --i)
        samples.push_back(ring_[(next_ + ring_.size() - i) % ring_.size()]);
    return samples;
}

}  // namespace kqsim
