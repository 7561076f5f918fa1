#include "chassis_protocol.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace kqsim::protocol {

HeaderCheck checkHeader(const FrameHeader& header) {
    if (header.magic != kMagic) return HeaderCheck::BadMagic;
    if (header.version != kVersion) return HeaderCheck::BadVersion;
    if (header.length > kMaxPayload) return HeaderCheck::TooLong;
    return HeaderCheck::Good;
}

std::string describe(HeaderCheck check) {
    switch (check) {
        case HeaderCheck::Good:
            return "a valid frame";
        case HeaderCheck::BadMagic:
            return "not a chassis server frame";
        case HeaderCheck::BadVersion:
            return "a frame of another protocol version (this side speaks version " +
                   std::to_string(kVersion) + ")";
        case HeaderCheck::TooLong:
            return "a frame longer than " + std::to_string(kMaxPayload) + " bytes";
    }
    return "an unknown frame";
}

PayloadWriter& PayloadWriter::putText(std::string_view text) {
    const std::size_t size = std::min<std::size_t>(text.size(), std::numeric_limits<std::uint16_t>::max());
    put(static_cast<std::uint16_t>(size));
    return putBytes(text.data(), size);
}

PayloadWriter& PayloadWriter::putBytes(const void* data, std::size_t size) {
    if (size == 0) return *this;
    const std::size_t at = bytes_.size();
    bytes_.resize(at + size);
    std::memcpy(bytes_.data() + at, data, size);
    return *this;
}

std::string PayloadReader::getText() {
    const auto size = get<std::uint16_t>();
    return std::string(getBytes(size));
}

std::string_view PayloadReader::getBytes(std::size_t size) {
    if (!take(size)) return {};
    return std::string_view(rest_.data() - size, size);
}

bool PayloadReader::take(std::size_t size) {
    if (!ok_ || rest_.size() < size) {
        ok_ = false;
        return false;
    }
    rest_.remove_prefix(size);
    return true;
}

}  // namespace kqsim::protocol
