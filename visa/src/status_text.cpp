#include "status_text.h"

#include <algorithm>
#include <iterator>

namespace kqvisa {

namespace {

#define KQ_STATUS(code, text) \
    StatusText { code, #code, text }

constexpr StatusText kStatusTexts[] = {
    KQ_STATUS(VI_SUCCESS, "Operation completed successfully."),
    KQ_STATUS(VI_SUCCESS_EVENT_EN, "The event was already enabled for at least one of the given mechanisms."),
    KQ_STATUS(VI_SUCCESS_EVENT_DIS, "The event was already disabled for the given mechanisms."),
    KQ_STATUS(VI_SUCCESS_QUEUE_EMPTY, "The operation succeeded, but the queue was already empty."),
    KQ_STATUS(VI_SUCCESS_TERM_CHAR, "The read ended because the termination character was received."),
    KQ_STATUS(VI_SUCCESS_MAX_CNT,
              "The read ended because the requested number of bytes was transferred; "
              "more data may be available."),
    KQ_STATUS(VI_SUCCESS_DEV_NPRESENT,
              "Session opened, but the device at the given address does not respond."),
    KQ_STATUS(VI_SUCCESS_TRIG_MAPPED, "The trigger path was already mapped."),
    KQ_STATUS(VI_SUCCESS_QUEUE_NEMPTY,
              "Wait succeeded; at least one more event of the requested type is queued."),
    KQ_STATUS(VI_SUCCESS_NCHAIN, "Event handled; the handler asked not to invoke further handlers."),
    KQ_STATUS(VI_SUCCESS_NESTED_SHARED, "Lock acquired; the session already held a shared lock."),
    KQ_STATUS(VI_SUCCESS_NESTED_EXCLUSIVE, "Lock acquired; the session already held an exclusive lock."),
    KQ_STATUS(VI_SUCCESS_SYNC, "The asynchronous operation completed synchronously."),
    KQ_STATUS(VI_WARN_QUEUE_OVERFLOW, "An event queue overflowed; events were lost."),
    KQ_STATUS(VI_WARN_CONFIG_NLOADED, "The requested configuration could not be loaded."),
    KQ_STATUS(VI_WARN_NULL_OBJECT, "The object reference given is VI_NULL."),
    KQ_STATUS(VI_WARN_NSUP_ATTR_STATE, "The attribute state is not supported, but the operation went on."),
    KQ_STATUS(VI_WARN_UNKNOWN_STATUS, "The status code given is not known to this library."),
    KQ_STATUS(VI_WARN_NSUP_BUF, "The buffer given is not supported by this implementation."),
    KQ_STATUS(VI_WARN_EXT_FUNC_NIMPL,
              "The operation succeeded, but a lower-level driver did not implement it."),
    KQ_STATUS(VI_ERROR_SYSTEM_ERROR, "An unexpected system error occurred."),
    KQ_STATUS(VI_ERROR_INV_OBJECT, "The session or object reference is not valid."),
    KQ_STATUS(VI_ERROR_RSRC_LOCKED, "The resource is locked by another session."),
    KQ_STATUS(VI_ERROR_INV_EXPR, "The search expression is not valid."),
    KQ_STATUS(VI_ERROR_RSRC_NFOUND, "The resource is not present in the system, or no resource matches."),
    KQ_STATUS(VI_ERROR_INV_RSRC_NAME, "The resource descriptor is not valid."),
    KQ_STATUS(VI_ERROR_INV_ACC_MODE, "The access mode is not valid."),
    KQ_STATUS(VI_ERROR_TMO, "The timeout expired before the operation completed."),
    KQ_STATUS(VI_ERROR_CLOSING_FAILED, "The session or object could not be closed."),
    KQ_STATUS(VI_ERROR_INV_DEGREE, "The degree given is not valid."),
    KQ_STATUS(VI_ERROR_INV_JOB_ID, "The job identifier is not valid."),
    KQ_STATUS(VI_ERROR_NSUP_ATTR, "The attribute is not supported by this object."),
    KQ_STATUS(VI_ERROR_NSUP_ATTR_STATE, "The attribute does not accept this value."),
    KQ_STATUS(VI_ERROR_ATTR_READONLY, "The attribute is read-only."),
    KQ_STATUS(VI_ERROR_INV_LOCK_TYPE, "The lock type is not valid."),
    KQ_STATUS(VI_ERROR_INV_ACCESS_KEY, "The access key of the lock is not valid."),
    KQ_STATUS(VI_ERROR_INV_EVENT, "The event type is not valid."),
    KQ_STATUS(VI_ERROR_INV_MECH, "The event-handling mechanism is not valid."),
    KQ_STATUS(VI_ERROR_HNDLR_NINSTALLED, "No handler is installed."),
    KQ_STATUS(VI_ERROR_INV_HNDLR_REF, "The handler reference is not valid."),
    KQ_STATUS(VI_ERROR_INV_CONTEXT, "The event context is not valid."),
    KQ_STATUS(VI_ERROR_QUEUE_OVERFLOW, "The event queue overflowed."),
    KQ_STATUS(VI_ERROR_NENABLED, "The session must be enabled for events of this type first."),
    KQ_STATUS(VI_ERROR_ABORT, "The transfer was aborted before it completed."),
    KQ_STATUS(VI_ERROR_RAW_WR_PROT_VIOL, "A protocol violation occurred while writing raw data."),
    KQ_STATUS(VI_ERROR_RAW_RD_PROT_VIOL, "A protocol violation occurred while reading raw data."),
    KQ_STATUS(VI_ERROR_OUTP_PROT_VIOL, "The device reported an output protocol error."),
    KQ_STATUS(VI_ERROR_INP_PROT_VIOL, "The device reported an input protocol error."),
    KQ_STATUS(VI_ERROR_BERR, "A bus error occurred during the transfer."),
    KQ_STATUS(VI_ERROR_IN_PROGRESS, "Another operation of the same kind is in progress."),
    KQ_STATUS(VI_ERROR_INV_SETUP, "The current setup is not consistent, so the operation cannot start."),
    KQ_STATUS(VI_ERROR_QUEUE_ERROR, "The event could not be queued."),
    KQ_STATUS(VI_ERROR_ALLOC, "Not enough memory for the operation."),
    KQ_STATUS(VI_ERROR_INV_MASK, "The buffer mask is not valid."),
    KQ_STATUS(VI_ERROR_IO, "An I/O error occurred, or the data read did not match the format."),
    KQ_STATUS(VI_ERROR_INV_FMT, "A format specifier in the format string is not valid."),
    KQ_STATUS(VI_ERROR_NSUP_FMT, "A format specifier in the format string is not supported."),
    KQ_STATUS(VI_ERROR_LINE_IN_USE, "The trigger line is in use."),
    KQ_STATUS(VI_ERROR_NSUP_MODE, "The mode is not supported by this implementation."),
    KQ_STATUS(VI_ERROR_SRQ_NOCCURRED, "No service request was received."),
    KQ_STATUS(VI_ERROR_INV_SPACE, "The address space is not valid."),
    KQ_STATUS(VI_ERROR_INV_OFFSET, "The offset is not valid for this resource."),
    KQ_STATUS(VI_ERROR_INV_WIDTH, "The access width is not valid."),
    KQ_STATUS(VI_ERROR_NSUP_OFFSET, "The offset is not accessible from this hardware."),
    KQ_STATUS(VI_ERROR_NSUP_VAR_WIDTH, "Source and destination widths must be equal."),
    KQ_STATUS(VI_ERROR_WINDOW_NMAPPED, "The session is not mapped to a window."),
    KQ_STATUS(VI_ERROR_RESP_PENDING, "A previous response is still pending."),
    KQ_STATUS(VI_ERROR_NLISTENERS, "No listeners were detected on the bus."),
    KQ_STATUS(VI_ERROR_NCIC, "The interface is not the controller in charge."),
    KQ_STATUS(VI_ERROR_NSYS_CNTLR, "The interface is not the system controller."),
    KQ_STATUS(VI_ERROR_NSUP_OPER, "The operation is not supported by this session."),
    KQ_STATUS(VI_ERROR_INTR_PENDING, "An interrupt is still pending."),
    KQ_STATUS(VI_ERROR_ASRL_PARITY, "A parity error occurred on the serial line."),
    KQ_STATUS(VI_ERROR_ASRL_FRAMING, "A framing error occurred on the serial line."),
    KQ_STATUS(VI_ERROR_ASRL_OVERRUN, "A data overrun occurred on the serial line."),
    KQ_STATUS(VI_ERROR_TRIG_NMAPPED, "The trigger path is not mapped."),
    KQ_STATUS(VI_ERROR_NSUP_ALIGN_OFFSET, "The offset is not aligned to the access width."),
    KQ_STATUS(VI_ERROR_USER_BUF, "A buffer or pointer given by the caller is not valid."),
    KQ_STATUS(VI_ERROR_RSRC_BUSY, "The resource is busy with another operation."),
    KQ_STATUS(VI_ERROR_NSUP_WIDTH, "The access width is not supported by this resource."),
    KQ_STATUS(VI_ERROR_INV_PARAMETER, "A parameter is not valid."),
    KQ_STATUS(VI_ERROR_INV_PROT, "The protocol is not valid."),
    KQ_STATUS(VI_ERROR_INV_SIZE, "The window size is not valid."),
    KQ_STATUS(VI_ERROR_WINDOW_MAPPED, "The session is already mapped to a window; unmap it first."),
    KQ_STATUS(VI_ERROR_NIMPL_OPER, "The operation is not implemented."),
    KQ_STATUS(VI_ERROR_INV_LENGTH, "The length is not valid."),
    KQ_STATUS(VI_ERROR_INV_MODE, "The mode is not valid."),
    KQ_STATUS(VI_ERROR_SESN_NLOCKED, "The session does not hold a lock on the resource."),
    KQ_STATUS(VI_ERROR_MEM_NSHARED, "The device does not export shared memory."),
    KQ_STATUS(VI_ERROR_LIBRARY_NFOUND, "A library needed by the operation could not be loaded."),
    KQ_STATUS(VI_ERROR_NSUP_INTR, "The interface cannot generate interrupts."),
    KQ_STATUS(VI_ERROR_INV_LINE, "The line is not valid."),
    KQ_STATUS(VI_ERROR_FILE_ACCESS, "The file could not be opened."),
    KQ_STATUS(VI_ERROR_FILE_IO, "An error occurred while accessing the file."),
    KQ_STATUS(VI_ERROR_NSUP_LINE, "The line is not supported by this implementation."),
    KQ_STATUS(VI_ERROR_NSUP_MECH, "The mechanism is not supported for this event type."),
    KQ_STATUS(VI_ERROR_INTF_NUM_NCONFIG,
              "The interface type is valid, but this interface number is not configured."),
    KQ_STATUS(VI_ERROR_CONN_LOST, "The connection to the resource was lost."),
    KQ_STATUS(VI_ERROR_MACHINE_NAVAIL, "The remote machine does not exist or does not accept connections."),
    KQ_STATUS(VI_ERROR_NPERMISSION, "Access to the remote machine is denied."),
};

#undef KQ_STATUS

}  // namespace

std::optional<StatusText> findStatusText(ViStatus status) {
    const auto found = std::find_if(std::begin(kStatusTexts), std::end(kStatusTexts),
                                    [status](const StatusText& entry) { return entry.status == status; });
    if (found == std::end(kStatusTexts)) return std::nullopt;
    return *found;
}

}  // namespace kqvisa
