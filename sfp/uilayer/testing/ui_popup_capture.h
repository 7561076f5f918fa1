// Capture of the layer's pop-ups, for tests and tools that drive the panels without an operator.
#pragma once

#include <string>
#include <vector>

struct CapturedPopup {
    std::string title;
    std::string text;
};

// With capture on, pop-ups are recorded and dismissed at once, and both file dialogs return the queued
// answers (an empty path answers "cancelled"; with none queued they are cancelled).
void SetPopupCapture(bool on);
std::vector<CapturedPopup> CapturedPopups();
void ClearCapturedPopups();
void QueueFileSelection(const std::string& path);
