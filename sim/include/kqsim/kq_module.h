// A simulated KQ7120 (16 channels) or KQ7110 (8 channels) DAC module: the SCPI command set over its
// word-serial interface, its A16 registers, and non-volatile calibration memory in a state file.
// A mainframe's KQ modules are reached as dynamic_cast<KqModule*>(mounted.instrument.get()).
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "kqsim/chassis_config.h"
#include "kqsim/instrument.h"
#include "kqsim/kq_module_types.h"

namespace kqsim {

inline constexpr const char* kKqMakerName = "Harlowfen Instruments";
inline constexpr const char* kKqFirmwareRevision = "A.02.05";

struct KqModuleOptions {
    ModuleKind kind = ModuleKind::KQ7120;  // KQ7120 or KQ7110
    std::uint16_t manufacturerId = kOurManufacturerId;
    std::uint16_t modelCode = kOurModelCode;
    std::string idnModel;   // empty: the kind's own name
    std::string stateFile;  // non-volatile memory; empty: kept in memory only
};

class KqModule final : public Instrument {
public:
    explicit KqModule(KqModuleOptions options);
    ~KqModule() override;
    KqModule(const KqModule&) = delete;
    KqModule& operator=(const KqModule&) = delete;

    void writeMessage(std::string_view bytes, bool end) override;
    bool replyPending() const override;
    ReplyChunk readReply(char* into, std::size_t max) override;
    void deviceClear() override;
    std::uint8_t statusByte() override;
    std::uint16_t readRegister(std::uint16_t offset) override;
    void writeRegister(std::uint16_t offset, std::uint16_t value) override;
    std::size_t writeRegisterBlock(std::uint16_t offset, const std::uint16_t* words, std::size_t count,
                                   bool increment) override;
    // A playing FIFO frees room at its sample clock.
    std::optional<std::chrono::nanoseconds> timeUntilRoom(std::uint16_t offset, std::size_t words) override;

    // Accessors for tests and output views. They take the module's lock, so they may be called from
    // any thread, and bring the playback up to SimClock::now() first. Channels are 1-based up to
    // channelCount(), scan entries and memory arrays 1-512, segments 0-4095, sequence steps 0-4095;
    // other numbers throw std::out_of_range.
    int channelCount() const;
    std::string identity() const;  // the "*IDN?" reply without its newline
    std::string stateFile() const;

    // What a channel's DAC outputs now, as an offset-binary code (0x8000 = 0 V) and in volts.
    std::uint16_t dacCode(int channel) const;
    double outputVoltage(int channel) const;
    // The channel's most recent output samples (at most `count`, kOutputHistoryLength kept), oldest
    // first: every value its DAC took, each sample clock of a playing generator included.
    std::vector<OutputSample> recentOutput(int channel, std::size_t count = kOutputHistoryLength) const;
    // The programmed DC level (what "SOUR:VOLT:LEV?" answers).
    double programmedVoltage(int channel) const;
    OutputRange outputRange(int channel) const;
    ScanMode scanMode(int channel) const;
    int scanLimit(int channel) const;
    double scanTableEntry(int channel, int entry) const;
    // Scan entry the channel output last; 0 before its first trigger.
    int scanPosition(int channel) const;
    std::vector<double> memoryArray(int index) const;  // one value per channel

    TriggerSource triggerSource() const;
    Slope triggerSlope() const;
    ClockSource clockSource() const;
    Slope clockSlope() const;
    double timerPeriod() const;
    bool markerOn() const;
    Slope markerSlope() const;
    OutputTriggerSource outputTriggerSource() const;
    int outputTriggerLine() const;
    DataFormat dataFormat() const;

    // Points of a segment (0 when not defined) and a channel's samples as offset-binary codes.
    std::size_t segmentSize(int segment) const;
    std::vector<std::uint16_t> segmentCodes(int segment, int channel) const;
    std::size_t waveformMemoryUsed() const;
    std::vector<int> sequence() const;
    SequenceStep sequenceStep(int step) const;

    std::size_t fifoFill() const;
    std::uint16_t fifoStatus() const;  // as register 0x20 reads
    RunState runState() const;
    bool arbArmed() const;
    // The marker signal (before its slope): with the marker output enabled, on while the outputs
    // hold a point of a sequence step whose marker is on.
    bool markerActive() const;

    std::array<std::int8_t, kCalibrationConstants> calibrationConstants() const;
    std::int32_t calibrationCount() const;
    bool calibrationSecure() const;
    bool calibrationAutoStore() const;

    // The "*TST?" result: 0 passes; non-zero simulates a hardware fault.
    void setSelfTestResult(std::int16_t result);

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace kqsim
