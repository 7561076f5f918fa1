// A VISA session (a resource manager or an instrument) opened for the length of one call: closed when
// it goes out of scope, on every way out, unless handed on with release(). Closing a resource manager
// also ends the find lists opened from it.
#pragma once

#include <utility>

#include "visa_binding.h"

namespace kq7120 {

class ScopedSession {
public:
    ScopedSession() = default;
    // Takes charge of a session already open.
    explicit ScopedSession(ViSession session) : session_(session) {}
    ScopedSession(const ScopedSession&) = delete;
    ScopedSession& operator=(const ScopedSession&) = delete;
    ~ScopedSession() {
        if (session_) visa::close(session_);
    }

    // Where an open operation writes the session; what it writes is closed.
    ViSession* out() { return &session_; }
    ViSession get() const { return session_; }
    // The session, from now on the caller's to close.
    ViSession release() { return std::exchange(session_, 0); }

private:
    ViSession session_ = 0;
};

}  // namespace kq7120
