// Waveform files as the panels read them: DAC codes from a raw or WAVE file, the folder the file
// dialogs start in, and the preview plot of a chosen file.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "kq7120.h"
#include "waveform_files.h"

inline constexpr const char* kWaveformFilePattern = "*.b16";
inline constexpr const char* kWaveformFileTypes = ".wav";

// Reads the file named `path` with at most `maxBytes` bytes into `codes`: a ".wav" name with
// ReadWavFile (its samples without the header), any other raw. The codes read replace the start of
// `codes`, which grows to hold them and keeps what lies beyond. Returns the number of codes read
// (a trailing odd byte is not one), or -1 when the reader failed, after it told `report` why.
int readWaveformCodes(const std::string& path, std::int32_t maxBytes, std::vector<ViUInt16>* codes,
                      WaveformReport report);

// The sample waveforms that ship with the program: share/kq7120/waveforms beside its bin folder.
std::string sampleWaveformDirectory();

// Plots the codes of the file in `graph` of `panel` as unsigned numbers; clears the plot when the
// file cannot be read within `maxBytes` (nothing is reported: the panel's own read will say why).
void previewWaveformFile(int panel, const char* graph, const std::string& path, std::int32_t maxBytes);

// The file dialog of the waveform panels; the chosen path replaces the first line of `pathBox`
// and is previewed in `graph`. A cancelled dialog leaves both as they were.
void chooseWaveformFile(int panel, const char* pathBox, const char* graph, const char* title,
                        std::int32_t maxBytes);
