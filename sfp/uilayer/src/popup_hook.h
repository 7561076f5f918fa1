// The seam through which the testing library takes pop-ups over: while a hook is set, pop-ups go to
// it and never reach the screen.
#pragma once

#include <optional>
#include <string>

class PopupHook {
public:
    virtual ~PopupHook() = default;
    virtual void message(const std::string& title, const std::string& text) = 0;
    // The answer to a file dialog: a path (empty for "cancelled"), or nothing when none is at hand.
    virtual std::optional<std::string> fileAnswer(const std::string& title) = 0;
};

// A null hook gives the pop-ups back to the screen. The hook is not owned.
void SetPopupHook(PopupHook* hook);
