// What the module's outputs do: the code each DAC holds, where each scanning channel stands in its
// table, the FIFO and the run state of the waveform generator. Settings say what was programmed;
// this class turns them into output as events arrive (trigger, initiate, abort).
#pragma once

#include <array>
#include <cstdint>

#include "arb_memory.h"
#include "module_settings.h"
#include "sample_fifo.h"

namespace kqsim {

class Playback {
public:
    // Power-on and *RST: outputs at their DC codes, FIFO empty, generator idle.
    void reset(const ModuleSettings& settings);

    std::uint16_t outputCode(int channel) const { return outputs_[index(channel)]; }
    // A DAC written directly (register mode) holds the code whatever its mode.
    void setOutputCode(int channel, std::uint16_t code) { outputs_[index(channel)] = code; }
    // The channel's DC setting or mode changed: a channel in DC mode follows its DC code; a channel
    // that starts scanning waits for the first trigger at the top of its table.
    void channelChanged(const ModuleSettings& settings, int channel);
    // Scan entry (1-based) the channel output last; 0 before its first trigger.
    int scanPosition(int channel) const { return scanPositions_[index(channel)]; }

    // A trigger event: every channel scanning ON or LOOP steps to its next table entry. ON stops at
    // the scan limit; LOOP goes on with entry 1.
    void trigger(const ModuleSettings& settings, int channelCount);

    // INIT: starts the generator in the mode the channels are in. 0 or the SCPI error number.
    int initiate(const ModuleSettings& settings, const ArbMemory& memory, int channelCount);
    // ABOR: generator idle, FIFO emptied, ARB no longer armed.
    void abort();
    // The register-mode arm of the ARB.
    void arm() { armed_ = true; }
    bool armed() const { return armed_; }
    RunState state() const { return state_; }
    // A mode change left no channel in the mode the generator runs in.
    void stopIfUnused(const ModuleSettings& settings, int channelCount);

    SampleFifo& fifo() { return fifo_; }
    const SampleFifo& fifo() const { return fifo_; }

private:
    static std::size_t index(int channel) { return static_cast<std::size_t>(channel - 1); }

    std::array<std::uint16_t, kMaxChannels> outputs_{};
    std::array<int, kMaxChannels> scanPositions_{};
    SampleFifo fifo_;
    RunState state_ = RunState::Idle;
    bool armed_ = false;
};

}  // namespace kqsim
