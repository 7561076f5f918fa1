// Keeping the main panel's instrument controls in step with the connected module.
#pragma once

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
