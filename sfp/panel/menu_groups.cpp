#include "menu_groups.h"

#include "arb_definition.h"
#include "front_panel_state.h"
#include "panel_layout.h"
#include "user_interface.h"

namespace {

// An entry a later dialog brings is dimmed once the menu bar has it.
void dimEntry(const char* entry, int dim) {
    const int menuBar = frontPanel().mainMenuBar;
    if (HasMenuItem(menuBar, entry) == 1) SetMenuBarAttribute(menuBar, entry, UI_ATTR_DIMMED, dim);
}

}  // namespace

void DisableCfgMenu() {
    for (const char* entry : layout::kConfigurationMenuGroup) dimEntry(entry, 1);
}

void EnableCfgMenu() {
    for (const char* entry : layout::kConfigurationMenuGroup) dimEntry(entry, 0);
}

void DisableArbMenuItems() {
    for (const char* entry : {layout::kArbSegmentsEntry, layout::kArbSequenceEntry, layout::kArbRunEntry,
                              layout::kSharedMenuEntry})
        dimEntry(entry, 1);
}

void EnableArbMenuItems() {
    dimEntry(layout::kArbSegmentsEntry, 0);
    if (arbDefinition().segmentCount != 0) dimEntry(layout::kArbSequenceEntry, 0);
    if (arbDefinition().stepCount != 0) dimEntry(layout::kArbRunEntry, 0);
    dimEntry(layout::kSharedMenuEntry, 0);
}
