#include "front_panel_state.h"

FrontPanelState& frontPanel() {
    static FrontPanelState state;
    return state;
}
