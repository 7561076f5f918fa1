// A small panel with one message, on screen while a long call runs.
#pragma once

namespace please_wait_layout {

inline constexpr const char* kForm = "please_wait_panel.ui";
inline constexpr const char* kText = "PleaseWaitText";

}  // namespace please_wait_layout

// Shows the message over the main panel, painted before this returns; the panel's handle, or 0 when
// its form cannot be loaded (the work then goes on without it).
int ShowPleaseWait(const char* message);
void ClosePleaseWait(int panel);
