// Callbacks the layer calls, and the table that binds them to the names a form gives.
#pragma once

#include <span>
#include <string_view>
#include <variant>

// A control's callback. For a key press `eventData1` is the key code and `eventData2` points at a
// copy of it that the callback may rewrite (the control then receives the rewritten key); for other
// events `eventData1` is 0 and `eventData2` is null. A result of 1 swallows a key press or a click;
// otherwise return 0.
using ControlCallback = int (*)(int panel, const char* control, int event, int eventData1, int* eventData2);

// A panel's own callback: a left click anywhere on the panel, and closing it (UI_EVENT_CLOSE).
// Returns 0.
using PanelCallback = int (*)(int panel, int event);

// A menu item's callback, with the menu bar handle, the item's name and the panel it belongs to.
using MenuCallback = void (*)(int menuBar, const char* menuItem, int panel);

struct UiCallback {
    std::string_view name;
    std::variant<ControlCallback, PanelCallback, MenuCallback> function;
};

// The program's callbacks. A form binds each of its controls, menu items and the panel itself by
// the name in the object's dynamic property "callback". The table is copied.
void SetCallbackTable(std::span<const UiCallback> callbacks);
