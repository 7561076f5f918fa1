#include "waveform_test_files.h"

#include <unistd.h>

#include <fstream>

namespace sfptest {

namespace {

void put(std::vector<std::uint8_t>* bytes, std::uint32_t value, int width) {
    for (int i = 0; i < width; ++i) bytes->push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

}  // namespace

std::filesystem::path waveformFolder() {
    static const std::filesystem::path folder = [] {
        const auto path =
            std::filesystem::temp_directory_path() / ("sfp-waveforms-" + std::to_string(getpid()));
        std::filesystem::remove_all(path);
        std::filesystem::create_directories(path);
        return path;
    }();
    return folder;
}

std::string writeFile(const std::string& name, const std::vector<std::uint8_t>& bytes) {
    const std::filesystem::path path = waveformFolder() / name;
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return path.string();
}

std::vector<std::uint8_t> littleEndianCodes(const std::vector<std::uint16_t>& codes) {
    std::vector<std::uint8_t> bytes;
    for (const std::uint16_t code : codes) put(&bytes, code, 2);
    return bytes;
}

std::string writeCodes(const std::string& name, const std::vector<std::uint16_t>& codes) {
    return writeFile(name, littleEndianCodes(codes));
}

std::string writeSized(const std::string& name, std::size_t size) {
    std::vector<std::uint8_t> bytes(size);
    for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<std::uint8_t>(i);
    return writeFile(name, bytes);
}

std::string writeWav(const std::string& name, std::uint16_t channels, std::uint32_t sampleRate,
                     const std::vector<std::uint8_t>& data, std::uint32_t claimedBytes) {
    std::vector<std::uint8_t> bytes = {'R', 'I', 'F', 'F'};
    put(&bytes, 36 + claimedBytes, 4);
    for (const char c : std::string("WAVEfmt ")) bytes.push_back(static_cast<std::uint8_t>(c));
    put(&bytes, 16, 4);
    put(&bytes, 1, 2);
    put(&bytes, channels, 2);
    put(&bytes, sampleRate, 4);
    put(&bytes, sampleRate * channels * 2, 4);
    put(&bytes, channels * 2, 2);
    put(&bytes, 16, 2);
    for (const char c : std::string("data")) bytes.push_back(static_cast<std::uint8_t>(c));
    put(&bytes, claimedBytes, 4);
    bytes.insert(bytes.end(), data.begin(), data.end());
    return writeFile(name, bytes);
}

}  // namespace sfptest
