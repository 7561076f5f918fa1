// Word-serial side of a message-based module: collects incoming bytes into complete messages and
// hands out the queued reply in pieces.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "kqsim/instrument.h"
#include "kqsim/pending_reply.h"

namespace kqsim {

class MessagePort {
public:
    static constexpr std::size_t maxMessageBytes = 64 * 1024;

    // Appends bytes; returns the complete message once `end` arrives. A message longer than
    // maxMessageBytes is dropped whole (nothing is returned for it).
    std::optional<std::string> receive(std::string_view bytes, bool end);

    bool replyPending() const { return reply_.pending(); }
    // Replaces whatever reply is still unread.
    void setReply(std::string reply) { reply_.set(std::move(reply)); }
    ReplyChunk read(char* into, std::size_t max) { return reply_.read(into, max); }

    // Device clear: partial input and unread output are dropped.
    void clear();

private:
    std::string input_;
    bool overflowed_ = false;
    PendingReply reply_;
};

}  // namespace kqsim
