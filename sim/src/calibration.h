// Calibration of the module's channels: one gain and one zero adjustment per channel and range,
// the working set the outputs use, the set stored in non-volatile memory with its store count, and
// the security that guards every write. Operations return 0 or the SCPI error number that refuses
// them.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

#include "kqsim/kq_module_types.h"
#include "nv_store.h"

namespace kqsim {

using CalibrationConstants = std::array<std::int8_t, kCalibrationConstants>;

// Index of a constant in the 64-value block: gains first, then zeros; within each half channels
// 1-16 of the 20 V range, then channels 1-16 of the 10 V range.
int gainIndex(int channel, OutputRange range);
int zeroIndex(int channel, OutputRange range);

class Calibration {
public:
    // Loads the non-volatile memory; the working constants start as stored.
    explicit Calibration(NvStore store);

    const CalibrationConstants& constants() const { return working_; }
    std::int32_t storeCount() const { return stored_.storeCount; }
    bool autoStore() const { return stored_.autoStore; }
    bool secure() const { return stored_.securityOn; }
    // Whether the stored contents were lost at power-on (unreadable state file).
    bool memoryLost() const { return store_.lostOnLoad(); }

    // Calibration writes: refused with -203 Command protected while security is on; with auto-store
    // on each one is stored at once.
    int setConstant(int index, int value);  // value -128..127
    int setBlock(std::string_view bytes);   // exactly 64 bytes, two's complement
    int storeConstants();                   // CAL:STOR: saves the working set and counts the store
    int setAutoStore(bool on);
    // Security. Switching on needs nothing; switching off needs the code (-224 when it does not match,
    // -109 when it is missing). A new code (1-12 bytes) is taken only while security is off.
    int switchSecurityOn();
    int switchSecurityOff(std::optional<std::string_view> code);
    int setSecurityCode(std::string_view code);

private:
    int guard() const;
    int saveStored(const NvContents& next);

    NvStore store_;
    NvContents stored_;
    CalibrationConstants working_{};
};

}  // namespace kqsim
