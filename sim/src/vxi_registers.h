// The VXI configuration registers every module has at the bottom of its A16 space.
#pragma once

#include <cstdint>

namespace kqsim {

inline constexpr std::uint16_t kIdRegister = 0x00;
inline constexpr std::uint16_t kDeviceTypeRegister = 0x02;
// A register nobody decodes reads as all ones on the bus.
inline constexpr std::uint16_t kUnusedRegisterValue = 0xFFFF;

// ID register: device class "message based" (bits 15-14 = 10), A16 only (bits 13-12 = 11), and the
// manufacturer id in bits 11-0.
inline constexpr std::uint16_t idRegisterValue(std::uint16_t manufacturerId) {
    return static_cast<std::uint16_t>(0xB000 | (manufacturerId & 0x0FFF));
}
// Device type register: an A16-only module has no required memory (bits 15-12 all ones); the model
// code sits in bits 11-0.
inline constexpr std::uint16_t deviceTypeRegisterValue(std::uint16_t modelCode) {
    return static_cast<std::uint16_t>(0xF000 | (modelCode & 0x0FFF));
}

// Serial-poll status byte bit meaning "a reply is ready to be read".
inline constexpr std::uint8_t kMessageAvailableBit = 0x10;

}  // namespace kqsim
