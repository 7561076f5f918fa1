#include "dialog_lifecycle.h"

#include "front_panel_state.h"
#include "user_interface.h"

int loadDialog(const char* form, const char* closeControl, const char* failure) {
    const int panel = LoadPanel(frontPanel().mainPanel, form);
    if (panel < 0) {
        MessagePopup("ERROR", failure);
        return panel;
    }
    SetPanelAttribute(panel, UI_ATTR_CLOSE_CTRL, closeControl);
    return panel;
}

void dimMainPanel(int dim) { SetPanelAttribute(frontPanel().mainPanel, UI_ATTR_DIMMED, dim); }

void dismissDialog(int panel) {
    DiscardPanel(panel);
    SetActivePanel(frontPanel().mainPanel);
    dimMainPanel(0);
}
