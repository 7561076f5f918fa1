#include "command_console.h"

#include <algorithm>
#include <deque>
#include <string>

#include "decimal_text.h"
#include "dialog_lifecycle.h"
#include "driver_status.h"
#include "front_panel_state.h"
#include "user_interface.h"

namespace {

int dialogPanel = 0;
int errorHistoryCount = 0;

// Error texts enter the history cut to this length.
constexpr std::size_t kErrorTextLength = 100;

// The commands sent since the program started, oldest first, and the entry Up and Down show.
struct CommandHistory {
    std::deque<std::string> commands;
    std::size_t shown = 0;  // commands.size() when the operator is typing a new command
};

CommandHistory& history() {
    static CommandHistory kept;
    return kept;
}

void remember(const std::string& command) {
    CommandHistory& kept = history();
    if (kept.commands.empty() || kept.commands.back() != command) kept.commands.push_back(command);
    if (kept.commands.size() > static_cast<std::size_t>(console::kCommandHistoryDepth))
        kept.commands.pop_front();
    kept.shown = kept.commands.size();
}

// Up (step -1) and Down (+1) through the history; past the newest the entry is empty again.
void recall(int panel, int step) {
    CommandHistory& kept = history();
    if (kept.commands.empty()) return;
    if (step < 0 && kept.shown > 0)
        --kept.shown;
    else if (step > 0 && kept.shown < kept.commands.size())
        ++kept.shown;
    const std::string& text = kept.shown < kept.commands.size() ? kept.commands[kept.shown] : std::string();
    SetCtrlVal(panel, console::kCommandText, text.c_str());
}

void logError(int panel, ViInt32 number, const char* text) {
    std::string entry = decimalText(number) + ", " + text;
    entry.resize(std::min(entry.find('\n'), entry.size()));
    entry.resize(std::min(entry.size(), decimalText(number).size() + 2 + kErrorTextLength));
    if (errorHistoryCount < console::kErrorHistoryLines)
        ++errorHistoryCount;
    else
        DeleteTextBoxLine(panel, console::kErrorHistory, 0);
    InsertTextBoxLine(panel, console::kErrorHistory, -1, entry.c_str());
}

// The reply without the line terminator the module ends it with.
std::string replyText(const ViChar* reply) {
    std::string text(reply);
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
    return text;
}

void sendCommand(int panel) {
    ViChar reply[kq7120_READ_BUFF_SIZE + 1] = {};
    std::string command;
    GetCtrlVal(panel, console::kCommandText, &command);
    if (command.empty()) {
        SetActiveCtrl(panel, console::kCommandText);
        return;
    }
    remember(command);
    int lines = 0;
    if (GetNumTextBoxLines(panel, console::kResponseBox, &lines) == UI_SUCCESS && lines > 0)
        ResetTextBox(panel, console::kResponseBox, "");
    const bool query = command.find('?') != std::string::npos;
    SetCtrlAttribute(panel, console::kResponseBox, UI_ATTR_DIMMED, query ? 0 : 1);

    const ViSession handle = frontPanel().instrHandle;
    const ViStatus status = kq7120_directIO(handle, command.c_str(), reply);
    if (status < VI_SUCCESS && status != kq7120_INSTRUMENT_ERROR && status != kq7120_DEVICE_NOT_READY) {
        ShowDriverStatus(status);
        MessagePopup("Error", "Error sending the command/query");
        return;
    }
    reply[kq7120_READ_BUFF_SIZE] = '\0';

    ViInt32 errorNumber = 0;
    ViChar errorText[256] = {};
    if (ShowDriverStatus(kq7120_errorQuery(handle, &errorNumber, errorText)) < VI_SUCCESS) {
        MessagePopup("Error", "Error querying the System Error Queue");
        return;
    }
    errorText[sizeof errorText - 1] = '\0';
    if (errorNumber < 0) logError(panel, errorNumber, errorText);
    if (query) InsertTextBoxLine(panel, console::kResponseBox, 0, replyText(reply).c_str());
    // Ready for the next command; Up brings this one back.
    SetCtrlVal(panel, console::kCommandText, "");
    SetActiveCtrl(panel, console::kCommandText);
}

}  // namespace

int directIO(int, const char*, int event, int, int*) {
    if (event != UI_EVENT_COMMIT) return 0;
    const int panel = loadDialog(console::kForm, console::kCloseButton, "Error loading the Command Console");
    if (panel < 0) return 0;
    dialogPanel = panel;
    dimMainPanel(1);
    errorHistoryCount = 0;
    history().shown = history().commands.size();
    DisplayPanel(panel);
    SetActiveCtrl(panel, console::kCommandText);
    return 0;
}

int Send(int panel, const char*, int event, int, int*) {
    if (event == UI_EVENT_COMMIT) sendCommand(panel);
    return 0;
}

int CommandEntry(int panel, const char*, int event, int eventData1, int*) {
    if (event == UI_EVENT_COMMIT) {
        sendCommand(panel);
        return 0;
    }
    if (event == UI_EVENT_KEYPRESS && (eventData1 == UI_KEY_UP || eventData1 == UI_KEY_DOWN)) {
        recall(panel, eventData1 == UI_KEY_UP ? -1 : 1);
        return 1;
    }
    return 0;
}

int DirCancel(int panel, const char*, int event, int, int*) {
    if (event == UI_EVENT_COMMIT) {
        dismissDialog(panel);
        dialogPanel = 0;
    }
    return 0;
}

int consolePanel() { return IsPanelLoaded(dialogPanel) == 1 ? dialogPanel : 0; }
