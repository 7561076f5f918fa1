#include "masked_entry.h"

#include <string.h>

#include "user_interface.h"

void PasswordBuffer::clear() {
    explicit_bzero(text, sizeof text);
    length = 0;
}

PasswordBuffer& passwordText() {
    static PasswordBuffer buffer;
    return buffer;
}

PasswordBuffer& newPasswordText() {
    static PasswordBuffer buffer;
    return buffer;
}

namespace {

static_assert(kq7120_PASSWORD_LEN_MAX < sizeof PasswordBuffer::text);

MaskedEntryResult keyPress(int panel, const char* control, int key, int* rewritten, PasswordBuffer& buffer) {
    SetCtrlAttribute(panel, control, UI_ATTR_TEXT_COLOR, UI_COLOR_BLACK);
    if ((key & (UI_KEY_CONTROL_MODIFIER | UI_KEY_ALT_MODIFIER)) != 0)
        return {1, false};  // a shortcut types nothing, and paste or cut must not reach the field
    const int virtualKey = key & UI_KEY_VKEY_MASK;
    switch (virtualKey) {
        case UI_KEY_ESC:
            return {0, true};
        case UI_KEY_BACKSPACE:
            if (buffer.length == 0) {
                Beep();
            } else {
                buffer.text[--buffer.length] = '\0';
            }
            return {0, false};
        case UI_KEY_LEFT:
        case UI_KEY_RIGHT:
        case UI_KEY_HOME:
        case UI_KEY_END:
            return {1, false};
        case 0:
            break;
        default:
            return {0, false};
    }
    if (buffer.length >= kq7120_PASSWORD_LEN_MAX) {
        Beep();
        return {1, false};
    }
    buffer.text[buffer.length++] = static_cast<char>(key & UI_KEY_CHAR_MASK);
    buffer.text[buffer.length] = '\0';
    if (rewritten != nullptr) *rewritten = '*';
    return {0, false};
}

}  // namespace

MaskedEntryResult maskedEntryEvent(int panel, const char* control, int event, int eventData1, int* eventData2,
                                   PasswordBuffer& buffer) {
    switch (event) {
        case UI_EVENT_KEYPRESS:
            return keyPress(panel, control, eventData1, eventData2, buffer);
        case UI_EVENT_LEFT_CLICK:
        case UI_EVENT_LEFT_DOUBLE_CLICK:
            return {1, false};  // the caret stays at the end of the text
        default:
            return {0, false};
    }
}
