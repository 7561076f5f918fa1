// The SCPI command set of the KQ module: one table of headers and the handlers that turn each
// command into an operation on the module.
#pragma once

#include <string>
#include <vector>

#include "module_core.h"
#include "scpi/call.h"
#include "scpi/command_tree.h"

namespace kqsim {

class KqCommandSet {
public:
    // `identity`: the "*IDN?" reply without its newline.
    KqCommandSet(ModuleCore& core, std::string identity);
    KqCommandSet(const KqCommandSet&) = delete;
    KqCommandSet& operator=(const KqCommandSet&) = delete;

    // The table captures this object, which must outlive the interpreter that runs it.
    std::vector<scpi::Command> table();
    const std::string& identity() const { return identity_; }

private:
    using Call = scpi::Call;

    // Parameter helpers; each reports its own error and returns nothing on failure.
    // One channel, written as a number (3) or a one-entry channel list ((@3)).
    std::optional<int> channelArgument(Call& call, std::size_t index);
    // The channel list at `index`, or every channel when the command has no parameter there.
    std::optional<std::vector<int>> channelsArgument(Call& call, std::size_t index);
    // Sequence steps as a channel list ((@2)) or a number.
    std::optional<std::vector<int>> stepsArgument(Call& call, std::size_t index);
    std::optional<int> stepArgument(Call& call, std::size_t index);
    std::optional<int> segmentArgument(Call& call, std::size_t index);
    // A security code, sent as a block (#16abcdef) or a string.
    std::optional<std::string> codeArgument(Call& call, std::size_t index);
    // A voltage as sent (the module checks it against the channel), or a limit keyword's value.
    std::optional<double> voltsArgument(Call& call, std::size_t index, const scpi::NumericRange& limits);
    // TIM? MAX and the like: with MINimum, MAXimum or DEFault as first parameter the query answers
    // that limit of its setting, in the setting's reply form, and this returns true.
    static bool answeredLimit(Call& call, const scpi::NumericRange& limits, std::string (*format)(double));
    // Fails the call with `error` unless it is 0; true when it was 0.
    static bool succeeded(Call& call, int error);

    void identify(Call& call);
    void reset(Call& call);
    void selfTest(Call& call);
    void trigger(Call& call);

    void setVoltage(Call& call);
    void queryVoltage(Call& call);
    void setRange(Call& call);
    void queryRange(Call& call);
    void applyMemoryArray(Call& call);
    void setDataFormat(Call& call);
    void queryDataFormat(Call& call);
    void storeMemoryArray(Call& call);
    void queryMemoryArray(Call& call);

    void setScanMode(Call& call);
    void queryScanMode(Call& call);
    void setScanLimit(Call& call);
    void queryScanLimit(Call& call);
    void setScanTable(Call& call);
    void queryScanTable(Call& call);
    void setScanEntry(Call& call);
    void queryScanEntry(Call& call);

    void setTriggerSource(Call& call);
    void queryTriggerSource(Call& call);
    void setTriggerSlope(Call& call);
    void queryTriggerSlope(Call& call);
    void setClockSource(Call& call);
    void queryClockSource(Call& call);
    void setClockSlope(Call& call);
    void queryClockSlope(Call& call);
    void setTimer(Call& call);
    void queryTimer(Call& call);
    void setMarkerState(Call& call);
    void queryMarkerState(Call& call);
    void setMarkerSlope(Call& call);
    void queryMarkerSlope(Call& call);
    void setOutputTriggerLine(Call& call);
    void queryOutputTriggerLine(Call& call);
    void setOutputTriggerSource(Call& call);
    void queryOutputTriggerSource(Call& call);
    void initiate(Call& call);
    void abort(Call& call);

    void defineSegment(Call& call);
    void resizeSegment(Call& call);
    void querySegmentSize(Call& call);
    void deleteAllSegments(Call& call);
    void writeSegmentData(Call& call);
    void querySegmentData(Call& call);
    void setDataPoint(Call& call);
    void queryDataPoint(Call& call);
    void queryFreeMemory(Call& call);
    void queryMemorySize(Call& call);

    void setSequenceLength(Call& call);
    void querySequenceLength(Call& call);
    void setSequenceList(Call& call);
    void querySequenceList(Call& call);
    void setSequenceStart(Call& call);
    void querySequenceStart(Call& call);
    void setSequenceAdvance(Call& call);
    void querySequenceAdvance(Call& call);
    void setSequenceDwell(Call& call);
    void querySequenceDwell(Call& call);
    void setSequenceMarker(Call& call);
    void querySequenceMarker(Call& call);

    void setCalibrationGain(Call& call);
    void queryCalibrationGain(Call& call);
    void setCalibrationZero(Call& call);
    void queryCalibrationZero(Call& call);
    void setCalibrationData(Call& call);
    void queryCalibrationData(Call& call);
    void queryCalibrationCount(Call& call);
    void storeCalibration(Call& call);
    void setAutoStore(Call& call);
    void queryAutoStore(Call& call);
    void setSecurityState(Call& call);
    void querySecurityState(Call& call);
    void setSecurityCode(Call& call);

    void setConstant(Call& call, bool gain);
    void queryConstant(Call& call, bool gain);

    ModuleCore& core_;
    std::string identity_;
};

}  // namespace kqsim
