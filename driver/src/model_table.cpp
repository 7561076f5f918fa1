#include "model_table.h"

#include <array>
#include <atomic>

#include "c_boundary.h"
#include "status_check.h"
#include "visa_binding.h"

namespace kq7120 {
namespace {

// Entries are atomic so that sessions used from separate threads may identify modules at the same
// time, also two sessions to one address.
using ModelTable = std::array<std::atomic<ViInt16>, kq7120_MAX_LOG_ADDR + 1>;

ModelTable& modelTable() {
    static ModelTable table{};
    return table;
}

bool hasEntry(ViInt16 logicalAddress) { return logicalAddress >= 0 && logicalAddress <= kq7120_MAX_LOG_ADDR; }

}  // namespace

void recordModel(ViInt16 logicalAddress, ViInt16 model) {
    if (!hasEntry(logicalAddress)) return;
    modelTable()[static_cast<std::size_t>(logicalAddress)].store(model, std::memory_order_relaxed);
}

}  // namespace kq7120

using namespace kq7120;

ViStatus getLaFmHndl(ViSession instHndl, ViInt16* logAddr) {
    return guardedCall([&]() -> ViStatus {
        if (!logAddr) return VI_ERROR_PARAMETER2;
        *logAddr = 0;
        ViInt16 address = 0;
        const ViStatus status = visa::getAttribute(instHndl, VI_ATTR_VXI_LA, &address);
        if (failed(status)) return status;
        *logAddr = address;
        return VI_SUCCESS;
    });
}

ViStatus getModelNum(ViSession instHndl, ViInt16* modelNum) {
    return guardedCall([&]() -> ViStatus {
        if (!modelNum) return VI_ERROR_PARAMETER2;
        ViInt16 logicalAddress = 0;
        if (const ViStatus status = getLaFmHndl(instHndl, &logicalAddress); failed(status)) return status;
        *modelNum =
            hasEntry(logicalAddress)
                ? modelTable()[static_cast<std::size_t>(logicalAddress)].load(std::memory_order_relaxed)
                : ViInt16{0};
        return VI_SUCCESS;
    });
}
