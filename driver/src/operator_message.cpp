#include "operator_message.h"

#include <dlfcn.h>

#include <cstdio>
#include <string>

namespace kq7120 {
namespace {

// The front panel's modal message box: returns when the operator dismisses it.
using MessagePopupFunction = int (*)(const char* title, const char* text);

// Looked up on every message: a user interface loaded after the driver is found too.
MessagePopupFunction messagePopup() {
    return reinterpret_cast<MessagePopupFunction>(dlsym(RTLD_DEFAULT, "MessagePopup"));
}

}  // namespace

void showOperatorMessage(std::string_view title, std::string_view text) {
    if (const MessagePopupFunction popup = messagePopup()) {
        popup(std::string(title).c_str(), std::string(text).c_str());
        return;
    }
    std::string line = std::string(title) + ": " + std::string(text);
    if (line.back() != '\n') line += '\n';
    std::fwrite(line.data(), 1, line.size(), stderr);
}

}  // namespace kq7120
