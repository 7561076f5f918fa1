#include "module_core.h"

#include <algorithm>

#include "dac_code.h"
#include "scpi/error_queue.h"
#include "vxi_registers.h"

namespace kqsim {

namespace err = scpi::err;

namespace {

bool isLatched(std::uint16_t offset) {
    return offset >= kFirstLatchedRegister && offset <= kLastLatchedRegister && offset % 2 == 0;
}

std::size_t latchIndex(std::uint16_t offset) {
    return static_cast<std::size_t>((offset - kFirstLatchedRegister) / 2);
}

}  // namespace

ModuleCore::ModuleCore(ModuleKind kind, ModuleIdentityWords identity, std::string idnReply, NvStore store,
                       std::function<void(int)> reportError)
    : channelCount_(kind == ModuleKind::KQ7110 ? kKq7110Channels : kKq7120Channels),
      identity_(identity),
      idnReply_(std::move(idnReply)),
      reportError_(std::move(reportError)),
      calibration_(std::move(store)),
      playback_(settings_, arb_, channelCount_, SimClock::now()) {}

void ModuleCore::reset() {
    settings_.reset();
    playback_.reset();
    selectedSegment_ = 0;
    selectedChannel_ = 1;
    loadPosition_ = 0;
    loadRefused_ = false;
    selectedDac_ = 0;
}

int ModuleCore::setVoltage(std::span<const int> channels, double volts) {
    std::vector<std::uint16_t> codes;
    for (int number : channels) {
        const auto code = codeForVolts(volts, channel(number).range);
        if (!code) return err::dataOutOfRange;
        codes.push_back(*code);
    }
    for (std::size_t i = 0; i < channels.size(); ++i) {
        changeChannel(channels[i]).dcCode = codes[i];
        playback_.channelChanged(channels[i]);
    }
    return err::noError;
}

double ModuleCore::programmedVoltage(int number) const {
    const ChannelSettings& programmed = channel(number);
    return voltsForCode(programmed.dcCode, programmed.range);
}

int ModuleCore::setRange(std::span<const int> channels, OutputRange range) {
    const double fullScale = rangeScale(range).fullScale;
    for (int number : channels) {
        ChannelSettings& programmed = changeChannel(number);
        const double volts = std::clamp(programmedVoltage(number), -fullScale, fullScale - codeStep(range));
        programmed.range = range;
        programmed.dcCode = codeForVolts(volts, range).value_or(kZeroVoltsCode);
        playback_.channelChanged(number);
    }
    return err::noError;
}

int ModuleCore::storeMemoryArray(int index, std::span<const double> volts) {
    if (index < 1 || index > kMemoryArrays) return err::dataOutOfRange;
    if (volts.size() > static_cast<std::size_t>(channelCount_)) return err::parameterNotAllowed;
    for (double value : volts) {
        if (!voltsWithinSpan(value, OutputRange::Volts20)) return err::dataOutOfRange;
    }
    std::copy(volts.begin(), volts.end(),
              settings_.memoryArrays[static_cast<std::size_t>(index - 1)].begin());
    return err::noError;
}

int ModuleCore::applyMemoryArray(int index) {
    if (index < 1 || index > kMemoryArrays) return err::dataOutOfRange;
    const ChannelVoltages& volts = settings_.memoryArrays[static_cast<std::size_t>(index - 1)];
    std::vector<std::uint16_t> codes;
    for (int number = 1; number <= channelCount_; ++number) {
        const auto code = codeForVolts(volts[static_cast<std::size_t>(number - 1)], channel(number).range);
        if (!code) return err::dataOutOfRange;
        codes.push_back(*code);
    }
    for (int number = 1; number <= channelCount_; ++number) {
        changeChannel(number).dcCode = codes[static_cast<std::size_t>(number - 1)];
        playback_.channelChanged(number);
    }
    return err::noError;
}

int ModuleCore::setScanMode(std::span<const int> channels, ScanMode mode) {
    for (int number : channels) {
        changeChannel(number).scanMode = mode;
        playback_.channelChanged(number);
    }
    playback_.stopIfUnused();
    return err::noError;
}

int ModuleCore::setScanLimit(int number, int limit) {
    if (limit < 1 || limit > kScanTableEntries) return err::dataOutOfRange;
    changeChannel(number).scanLimit = limit;
    return err::noError;
}

int ModuleCore::setScanTable(int number, int firstEntry, std::span<const double> volts) {
    if (firstEntry < 1 || firstEntry > kScanTableEntries) return err::dataOutOfRange;
    if (volts.size() > static_cast<std::size_t>(kScanTableEntries - firstEntry + 1)) return err::tooMuchData;
    for (double value : volts) {
        if (!voltsWithinSpan(value, OutputRange::Volts20)) return err::dataOutOfRange;
    }
    std::copy(volts.begin(), volts.end(), changeChannel(number).scanTable.begin() + (firstEntry - 1));
    return err::noError;
}

void ModuleCore::setTriggerSource(TriggerSource source) {
    settings_.triggerSource = source;
    playback_.triggerSourceChanged();
}

void ModuleCore::setClockSource(ClockSource source) {
    settings_.clockSource = source;
    playback_.clockSourceChanged();
}

void ModuleCore::setTimerPeriod(double seconds) {
    settings_.timerPeriod = seconds;
    playback_.timerChanged();
}

void ModuleCore::setOutputTriggerLine(int line, bool on) {
    if (on) {
        settings_.outputTriggerLine = line;
    } else if (settings_.outputTriggerLine == line) {
        settings_.outputTriggerSource = OutputTriggerSource::None;
    }
}

void ModuleCore::trigger() { playback_.trigger(); }

int ModuleCore::initiate() { return playback_.initiate(); }

void ModuleCore::abort() { playback_.abort(); }

int ModuleCore::arbChangeAllowed() const {
    return playback_.state() == RunState::ArbRunning ? err::settingsConflict : err::noError;
}

std::uint16_t ModuleCore::readRegister(std::uint16_t offset) const {
    switch (offset) {
        case kIdRegister:
            return idRegisterValue(identity_.manufacturerId);
        case kDeviceTypeRegister:
            return deviceTypeRegisterValue(identity_.modelCode);
        case kSegmentFifoRegister:
            return playback_.fifo().statusWord();
        default:
            break;
    }
    if (isLatched(offset)) return latches_[latchIndex(offset)];
    return kUnusedRegisterValue;
}

void ModuleCore::writeRegister(std::uint16_t offset, std::uint16_t value) {
    if (isLatched(offset)) latches_[latchIndex(offset)] = value;
    switch (offset) {
        case kSegmentFifoRegister:
            selectedSegment_ = value;
            loadPosition_ = 0;
            loadRefused_ = false;
            if (value >= kSegmentCount) reportError_(err::dataOutOfRange);
            break;
        case kChannelRegister:
            selectedChannel_ = value;
            loadPosition_ = 0;
            loadRefused_ = false;
            if (!validChannel(value)) reportError_(err::dataOutOfRange);
            break;
        case kLoadStartRegister:
            loadPosition_ = 0;
            loadRefused_ = false;
            break;
        case kArbDataRegister: {
            const std::uint16_t word[] = {value};
            loadArbWords(word);
            break;
        }
        case kDacSelectRegister:
            selectedDac_ = value;
            if (!validChannel(value + 1)) reportError_(err::dataOutOfRange);
            break;
        case kDacDataRegister:
            if (validChannel(selectedDac_ + 1)) {
                const std::uint16_t code = codeFromWord(value, settings_.dataFormat);
                changeChannel(selectedDac_ + 1).dcCode = code;
                playback_.setOutputCode(selectedDac_ + 1, code);
            } else {
                reportError_(err::settingsConflict);
            }
            break;
        case kArmRegister:
            playback_.arm();
            break;
        default:
            break;  // configuration registers are read-only; the rest decode nothing
    }
}

void ModuleCore::loadArbWords(std::span<const std::uint16_t> words) {
    const auto refuse = [this](int error) {
        if (!loadRefused_) reportError_(error);
        loadRefused_ = true;
    };
    if (selectedSegment_ >= kSegmentCount || !validChannel(selectedChannel_))
        return refuse(err::settingsConflict);
    if (const int refused = arbChangeAllowed()) return refuse(refused);

    // The load may grow the segment by what the pool still has.
    const std::size_t reachable = std::max(arb_.size(selectedSegment_), loadPosition_) + arb_.available();
    const std::size_t fitting = std::min(words.size(), reachable - loadPosition_);
    std::vector<std::uint16_t> codes(words.begin(), words.begin() + static_cast<std::ptrdiff_t>(fitting));
    for (std::uint16_t& code : codes) code = codeFromWord(code, settings_.dataFormat);
    arb_.write(selectedSegment_, selectedChannel_, loadPosition_, codes);
    loadPosition_ += fitting;
    if (fitting < words.size()) refuse(err::outOfMemory);
}

std::size_t ModuleCore::writeRegisterBlock(std::uint16_t offset, std::span<const std::uint16_t> words,
                                           bool increment) {
    if (!increment && offset == kSegmentFifoRegister) {
        SampleFifo& fifo = playback_.fifo();
        const std::size_t room = std::min(words.size(), fifo.depth() - fifo.fill());
        std::vector<std::uint16_t> codes(words.begin(), words.begin() + static_cast<std::ptrdiff_t>(room));
        for (std::uint16_t& code : codes) code = codeFromWord(code, settings_.dataFormat);
        return fifo.push(codes);
    }
    if (!increment && offset == kArbDataRegister) {
        loadArbWords(words);
        return words.size();
    }
    std::size_t taken = 0;
    for (std::uint16_t word : words) {
        const std::uint32_t target = increment ? offset + 2u * taken : offset;
        if (target > kLastRegister) break;
        writeRegister(static_cast<std::uint16_t>(target), word);
        ++taken;
    }
    return taken;
}

}  // namespace kqsim
