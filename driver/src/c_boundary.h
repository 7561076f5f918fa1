// Every C entry point runs its body through guardedCall, so no C++ exception reaches a C caller:
// an allocation failure becomes kq7120_MALLOC_ERROR, anything else VI_ERROR_SYSTEM_ERROR.
#pragma once

#include <new>

#include "kq7120.h"

namespace kq7120 {

template <typename Body>
ViStatus guardedCall(Body&& body) noexcept {
    try {
        return body();
    } catch (const std::bad_alloc&) {
        return kq7120_MALLOC_ERROR;
    } catch (...) {
        return VI_ERROR_SYSTEM_ERROR;
    }
}

}  // namespace kq7120
