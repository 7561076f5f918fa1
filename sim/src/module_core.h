// Everything a KQ module is, apart from its message interface: settings, waveform memory,
// calibration, outputs and the A16 registers. Commands and register accesses both act on it.
// Operations return 0 or the SCPI error number that refuses them; refused operations change nothing.
// Settings are read through const views and changed only through the operations here, so that every
// change reaches the playback. The waveform memory, calibration and playback keep their own rules.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "arb_memory.h"
#include "calibration.h"
#include "kq_registers.h"
#include "kqsim/chassis_config.h"
#include "module_settings.h"
#include "playback.h"

namespace kqsim {

struct ModuleIdentityWords {
    std::uint16_t manufacturerId = kOurManufacturerId;
    std::uint16_t modelCode = kOurModelCode;
};

class ModuleCore {
public:
    // `idnReply`: the "*IDN?" reply without its newline. `reportError` takes errors that arise outside
    // a command (register accesses).
    ModuleCore(ModuleKind kind, ModuleIdentityWords identity, std::string idnReply, NvStore store,
               std::function<void(int)> reportError);

    int channelCount() const { return channelCount_; }
    const std::string& idnReply() const { return idnReply_; }
    bool validChannel(int channel) const { return channel >= 1 && channel <= channelCount_; }

    void reset();  // *RST
    // Plays the outputs up to `now`; operations afterwards happen at that time.
    void advanceTo(SimClock::time_point now) { playback_.advanceTo(now); }

    const ModuleSettings& settings() const { return settings_; }
    const ChannelSettings& channel(int channel) const {
        return settings_.channels[static_cast<std::size_t>(channel - 1)];
    }
    ArbMemory& arb() { return arb_; }
    const ArbMemory& arb() const { return arb_; }
    Calibration& calibration() { return calibration_; }
    const Calibration& calibration() const { return calibration_; }
    Playback& playback() { return playback_; }
    const Playback& playback() const { return playback_; }

    // DC output. Channels are checked by the caller; values against each channel's range.
    int setVoltage(std::span<const int> channels, double volts);
    double programmedVoltage(int channel) const;
    // A range change keeps each channel's voltage; one beyond the new range goes to its nearest end.
    int setRange(std::span<const int> channels, OutputRange range);
    // Memory arrays 1-512; values within the 20 V span. Applying one checks every channel's range first.
    int storeMemoryArray(int index, std::span<const double> volts);
    int applyMemoryArray(int index);

    int setScanMode(std::span<const int> channels, ScanMode mode);
    int setScanLimit(int channel, int limit);
    int setScanTable(int channel, int firstEntry, std::span<const double> volts);

    // Trigger and clock settings; the playback follows them from now on.
    void setTriggerSource(TriggerSource source);
    void setClockSource(ClockSource source);
    void setTimerPeriod(double seconds);
    // Read by the playback as it goes.
    void setTriggerSlope(Slope slope) { settings_.triggerSlope = slope; }
    void setClockSlope(Slope slope) { settings_.clockSlope = slope; }
    void setMarker(bool on) { settings_.markerOn = on; }
    void setMarkerSlope(Slope slope) { settings_.markerSlope = slope; }
    void setOutputTriggerSource(OutputTriggerSource source) { settings_.outputTriggerSource = source; }
    // OUTP:TTLT<n>: on drives line n; off on the line in use stops the output trigger.
    void setOutputTriggerLine(int line, bool on);
    void setDataFormat(DataFormat format) { settings_.dataFormat = format; }

    void trigger();
    int initiate();
    void abort();

    // Segment changes are refused (-221) while the ARB plays.
    int arbChangeAllowed() const;

    std::int16_t selfTestResult() const { return selfTestResult_; }
    void setSelfTestResult(std::int16_t result) { selfTestResult_ = result; }

    // A16 registers.
    std::uint16_t readRegister(std::uint16_t offset) const;
    void writeRegister(std::uint16_t offset, std::uint16_t value);
    std::size_t writeRegisterBlock(std::uint16_t offset, std::span<const std::uint16_t> words,
                                   bool increment);

private:
    ChannelSettings& changeChannel(int channel) {
        return settings_.channels[static_cast<std::size_t>(channel - 1)];
    }
    void loadArbWords(std::span<const std::uint16_t> words);

    const int channelCount_;
    const ModuleIdentityWords identity_;
    const std::string idnReply_;
    std::function<void(int)> reportError_;
    ModuleSettings settings_;
    ArbMemory arb_;
    Calibration calibration_;
    Playback playback_;
    std::int16_t selfTestResult_ = 0;

    // Register-load state: the selection and position of the ARB load, and the read-back latches
    // of the write-only registers 0x22-0x2C.
    int selectedSegment_ = 0;
    int selectedChannel_ = 1;
    std::size_t loadPosition_ = 0;
    bool loadRefused_ = false;  // the current load already reported its error
    int selectedDac_ = 0;
    std::array<std::uint16_t, (kLastLatchedRegister - kFirstLatchedRegister) / 2 + 1> latches_{};
};

}  // namespace kqsim
