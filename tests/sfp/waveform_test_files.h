// Waveform files for the waveform panel tests, written into a fresh folder per test program.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace sfptest {

// A folder of this test program's files, made empty at first use.
std::filesystem::path waveformFolder();
// Writes `bytes` as the file `name` in that folder and returns its path.
std::string writeFile(const std::string& name, const std::vector<std::uint8_t>& bytes);
// A raw file of 16-bit codes, least significant byte first.
std::string writeCodes(const std::string& name, const std::vector<std::uint16_t>& codes);
// A file of `size` bytes, each the low byte of its offset.
std::string writeSized(const std::string& name, std::size_t size);
// A canonical 44-byte-header WAVE file whose header claims `claimedBytes` of data.
std::string writeWav(const std::string& name, std::uint16_t channels, std::uint32_t sampleRate,
                     const std::vector<std::uint8_t>& data, std::uint32_t claimedBytes);
std::vector<std::uint8_t> littleEndianCodes(const std::vector<std::uint16_t>& codes);

}  // namespace sfptest
