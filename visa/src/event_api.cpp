// Event operations. The simulated mainframe raises no events (no service requests, interrupts or
// triggers reach the controller), so no event can be enabled; clients that switch events off
// before closing a session (as PyVISA does) get the standard "already disabled" answers.
#include <algorithm>

#include "api_call.h"
#include "export.h"
#include "fault_plan.h"

using namespace kqvisa;

namespace {

constexpr ViEventType kEventTypes[] = {
    VI_EVENT_IO_COMPLETION,   VI_EVENT_TRIG,
    VI_EVENT_SERVICE_REQ,     VI_EVENT_CLEAR,
    VI_EVENT_EXCEPTION,       VI_EVENT_GPIB_CIC,
    VI_EVENT_GPIB_TALK,       VI_EVENT_GPIB_LISTEN,
    VI_EVENT_VXI_VME_SYSFAIL, VI_EVENT_VXI_VME_SYSRESET,
    VI_EVENT_VXI_SIGP,        VI_EVENT_VXI_VME_INTR,
    VI_EVENT_PXI_INTR,        VI_EVENT_TCPIP_CONNECT,
    VI_EVENT_USB_INTR,
};

constexpr ViUInt16 kMechanisms = VI_QUEUE | VI_HNDLR | VI_SUSPEND_HNDLR;

bool knownEvent(ViEventType type) {
    return std::find(std::begin(kEventTypes), std::end(kEventTypes), type) != std::end(kEventTypes);
}

ViStatus checkEventArguments(ViEventType type, ViUInt16 mechanism, bool allowAllEnabled) {
    if (!knownEvent(type) && !(allowAllEnabled && type == VI_ALL_ENABLED_EVENTS)) return VI_ERROR_INV_EVENT;
    const bool validMechanism =
        mechanism == VI_ALL_MECH || (mechanism != 0 && (mechanism & ~kMechanisms) == 0);
    if (!validMechanism) return VI_ERROR_INV_MECH;
    return VI_SUCCESS;
}

template <class Body>
ViStatus eventCall(Op op, ViSession vi, ViEventType type, Body&& body) {
    return tracedCall(op, vi, [&](TraceRecord& record) -> ViStatus {
        record.value = type;
        if (!sessionTable().instrument(vi) && !sessionTable().resourceManager(vi)) return VI_ERROR_INV_OBJECT;
        if (const auto failure = takeFailure(op)) return *failure;
        return body();
    });
}

}  // namespace

extern "C" {

KQ_VISA_EXPORT ViStatus viEnableEvent(ViSession vi, ViEventType eventType, ViUInt16 mechanism,
                                      ViEventFilter) {
    return eventCall(Op::EnableEvent, vi, eventType, [&] {
        if (const ViStatus status = checkEventArguments(eventType, mechanism, false); status != VI_SUCCESS) {
            return status;
        }
        return VI_ERROR_NSUP_OPER;
    });
}

KQ_VISA_EXPORT ViStatus viDisableEvent(ViSession vi, ViEventType eventType, ViUInt16 mechanism) {
    return eventCall(Op::DisableEvent, vi, eventType, [&] {
        if (const ViStatus status = checkEventArguments(eventType, mechanism, true); status != VI_SUCCESS) {
            return status;
        }
        return VI_SUCCESS_EVENT_DIS;
    });
}

KQ_VISA_EXPORT ViStatus viDiscardEvents(ViSession vi, ViEventType eventType, ViUInt16 mechanism) {
    return eventCall(Op::DiscardEvents, vi, eventType, [&] {
        if (const ViStatus status = checkEventArguments(eventType, mechanism, true); status != VI_SUCCESS) {
            return status;
        }
        return VI_SUCCESS_QUEUE_EMPTY;
    });
}

KQ_VISA_EXPORT ViStatus viWaitOnEvent(ViSession vi, ViEventType inEventType, ViUInt32,
                                      ViPEventType outEventType, ViPEvent outContext) {
    if (outEventType != nullptr) *outEventType = 0;
    if (outContext != nullptr) *outContext = VI_NULL;
    return eventCall(Op::WaitOnEvent, vi, inEventType, [&] {
        if (!knownEvent(inEventType) && inEventType != VI_ALL_ENABLED_EVENTS) return VI_ERROR_INV_EVENT;
        return VI_ERROR_NENABLED;
    });
}

}  // extern "C"
