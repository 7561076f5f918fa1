// Keeping the main panel's instrument controls in step with the connected module.
#pragma once

#include <string>

#include "kq7120.h"

// Dims (1) or undims (0) the sixteen channel controls and the instrument commands.
void DimInstrumentControls(int dim);
// The same for channels 9-16 only (a KQ7110 has eight channels).
void DimUpperChannels(int dim);
// Text colour (0x00RRGGBB) of all sixteen channel controls.
void SetChannelColor(int color);
// The slot display's and connected indicator's current values become their defaults, so that
// resetting the main panel keeps them.
void KeepIndicatorsAsDefaults();
// Channel i+1's control into entry i of channelControl; every channelRange entry 0.
void InitChannelTables();
// The main panel after an instrument failed to open: error lamp lit, not connected, no slot,
// `message` in a pop-up, and the instrument controls dimmed.
void ShowOpenFailure(const char* message);
// Connected lamp on, the module's slot, and its model and descriptor in the title bar.
void ShowConnected(int slot, int model, const std::string& descriptor);
// Connected lamp off, the slot blank (0 is a slot), the plain title.
void ShowUnconnected();
// A channel's read-back level (channel index 0-15), blue when not 0 V, black at 0 V.
void ShowChannelLevel(int channelIndex, ViReal32 level);
// Shows the connected module's levels: channels 1 to channelCount read back, the others at their
// defaults. A failed query is shown (status, "Error Querying the Voltage Level") and ends the reading.
ViStatus ReadBackChannelLevels();
