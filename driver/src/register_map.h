// The module's device-dependent registers in A16 space, as the driver uses them: byte offsets into
// the module's register block, every access 16 bits wide.
#pragma once

#include "visa.h"

namespace kq7120::registers {

// Single write: segment of the next ARB load. Block write: the FIFO's data port. Read: FIFO status.
inline constexpr ViBusAddress kSegmentFifo = 0x20;
// Channel of the next ARB load, 1-based as the caller gives it.
inline constexpr ViBusAddress kChannel = 0x22;
// Any write (0) starts the ARB load at point 0.
inline constexpr ViBusAddress kLoadStart = 0x24;
// Block write: consecutive points of the selected segment and channel.
inline constexpr ViBusAddress kArbData = 0x26;
// Register-mode DAC: channel - 1, then the code for that channel.
inline constexpr ViBusAddress kDacSelect = 0x28;
inline constexpr ViBusAddress kDacData = 0x2A;
// Any write (0) arms the ARB.
inline constexpr ViBusAddress kArm = 0x2C;

// The window mapped to read the FIFO status.
inline constexpr ViBusAddress kWindowOffset = 0x20;
inline constexpr ViBusSize kWindowSize = 0x20;

}  // namespace kq7120::registers
