#include "message_port.h"

#include <algorithm>
#include <cstring>

namespace kqsim {

std::optional<std::string> MessagePort::receive(std::string_view bytes, bool end) {
    if (!overflowed_ && bytes.size() > maxMessageBytes - input_.size()) {
        overflowed_ = true;
        input_.clear();
    }
    if (!overflowed_) input_.append(bytes);
    if (!end) return std::nullopt;
    if (overflowed_) {
        overflowed_ = false;
        return std::nullopt;
    }
    std::string message;
    message.swap(input_);
    return message;
}

void MessagePort::setReply(std::string reply) {
    reply_ = std::move(reply);
    readPosition_ = 0;
}

void MessagePort::discardReply() {
    reply_.clear();
    readPosition_ = 0;
}

ReplyChunk MessagePort::read(char* into, std::size_t max) {
    if (!replyPending() || into == nullptr || max == 0) return {};
    const std::size_t count = std::min(max, reply_.size() - readPosition_);
    std::memcpy(into, reply_.data() + readPosition_, count);
    readPosition_ += count;
    const bool end = readPosition_ == reply_.size();
    if (end) discardReply();
    return {count, end};
}

void MessagePort::clear() {
    input_.clear();
    overflowed_ = false;
    discardReply();
}

}  // namespace kqsim
