// Message-based operations: viWrite, viRead, viClear, viReadSTB, viFlush, viAssertTrigger.
#include "api_call.h"
#include "export.h"
#include "fault_plan.h"
#include "formatted_io.h"
#include "message_transfer.h"

using namespace kqvisa;

namespace {

constexpr ViUInt16 kFlushMasks = VI_READ_BUF | VI_WRITE_BUF | VI_READ_BUF_DISCARD | VI_WRITE_BUF_DISCARD |
                                 VI_IO_IN_BUF | VI_IO_OUT_BUF | VI_IO_IN_BUF_DISCARD | VI_IO_OUT_BUF_DISCARD;

bool bothSet(ViUInt16 mask, ViUInt16 first, ViUInt16 second) {
    return (mask & first) != 0 && (mask & second) != 0;
}

}  // namespace

extern "C" {

KQ_VISA_EXPORT ViStatus viWrite(ViSession vi, ViConstBuf buf, ViUInt32 cnt, ViPUInt32 retCnt) {
    return tracedCall(Op::Write, vi, [&](TraceRecord& record) -> ViStatus {
        if (retCnt != nullptr) *retCnt = 0;
        const auto session = sessionTable().instrument(vi);
        if (!session) return VI_ERROR_INV_OBJECT;
        if (buf == nullptr && cnt > 0) return VI_ERROR_USER_BUF;
        std::lock_guard lock(session->mutex);
        const bool end = session->settings.get(VI_ATTR_SEND_END_EN) == VI_TRUE;
        const std::string_view bytes(reinterpret_cast<const char*>(buf), buf == nullptr ? 0 : cnt);
        const TransferResult result = writeToModule(*session, bytes, end, record);
        if (retCnt != nullptr) *retCnt = static_cast<ViUInt32>(result.count);
        return result.status;
    });
}

KQ_VISA_EXPORT ViStatus viRead(ViSession vi, ViPBuf buf, ViUInt32 cnt, ViPUInt32 retCnt) {
    return tracedCall(Op::Read, vi, [&](TraceRecord& record) -> ViStatus {
        if (retCnt != nullptr) *retCnt = 0;
        const auto session = sessionTable().instrument(vi);
        if (!session) return VI_ERROR_INV_OBJECT;
        if (buf == nullptr && cnt > 0) return VI_ERROR_USER_BUF;
        std::lock_guard lock(session->mutex);
        const TransferResult result =
            readFromModule(*session, reinterpret_cast<char*>(buf), buf == nullptr ? 0 : cnt, record);
        if (retCnt != nullptr) *retCnt = static_cast<ViUInt32>(result.count);
        return result.status;
    });
}

KQ_VISA_EXPORT ViStatus viClear(ViSession vi) {
    return tracedCall(Op::Clear, vi, [&](TraceRecord&) -> ViStatus {
        const auto session = sessionTable().instrument(vi);
        if (!session) return VI_ERROR_INV_OBJECT;
        if (const auto failure = takeFailure(Op::Clear)) return *failure;
        std::lock_guard lock(session->mutex);
        session->formatted.pendingWrite.clear();
        session->formatted.discardRead();
        session->port->deviceClear();
        return VI_SUCCESS;
    });
}

KQ_VISA_EXPORT ViStatus viReadSTB(ViSession vi, ViPUInt16 status) {
    return tracedCall(Op::ReadSTB, vi, [&](TraceRecord& record) -> ViStatus {
        const auto session = sessionTable().instrument(vi);
        if (!session) return VI_ERROR_INV_OBJECT;
        if (status == nullptr) return VI_ERROR_USER_BUF;
        if (const auto failure = takeFailure(Op::ReadSTB)) return *failure;
        std::lock_guard lock(session->mutex);
        *status = session->port->statusByte();
        record.value = *status;
        return VI_SUCCESS;
    });
}

KQ_VISA_EXPORT ViStatus viFlush(ViSession vi, ViUInt16 mask) {
    return tracedCall(Op::Flush, vi, [&](TraceRecord& record) -> ViStatus {
        record.value = mask;
        const auto session = sessionTable().instrument(vi);
        if (!session) return VI_ERROR_INV_OBJECT;
        if (const auto failure = takeFailure(Op::Flush)) return *failure;
        if (mask == 0 || (mask & ~kFlushMasks) != 0 || bothSet(mask, VI_READ_BUF, VI_READ_BUF_DISCARD) ||
            bothSet(mask, VI_WRITE_BUF, VI_WRITE_BUF_DISCARD) ||
            bothSet(mask, VI_IO_IN_BUF, VI_IO_IN_BUF_DISCARD) ||
            bothSet(mask, VI_IO_OUT_BUF, VI_IO_OUT_BUF_DISCARD)) {
            return VI_ERROR_INV_MASK;
        }
        std::lock_guard lock(session->mutex);
        // The low-level I/O buffers (VI_IO_*) do not exist here: bytes go to the module at once.
        if ((mask & VI_WRITE_BUF_DISCARD) != 0) session->formatted.pendingWrite.clear();
        if ((mask & VI_READ_BUF_DISCARD) != 0) session->formatted.discardRead();
        if ((mask & VI_WRITE_BUF) != 0 && !session->formatted.pendingWrite.empty()) {
            if (const ViStatus status = flushFormattedWrite(*session, true); status != VI_SUCCESS)
                return status;
        }
        if ((mask & VI_READ_BUF) != 0) return flushFormattedRead(*session);
        return VI_SUCCESS;
    });
}

KQ_VISA_EXPORT ViStatus viAssertTrigger(ViSession vi, ViUInt16 protocol) {
    return tracedCall(Op::AssertTrigger, vi, [&](TraceRecord& record) -> ViStatus {
        record.value = protocol;
        if (!sessionTable().instrument(vi)) return VI_ERROR_INV_OBJECT;
        if (const auto failure = takeFailure(Op::AssertTrigger)) return *failure;
        if (protocol != VI_TRIG_PROT_DEFAULT && protocol != VI_TRIG_PROT_ON && protocol != VI_TRIG_PROT_OFF &&
            protocol != VI_TRIG_PROT_SYNC) {
            return VI_ERROR_INV_PROT;
        }
        // The simulated modules have no word-serial trigger; they are triggered by SCPI commands.
        return VI_ERROR_NSUP_OPER;
    });
}

}  // extern "C"
