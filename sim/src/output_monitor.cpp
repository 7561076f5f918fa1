#include "kqsim/output_monitor.h"

#include <cstdint>
#include <limits>

#include "kqsim/kq_module.h"
#include "kqsim/mainframe.h"

extern "C" int kqsim_readChannelOutput(unsigned interfaceNumber, unsigned logicalAddress, int channel,
                                       double* times, double* volts, int maxSamples) {
    constexpr unsigned kLargestNumber = std::numeric_limits<std::uint16_t>::max();
    if (interfaceNumber > kLargestNumber || logicalAddress > kLargestNumber) return -1;
    try {
        const std::shared_ptr<kqsim::Mainframe> mainframe = kqsim::currentMainframe();
        const kqsim::MountedModule* mounted = mainframe->find(static_cast<std::uint16_t>(interfaceNumber),
                                                              static_cast<std::uint16_t>(logicalAddress));
        const auto* module =
            mounted ? dynamic_cast<const kqsim::KqModule*>(mounted->instrument.get()) : nullptr;
        if (module == nullptr || channel < 1 || channel > module->channelCount()) return -1;
        if (maxSamples <= 0) return 0;
        if (times == nullptr || volts == nullptr) return -1;
        const auto samples = module->recentOutput(channel, static_cast<std::size_t>(maxSamples));
        for (std::size_t i = 0; i < samples.size(); ++i) {
            times[i] = kqsim::secondsOf(samples[i].time);
            volts[i] = samples[i].volts;
        }
        return static_cast<int>(samples.size());
    } catch (...) {
        return -1;  // nothing may cross the C boundary
    }
}
