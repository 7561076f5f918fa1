#include "kqsim/output_monitor.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <limits>

#include "kqsim/kq_module.h"
#include "kqsim/mainframe.h"
#include "remote_instrument.h"
#include "served_chassis.h"

extern "C" int kqsim_readChannelOutput(unsigned interfaceNumber, unsigned logicalAddress, int channel,
                                       double* times, double* volts, int maxSamples) {
    constexpr unsigned kLargestNumber = std::numeric_limits<std::uint16_t>::max();
    if (interfaceNumber > kLargestNumber || logicalAddress > kLargestNumber) return -1;
    try {
        const std::shared_ptr<kqsim::Mainframe> mainframe = kqsim::currentMainframe();
        const kqsim::MountedModule* mounted = mainframe->find(static_cast<std::uint16_t>(interfaceNumber),
                                                              static_cast<std::uint16_t>(logicalAddress));
        if (mounted == nullptr) return -1;
        if (auto* remote = dynamic_cast<kqsim::RemoteInstrument*>(mounted->instrument.get())) {
            if (maxSamples > 0 && (times == nullptr || volts == nullptr)) return -1;
            return remote->readChannelOutput(channel, times, volts, std::max(maxSamples, 0));
        }
        const auto* module = dynamic_cast<const kqsim::KqModule*>(mounted->instrument.get());
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

extern "C" double kqsim_chassisTime(void) {
    try {
        const kqsim::ChassisChoice chassis = kqsim::currentChassis();
        if (chassis.serverMissing) return -1.0;
        if (!chassis.connection) return kqsim::secondsOf(kqsim::SimClock::now());
        const auto answer = chassis.connection->call(kqsim::protocol::MessageType::ChassisTime, {});
        kqsim::protocol::PayloadReader reader({answer.data(), answer.size()});
        const auto seconds = reader.get<double>();
        return reader.ok() ? seconds : -1.0;
    } catch (...) {
        return -1.0;
    }
}

extern "C" int kqsim_servedChassis(char* socketPath, int size) {
    try {
        const kqsim::ChassisChoice chassis = kqsim::currentChassis();
        if (chassis.serverMissing) return -1;
        if (!chassis.connection) return 0;
        if (socketPath != nullptr && size > 0) {
            const std::string& path = chassis.connection->socketPath();
            const std::size_t copied = std::min(path.size(), static_cast<std::size_t>(size) - 1);
            std::memcpy(socketPath, path.data(), copied);
            socketPath[copied] = '\0';
        }
        return 1;
    } catch (...) {
        return -1;
    }
}
