// A reply waiting for the controller, handed out in pieces as Instrument::readReply does: each read
// takes what fits and keeps the rest, and the read that takes the last byte ends the reply.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <string>
#include <utility>

#include "kqsim/instrument.h"

namespace kqsim {

class PendingReply {
public:
    bool pending() const { return read_ < text_.size(); }

    // Replaces whatever is still unread.
    void set(std::string text) {
        text_ = std::move(text);
        read_ = 0;
    }

    void clear() {
        text_.clear();
        read_ = 0;
    }

    // Copies at most `max` bytes; nothing without a reply, a buffer or room.
    ReplyChunk read(char* into, std::size_t max) {
        if (!pending() || into == nullptr || max == 0) return {};
        const std::size_t count = std::min(max, text_.size() - read_);
        std::memcpy(into, text_.data() + read_, count);
        read_ += count;
        const bool end = read_ == text_.size();
        if (end) clear();
        return {count, end};
    }

private:
    std::string text_;
    std::size_t read_ = 0;
};

}  // namespace kqsim
