// Menu entries of the main menu bar that are dimmed and enabled together.
#pragma once

// The configuration group: dimmed while a configuration dialog opened from the menu is up.
void DisableCfgMenu();
void EnableCfgMenu();

// The ARB entries: dimmed while an ARB panel is up. Enabling keeps the order segments, sequence,
// run: the sequence entry needs a segment, the run entry a sequence step.
void DisableArbMenuItems();
void EnableArbMenuItems();
