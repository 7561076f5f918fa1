// The device-dependent A16 registers of a KQ module, above the VXI configuration registers.
#pragma once

#include <cstdint>

namespace kqsim {

// Single write: segment the next ARB load goes to. Block write: the FIFO data port. Read: FIFO status.
inline constexpr std::uint16_t kSegmentFifoRegister = 0x20;
inline constexpr std::uint16_t kChannelRegister = 0x22;    // channel of the next ARB load, 1-based
inline constexpr std::uint16_t kLoadStartRegister = 0x24;  // any value: the load starts at point 0
inline constexpr std::uint16_t kArbDataRegister = 0x26;    // consecutive words, consecutive points
inline constexpr std::uint16_t kDacSelectRegister = 0x28;  // register-mode DAC, channel - 1
inline constexpr std::uint16_t kDacDataRegister = 0x2A;    // code for the selected DAC
inline constexpr std::uint16_t kArmRegister = 0x2C;        // any value: arms the ARB
inline constexpr std::uint16_t kLastRegister = 0x3E;

// The write-only registers 0x22-0x2C read back the last value written.
inline constexpr std::uint16_t kFirstLatchedRegister = kChannelRegister;
inline constexpr std::uint16_t kLastLatchedRegister = kArmRegister;

}  // namespace kqsim
