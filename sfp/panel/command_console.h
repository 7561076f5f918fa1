// The command console: any SCPI command or query typed by the operator, the reply of a query, and
// the errors the module reports after each transfer.
#pragma once

namespace console {

inline constexpr const char* kForm = "command_console.ui";
inline constexpr const char* kCommandText = "CommandText";
inline constexpr const char* kResponseBox = "ResponseBox";
inline constexpr const char* kErrorHistory = "ErrorHistory";
inline constexpr const char* kSendButton = "SendButton";
inline constexpr const char* kCloseButton = "DirCancelButton";

// Lines ErrorHistory keeps, oldest first.
inline constexpr int kErrorHistoryLines = 100;
// Commands Up and Down recall, kept while the program runs.
inline constexpr int kCommandHistoryDepth = 100;

}  // namespace console

// Main panel command: opens the console.
int directIO(int panel, const char* control, int event, int eventData1, int* eventData2);
int Send(int panel, const char* control, int event, int eventData1, int* eventData2);
// CommandText: Enter sends, Up and Down recall the commands sent before.
int CommandEntry(int panel, const char* control, int event, int eventData1, int* eventData2);
int DirCancel(int panel, const char* control, int event, int eventData1, int* eventData2);

// The console while it is up, else 0.
int consolePanel();
