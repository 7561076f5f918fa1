// Short ways to read what the dialogs show and send, for the dialog tests.
#pragma once

#include <string>
#include <vector>

namespace sfptest {

std::vector<std::string> textBoxLines(int panel, const char* control);
std::string textValue(int panel, const char* control);
// Messages written to the module since the trace was cleared, without the error checks ("*ESR?").
std::vector<std::string> commandsSent();
// The entries of the configuration menu group that are dimmed now.
std::vector<std::string> dimmedConfigurationEntries();
// 1 while the main panel's menu bar is dimmed as a whole, else 0.
int menuBarDimmed();

}  // namespace sfptest
