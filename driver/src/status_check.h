// Whether a status means the operation failed. VISA's rule, which the driver's own codes follow (they
// are all negative): a negative status is an error; VI_SUCCESS and the positive completion and warning
// codes (VI_SUCCESS_MAX_CNT, VI_SUCCESS_TERM_CHAR, VI_WARN_UNKNOWN_STATUS, ...) mean it was done.
#pragma once

#include "visa.h"

namespace kq7120 {

constexpr bool failed(ViStatus status) { return status < VI_SUCCESS; }

// For a place that also refuses a completion or warning code: nothing but VI_SUCCESS will do.
constexpr bool isPlainSuccess(ViStatus status) { return status == VI_SUCCESS; }

}  // namespace kq7120
