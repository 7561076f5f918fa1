#include "waveform_files.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>

namespace {

void tell(WaveformReport report, const char* title, const std::string& text) {
    if (report != nullptr) report(title, text.c_str());
}

bool pathAcceptable(const char* path, WaveformReport report) {
    if (path == nullptr) {
        tell(report, "OPEN Error", "");
        return false;
    }
    if (std::char_traits<char>::length(path) > kWaveformPathMax) {
        tell(report, "OPEN Error", path);
        return false;
    }
    return true;
}

// Reads up to `count` bytes from `offset`; returns how many arrived.
std::size_t readAt(std::ifstream& file, std::size_t offset, std::uint8_t* buffer, std::size_t count) {
    if (count == 0) return 0;
    file.clear();
    file.seekg(static_cast<std::streamoff>(offset));
    if (!file) return 0;
    file.read(reinterpret_cast<char*>(buffer), static_cast<std::streamsize>(count));
    return static_cast<std::size_t>(file.gcount());
}

std::uint32_t littleEndian(const std::uint8_t* bytes, int width) {
    std::uint32_t value = 0;
    for (int i = width - 1; i >= 0; --i) value = (value << 8) | bytes[i];
    return value;
}

}  // namespace

std::int32_t ReadWaveform(const char* path, std::uint8_t* buffer, std::int32_t maxBytes,
                          WaveformReport report) {
    if (!pathAcceptable(path, report)) return 0;
    std::error_code error;
    const auto size = std::filesystem::file_size(path, error);
    if (error) {
        tell(report, "ERROR", std::string("Failed GetFileSize(). ") + path);
        return 0;
    }
    if (maxBytes < 0 || size > static_cast<std::uintmax_t>(maxBytes)) {
        tell(report, "FILE Size Error!", path);
        return 0;
    }
    std::ifstream file(path, std::ios::binary);
    if (!file.is_open()) {
        tell(report, "OPEN Error", path);
        return 0;
    }
    if (buffer == nullptr && size != 0) return 0;
    const std::size_t arrived = readAt(file, 0, buffer, static_cast<std::size_t>(size));
    if (arrived < size) {
        tell(report, "ERROR", std::string("Failed reading entire file. ") + path);
        return 0;
    }
    return static_cast<std::int32_t>(size);
}

std::uint32_t ReadWavFile(const char* path, std::uint8_t* buffer, std::uint8_t* header,
                          std::uint32_t maxBytes, WaveformReport report) {
    if (!pathAcceptable(path, report)) return 0;
    std::ifstream file(path, std::ios::binary);
    if (!file.is_open()) {
        tell(report, "OPEN Error", path);
        return 0;
    }
    std::uint8_t fields[kWavHeaderSize] = {};
    // A header cut short would leave its fields undefined: the file is as short as a truncated one.
    if (readAt(file, 0, fields, kWavHeaderSize) < kWavHeaderSize) {
        tell(report, "FILE Size Error", path);
        return 0;
    }
    if (header != nullptr) std::copy(std::begin(fields), std::end(fields), header);
    const std::uint32_t channels = littleEndian(fields + 22, 2);
    const std::uint32_t sampleRate = littleEndian(fields + 24, 4);
    const std::uint32_t dataBytes = std::min(littleEndian(fields + 40, 4), maxBytes);
    if (channels != 1) tell(report, "Wav Hdr Error", "Mono Only Allowed");
    if (sampleRate > kWavFastestSampleRate) tell(report, "Wav Hdr Error", "Sample Rate is too fast.");
    if (buffer == nullptr && dataBytes != 0) return 0;
    if (readAt(file, kWavHeaderSize, buffer, dataBytes) < dataBytes) {
        tell(report, "FILE Size Error", path);
        return 0;
    }
    return dataBytes;
}

bool isWavFileName(std::string_view path) {
    constexpr std::string_view extension = ".wav";
    if (path.size() < extension.size()) return false;
    const std::string_view tail = path.substr(path.size() - extension.size());
    return std::equal(tail.begin(), tail.end(), extension.begin(), [](char a, char b) {
        return (a >= 'A' && a <= 'Z' ? static_cast<char>(a - 'A' + 'a') : a) == b;
    });
}
