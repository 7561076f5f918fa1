#include "kqsim/kq_module.h"

#include <mutex>
#include <stdexcept>

#include "dac_code.h"
#include "kq_commands.h"
#include "module_core.h"
#include "scpi/error_queue.h"
#include "scpi/interpreter.h"

namespace kqsim {

namespace {

std::string identityText(const KqModuleOptions& options) {
    const std::string model = options.idnModel.empty()
                                  ? (options.kind == ModuleKind::KQ7110 ? "KQ7110" : "KQ7120")
                                  : options.idnModel;
    return std::string(kKqMakerName) + "," + model + ",0," + kKqFirmwareRevision;
}

}  // namespace

struct KqModule::Impl {
    explicit Impl(const KqModuleOptions& options)
        : stateFile(options.stateFile),
          core(options.kind, {options.manufacturerId, options.modelCode}, NvStore(options.stateFile),
               [this](int error) { interpreter.reportError(error); }),
          commands(core, identityText(options)),
          interpreter(commands.table()) {
        if (core.calibration().memoryLost()) interpreter.reportError(scpi::err::configurationMemoryLost);
    }

    void checkChannel(int channel) const {
        if (!core.validChannel(channel)) throw std::out_of_range("no channel " + std::to_string(channel));
    }
    static void checkNumber(int number, int first, int last, const char* what) {
        if (number < first || number > last)
            throw std::out_of_range(std::string("no ") + what + " " + std::to_string(number));
    }

    const std::string stateFile;
    mutable std::mutex mutex;
    ModuleCore core;
    KqCommandSet commands;
    scpi::Interpreter interpreter;
};

KqModule::KqModule(KqModuleOptions options) : impl_(std::make_unique<Impl>(options)) {}

KqModule::~KqModule() = default;

void KqModule::writeMessage(std::string_view bytes, bool end) {
    std::lock_guard lock(impl_->mutex);
    impl_->interpreter.writeMessage(bytes, end);
}

bool KqModule::replyPending() const {
    std::lock_guard lock(impl_->mutex);
    return impl_->interpreter.replyPending();
}

ReplyChunk KqModule::readReply(char* into, std::size_t max) {
    std::lock_guard lock(impl_->mutex);
    return impl_->interpreter.readReply(into, max);
}

void KqModule::deviceClear() {
    std::lock_guard lock(impl_->mutex);
    impl_->interpreter.deviceClear();
}

std::uint8_t KqModule::statusByte() {
    std::lock_guard lock(impl_->mutex);
    return impl_->interpreter.statusByte();
}

std::uint16_t KqModule::readRegister(std::uint16_t offset) {
    std::lock_guard lock(impl_->mutex);
    return impl_->core.readRegister(offset);
}

void KqModule::writeRegister(std::uint16_t offset, std::uint16_t value) {
    std::lock_guard lock(impl_->mutex);
    impl_->core.writeRegister(offset, value);
}

std::size_t KqModule::writeRegisterBlock(std::uint16_t offset, const std::uint16_t* words, std::size_t count,
                                         bool increment) {
    if (words == nullptr || count == 0) return 0;
    std::lock_guard lock(impl_->mutex);
    return impl_->core.writeRegisterBlock(offset, std::span(words, count), increment);
}

int KqModule::channelCount() const { return impl_->core.channelCount(); }

std::string KqModule::identity() const {
    std::lock_guard lock(impl_->mutex);
    return impl_->commands.identity();
}

std::string KqModule::stateFile() const { return impl_->stateFile; }

std::uint16_t KqModule::dacCode(int channel) const {
    std::lock_guard lock(impl_->mutex);
    impl_->checkChannel(channel);
    return impl_->core.playback().outputCode(channel);
}

double KqModule::outputVoltage(int channel) const {
    std::lock_guard lock(impl_->mutex);
    impl_->checkChannel(channel);
    return voltsForCode(impl_->core.playback().outputCode(channel), impl_->core.channel(channel).range);
}

double KqModule::programmedVoltage(int channel) const {
    std::lock_guard lock(impl_->mutex);
    impl_->checkChannel(channel);
    return impl_->core.programmedVoltage(channel);
}

OutputRange KqModule::outputRange(int channel) const {
    std::lock_guard lock(impl_->mutex);
    impl_->checkChannel(channel);
    return impl_->core.channel(channel).range;
}

ScanMode KqModule::scanMode(int channel) const {
    std::lock_guard lock(impl_->mutex);
    impl_->checkChannel(channel);
    return impl_->core.channel(channel).scanMode;
}

int KqModule::scanLimit(int channel) const {
    std::lock_guard lock(impl_->mutex);
    impl_->checkChannel(channel);
    return impl_->core.channel(channel).scanLimit;
}

double KqModule::scanTableEntry(int channel, int entry) const {
    std::lock_guard lock(impl_->mutex);
    impl_->checkChannel(channel);
    Impl::checkNumber(entry, 1, kScanTableEntries, "scan entry");
    return impl_->core.channel(channel).scanTable[static_cast<std::size_t>(entry - 1)];
}

int KqModule::scanPosition(int channel) const {
    std::lock_guard lock(impl_->mutex);
    impl_->checkChannel(channel);
    return impl_->core.playback().scanPosition(channel);
}

std::vector<double> KqModule::memoryArray(int index) const {
    std::lock_guard lock(impl_->mutex);
    Impl::checkNumber(index, 1, kMemoryArrays, "memory array");
    const ChannelVoltages& volts = impl_->core.settings().memoryArrays[static_cast<std::size_t>(index - 1)];
    return {volts.begin(), volts.begin() + impl_->core.channelCount()};
}

TriggerSource KqModule::triggerSource() const {
    std::lock_guard lock(impl_->mutex);
    return impl_->core.settings().triggerSource;
}

Slope KqModule::triggerSlope() const {
    std::lock_guard lock(impl_->mutex);
    return impl_->core.settings().triggerSlope;
}

ClockSource KqModule::clockSource() const {
    std::lock_guard lock(impl_->mutex);
    return impl_->core.settings().clockSource;
}

Slope KqModule::clockSlope() const {
    std::lock_guard lock(impl_->mutex);
    return impl_->core.settings().clockSlope;
}

double KqModule::timerPeriod() const {
    std::lock_guard lock(impl_->mutex);
    return impl_->core.settings().timerPeriod;
}

bool KqModule::markerOn() const {
    std::lock_guard lock(impl_->mutex);
    return impl_->core.settings().markerOn;
}

Slope KqModule::markerSlope() const {
    std::lock_guard lock(impl_->mutex);
    return impl_->core.settings().markerSlope;
}

OutputTriggerSource KqModule::outputTriggerSource() const {
    std::lock_guard lock(impl_->mutex);
    return impl_->core.settings().outputTriggerSource;
}

int KqModule::outputTriggerLine() const {
    std::lock_guard lock(impl_->mutex);
    return impl_->core.settings().outputTriggerLine;
}

DataFormat KqModule::dataFormat() const {
    std::lock_guard lock(impl_->mutex);
    return impl_->core.settings().dataFormat;
}

std::size_t KqModule::segmentSize(int segment) const {
    std::lock_guard lock(impl_->mutex);
    Impl::checkNumber(segment, 0, kSegmentCount - 1, "segment");
    return impl_->core.arb().size(segment);
}

std::vector<std::uint16_t> KqModule::segmentCodes(int segment, int channel) const {
    std::lock_guard lock(impl_->mutex);
    Impl::checkNumber(segment, 0, kSegmentCount - 1, "segment");
    impl_->checkChannel(channel);
    return impl_->core.arb().channelData(segment, channel);
}

std::size_t KqModule::waveformMemoryUsed() const {
    std::lock_guard lock(impl_->mutex);
    return impl_->core.arb().used();
}

std::vector<int> KqModule::sequence() const {
    std::lock_guard lock(impl_->mutex);
    return impl_->core.arb().sequence();
}

SequenceStep KqModule::sequenceStep(int step) const {
    std::lock_guard lock(impl_->mutex);
    Impl::checkNumber(step, 0, kSequenceSteps - 1, "sequence step");
    return impl_->core.arb().step(step);
}

std::size_t KqModule::fifoFill() const {
    std::lock_guard lock(impl_->mutex);
    return impl_->core.playback().fifo().fill();
}

std::uint16_t KqModule::fifoStatus() const {
    std::lock_guard lock(impl_->mutex);
    return impl_->core.playback().fifo().statusWord();
}

RunState KqModule::runState() const {
    std::lock_guard lock(impl_->mutex);
    return impl_->core.playback().state();
}

bool KqModule::arbArmed() const {
    std::lock_guard lock(impl_->mutex);
    return impl_->core.playback().armed();
}

std::array<std::int8_t, kCalibrationConstants> KqModule::calibrationConstants() const {
    std::lock_guard lock(impl_->mutex);
    return impl_->core.calibration().constants();
}

std::int32_t KqModule::calibrationCount() const {
    std::lock_guard lock(impl_->mutex);
    return impl_->core.calibration().storeCount();
}

bool KqModule::calibrationSecure() const {
    std::lock_guard lock(impl_->mutex);
    return impl_->core.calibration().secure();
}

bool KqModule::calibrationAutoStore() const {
    std::lock_guard lock(impl_->mutex);
    return impl_->core.calibration().autoStore();
}

void KqModule::setSelfTestResult(std::int16_t result) {
    std::lock_guard lock(impl_->mutex);
    impl_->core.setSelfTestResult(result);
}

}  // namespace kqsim
