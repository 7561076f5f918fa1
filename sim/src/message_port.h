// Word-serial side of a message-based module: collects incoming bytes into complete messages and
// hands out the queued reply in pieces.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "kqsim/instrument.h"

namespace kqsim {

class MessagePort {
public:
    // Appends bytes; returns the complete message once `end` arrives.
    std::optional<std::string> receive(std::string_view bytes, bool end);

    bool replyPending() const { return readPosition_ < reply_.size(); }
    // Replaces whatever reply is still unread.
    void setReply(std::string reply);
    void appendReply(std::string_view text);
    void discardReply();
    ReplyChunk read(char* into, std::size_t max);

    // Device clear: partial input and unread output are dropped.
    void clear();

private:
    std::string input_;
    std::string reply_;
    std::size_t readPosition_ = 0;
};

}  // namespace kqsim
