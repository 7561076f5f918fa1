// The recent values of one channel's DAC: a ring of the last kOutputHistoryLength samples, oldest
// first when read.
#pragma once

#include <cstddef>
#include <vector>

#include "kqsim/kq_module_types.h"

namespace kqsim {

class OutputHistory {
public:
    OutputHistory() : ring_(kOutputHistoryLength) {}

    void record(SimClock::time_point time, double volts);
    std::size_t size() const { return count_; }
    // The `count` most recent samples (all when fewer are kept), oldest first.
    std::vector<OutputSample> recent(std::size_t count) const;

private:
    std::vector<OutputSample> ring_;
    std::size_t next_ = 0;  // where the next sample goes
    std::size_t count_ = 0;
};

}  // namespace kqsim
