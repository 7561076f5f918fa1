#include "please_wait_panel.h"

#include "front_panel_state.h"
#include "user_interface.h"

int ShowPleaseWait(const char* message) {
    const int panel = LoadPanel(frontPanel().mainPanel, please_wait_layout::kForm);
    if (panel < 0) return 0;
    SetCtrlVal(panel, please_wait_layout::kText, message);
    DisplayPanel(panel);
    ProcessDrawEvents();
    return panel;
}

void ClosePleaseWait(int panel) {
    if (panel > 0) DiscardPanel(panel);
}
