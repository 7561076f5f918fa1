#include "kqsim/kq_module.h"

#include <mutex>
#include <stdexcept>

#include "commands/command_set.h"
#include "dac_code.h"
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
          core(options.kind, {options.manufacturerId, options.modelCode}, identityText(options),
               NvStore(options.stateFile), [this](int error) { interpreter.reportError(error); }),
          interpreter(commands::moduleTable(core)) {
        if (core.calibration().memoryLost()) interpreter.reportError(scpi::err::configurationMemoryLost);
    }

    // Every access locks the module and first plays what happened since the last one.
    std::unique_lock<std::mutex> access() {
        std::unique_lock lock(mutex);
        core.advanceTo(SimClock::now());
        return lock;
    }

    // Reads get a const view of the core and changes the core itself, both under the lock.
    template <class Core>
    struct Locked {
        std::unique_lock<std::mutex> lock;
        Core& core;

        void checkChannel(int channel) const {
            if (!core.validChannel(channel)) throw std::out_of_range("no channel " + std::to_string(channel));
        }
        const ChannelSettings& channel(int channel) const {
            checkChannel(channel);
            return core.channel(channel);
        }
    };
    Locked<const ModuleCore> read() { return {access(), core}; }
    Locked<ModuleCore> change() { return {access(), core}; }

    static void checkNumber(int number, int first, int last, const char* what) {
        if (number < first || number > last)
            throw std::out_of_range(std::string("no ") + what + " " + std::to_string(number));
    }

    const std::string stateFile;
    mutable std::mutex mutex;
    ModuleCore core;
    scpi::Interpreter interpreter;
};

KqModule::KqModule(KqModuleOptions options) : impl_(std::make_unique<Impl>(options)) {}

KqModule::~KqModule() = default;

void KqModule::writeMessage(std::string_view bytes, bool end) {
    const auto lock = impl_->access();
    impl_->interpreter.writeMessage(bytes, end);
}

bool KqModule::replyPending() const {
    const auto lock = impl_->access();
    return impl_->interpreter.replyPending();
}

ReplyChunk KqModule::readReply(char* into, std::size_t max) {
    const auto lock = impl_->access();
    return impl_->interpreter.readReply(into, max);
}

void KqModule::deviceClear() {
    const auto lock = impl_->access();
    impl_->interpreter.deviceClear();
}

std::uint8_t KqModule::statusByte() {
    const auto lock = impl_->access();
    return impl_->interpreter.statusByte();
}

std::uint16_t KqModule::readRegister(std::uint16_t offset) { return impl_->read().core.readRegister(offset); }

void KqModule::writeRegister(std::uint16_t offset, std::uint16_t value) {
    impl_->change().core.writeRegister(offset, value);
}

std::size_t KqModule::writeRegisterBlock(std::uint16_t offset, const std::uint16_t* words, std::size_t count,
                                         bool increment) {
    if (words == nullptr || count == 0) return 0;
    return impl_->change().core.writeRegisterBlock(offset, std::span(words, count), increment);
}

int KqModule::channelCount() const { return impl_->core.channelCount(); }

std::string KqModule::identity() const { return impl_->read().core.idnReply(); }

std::string KqModule::stateFile() const { return impl_->stateFile; }

std::optional<std::chrono::nanoseconds> KqModule::timeUntilRoom(std::uint16_t offset, std::size_t words) {
    if (offset != kSegmentFifoRegister) return std::nullopt;
    return impl_->read().core.playback().timeUntilFifoRoom(words);
}

std::uint16_t KqModule::dacCode(int channel) const {
    const auto reading = impl_->read();
    reading.checkChannel(channel);
    return reading.core.playback().outputCode(channel);
}

double KqModule::outputVoltage(int channel) const {
    const auto reading = impl_->read();
    reading.checkChannel(channel);
    return voltsForCode(reading.core.playback().outputCode(channel), reading.channel(channel).range);
}

double KqModule::programmedVoltage(int channel) const {
    const auto reading = impl_->read();
    reading.checkChannel(channel);
    return reading.core.programmedVoltage(channel);
}

std::vector<OutputSample> KqModule::recentOutput(int channel, std::size_t count) const {
    const auto reading = impl_->read();
    reading.checkChannel(channel);
    return reading.core.playback().recentOutput(channel, count);
}

OutputRange KqModule::outputRange(int channel) const { return impl_->read().channel(channel).range; }

ScanMode KqModule::scanMode(int channel) const { return impl_->read().channel(channel).scanMode; }

int KqModule::scanLimit(int channel) const { return impl_->read().channel(channel).scanLimit; }

double KqModule::scanTableEntry(int channel, int entry) const {
    const auto reading = impl_->read();
    reading.checkChannel(channel);
    Impl::checkNumber(entry, 1, kScanTableEntries, "scan entry");
    return reading.channel(channel).scanTable[static_cast<std::size_t>(entry - 1)];
}

int KqModule::scanPosition(int channel) const {
    const auto reading = impl_->read();
    reading.checkChannel(channel);
    return reading.core.playback().scanPosition(channel);
}

std::vector<double> KqModule::memoryArray(int index) const {
    const auto reading = impl_->read();
    Impl::checkNumber(index, 1, kMemoryArrays, "memory array");
    const ChannelVoltages& volts = reading.core.settings().memoryArrays[static_cast<std::size_t>(index - 1)];
    return {volts.begin(), volts.begin() + reading.core.channelCount()};
}

TriggerSource KqModule::triggerSource() const { return impl_->read().core.settings().triggerSource; }

Slope KqModule::triggerSlope() const { return impl_->read().core.settings().triggerSlope; }

ClockSource KqModule::clockSource() const { return impl_->read().core.settings().clockSource; }

Slope KqModule::clockSlope() const { return impl_->read().core.settings().clockSlope; }

double KqModule::timerPeriod() const { return impl_->read().core.settings().timerPeriod; }

bool KqModule::markerOn() const { return impl_->read().core.settings().markerOn; }

Slope KqModule::markerSlope() const { return impl_->read().core.settings().markerSlope; }

OutputTriggerSource KqModule::outputTriggerSource() const {
    return impl_->read().core.settings().outputTriggerSource;
}

int KqModule::outputTriggerLine() const { return impl_->read().core.settings().outputTriggerLine; }

DataFormat KqModule::dataFormat() const { return impl_->read().core.settings().dataFormat; }

std::size_t KqModule::segmentSize(int segment) const {
    const auto reading = impl_->read();
    Impl::checkNumber(segment, 0, kSegmentCount - 1, "segment");
    return reading.core.arb().size(segment);
}

std::vector<std::uint16_t> KqModule::segmentCodes(int segment, int channel) const {
    const auto reading = impl_->read();
    Impl::checkNumber(segment, 0, kSegmentCount - 1, "segment");
    reading.checkChannel(channel);
    return reading.core.arb().channelData(segment, channel);
}

std::size_t KqModule::waveformMemoryUsed() const { return impl_->read().core.arb().used(); }

std::vector<int> KqModule::sequence() const { return impl_->read().core.arb().sequence(); }

SequenceStep KqModule::sequenceStep(int step) const {
    const auto reading = impl_->read();
    Impl::checkNumber(step, 0, kSequenceSteps - 1, "sequence step");
    return reading.core.arb().step(step);
}

std::size_t KqModule::fifoFill() const { return impl_->read().core.playback().fifo().fill(); }

std::uint16_t KqModule::fifoStatus() const { return impl_->read().core.playback().fifo().statusWord(); }

RunState KqModule::runState() const { return impl_->read().core.playback().state(); }

bool KqModule::arbArmed() const { return impl_->read().core.playback().armed(); }

bool KqModule::markerActive() const { return impl_->read().core.playback().markerActive(); }

std::array<std::int8_t, kCalibrationConstants> KqModule::calibrationConstants() const {
    return impl_->read().core.calibration().constants();
}

std::int32_t KqModule::calibrationCount() const { return impl_->read().core.calibration().storeCount(); }

bool KqModule::calibrationSecure() const { return impl_->read().core.calibration().secure(); }

bool KqModule::calibrationAutoStore() const { return impl_->read().core.calibration().autoStore(); }

void KqModule::setSelfTestResult(std::int16_t result) { impl_->change().core.setSelfTestResult(result); }

}  // namespace kqsim
