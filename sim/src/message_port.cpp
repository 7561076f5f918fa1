#include "message_port.h"

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

void MessagePort::clear() {
    input_.clear();
    overflowed_ = false;
    reply_.clear();
}

}  // namespace kqsim
