// Waveform plots (a WaveformGraph in a form) and progress bars, addressed like other controls.
#pragma once

#include <vector>

// Replaces the plot with `count` values against their index; a count of 0 clears it.
int PlotWaveform(int panel, const char* control, const double* values, int count);
int GetPlotValues(int panel, const char* control, std::vector<double>* values);

// A progress bar showing `done` of `total`.
int SetProgress(int panel, const char* control, long long done, long long total);
int GetProgress(int panel, const char* control, long long* done, long long* total);
