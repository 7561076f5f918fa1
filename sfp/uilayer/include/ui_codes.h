// Status, event, attribute, colour and key codes of the user-interface layer.
#pragma once

// Results of layer operations: 0 or a handle on success, negative on failure.
inline constexpr int UI_SUCCESS = 0;
inline constexpr int UI_ERR_LOAD_FAILED = -1;     // form missing, unreadable, broken or badly bound
inline constexpr int UI_ERR_NO_APPLICATION = -2;  // no user interface is running in this process
inline constexpr int UI_ERR_INVALID_PANEL = -3;
inline constexpr int UI_ERR_INVALID_CONTROL = -4;
inline constexpr int UI_ERR_INVALID_MENU_BAR = -5;
inline constexpr int UI_ERR_INVALID_MENU_ITEM = -6;
inline constexpr int UI_ERR_WRONG_TYPE = -7;  // the control holds no value of that type
inline constexpr int UI_ERR_INDEX_OUT_OF_RANGE = -8;
inline constexpr int UI_ERR_INVALID_ATTRIBUTE = -9;  // the attribute does not apply to that object
inline constexpr int UI_ERR_FILE = -10;
inline constexpr int UI_ERR_NOT_OPERABLE = -11;  // operator simulation on a dimmed or hidden control

// Event codes passed to callbacks.
inline constexpr int UI_EVENT_NONE = 0;
inline constexpr int UI_EVENT_COMMIT = 1;
inline constexpr int UI_EVENT_VAL_CHANGED = 2;
inline constexpr int UI_EVENT_LEFT_CLICK = 3;
inline constexpr int UI_EVENT_LEFT_DOUBLE_CLICK = 4;
inline constexpr int UI_EVENT_KEYPRESS = 7;
// To a panel's own callback: its window's close box (or Esc on a child panel) when the panel has
// no close control.
inline constexpr int UI_EVENT_CLOSE = 12;

// Attributes of controls, panels and menu items.
inline constexpr int UI_ATTR_DIMMED = 1;         // int 0/1; controls, panels, menu items
inline constexpr int UI_ATTR_TEXT_COLOR = 2;     // int 0x00RRGGBB; controls
inline constexpr int UI_ATTR_DEFAULT_VALUE = 3;  // the control's value type; controls
inline constexpr int UI_ATTR_MIN_VALUE = 4;      // int or double; numeric controls
inline constexpr int UI_ATTR_MAX_VALUE = 5;      // int or double; numeric controls
inline constexpr int UI_ATTR_LABEL_TEXT = 6;     // text; "__" marks the access key ("__Done")
inline constexpr int UI_ATTR_TITLE = 7;          // text; panels
inline constexpr int UI_ATTR_CLOSE_CTRL = 8;     // text, a control name; panels: the window's close
                                                 // box (and Esc on a child panel) commits it
inline constexpr int UI_ATTR_VISIBLE = 9;        // int 0/1; panels (read only), menu items

// Colours as 0x00RRGGBB.
inline constexpr int UI_COLOR_BLACK = 0x000000;
inline constexpr int UI_COLOR_BLUE = 0x0000FF;
inline constexpr int UI_COLOR_RED = 0xFF0000;
inline constexpr int UI_COLOR_GRAY = 0xA0A0A0;

// Key codes of a key-press event: the character in bits 0-7, a virtual key in bits 8-15 (then the
// character bits are 0), and the modifier bits above. Keys that are neither produce no event.
inline constexpr int UI_KEY_CHAR_MASK = 0x000FF;
inline constexpr int UI_KEY_VKEY_MASK = 0x0FF00;
inline constexpr int UI_KEY_CONTROL_MODIFIER = 0x10000;
inline constexpr int UI_KEY_ALT_MODIFIER = 0x20000;
inline constexpr int UI_KEY_BACKSPACE = 0x0100;
inline constexpr int UI_KEY_TAB = 0x0200;
inline constexpr int UI_KEY_ENTER = 0x0300;
inline constexpr int UI_KEY_ESC = 0x0400;
inline constexpr int UI_KEY_INSERT = 0x0500;
inline constexpr int UI_KEY_DELETE = 0x0600;
inline constexpr int UI_KEY_HOME = 0x0700;
inline constexpr int UI_KEY_END = 0x0800;
inline constexpr int UI_KEY_PAGE_UP = 0x0900;
inline constexpr int UI_KEY_PAGE_DOWN = 0x0A00;
inline constexpr int UI_KEY_UP = 0x0B00;
inline constexpr int UI_KEY_DOWN = 0x0C00;
inline constexpr int UI_KEY_LEFT = 0x0D00;
inline constexpr int UI_KEY_RIGHT = 0x0E00;
