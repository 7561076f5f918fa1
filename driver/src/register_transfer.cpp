// Bulk waveform data through the module's registers: a few register writes select where an ARB load
// goes, then one block move pushes every sample into a data port whose address does not increment.
// The FIFO is fed the same way through its own port.
#include <memory>
#include <span>

#include "c_boundary.h"
#include "dac_code.h"
#include "kq7120.h"
#include "register_map.h"
#include "status_check.h"
#include "transport.h"
#include "visa_binding.h"

namespace kq7120 {
namespace {

// A register write followed by the module's error check.
ViStatus writeRegisterChecked(ViSession instHndl, ViBusAddress offset, ViUInt16 value) {
    const ViStatus status = visa::out16(instHndl, VI_A16_SPACE, offset, value);
    if (failed(status)) return status;
    return checkInstrumentError(instHndl);
}

// Segment, channel, then the start of the load at point 0.
ViStatus selectArbDestination(ViSession instHndl, ViInt16 segment, ViInt16 channel) {
    if (const ViStatus status =
            writeRegisterChecked(instHndl, registers::kSegmentFifo, static_cast<ViUInt16>(segment));
        failed(status)) {
        return status;
    }
    if (const ViStatus status =
            writeRegisterChecked(instHndl, registers::kChannel, static_cast<ViUInt16>(channel));
        failed(status))
        return status;
    return writeRegisterChecked(instHndl, registers::kLoadStart, 0);
}

// One block move into a port: every word to the same address, so the destination increment is off
// during the move and on again after it. A failing step ends the move with its status.
ViStatus moveToPort(ViSession instHndl, ViBusAddress port, std::span<const ViUInt16> words) {
    ViStatus status = visa::setAttribute(instHndl, VI_ATTR_DEST_INCREMENT, 0);
    if (failed(status)) return status;
    status = visa::moveOut16(instHndl, VI_A16_SPACE, port, words.size(), words.data());
    if (failed(status)) return status;
    return visa::setAttribute(instHndl, VI_ATTR_DEST_INCREMENT, 1);
}

// The codes of a voltage load, converted into one array before anything is moved. Not zeroed first:
// every element is written before it is read.
class CodeBuffer {
public:
    explicit CodeBuffer(std::size_t count)
        : codes_(std::make_unique_for_overwrite<ViUInt16[]>(count)), count_(count) {}
    std::span<ViUInt16> codes() { return {codes_.get(), count_}; }

private:
    std::unique_ptr<ViUInt16[]> codes_;
    std::size_t count_;
};

ViStatus convertVolts(std::span<const ViReal64> volts, ViInt16 range, ViInt16 format, CodeBuffer& buffer) {
    const auto scale = outputScaleOf(range);
    if (!scale) return VI_ERROR_PARAMETER2;
    return voltsToCodes(volts, *scale, format, buffer.codes());
}

}  // namespace
}  // namespace kq7120

using namespace kq7120;

ViStatus kq7120_arbLoadVoltage(ViSession instHndl, ViInt16 segmentNumber, ViInt16 channel, ViInt16 Range,
                               const ViReal64 waveBuffer[], ViInt32 buffSize) {
    return guardedCall([&]() -> ViStatus {
        if (const ViStatus status = kq7120_invalidSession(instHndl); failed(status)) return status;
        if (!waveBuffer) return VI_ERROR_PARAMETER5;
        if (buffSize < 0) return VI_ERROR_PARAMETER6;
        ViInt16 format = 0;
        if (const ViStatus status = kq7120_queryDataFormat(instHndl, &format); failed(status)) return status;
        if (const ViStatus status = selectArbDestination(instHndl, segmentNumber, channel); failed(status))
            return status;
        // The range is judged only now, after the destination registers: callers have always seen it so.
        const auto volts = std::span(waveBuffer, static_cast<std::size_t>(buffSize));
        if (!outputScaleOf(Range)) return VI_ERROR_PARAMETER2;
        CodeBuffer buffer(volts.size());
        if (const ViStatus status = convertVolts(volts, Range, format, buffer); failed(status)) return status;
        if (const ViStatus status = moveToPort(instHndl, registers::kArbData, buffer.codes()); failed(status))
            return status;
        return checkInstrumentError(instHndl);
    });
}

ViStatus kq7120_arbLoadData(ViSession instHndl, ViInt16 sgmtNmbr, ViInt16 chanNmbr, const ViUInt16 waveData[],
                            ViInt32 trcSize) {
    return guardedCall([&]() -> ViStatus {
        if (const ViStatus status = kq7120_invalidSession(instHndl); failed(status)) return status;
        if (!waveData) return VI_ERROR_PARAMETER4;
        if (trcSize < 0) return VI_ERROR_PARAMETER5;
        if (const ViStatus status = selectArbDestination(instHndl, sgmtNmbr, chanNmbr); failed(status))
            return status;
        const auto codes = std::span(waveData, static_cast<std::size_t>(trcSize));
        if (const ViStatus status = moveToPort(instHndl, registers::kArbData, codes); failed(status))
            return status;
        return checkInstrumentError(instHndl);
    });
}

ViStatus kq7120_loadFIFOVoltage(ViSession instHndl, ViInt16, ViInt16 Range, const ViReal64 waveBuffer[],
                                ViInt32 buffSize) {
    return guardedCall([&]() -> ViStatus {
        if (const ViStatus status = kq7120_invalidSession(instHndl); failed(status)) return status;
        if (!waveBuffer) return VI_ERROR_PARAMETER4;
        if (buffSize < 0) return VI_ERROR_PARAMETER5;
        ViInt16 format = 0;
        if (const ViStatus status = kq7120_queryDataFormat(instHndl, &format); failed(status)) return status;
        if (const ViStatus status = writeRegisterChecked(instHndl, registers::kLoadStart, 0); failed(status))
            return status;
        const auto volts = std::span(waveBuffer, static_cast<std::size_t>(buffSize));
        CodeBuffer buffer(volts.size());
        if (const ViStatus status = convertVolts(volts, Range, format, buffer); failed(status)) return status;
        if (const ViStatus status = moveToPort(instHndl, registers::kSegmentFifo, buffer.codes());
            failed(status)) {
            return status;
        }
        return checkInstrumentError(instHndl);
    });
}

ViStatus kq7120_loadFIFO_Data(ViSession instHndl, const ViUInt16 dataBuffer[], ViInt32 buffSize) {
    return guardedCall([&]() -> ViStatus {
        if (const ViStatus status = kq7120_invalidSession(instHndl); failed(status)) return status;
        if (!dataBuffer) return VI_ERROR_PARAMETER2;
        if (buffSize < 0) return VI_ERROR_PARAMETER3;
        return moveToPort(instHndl, registers::kSegmentFifo,
                          std::span(dataBuffer, static_cast<std::size_t>(buffSize)));
    });
}
