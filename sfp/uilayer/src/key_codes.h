// Key codes of key-press events (ui_codes.h) to and from Qt key events.
#pragma once

#include <QEvent>
#include <QKeyEvent>
#include <memory>

namespace sfpui {

// The code of a key event, or 0 for a key that carries neither a character nor a virtual key.
int keyCodeOf(const QKeyEvent& event);
// A key event (press or release) that produces `code`.
std::unique_ptr<QKeyEvent> keyEventFor(int code, QEvent::Type type);

}  // namespace sfpui
