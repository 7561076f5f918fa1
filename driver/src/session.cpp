// Opening and closing a module, its identity check and the identification query that fills the
// model table.
#include <mutex>
#include <string>

#include "c_boundary.h"
#include "kq7120.h"
#include "model_table.h"
#include "number_text.h"
#include "reply_text.h"
#include "scoped_session.h"
#include "status_check.h"
#include "transport.h"
#include "visa_binding.h"

namespace kq7120 {
namespace {

constexpr ViUInt16 kIdentityMask = 0x0FFF;

// One resource-manager session for every handle, opened by the first kq7120_init and kept for the
// life of the process. Threads that open their first modules at the same moment share the one
// session; a failed open leaves none, so the next kq7120_init tries again.
ViStatus sharedResourceManager(ViSession& resourceManager) {
    static std::mutex opening;
    static ViSession session = 0;
    const std::lock_guard lock(opening);
    if (session == 0) {
        ViSession opened = 0;
        const ViStatus status = visa::openDefaultRM(&opened);
        if (failed(status)) return status;
        session = opened;
    }
    resourceManager = session;
    return VI_SUCCESS;
}

ViStatus prepareOpenedSession(ViUInt16 idQuery, ViUInt16 resetFlag, ViSession session) {
    if (idQuery == kq7120_INIT_ID_QUERY) {
        if (const ViStatus status = kq7120_verifyID(session); failed(status)) return status;
    }
    if (resetFlag == kq7120_INIT_RESET) {
        if (const ViStatus status = kq7120_reset(session); failed(status)) return status;
    }
    ViInt16 model = 0;
    return kq7120_getModelNumber(session, &model);
}

}  // namespace
}  // namespace kq7120

using namespace kq7120;

ViStatus kq7120_init(ViConstRsrc instrDesc, ViUInt16 idQuery, ViUInt16 resetFlag, ViSession* instHndl) {
    return guardedCall([&]() -> ViStatus {
        if (instHndl) *instHndl = 0;
        if (!instrDesc) return VI_ERROR_PARAMETER1;
        if (idQuery > kq7120_INIT_ID_QUERY) return VI_ERROR_PARAMETER2;
        if (resetFlag > kq7120_INIT_RESET) return VI_ERROR_PARAMETER3;
        if (!instHndl) return VI_ERROR_PARAMETER4;
        ViSession resourceManager = 0;
        if (const ViStatus status = sharedResourceManager(resourceManager); failed(status)) return status;
        ViSession opened = 0;
        if (const ViStatus status = visa::open(resourceManager, instrDesc, &opened); failed(status))
            return status;
        // Until it is handed to the caller, the session is closed on every way out.
        ScopedSession session(opened);
        if (const ViStatus status = prepareOpenedSession(idQuery, resetFlag, session.get()); failed(status))
            return status;
        *instHndl = session.release();
        return VI_SUCCESS;
    });
}

ViStatus kq7120_reset(ViSession instHndl) {
    return guardedCall([&] { return commandWithCheck(instHndl, "*RST"); });
}

ViStatus kq7120_close(ViSession instHndl) {
    return guardedCall([&]() -> ViStatus {
        if (const ViStatus status = kq7120_invalidSession(instHndl); failed(status)) return status;
        const ViStatus status = visa::close(instHndl);
        return failed(status) ? status : VI_SUCCESS;
    });
}

ViStatus kq7120_verifyID(ViSession instHndl) {
    return guardedCall([&]() -> ViStatus {
        ViUInt16 manufacturer = 0;
        ViStatus status = visa::getAttribute(instHndl, VI_ATTR_MANF_ID, &manufacturer);
        if (failed(status)) return status;
        if ((manufacturer & kIdentityMask) != kq7120_MANF_ID) return kq7120_INV_MANF_ID;
        ViUInt16 modelCode = 0;
        status = visa::getAttribute(instHndl, VI_ATTR_MODEL_CODE, &modelCode);
        if (failed(status)) return status;
        if ((modelCode & kIdentityMask) != kq7120_MODEL_CODE) return kq7120_INV_MODEL_CODE;
        return VI_SUCCESS;
    });
}

ViStatus kq7120_getModelNumber(ViSession instHndl, ViInt16* modelNumber) {
    return guardedCall([&]() -> ViStatus {
        if (!modelNumber) return VI_ERROR_PARAMETER2;
        std::string reply;
        if (const ViStatus status = queryWithCheck(instHndl, "*IDN?", kq7120_READ_BUFF_SIZE, reply);
            failed(status))
            return status;
        // "<maker>,<two letters><model number>,..."
        const auto fields = commaFields(reply);
        if (fields.size() < 2) return kq7120_ERROR_IDN_QUERY_RESPONSE;
        const std::string_view modelField = fields[1];
        const ViInt32 number = modelField.size() > 2 ? leadingInteger(modelField.substr(2)) : 0;
        if (number != kq7120_KQ7120 && number != kq7120_KQ7110) return VI_ERROR_RSRC_NFOUND;
        ViInt16 logicalAddress = 0;
        if (const ViStatus status = getLaFmHndl(instHndl, &logicalAddress); failed(status)) return status;
        *modelNumber = static_cast<ViInt16>(number);
        recordModel(logicalAddress, static_cast<ViInt16>(number));
        return VI_SUCCESS;
    });
}
