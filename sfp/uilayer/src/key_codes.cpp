#include "key_codes.h"

#include "ui_codes.h"

namespace sfpui {

namespace {

struct VirtualKey {
    int code;
    Qt::Key key;
    char text;  // what the key types, 0 for none
};

constexpr VirtualKey kVirtualKeys[] = {
    {UI_KEY_BACKSPACE, Qt::Key_Backspace, '\b'},
    {UI_KEY_TAB, Qt::Key_Tab, '\t'},
    {UI_KEY_ENTER, Qt::Key_Return, '\r'},
    {UI_KEY_ENTER, Qt::Key_Enter, '\r'},
    {UI_KEY_ESC, Qt::Key_Escape, '\x1b'},
    {UI_KEY_INSERT, Qt::Key_Insert, 0},
    {UI_KEY_DELETE, Qt::Key_Delete, 0x7f},
    {UI_KEY_HOME, Qt::Key_Home, 0},
    {UI_KEY_END, Qt::Key_End, 0},
    {UI_KEY_PAGE_UP, Qt::Key_PageUp, 0},
    {UI_KEY_PAGE_DOWN, Qt::Key_PageDown, 0},
    {UI_KEY_UP, Qt::Key_Up, 0},
    {UI_KEY_DOWN, Qt::Key_Down, 0},
    {UI_KEY_LEFT, Qt::Key_Left, 0},
    {UI_KEY_RIGHT, Qt::Key_Right, 0},
};

int modifierBits(Qt::KeyboardModifiers modifiers) {
    return (modifiers.testFlag(Qt::ControlModifier) ? UI_KEY_CONTROL_MODIFIER : 0) |
           (modifiers.testFlag(Qt::AltModifier) ? UI_KEY_ALT_MODIFIER : 0);
}

}  // namespace

int keyCodeOf(const QKeyEvent& event) {
    const int modifiers = modifierBits(event.modifiers());
    for (const VirtualKey& virtualKey : kVirtualKeys)
        if (virtualKey.key == event.key()) return virtualKey.code | modifiers;
    const QString text = event.text();
    if (modifiers != 0 && event.key() >= Qt::Key_Space && event.key() <= Qt::Key_ydiaeresis)
        return event.key() | modifiers;  // the text of a modified key is a control character
    if (text.size() == 1 && text[0].unicode() >= 0x20 && text[0].unicode() <= 0xFF &&
        text[0].unicode() != 0x7F)
        return text[0].unicode() | modifiers;
    return 0;
}

std::unique_ptr<QKeyEvent> keyEventFor(int code, QEvent::Type type) {
    Qt::KeyboardModifiers modifiers;
    if ((code & UI_KEY_CONTROL_MODIFIER) != 0) modifiers |= Qt::ControlModifier;
    if ((code & UI_KEY_ALT_MODIFIER) != 0) modifiers |= Qt::AltModifier;
    const int virtualCode = code & UI_KEY_VKEY_MASK;
    if (virtualCode != 0) {
        for (const VirtualKey& virtualKey : kVirtualKeys)
            if (virtualKey.code == virtualCode) {
                const QString text = virtualKey.text != 0 && modifiers == Qt::NoModifier
                                         ? QString(QChar(virtualKey.text))
                                         : QString();
                return std::make_unique<QKeyEvent>(type, virtualKey.key, modifiers, text);
            }
        return std::make_unique<QKeyEvent>(type, Qt::Key_unknown, modifiers);
    }
    const char16_t character = static_cast<char16_t>(code & UI_KEY_CHAR_MASK);
    const int key = character >= u'a' && character <= u'z' ? Qt::Key_A + (character - u'a') : character;
    const QString text = modifiers == Qt::NoModifier ? QString(QChar(character)) : QString();
    return std::make_unique<QKeyEvent>(type, key, modifiers, text);
}

}  // namespace sfpui
