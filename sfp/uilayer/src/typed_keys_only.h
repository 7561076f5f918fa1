// Text entries that take typed keys only (password fields): nothing reaches them by paste, drag and
// drop or input-method composition, and no key moves the caret or edits anything but the end.
#pragma once

class QWidget;

namespace sfpui {

// Name of the boolean dynamic property a form sets on such a line edit.
inline constexpr const char* kTypedKeysOnlyProperty = "typedKeysOnly";

// Restricts the line edit when the form asks for it. Called at load, before the panel's own event
// filter is installed, so the control's callback sees each key first and this filter drops what the
// callback lets through but would not type a character.
void restrictToTypedKeys(QWidget* widget);

}  // namespace sfpui
