#include "calibration.h"

#include "scpi/error_queue.h"

namespace kqsim {

namespace err = scpi::err;

namespace {

constexpr int kZeroHalf = kCalibrationConstants / 2;

int rangeOffset(OutputRange range) { return range == OutputRange::Volts10 ? kMaxChannels : 0; }

}  // namespace

int gainIndex(int channel, OutputRange range) { return rangeOffset(range) + channel - 1; }
int zeroIndex(int channel, OutputRange range) { return kZeroHalf + rangeOffset(range) + channel - 1; }

Calibration::Calibration(NvStore store)
    : store_(std::move(store)), stored_(store_.load()), working_(stored_.constants) {}

int Calibration::guard() const { return stored_.securityOn ? err::commandProtected : err::noError; }

int Calibration::saveStored(const NvContents& next) {
    if (!store_.save(next)) return err::hardwareError;
    stored_ = next;
    return err::noError;
}

int Calibration::setConstant(int index, int value) {
    if (const int refused = guard()) return refused;
    if (index < 0 || index >= kCalibrationConstants) return err::dataOutOfRange;
    if (value < -128 || value > 127) return err::dataOutOfRange;
    working_[static_cast<std::size_t>(index)] = static_cast<std::int8_t>(value);
    return stored_.autoStore ? storeConstants() : err::noError;
}

int Calibration::setBlock(std::string_view bytes) {
    if (const int refused = guard()) return refused;
    if (bytes.size() != working_.size()) return err::illegalParameterValue;
    for (std::size_t i = 0; i < working_.size(); ++i) working_[i] = static_cast<std::int8_t>(bytes[i]);
    return stored_.autoStore ? storeConstants() : err::noError;
}

int Calibration::storeConstants() {
    if (const int refused = guard()) return refused;
    NvContents next = stored_;
    next.constants = working_;
    if (next.storeCount < INT32_MAX) ++next.storeCount;
    return saveStored(next);
}

int Calibration::setAutoStore(bool on) {
    if (const int refused = guard()) return refused;
    NvContents next = stored_;
    next.autoStore = on;
    return saveStored(next);
}

int Calibration::switchSecurityOn() {
    NvContents next = stored_;
    next.securityOn = true;
    return saveStored(next);
}

int Calibration::switchSecurityOff(std::optional<std::string_view> code) {
    if (!stored_.securityOn && !code) return err::noError;
    if (!code) return err::missingParameter;
    if (*code != stored_.securityCode) return err::illegalParameterValue;
    NvContents next = stored_;
    next.securityOn = false;
    return saveStored(next);
}

int Calibration::setSecurityCode(std::string_view code) {
    if (const int refused = guard()) return refused;
    if (code.empty() || code.size() > kSecurityCodeMaxLength) return err::illegalParameterValue;
    NvContents next = stored_;
    next.securityCode = std::string(code);
    return saveStored(next);
}

}  // namespace kqsim
