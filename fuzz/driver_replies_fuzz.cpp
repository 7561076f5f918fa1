// The driver's reply handling: a module answers every query with replies taken from the input (split
// at 0x1E, used in turn), the chassis scan and auto-connect identify it, and every query function of
// the driver runs against it, on a session opened by kq7120_init and on one opened with VISA directly. The
// first two bytes are the word every register reads (the FIFO status). Nothing may crash, overrun or leak,
// whatever the replies hold.
#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "blocking_delay.h"
#include "kq7120.h"
#include "kqvisa/bus_trace.h"
#include "scripted_instrument.h"
#include "visa.h"

namespace {

constexpr char kReplySeparator = '\x1e';
constexpr ViInt32 kWaveformPoints = 64;

void runQueries(ViSession session) {
    ViInt16 shortValue = 0;
    ViUInt16 unsignedValue = 0;
    ViInt16 other = 0;
    ViInt16 third = 0;
    ViInt16 fourth = 0;
    ViInt32 longValue = 0;
    ViInt32 secondLong = 0;
    ViReal32 volts = 0.0f;
    ViReal64 period = 0.0;
    std::array<ViReal32, kq7120_CHANNEL_LIST_KQ7120_MAX> array{};
    std::array<ViReal32, 512> scanList{};
    std::array<ViInt16, kq7120_CAL_DATA_SIZE + 1> calibration{};
    std::array<ViChar, 1025> response{};
    std::array<ViChar, 256> text{};
    std::array<ViChar, 256> secondText{};
    std::array<ViChar, 2 * kWaveformPoints + 8> stream{};
    std::array<ViUInt16, kWaveformPoints> codes{};
    std::array<ViReal64, kWaveformPoints> waveformVolts{};

    kq7120_queryVoltage(session, 3, &volts);
    kq7120_queryVoltageRange(session, 3, &shortValue);
    kq7120_queryTriggerParams(session, &shortValue, &unsignedValue);
    kq7120_queryDACMemoryArray(session, 5, array.data());
    kq7120_queryScanMode(session, 2, &shortValue);
    kq7120_queryScanLimit(session, 2, &shortValue);
    kq7120_queryScanList(session, 2, static_cast<ViInt16>(scanList.size()), 1, scanList.data());
    kq7120_queryScanListAtIndex(session, 2, 7, &volts);
    kq7120_queryClockParms(session, &shortValue, &unsignedValue);
    kq7120_queryMarkerParms(session, &shortValue, &unsignedValue);
    kq7120_queryTimer(session, &period);
    kq7120_queryDataFormat(session, &shortValue);
    kq7120_queryOutput(session, &shortValue, &other, &unsignedValue);
    kq7120_memorySize(session, &longValue);
    kq7120_queryArbMemoryUsage(session, &longValue, &secondLong);
    kq7120_arbQuerySegmentSize(session, 1, &longValue);
    kq7120_arbQueryDataPoint(session, 1, 1, 0, &shortValue);
    kq7120_arbQuerySeqParms(session, 0, &shortValue, &longValue, &other, &third, &fourth);
    ViInt32 points = kWaveformPoints;
    kq7120_arbQueryWaveformData(session, 1, 1, stream.data(), codes.data(), &points);
    points = kWaveformPoints;
    kq7120_arbQueryWaveformVoltage(session, 1, 1, stream.data(), waveformVolts.data(), &points);
    kq7120_calibrationQuery(session, &shortValue, &longValue, calibration.data());
    kq7120_storeCalibrationData(session, "KQ7120", &longValue);
    kq7120_calibrateInstrument(session, 1, 5, -5, "KQ7120", kq7120_STORE, &longValue);
    kq7120_error_query(session, &longValue, text.data());
    kq7120_self_test(session, &shortValue, text.data());
    kq7120_revision_query(session, text.data(), secondText.data());
    kq7120_getOperComplete(session, &shortValue);
    for (ViInt16 which = kq7120_STATUS_BYTE; which <= kq7120_OPERATION_CONDITION; ++which) {
        kq7120_queryDeviceStatusReg(session, which, &longValue);
    }
    kq7120_directIO(session, "SYST:ERR?", response.data());
    kq7120_GetFifoStatus(session, &unsignedValue);
}

ViSession resourceManager = VI_NULL;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    kq7120::scaleWaitsForTests(0.0);
    // Records of millions of calls are of no use here.
    kqvisa::setTraceRecording(false);
    viOpenDefaultRM(&resourceManager);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    const auto registerWord = static_cast<std::uint16_t>(data[0] | (data[1] << 8));
    const std::string_view replies(reinterpret_cast<const char*>(data) + 2, size - 2);
    kqfuzz::mountAlone(std::make_shared<kqfuzz::ScriptedInstrument>(
        kqfuzz::splitInput(replies, kReplySeparator), registerWord));
    std::array<ViInt16, kq7120_MAX_SLOTS_IN_CHASSIS> addresses{};
    std::array<ViInt16, kq7120_MAX_SLOTS_IN_CHASSIS> slots{};
    std::array<ViInt16, kq7120_MAX_SLOTS_IN_CHASSIS> models{};
    std::array<ViInt16, kq7120_MAX_SLOTS_IN_CHASSIS> interfaces{};
    ViInt16 found = 0;
    ViInt16 connection = 0;
    kq7120_scanChassis(addresses.data(), slots.data(), models.data(), interfaces.data(), &found, &connection);
    ViSession session = VI_NULL;
    if (kq7120_autoConnectToFirst(&session) == VI_SUCCESS) kq7120_close(session);
    session = VI_NULL;
    if (kq7120_init(kqfuzz::kMountedDescriptor, kq7120_INIT_ID_QUERY, kq7120_INIT_RESET, &session) ==
        VI_SUCCESS) {
        runQueries(session);
        kq7120_close(session);
    }
    if (viOpen(resourceManager, kqfuzz::kMountedDescriptor, VI_NULL, 0, &session) == VI_SUCCESS) {
        runQueries(session);
        viClose(session);
    }
    kqsim::installMainframe(nullptr);
    return 0;
}
