// DAC memory arrays: numbered sets of one voltage per channel that switch all channels at once.
#include <span>
#include <string>

#include "c_boundary.h"
#include "kq7120.h"
#include "model_table.h"
#include "number_text.h"
#include "status_check.h"
#include "transport.h"
#include "voltage_list.h"

namespace kq7120 {
namespace {

ViStatus checkIndex(ViInt16 index) {
    return kq7120_invalidIntegerRange(index, kq7120_INDEX_MIN, kq7120_INDEX_MAX, VI_ERROR_PARAMETER2);
}

}  // namespace
}  // namespace kq7120

using namespace kq7120;

ViStatus kq7120_memorySetup(ViSession instHndl, ViInt16 index, const ViReal32 voltageList[]) {
    return guardedCall([&]() -> ViStatus {
        ViInt16 model = 0;
        if (const ViStatus status = getModelNum(instHndl, &model); failed(status)) return status;
        if (const ViStatus status = checkIndex(index); failed(status)) return status;
        if (!voltageList) return VI_ERROR_PARAMETER3;
        const auto voltages = std::span(voltageList, static_cast<std::size_t>(channelCountOf(model)));
        if (const ViStatus status = checkVoltages(voltages, VI_ERROR_PARAMETER3); failed(status))
            return status;
        return commandWithCheck(instHndl, "MEM:SET " + decimalText(index) + "," + voltageListText(voltages));
    });
}

ViStatus kq7120_queryDACMemoryArray(ViSession instHndl, ViInt16 index, ViReal32 voltageList[]) {
    return guardedCall([&]() -> ViStatus {
        if (const ViStatus status = checkIndex(index); failed(status)) return status;
        if (!voltageList) return VI_ERROR_PARAMETER3;
        std::string reply;
        if (const ViStatus status =
                queryWithCheck(instHndl, "MEM:SET? " + decimalText(index), kq7120_READ_BUFF_SIZE, reply);
            failed(status)) {
            return status;
        }
        // The module answers with one value per channel; the caller's array holds the 16 of the
        // largest model, and a longer reply is cut there.
        readVoltageList(reply,
                        std::span(voltageList, static_cast<std::size_t>(kq7120_CHANNEL_LIST_KQ7120_MAX)));
        return VI_SUCCESS;
    });
}

ViStatus kq7120_sourceVoltageSetup(ViSession instHndl, ViInt16 index) {
    return guardedCall([&]() -> ViStatus {
        if (const ViStatus status = checkIndex(index); failed(status)) return status;
        return commandWithCheck(instHndl, "SOUR:VOLT:SET " + decimalText(index));
    });
}
