// Messages for the operator. The driver has no user interface of its own: when the process has the
// front panel's user-interface run-time (its MessagePopup), the message appears there as a modal box;
// otherwise it goes to standard error, so a program without a user interface never blocks on it.
#pragma once

#include <string_view>

namespace kq7120 {

void showOperatorMessage(std::string_view title, std::string_view text);

}  // namespace kq7120
