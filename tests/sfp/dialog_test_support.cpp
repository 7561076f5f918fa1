#include "dialog_test_support.h"

#include <QApplication>
#include <QMenuBar>

#include "front_panel_state.h"
#include "kqvisa/bus_trace.h"
#include "panel_layout.h"
#include "user_interface.h"

namespace sfptest {

std::vector<std::string> textBoxLines(int panel, const char* control) {
    int count = 0;
    GetNumTextBoxLines(panel, control, &count);
    std::vector<std::string> lines(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) GetTextBoxLine(panel, control, i, &lines[static_cast<std::size_t>(i)]);
    return lines;
}

std::string textValue(int panel, const char* control) {
    std::string text;
    GetCtrlVal(panel, control, &text);
    return text;
}

std::vector<std::string> commandsSent() {
    std::vector<std::string> commands;
    for (std::string message : kqvisa::writtenMessages()) {
        while (!message.empty() && message.back() == '\n') message.pop_back();
        if (message != "*ESR?") commands.push_back(message);
    }
    return commands;
}

std::vector<std::string> dimmedConfigurationEntries() {
    std::vector<std::string> dimmed;
    const int menuBar = frontPanel().mainMenuBar;
    for (const char* entry : layout::kConfigurationMenuGroup) {
        int value = 0;
        if (HasMenuItem(menuBar, entry) == 1 &&
            GetMenuBarAttribute(menuBar, entry, UI_ATTR_DIMMED, &value) == 0 && value == 1)
            dimmed.emplace_back(entry);
    }
    return dimmed;
}

int menuBarDimmed() {
    for (QWidget* window : QApplication::topLevelWidgets())
        if (const auto* bar = window->findChild<QMenuBar*>(QStringLiteral("mainMenuBar")))
            return bar->isEnabled() ? 0 : 1;
    return -1;
}

}  // namespace sfptest
