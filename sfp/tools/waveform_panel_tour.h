// The waveform panels' part of the screenshot tour.
#pragma once

#include <QString>

// Saves a PNG file of a window with the given title into the folder; true when saved.
using SaveWindow = bool (*)(const QString& title, const QString& folder, const char* file);

// Builds an ARB set-up from the sample waveforms, loads and runs it, and opens the FIFO panel with
// two files attached, saving each panel. Needs a connected KQ7120 and pop-up capture on; leaves no
// pop-ups behind. True when every panel was saved and nothing went wrong.
bool tourWaveformPanels(const QString& folder, SaveWindow save);
