// The two waveform file formats the panels read: raw ".b16" files (16-bit DAC codes, least
// significant byte first, no header) and mono RIFF/WAVE files with the canonical 44-byte header.
// Plain C++ without the user interface: problems go to the `report` function given, which shows
// a title and a text to the operator.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

using WaveformReport = int (*)(const char* title, const char* text);

// Longer paths are refused before the file is touched.
inline constexpr std::size_t kWaveformPathMax = 259;
inline constexpr std::uint32_t kWavHeaderSize = 44;
inline constexpr std::uint32_t kWavFastestSampleRate = 100000;

// Reads the whole file into `buffer` (at least `maxBytes` bytes). Returns the bytes read, or 0 when
// the file is empty (nothing reported) or cannot be taken: its size unknown, over `maxBytes`, not
// openable, or short on reading (each reported).
std::int32_t ReadWaveform(const char* path, std::uint8_t* buffer, std::int32_t maxBytes,
                          WaveformReport report);

// Reads a WAVE file's 44-byte header into `header` and its data, at most `maxBytes` bytes, into
// `buffer` unchanged. A channel count other than 1 or a sample rate above 100 kHz is reported and
// the data is still read. Returns the data bytes read, or 0 when the file cannot be opened, its
// header is short or it holds less data than its header claims (each reported), or it has none.
std::uint32_t ReadWavFile(const char* path, std::uint8_t* buffer, std::uint8_t* header,
                          std::uint32_t maxBytes, WaveformReport report);

// True for a name ending in ".wav", in any case: such a file is read with ReadWavFile.
bool isWavFileName(std::string_view path);
