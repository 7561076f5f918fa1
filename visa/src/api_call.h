// The frame of every exported operation: no exception crosses the C boundary, and each call that
// names an operation of the trace leaves one record with the status it returned.
#pragma once

#include <new>
#include <utility>

#include "kqsim/chassis_link.h"
#include "session.h"
#include "trace_log.h"

namespace kqvisa {

template <class Body>
ViStatus guardedCall(Body&& body) noexcept {
    try {
        return std::forward<Body>(body)();
    } catch (const kqsim::ChassisConnectionLost&) {
        return VI_ERROR_CONN_LOST;
    } catch (const kqsim::ChassisServerError&) {
        return VI_ERROR_IO;
    } catch (const std::bad_alloc&) {
        return VI_ERROR_ALLOC;
    } catch (...) {
        return VI_ERROR_SYSTEM_ERROR;
    }
}

// `body` takes the trace record to fill and returns the status.
template <class Body>
ViStatus tracedCall(Op op, ViSession session, Body&& body) noexcept {
    TraceRecord record = newRecord(op, session, {});
    const ViStatus status = guardedCall([&] {
        record.resource = sessionTable().resourceOf(session);
        return std::forward<Body>(body)(record);
    });
    record.status = status;
    try {
        appendTrace(std::move(record));
    } catch (...) {
        // Losing one trace record is better than failing the caller's operation.
    }
    return status;
}

}  // namespace kqvisa
