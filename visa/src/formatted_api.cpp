// viPrintf, viScanf, viQueryf and their va_list forms.
#include <cstdarg>

#include "api_call.h"
#include "export.h"
#include "format_writer.h"
#include "formatted_io.h"

using namespace kqvisa;

namespace {

// A formatted call that fails before it reaches the module still leaves a record of its kind.
ViStatus recordFailure(Op op, ViSession vi, ViStatus status) {
    TraceRecord record = newRecord(op, vi, sessionTable().resourceOf(vi), true);
    record.status = status;
    appendTrace(std::move(record));
    return status;
}

ViStatus printLocked(InstrumentSession& session, const char* format, FormatArguments& arguments,
                     bool endAtFinish) {
    if (format == nullptr) return recordFailure(Op::Write, session.id, VI_ERROR_INV_FMT);
    FormattedText text;
    if (const ViStatus status = formatText(format, arguments, text); status != VI_SUCCESS) {
        return recordFailure(Op::Write, session.id, status);
    }
    std::string& pending = session.formatted.pendingWrite;
    std::size_t start = 0;
    for (const std::size_t messageEnd : text.messageEnds) {
        pending.append(text.bytes, start, messageEnd - start);
        start = messageEnd;
        if (const ViStatus status = flushFormattedWrite(session, true); status != VI_SUCCESS) return status;
    }
    pending.append(text.bytes, start);
    if (pending.size() >= kFormattedBufferSize) {
        if (const ViStatus status = flushFormattedWrite(session, false); status != VI_SUCCESS) return status;
    }
    const bool flushOnAccess = session.settings.get(VI_ATTR_WR_BUF_OPER_MODE) == VI_FLUSH_ON_ACCESS;
    if ((endAtFinish || flushOnAccess) && !pending.empty()) return flushFormattedWrite(session, true);
    return VI_SUCCESS;
}

ViStatus scanLocked(InstrumentSession& session, const char* format, FormatArguments& arguments) {
    if (format == nullptr) return recordFailure(Op::Read, session.id, VI_ERROR_INV_FMT);
    FormattedReadInput input(session);
    const ViStatus status = scanText(format, arguments, input);
    if (status == VI_ERROR_INV_FMT || status == VI_ERROR_NSUP_FMT)
        return recordFailure(Op::Read, session.id, status);
    // After a mismatch the rest of the message is of no use to the next scan.
    const bool flushOnAccess = session.settings.get(VI_ATTR_RD_BUF_OPER_MODE) == VI_FLUSH_ON_ACCESS;
    if (status != VI_SUCCESS || flushOnAccess) session.formatted.discardRead();
    return status;
}

template <class Body>
ViStatus onInstrument(Op op, ViSession vi, Body&& body) {
    return guardedCall([&]() -> ViStatus {
        const auto session = sessionTable().instrument(vi);
        if (!session) return recordFailure(op, vi, VI_ERROR_INV_OBJECT);
        std::lock_guard lock(session->mutex);
        return body(*session);
    });
}

}  // namespace

extern "C" {

KQ_VISA_EXPORT ViStatus viVPrintf(ViSession vi, ViConstString writeFmt, va_list params) {
    FormatArguments arguments(params);
    return onInstrument(Op::Write, vi, [&](InstrumentSession& session) {
        return printLocked(session, writeFmt, arguments, false);
    });
}

KQ_VISA_EXPORT ViStatus viPrintf(ViSession vi, ViConstString writeFmt, ...) {
    va_list params;
    va_start(params, writeFmt);
    const ViStatus status = viVPrintf(vi, writeFmt, params);
    va_end(params);
    return status;
}

KQ_VISA_EXPORT ViStatus viVScanf(ViSession vi, ViConstString readFmt, va_list params) {
    FormatArguments arguments(params);
    return onInstrument(Op::Read, vi,
                        [&](InstrumentSession& session) { return scanLocked(session, readFmt, arguments); });
}

KQ_VISA_EXPORT ViStatus viScanf(ViSession vi, ViConstString readFmt, ...) {
    va_list params;
    va_start(params, readFmt);
    const ViStatus status = viVScanf(vi, readFmt, params);
    va_end(params);
    return status;
}

KQ_VISA_EXPORT ViStatus viVQueryf(ViSession vi, ViConstString writeFmt, ViConstString readFmt,
                                  va_list params) {
    FormatArguments arguments(params);
    return onInstrument(Op::Write, vi, [&](InstrumentSession& session) {
        // The whole query is checked first, so a bad read format sends nothing.
        if (readFmt == nullptr) return recordFailure(Op::Read, session.id, VI_ERROR_INV_FMT);
        if (const ViStatus status = checkScanFormat(readFmt); status != VI_SUCCESS) {
            return recordFailure(Op::Read, session.id, status);
        }
        if (const ViStatus status = printLocked(session, writeFmt, arguments, true); status < VI_SUCCESS) {
            return status;
        }
        return scanLocked(session, readFmt, arguments);
    });
}

KQ_VISA_EXPORT ViStatus viQueryf(ViSession vi, ViConstString writeFmt, ViConstString readFmt, ...) {
    va_list params;
    va_start(params, readFmt);
    const ViStatus status = viVQueryf(vi, writeFmt, readFmt, params);
    va_end(params);
    return status;
}

}  // extern "C"
