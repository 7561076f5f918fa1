// Password fields: what the operator types goes into a program buffer, the field itself only ever
// receives asterisks. The buffers are the only place a typed password lives.
#pragma once

#include "kq7120.h"

struct PasswordBuffer {
    char text[16] = {};  // at most kq7120_PASSWORD_LEN_MAX characters used, always terminated
    int length = 0;

    // Zeroes every byte, so no typed character stays in memory.
    void clear();
};

// The password typed in the password dialog, or the current one in the change-password dialog.
PasswordBuffer& passwordText();
// The new password in the change-password dialog.
PasswordBuffer& newPasswordText();

// What the masked-entry rules made of one event of a password field.
struct MaskedEntryResult {
    int callbackResult = 0;  // 1 swallows the key or click
    bool escape = false;     // the operator pressed Escape: the field's cancel action is due
};

// The masked-entry rules for key presses and clicks on `control`, typing into `buffer`: characters
// are kept in the buffer and replaced by '*', at most 12 (a beep beyond); Backspace removes the last
// one (a beep when there is none); the caret keys, keys with Ctrl or Alt, and clicks are swallowed.
MaskedEntryResult maskedEntryEvent(int panel, const char* control, int event, int eventData1, int* eventData2,
                                   PasswordBuffer& buffer);
