// The module's non-volatile memory: calibration constants, store count, auto-store, and the
// calibration security code and state. Kept in one file per module that is replaced atomically, so
// an interrupted store leaves either the old or the new contents.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "kqsim/kq_module_types.h"

namespace kqsim {

inline constexpr const char* kFactorySecurityCode = "KQ7120";

struct NvContents {
    std::array<std::int8_t, kCalibrationConstants> constants{};
    std::int32_t storeCount = 0;
    bool autoStore = false;
    bool securityOn = true;
    std::string securityCode = kFactorySecurityCode;  // 1-12 bytes

    friend bool operator==(const NvContents&, const NvContents&) = default;
};

class NvStore {
public:
    // `path` empty: the memory lives only as long as the module.
    explicit NvStore(std::string path);

    // The stored contents; factory contents when there is no file yet. An unreadable or corrupt file
    // also gives factory contents, is reported once on standard error, and sets lostOnLoad().
    NvContents load();
    bool lostOnLoad() const { return lost_; }

    // Writes a temporary file next to the state file, flushes it to disk and renames it over the
    // state file. False when any step fails; the previous contents then stay in place. The temporary
    // is locked while it is written, so that load() and save() can remove the temporaries of this
    // state file that a killed store left behind without touching one another process is writing.
    bool save(const NvContents& contents);

    // The file text for `contents`, and the contents a text holds (nothing when it is not a valid
    // state file).
    static std::string serialise(const NvContents& contents);
    static std::optional<NvContents> parse(const std::string& text);

private:
    void removeStaleTemporaries() const;

    std::string path_;
    bool lost_ = false;
};

}  // namespace kqsim
