#include "arb_memory.h"

#include <algorithm>

#include "scpi/error_queue.h"

namespace kqsim {

namespace err = scpi::err;

std::size_t ArbMemory::size(int segment) const {
    const auto found = segments_.find(segment);
    return found == segments_.end() ? 0 : found->second.size;
}

int ArbMemory::reserve(int segment, std::size_t points) {
    if (points == 0) return err::dataOutOfRange;
    const std::size_t current = size(segment);
    if (points > current && points - current > available()) return err::outOfMemory;
    Segment& target = segments_[segment];
    used_ = used_ - current + points;
    target.size = points;
    for (auto& data : target.channels) {
        if (data.size() > points) data.resize(points);
    }
    return err::noError;
}

int ArbMemory::define(int segment, std::size_t points) { return reserve(segment, points); }

int ArbMemory::resize(int segment, std::size_t points) {
    if (!defined(segment)) return err::illegalParameterValue;
    return reserve(segment, points);
}

void ArbMemory::removeAll() {
    segments_.clear();
    used_ = 0;
}

int ArbMemory::write(int segment, int channel, std::size_t start, std::span<const std::uint16_t> codes) {
    if (codes.empty()) return err::noError;
    const std::size_t end = start + codes.size();
    if (end > size(segment)) {
        if (const int refused = reserve(segment, end)) return refused;
    }
    auto& data = segments_[segment].channels[static_cast<std::size_t>(channel - 1)];
    if (data.size() < end) data.resize(end, kZeroVoltsCode);
    std::copy(codes.begin(), codes.end(), data.begin() + static_cast<std::ptrdiff_t>(start));
    return err::noError;
}

int ArbMemory::setPoint(int segment, int channel, std::size_t offset, std::uint16_t code) {
    if (!defined(segment)) return err::illegalParameterValue;
    if (offset >= size(segment)) return err::dataOutOfRange;
    const std::uint16_t one[] = {code};
    return write(segment, channel, offset, one);
}

std::uint16_t ArbMemory::point(int segment, int channel, std::size_t offset) const {
    const auto found = segments_.find(segment);
    if (found == segments_.end()) return kZeroVoltsCode;
    const auto& data = found->second.channels[static_cast<std::size_t>(channel - 1)];
    return offset < data.size() ? data[offset] : kZeroVoltsCode;
}

std::vector<std::uint16_t> ArbMemory::channelData(int segment, int channel) const {
    const auto found = segments_.find(segment);
    if (found == segments_.end()) return {};
    std::vector<std::uint16_t> data = found->second.channels[static_cast<std::size_t>(channel - 1)];
    data.resize(found->second.size, kZeroVoltsCode);
    return data;
}

int ArbMemory::copy(int destinationSegment, int destinationChannel, int sourceSegment, int sourceChannel) {
    if (!defined(sourceSegment)) return err::illegalParameterValue;
    const std::vector<std::uint16_t> source = channelData(sourceSegment, sourceChannel);
    if (!defined(destinationSegment)) {
        if (const int refused = reserve(destinationSegment, source.size())) return refused;
    }
    const std::size_t count = std::min(source.size(), size(destinationSegment));
    return write(destinationSegment, destinationChannel, 0, std::span(source).first(count));
}

}  // namespace kqsim
