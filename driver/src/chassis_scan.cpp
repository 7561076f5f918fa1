// Finding the KQ7120/KQ7110 modules VISA can reach, and opening the first of them.
#include <array>
#include <iterator>
#include <string>
#include <utility>

#include "c_boundary.h"
#include "kq7120.h"
#include "number_text.h"
#include "scoped_session.h"
#include "status_check.h"
#include "visa_binding.h"

namespace kq7120 {
namespace {

constexpr const char* kVxiInstruments = "?*VXI?*INSTR";
constexpr std::size_t kDescriptorCapacity = 256;

struct ScanLists {
    ViInt16* logicalAddresses;
    ViInt16* slots;
    ViInt16* models;
    ViInt16* interfaces;
    ViInt16* found;
};

// Opens one resource and, if it is one of ours, appends it to the lists. Resources of another maker
// or model are skipped; only VISA failures and unexpected identification failures end the scan.
ViStatus examine(ViSession resourceManager, const char* descriptor, const ScanLists& lists) {
    ScopedSession session;
    ViStatus status = visa::open(resourceManager, descriptor, session.out());
    if (failed(status)) return status;
    ViInt16 logicalAddress = 0;
    ViInt16 slot = 0;
    ViInt16 interfaceNumber = 0;
    for (auto [attribute, value] :
         {std::pair{VI_ATTR_VXI_LA, &logicalAddress}, std::pair{VI_ATTR_SLOT, &slot},
          std::pair{VI_ATTR_INTF_NUM, &interfaceNumber}}) {
        status = visa::getAttribute(session.get(), attribute, value);
        if (failed(status)) return status;
    }
    if (failed(kq7120_verifyID(session.get()))) return VI_SUCCESS;
    const auto entry = static_cast<std::size_t>(*lists.found);
    lists.logicalAddresses[entry] = logicalAddress;
    lists.slots[entry] = slot;
    ViInt16 model = 0;
    status = kq7120_getModelNumber(session.get(), &model);
    if (status == VI_ERROR_RSRC_NFOUND) return VI_SUCCESS;
    if (failed(status)) return status;
    lists.models[entry] = model;
    lists.interfaces[entry] = interfaceNumber;
    ++*lists.found;
    return VI_SUCCESS;
}

ViStatus scan(const ScanLists& lists, ViInt16* intfFlag) {
    ScopedSession resourceManager;
    ViStatus status = visa::openDefaultRM(resourceManager.out());
    if (failed(status)) return status;
    ViFindList findList = 0;
    ViUInt32 matches = 0;
    std::array<ViChar, kDescriptorCapacity> descriptor{};
    status = visa::findRsrc(resourceManager.get(), kVxiInstruments, &findList, &matches, descriptor.data());
    if (failed(status)) return status;
    *intfFlag = descriptor[0] == 'V' ? kq7120_VXI_CONNECTION : kq7120_GPIB_VXI_CONNECTION;
    for (ViUInt32 index = 0; index < matches; ++index) {
        if (index > 0) {
            status = visa::findNext(findList, descriptor.data());
            if (failed(status)) return status;
        }
        // The caller's lists hold one entry per slot of a chassis.
        if (*lists.found >= kq7120_MAX_SLOTS_IN_CHASSIS) break;
        descriptor.back() = '\0';
        if (const ViStatus status = examine(resourceManager.get(), descriptor.data(), lists); failed(status))
            return status;
    }
    return VI_SUCCESS;
}

}  // namespace
}  // namespace kq7120

using namespace kq7120;

ViStatus kq7120_scanChassis(ViInt16 ladrList[], ViInt16 slotList[], ViInt16 mNumList[], ViInt16 iNumList[],
                            ViInt16* numFound, ViInt16* intfFlag) {
    return guardedCall([&]() -> ViStatus {
        ViInt16* const lists[] = {ladrList, slotList, mNumList, iNumList, numFound, intfFlag};
        for (std::size_t position = 0; position < std::size(lists); ++position) {
            if (!lists[position]) return VI_ERROR_PARAMETER1 + static_cast<ViStatus>(position);
        }
        *numFound = 0;
        *intfFlag = 0;
        ladrList[0] = slotList[0] = mNumList[0] = iNumList[0] = 0;
        return scan({ladrList, slotList, mNumList, iNumList, numFound}, intfFlag);
    });
}

ViStatus kq7120_autoConnectToFirst(ViSession* instHndl) {
    return guardedCall([&]() -> ViStatus {
        if (!instHndl) return VI_ERROR_PARAMETER1;
        std::array<ViInt16, kq7120_MAX_SLOTS_IN_CHASSIS + 1> logicalAddresses{}, slots{}, models{},
            interfaces{};
        ViInt16 found = 0;
        ViInt16 intfFlag = 0;
        if (const ViStatus status = kq7120_scanChassis(logicalAddresses.data(), slots.data(), models.data(),
                                                       interfaces.data(), &found, &intfFlag);
            failed(status)) {
            return status;
        }
        if (found == 0) return VI_ERROR_RSRC_NFOUND;
        const std::string descriptor = (intfFlag == kq7120_GPIB_VXI_CONNECTION ? "GPIB-VXI" : "VXI") +
                                       decimalText(interfaces[0]) + "::" + decimalText(logicalAddresses[0]) +
                                       "::INSTR";
        return kq7120_init(descriptor.c_str(), kq7120_INIT_ID_QUERY, kq7120_INIT_RESET, instHndl);
    });
}
