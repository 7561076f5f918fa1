#include "playback.h"

#include "dac_code.h"
#include "scpi/error_queue.h"

namespace kqsim {

namespace err = scpi::err;

namespace {

bool anyChannelIn(const ModuleSettings& settings, int channelCount, ScanMode mode) {
    for (int channel = 1; channel <= channelCount; ++channel) {
        if (settings.channels[static_cast<std::size_t>(channel - 1)].scanMode == mode) return true;
    }
    return false;
}

}  // namespace

void Playback::reset(const ModuleSettings& settings) {
    for (std::size_t i = 0; i < outputs_.size(); ++i) outputs_[i] = settings.channels[i].dcCode;
    scanPositions_.fill(0);
    fifo_.clear();
    state_ = RunState::Idle;
    armed_ = false;
}

void Playback::channelChanged(const ModuleSettings& settings, int channel) {
    const ChannelSettings& programmed = settings.channels[index(channel)];
    if (programmed.scanMode == ScanMode::Off) outputs_[index(channel)] = programmed.dcCode;
    if (programmed.scanMode != ScanMode::On && programmed.scanMode != ScanMode::Loop) {
        scanPositions_[index(channel)] = 0;
    }
}

void Playback::trigger(const ModuleSettings& settings, int channelCount) {
    for (int channel = 1; channel <= channelCount; ++channel) {
        const ChannelSettings& programmed = settings.channels[index(channel)];
        int& position = scanPositions_[index(channel)];
        if (programmed.scanMode == ScanMode::On) {
            if (position < programmed.scanLimit) ++position;
        } else if (programmed.scanMode == ScanMode::Loop) {
            position = position >= programmed.scanLimit ? 1 : position + 1;
        } else {
            continue;
        }
        const double volts = programmed.scanTable[static_cast<std::size_t>(position - 1)];
        if (auto code = codeForVolts(volts, programmed.range)) outputs_[index(channel)] = *code;
    }
}

int Playback::initiate(const ModuleSettings& settings, const ArbMemory& memory, int channelCount) {
    if (state_ != RunState::Idle) return err::initIgnored;
    const bool arb = anyChannelIn(settings, channelCount, ScanMode::Arb);
    const bool fifo = anyChannelIn(settings, channelCount, ScanMode::Fifo);
    if (arb == fifo) return err::settingsConflict;  // neither mode, or both at once
    if (arb) {
        if (memory.sequence().empty()) return err::settingsConflict;
        for (int segment : memory.sequence()) {
            if (!memory.defined(segment)) return err::settingsConflict;
        }
        state_ = RunState::ArbRunning;
    } else {
        state_ = RunState::FifoRunning;
    }
    return err::noError;
}

void Playback::abort() {
    state_ = RunState::Idle;
    armed_ = false;
    fifo_.clear();
}

void Playback::stopIfUnused(const ModuleSettings& settings, int channelCount) {
    if ((state_ == RunState::ArbRunning && !anyChannelIn(settings, channelCount, ScanMode::Arb)) ||
        (state_ == RunState::FifoRunning && !anyChannelIn(settings, channelCount, ScanMode::Fifo))) {
        state_ = RunState::Idle;
    }
}

}  // namespace kqsim
