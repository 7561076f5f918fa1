#include <deque>

#include "popup_hook.h"
#include "ui_popup_capture.h"

namespace {

class PopupCapture final : public PopupHook {
public:
    void message(const std::string& title, const std::string& text) override {
        popups.push_back({title, text});
    }

    std::optional<std::string> fileAnswer(const std::string& title) override {
        popups.push_back({title, "file selection"});
        if (fileSelections.empty()) return std::nullopt;
        std::string path = fileSelections.front();
        fileSelections.pop_front();
        return path;
    }

    std::vector<CapturedPopup> popups;
    std::deque<std::string> fileSelections;
};

PopupCapture& capture() {
    static PopupCapture state;
    return state;
}

}  // namespace

void SetPopupCapture(bool on) { SetPopupHook(on ? &capture() : nullptr); }

std::vector<CapturedPopup> CapturedPopups() { return capture().popups; }

void ClearCapturedPopups() {
    capture().popups.clear();
    capture().fileSelections.clear();
}

void QueueFileSelection(const std::string& path) { capture().fileSelections.push_back(path); }
